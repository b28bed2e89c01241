#!/usr/bin/env bash
# Runs Windows executables under Wine in a private prefix, on a private Xvfb screen when there is
# no DISPLAY, so tests and `make run` work headless. Wine's windows go to the display's window
# manager where one runs, and are unmanaged (no waiting for one) where none does.
#
#   wine-run.sh [--prefix DIR] [--dpi N|auto] PROGRAM.exe [ARGS...]
#                                                        run one Windows program, pass on its exit code
#   wine-run.sh [--prefix DIR] --session COMMAND...     run a Linux command (ctest, a script) with
#                                                        WINEPREFIX and DISPLAY set for all it starts
# The prefix defaults to $QUENDRIX_WINEPREFIX, else build/wineprefix beside this script's repo.
# It reports 96 DPI unless --dpi says otherwise (auto: the desktop's scale, for `make run`).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
prefix=${QUENDRIX_WINEPREFIX:-$here/../build/wineprefix}
session=0
dpi=96
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --session) session=1; shift ;;
    --dpi) dpi=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: wine-run.sh [--prefix DIR] [--session] PROGRAM [ARGS...]" >&2; exit 2; }

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX=$prefix QUENDRIX_WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export WINELOADER=/usr/lib/wine/wine64
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    # Our own prefix's server only; its desktop process dies with our screen.
    "$wineserver" -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$fdfile" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { echo "wine-run.sh: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
  done
  export DISPLAY=":$(tr -dc 0-9 <"$fdfile")"
  rm -f "$fdfile"
fi

# On a screen of our own no window manager runs: Wine must not wait for one. On a display we were
# given, a window manager there gets the windows (decided at every start; costs nothing unless
# it changes).
managed=auto
[ -z "$xvfb_pid" ] || managed=no

# First use of a prefix: create it with Windows' faces.
(
  flock 9
  stamps() { cat "$prefix/.quendrix-prefix" "$prefix/.quendrix-managed" "$prefix/.quendrix-dpi" 2>/dev/null || true; }
  before=$(stamps)
  WINESERVER=$wineserver sh "$here/prepare-prefix.sh" --managed "$managed" --dpi "$dpi" "$wine" "$prefix" /usr/share/wine/fonts
  # A prefix just made or brought up to date is written out before anything relies on it.
  [ "$before" = "$(stamps)" ] || "$wineserver" -w
) 9>"$prefix.lock"

if [ "$session" = 1 ]; then
  set +e; "$@"; rc=$?; set -e
else
  set +e; "$wine" "$@"; rc=$?; set -e
fi
exit $rc
