#!/usr/bin/env bash
# Quendrix on a Linux desktop: installed into a temporary prefix and started through its menu
# entry's command, under a real window manager (openbox, on a screen of its own), with a home of
# its own so the user's is untouched. The window manager manages the window and keeps it above
# others exactly while Stay on top is on; Escape ends the program and the launcher returns 0.
# Started on a display that does not exist, the program cannot make its window and the launcher
# returns non-zero.
#   desktop_test.sh Quendrix.exe
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=$1
work=$(mktemp -d)
xvfb_pid="" wm_pid="" launcher_pid=""
cleanup() {
  [ -z "$launcher_pid" ] || kill "$launcher_pid" 2>/dev/null || true
  # The server of the launcher's own prefix, with whatever still runs in it; nobody else's.
  if [ -d "$work/data/quendrix" ]; then
    WINEPREFIX="$work/data/quendrix" wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$work/data/quendrix" wineserver -w >/dev/null 2>&1 || true
  fi
  for pid in $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
# until SECONDS COMMAND...: retries the command every tenth of a second, for at most SECONDS
until_true() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.1; done
}

bash "$root/scripts/install.sh" --prefix "$work/usr" --exe "$exe" install >/dev/null
entry=$work/usr/share/applications/quendrix.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate refuses $entry"
command=$(sed -n 's/^Exec="\(.*\)"$/\1/p' "$entry")
[ "$command" = "$work/usr/bin/quendrix" ] || fail "the menu entry runs '$command', not the launcher"

# openbox without its key bindings, so that Alt+Space reaches the program's window menu.
cat >"$work/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc"><keyboard/></openbox_config>
EOF
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
until_true 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"
openbox --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
wm_pid=$!
wm_up() { [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"# 0x"* ]]; }
until_true 10 wm_up || fail "openbox did not start"

# A user's session: nothing of the build tree's Wine settings.
start=$(date +%s%N)
env -u WINEPREFIX -u WINELOADER -u WINESERVER -u WINEDEBUG -u WINEDLLOVERRIDES \
  HOME="$work/home" XDG_DATA_HOME="$work/data" "$command" >"$work/said" 2>&1 &
launcher_pid=$!

# The window the manager lists as a client; the manager marks it with its state.
client_named() {
  local list w
  list=$(xprop -root _NET_CLIENT_LIST 2>/dev/null) || return 1
  for w in $(grep -o '0x[0-9a-f]*' <<<"$list"); do
    [ "$(xprop -id "$w" WM_NAME 2>/dev/null)" = "WM_NAME(STRING) = \"$1\"" ] && { echo "$w"; return 0; }
  done
  return 1
}
found() { win=$(client_named Quendrix); }
until_true 90 found || fail "no window Quendrix among the window manager's clients; the launcher said: $(cat "$work/said")"
echo "managed window $(( ($(date +%s%N) - start) / 1000000 )) ms after the launcher started (prefix made)"

xwininfo -id "$win" | grep -q 'Override Redirect State: no' || fail "the window is override-redirect"
class=$(xprop -id "$win" WM_CLASS | sed 's/.*, "\(.*\)"$/\1/')
grep -qx "StartupWMClass=$class" "$entry" || fail "the window's class is $class, the entry's $(grep StartupWMClass "$entry")"
above() { [[ "$(xprop -id "$win" _NET_WM_STATE)" == *_NET_WM_STATE_ABOVE* ]]; }
until_true 5 above || fail "no _NET_WM_STATE_ABOVE with Stay on top on: $(xprop -id "$win" _NET_WM_STATE)"

# Settings from the window menu (its last item but one); Alt+O clears Stay on top, Enter is OK.
active() { [[ "$(xprop -root _NET_ACTIVE_WINDOW)" == *"# $win" ]]; }
until_true 5 active || fail "the window did not get the focus"
settings() { client_named Settings >/dev/null; }
for _ in 1 2 3; do
  xdotool key alt+space
  sleep 0.5
  xdotool key End Up Return
  ! until_true 3 settings || break
  xdotool key Escape Escape
done
settings || fail "the Settings dialog did not open from the window menu"
xdotool key alt+o Return
until_true 5 eval '! above && ! settings' || fail "_NET_WM_STATE_ABOVE stayed after Stay on top was switched off"

until_true 5 active || fail "the focus did not come back to the window"
xdotool key Escape
ended() { ! kill -0 "$launcher_pid" 2>/dev/null; }
until_true 10 ended || fail "Escape did not end the program"
set +e; wait "$launcher_pid"; rc=$?; set -e
launcher_pid=""
[ "$rc" = 0 ] || fail "the launcher returned $rc"
# Quiet: the one line about the first start, nothing of Wine's.
[ "$(wc -l <"$work/said")" = 1 ] || fail "the launcher said more than one line: $(cat "$work/said")"

# A start that cannot make the window is reported as a failure; Wine, not the program, says why.
# A display nobody serves: the first number from 900 up without a socket.
missing=900
while [ -e "/tmp/.X11-unix/X$missing" ]; do missing=$((missing + 1)); done
set +e
env -u WINEPREFIX -u WINELOADER -u WINESERVER -u WINEDEBUG -u WINEDLLOVERRIDES \
  HOME="$work/home" XDG_DATA_HOME="$work/data" DISPLAY=":$missing" timeout 60 "$command" >"$work/said" 2>&1
rc=$?
set -e
[ "$rc" = 1 ] || fail "started on a display that does not exist, the launcher returned $rc, not 1: $(cat "$work/said")"
echo "on a display that does not exist: exit code $rc"
echo "1 passed, 0 failed"
