#!/usr/bin/env bash
# Photographs the program for docs/: each window alone (dialogs/), the swatch at widths Long and
# Char, the About box, the Settings dialog refusing an increment and the context menu in their
# surroundings. Drives the built program with real X input on a private screen.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root/build/windows/app"
"$root/scripts/wine-run.sh" --prefix "$root/build/windows/wineprefix" --session bash -c '
  set -euo pipefail
  out=$1
  source "$2"
  /usr/lib/wine/wine64 Quendrix.exe & pid=$!
  main=$(wait_for_window "^Quendrix$")
  park_pointer "$main"
  photograph "$out/dialogs/converter.png" -window "$main"
  eval "$(xdotool getwindowgeometry --shell "$main")"
  area=(-window root -crop "700x420+$((X - 120))+$((Y - 60))" +repage)

  xdotool key alt+h; xdotool type FF8000; xdotool key Tab
  photograph "$out/swatch-long.png" -window "$main"
  xdotool key alt+c
  photograph "$out/swatch-char.png" -window "$main"
  xdotool key alt+l

  xdotool key alt+space; sleep 0.5; xdotool key End Return
  about=$(wait_for_window "^About Quendrix$")
  photograph "$out/dialogs/about.png" -window "$about"
  photograph "$out/about.png" "${area[@]}"
  xdotool key Escape; sleep 0.5

  xdotool key alt+space; sleep 0.5; xdotool key End Up Return
  settings=$(wait_for_window "^Settings$")
  photograph "$out/dialogs/settings.png" -window "$settings"
  xdotool type 0; xdotool key Return
  photograph "$out/settings-refused.png" "${area[@]}"
  xdotool key Return; sleep 0.3; xdotool key Escape; sleep 0.5

  xdotool mousemove $((X + 400)) $((Y + 80)) click 3
  photograph "$out/context-menu.png" "${area[@]}"
  xdotool key Escape; sleep 0.3
  xdotool key Escape
  wait $pid
' shots "$root/docs" "$root/scripts/x-window.sh"
echo "screenshots written to docs/"
