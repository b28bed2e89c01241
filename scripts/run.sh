#!/usr/bin/env bash
# Starts the built Quendrix.exe under Wine from the folder that holds Help/, so F1 finds the page.
# With a DISPLAY the window stays until you close it. Without one, it opens on a private screen,
# is photographed into build/quendrix.png and closed with Escape.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
appdir=$root/build/windows/app
prefix=$root/build/windows/wineprefix
[ -x "$appdir/Quendrix.exe" ] || { echo "run: build first (make run builds it)" >&2; exit 1; }
cd "$appdir"

# F1 opens the page with whatever the prefix associates with .htm pages: Wine's browser bridge.
# The private prefix is made without Wine's HTML engine, which would otherwise register it.
"$root/scripts/wine-run.sh" --prefix "$prefix" reg add 'HKLM\Software\Classes\.htm' /ve /d htmlfile /f >/dev/null

if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine-run.sh" --prefix "$prefix" Quendrix.exe
fi

shot=$root/build/quendrix.png
"$root/scripts/wine-run.sh" --prefix "$prefix" --session bash -c '
  set -euo pipefail
  /usr/lib/wine/wine64 Quendrix.exe & pid=$!
  win=""
  for _ in $(seq 1 300); do
    win=$(xdotool search --name "^Quendrix$" 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    kill -0 $pid 2>/dev/null || { echo "run: Quendrix ended before its window appeared" >&2; exit 1; }
    sleep 0.1
  done
  [ -n "$win" ] || { echo "run: no Quendrix window appeared" >&2; kill $pid; exit 1; }
  sleep 1  # let the window paint
  import -window "$win" "$1"
  xdotool key Escape
  wait $pid
' run "$shot"
echo "Quendrix ran headless; its window is pictured in $shot"
