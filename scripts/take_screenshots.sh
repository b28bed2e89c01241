#!/usr/bin/env bash
# Photographs the window commands for docs/: the About box, the Settings dialog refusing an
# increment, the context menu. Drives the built program with real X input on a private screen.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root/build/windows/app"
"$root/scripts/wine-run.sh" --prefix "$root/build/windows/wineprefix" --session bash -c '
  set -euo pipefail
  out=$1
  wait_for() {  # a window title, as a pattern
    for _ in $(seq 1 100); do
      w=$(xdotool search --name "$1" 2>/dev/null | head -n 1 || true)
      [ -n "$w" ] && { echo "$w"; return 0; }
      sleep 0.1
    done
    echo "no window $1" >&2; return 1
  }
  /usr/lib/wine/wine64 Quendrix.exe & pid=$!
  main=$(wait_for "^Quendrix$")
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$main")"
  crop() { import -window root -crop "$1" "$out/$2"; }
  area="700x420+$((X - 120))+$((Y - 60))"

  xdotool key alt+space; sleep 0.5; xdotool key End Return
  wait_for "^About Quendrix$" >/dev/null; sleep 0.5
  crop "$area" about.png; xdotool key Escape; sleep 0.5

  xdotool key alt+space; sleep 0.5; xdotool key End Up Return
  wait_for "^Settings$" >/dev/null; sleep 0.5
  xdotool type 0; xdotool key Return; sleep 1
  crop "$area" settings-refused.png
  xdotool key Return; sleep 0.3; xdotool key Escape; sleep 0.5

  xdotool mousemove $((X + 400)) $((Y + 80)) click 3; sleep 0.8
  crop "$area" context-menu.png
  xdotool key Escape; sleep 0.3
  xdotool key Escape
  wait $pid
' shots "$root/docs"
echo "screenshots written to docs/"
