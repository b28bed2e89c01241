#!/usr/bin/env bash
# Quendrix.exe on a Linux desktop: installed into a temporary prefix and started through its menu
# entry's command, under a real window manager (openbox, on a 192-dpi screen of its own whose
# resources say Xft.dpi 192), with a home of its own so the user's is untouched. openbox comes up
# while a start makes whole what a first start cut off left, as at a session's autostart, and still
# manages the window, at twice the 96-DPI size; it keeps the window above others exactly while Stay
# on top is on; Escape ends the program and the launcher returns 0. With the scale back at 96, two
# starts at once take turns at the prefix and both give the 96-DPI size again. Uninstalled, nothing
# stays. Displays Wine cannot use are named in one line before anything of Wine's starts, and a
# start right after one that failed works; F1 reaches the host's browser, and Settings... the
# context menu, as the window manager keeps the caption's menu. The launcher is quendrix-wine.
#   desktop_test.sh Quendrix.exe
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=$1
work=$(mktemp -d)
xvfb_pid="" wm_pid="" launcher_pid="" other_pid=""
cleanup() {
  for pid in $launcher_pid $other_pid; do kill "$pid" 2>/dev/null || true; done
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
. "$root/scripts/until_true.sh"

bash "$root/scripts/install.sh" --prefix "$work/usr" --exe "$exe" --wine install >/dev/null
entry=$work/usr/share/applications/quendrix-wine.desktop
[ -z "$(desktop-file-validate "$entry" 2>&1)" ] || fail "desktop-file-validate: $(desktop-file-validate "$entry" 2>&1)"
command=$(sed -n 's/^Exec="\(.*\)"$/\1/p' "$entry")
[ "$command" = "$work/usr/bin/quendrix-wine" ] || fail "the menu entry runs '$command', not the launcher"

# openbox without its key bindings, so that Alt+Space reaches the program's window menu.
cat >"$work/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc"><keyboard/></openbox_config>
EOF
# No reset: the resources must outlive the client that set them.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -dpi 192 -noreset -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
until_true 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(tr -dc 0-9 <"$work/display")"

# The desktop's scale as the launcher reads it: the display's Xft.dpi, else GDK_SCALE, what is
# not a number passed over without a word, the number held to 96..288.
while IFS='|' read -r resources gdk_scale want; do
  xrdb -nocpp -remove
  [ -z "$resources" ] || echo "$resources" | xrdb -nocpp -merge
  got=$(GDK_SCALE=$gdk_scale sh "$work/usr/lib/quendrix/prepare-prefix.sh" --desktop-dpi 2>&1)
  [ "$got" = "$want" ] || fail "'$resources' and GDK_SCALE '$gdk_scale' give '$got', not $want"
done <<'EOF'
Xft.dpi: 192||192
Xft.dpi: 120.6|3|121
Xft.dpi: abc|2|192
Xft.dpi: 50||96
Xft.dpi: 123456789012345678901234567890||288
Xft.dpi: -144||96
||96
|3|288
|1.5|96
|x|96
EOF
echo 'Xft.dpi: 192' | xrdb -nocpp -merge

# A user's session: nothing of the build tree's Wine settings. Each command execs the next, so the
# program runs in the process started here. The host's browser is a stand-in noting the page.
mkdir "$work/bin" && printf '#!/bin/sh\necho "$1" >"%s"\n' "$work/opened" >"$work/bin/xdg-open" && chmod +x "$work/bin/xdg-open"
launch=(env -u WINEPREFIX -u WINELOADER -u WINESERVER -u WINEDEBUG -u WINEDLLOVERRIDES -u GDK_SCALE
        HOME="$work/home" XDG_DATA_HOME="$work/data" PATH="$work/bin:$PATH" "$command")
# A display nobody serves: the first number from 900 up without a socket.
missing=900
while [ -e "/tmp/.X11-unix/X$missing" ]; do missing=$((missing + 1)); done
while IFS='|' read -r display wayland says; do  # refused in one line, exit code 1, no prefix begun
  rc=0
  env -u DISPLAY ${display:+DISPLAY=$display} WAYLAND_DISPLAY="$wayland" "${launch[@]}" >"$work/said" 2>&1 || rc=$?
  [ $rc = 1 ] && [ "$(wc -l <"$work/said")" = 1 ] && grep -q "$says" "$work/said" && [ ! -e "$work/data/quendrix" ] ||
    fail "DISPLAY '$display' WAYLAND_DISPLAY '$wayland': exit code $rc, prefix $(ls -d "$work/data/quendrix" 2>&1), said: $(cat "$work/said")"
done <<ROWS
|wayland-0|XWayland
||DISPLAY is not set
:$missing||:$missing cannot be opened
localhost:$missing.0||cannot be opened
ROWS
# A first start cut off, as a logout does: its process group and the prefix's server killed at
# 5 s, or a second into Wine's making the prefix when that comes first.
setsid "${launch[@]}" >"$work/said" 2>&1 &
until_true 4 test -d "$work/data/quendrix/drive_c/windows/system32" || true
sleep 1
kill -- "-$!" && WINEPREFIX=$work/data/quendrix wineserver -k && WINEPREFIX=$work/data/quendrix wineserver -w
[ ! -e "$work/data/quendrix/.quendrix-prefix" ] || fail "the first start was not cut off before the prefix was prepared"
start=$(date +%s%N)
"${launch[@]}" >"$work/said" 2>&1 &
launcher_pid=$!
until_true 30 test -s "$work/said" || fail "the next start did not say it prepares the prefix"
openbox --config-file "$work/rc.xml" >"$work/openbox.log" 2>&1 &
wm_pid=$!

# The window the manager lists as a client, by its name and, when given, its process: the
# launcher's own, in which it runs the program. The manager marks the window with its state.
client_named() {
  local list w
  list=$(xprop -root _NET_CLIENT_LIST 2>/dev/null) || return 1
  for w in $(grep -o '0x[0-9a-f]*' <<<"$list"); do
    [ "$(xprop -id "$w" WM_NAME 2>/dev/null)" = "WM_NAME(STRING) = \"$1\"" ] || continue
    [[ -z "${2:-}" || "$(xprop -id "$w" _NET_WM_PID 2>/dev/null)" == *" = $2" ]] && { echo "$w"; return 0; }
  done
  return 1
}
found() { win=$(client_named Quendrix "$launcher_pid"); }
until_true 90 found || fail "no window Quendrix among the window manager's clients; the launcher said: $(cat "$work/said")"
echo "managed window $(( ($(date +%s%N) - start) / 1000000 )) ms after the launcher started (prefix made)"
xwininfo -id "$win" | grep -q 'Override Redirect State: no' || fail "the window is override-redirect"

# size WINDOW: the client area, which is the X window of a managed Wine window
size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }'; }
read -r width height < <(size "$win")
echo "client $width x $height at 192 DPI"
# Twice the 96-DPI 423 x 112, within a tenth.
(( width * 10 >= 846 * 9 && width * 10 <= 846 * 11 && height * 10 >= 224 * 9 && height * 10 <= 224 * 11 )) ||
  fail "the window is $width x $height at 192 DPI, not about twice 423 x 112"

