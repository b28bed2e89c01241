#!/usr/bin/env bash
# Starts the built Quendrix.exe under Wine from the folder that holds Help/, so F1 finds the page.
# With a DISPLAY the window stays until you close it, at the desktop's scale. Without one, it opens
# on a private screen at 96 DPI, is photographed into build/quendrix.png and closed with Escape.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
appdir=$root/build/windows/app
prefix=$root/build/windows/wineprefix
[ -x "$appdir/Quendrix.exe" ] || { echo "run: build first (make run builds it)" >&2; exit 1; }
cd "$appdir"

if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" --prefix "$prefix" --dpi auto Quendrix.exe
fi

shot=$root/build/quendrix.png
"$root/scripts/wine-run.sh" --prefix "$prefix" --session bash -c '
  set -euo pipefail
  source "$2"
  /usr/lib/wine/wine64 Quendrix.exe & pid=$!
  win=$(wait_for_window "^Quendrix$") || { kill $pid; exit 1; }
  park_pointer "$win"
  photograph "$1" -window "$win"
  xdotool key Escape
  wait $pid
' run "$shot" "$root/scripts/x-window.sh"
echo "Quendrix ran headless; its window is pictured in $shot"