class=$(xprop -id "$win" WM_CLASS | sed 's/.*, "\(.*\)"$/\1/')
grep -qx "StartupWMClass=$class" "$entry" || fail "the window's class is $class, the entry's $(grep StartupWMClass "$entry")"
above() { [[ "$(xprop -id "$win" _NET_WM_STATE)" == *_NET_WM_STATE_ABOVE* ]]; }
until_true 5 above || fail "no _NET_WM_STATE_ABOVE with Stay on top on: $(xprop -id "$win" _NET_WM_STATE)"

# Settings from the window menu (its last item but one); Alt+O clears Stay on top, Enter is OK.
active() { [[ "$(xprop -root _NET_ACTIVE_WINDOW)" == *"# $win" ]]; }
until_true 5 active || fail "the window did not get the focus"
xdotool key F1
until_true 10 test -s "$work/opened" || fail "F1 reached no browser"
[[ "$(cat "$work/opened")" == file://*/lib/quendrix/Help/Quendrix.htm ]] || fail "F1 opened $(cat "$work/opened")"
settings() { client_named Settings >/dev/null; }
# The window manager keeps the caption's menu: Settings... is on the fields' context menu too. A
# right click on the label Bin (a field's own menu is the edit control's), then the item's key.
xdotool mousemove --window "$win" $((width * 11 / 282)) $((height * 55 / 69)) click 3
sleep 0.5
xdotool key s
until_true 5 settings || fail "the Settings dialog did not open from the fields' context menu"
xdotool key Escape
until_true 5 eval '! settings' || fail "Escape did not close the Settings dialog"
until_true 5 active || fail "the focus did not come back to the window after Settings"
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
# ended PID: the launcher has ended, with the program.
ended() { ! kill -0 "$1" 2>/dev/null; }
until_true 10 ended "$launcher_pid" || fail "Escape did not end the program"
set +e; wait "$launcher_pid"; rc=$?; set -e
launcher_pid=""
[ "$rc" = 0 ] || fail "the launcher returned $rc"
# Quiet: the one line about the first start, nothing of Wine's.
[ "$(wc -l <"$work/said")" = 1 ] || fail "the launcher said more than one line: $(cat "$work/said")"

# A start on a display that does not exist, when no Wine session runs in the prefix, fails.
echo 'Xft.dpi: 96' | xrdb -nocpp -merge
WINEPREFIX=$work/data/quendrix wineserver -w
set +e
DISPLAY=":$missing" timeout 60 "${launch[@]}" >"$work/said" 2>&1
rc=$?
set -e
[ "$rc" = 1 ] || fail "started on a display that does not exist, the launcher returned $rc, not 1: $(cat "$work/said")"

# Right after it, with the desktop back at 96 DPI: two starts at once, one writing the new scale
# while the other waits, both follow it down, silently.
start=$(date +%s%N)
"${launch[@]}" >"$work/said" 2>&1 &
launcher_pid=$!
"${launch[@]}" >"$work/other-said" 2>&1 &
other_pid=$!
found() { win=$(client_named Quendrix "$launcher_pid") && other=$(client_named Quendrix "$other_pid"); }
until_true 60 found || fail "not both windows after the scale changed; the launchers said: $(cat "$work/said" "$work/other-said")"
echo "both windows $(( ($(date +%s%N) - start) / 1000000 )) ms after the launchers started (scale changed)"
for pid in "$launcher_pid" "$other_pid"; do
  w=$(client_named Quendrix "$pid")
  [ "$(size "$w")" = "423 112" ] || fail "a window is $(size "$w") at 96 DPI, not 423 112"
  xdotool windowactivate --sync "$w" key Escape
  until_true 10 ended "$pid" || fail "Escape did not end the program"
  set +e; wait "$pid"; rc=$?; set -e
  [ "$rc" = 0 ] || fail "a launcher returned $rc"
done
launcher_pid="" other_pid=""
[ ! -s "$work/said" ] && [ ! -s "$work/other-said" ] || fail "the launchers said: $(cat "$work/said" "$work/other-said")"

# make uninstall takes away all that make install put there.
bash "$root/scripts/install.sh" --prefix "$work/usr" uninstall >/dev/null
[ -z "$(ls -A "$work/usr")" ] || fail "uninstall left $(find "$work/usr" -mindepth 1)"
echo "1 passed, 0 failed"
