#!/usr/bin/env bash
# The native window on Wayland alone (no X display): under a headless weston on a private socket,
# the program's own protocol log shows the window titled, drawn and put on an output; SIGTERM, as a
# session without a session manager ends its programs, ends it with 0 and the options saved; a
# compositor that goes away ends it with 1 and one line. With no display to reach, one line and 1.
#   qt_wayland_test.sh build/native/qt/quendrix
set -euo pipefail
program=$1
run=$(mktemp -d)  # 0700: the compositor's socket and the program's settings
weston_pid="" program_pid=""
cleanup() {
  for pid in $program_pid $weston_pid; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$run"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "${BASH_SOURCE[0]}")/../scripts/until_true.sh"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$run XDG_CONFIG_HOME=$run/config

# Nothing to open the window on: one line and 1, before Qt is asked.
while IFS='|' read -r display wayland; do
  status=0
  env ${display:+DISPLAY=$display} ${wayland:+WAYLAND_DISPLAY=$wayland} "$program" >"$run/out" 2>"$run/err" || status=$?
  [ "$status" = 1 ] && [ ! -s "$run/out" ] && [ "$(wc -l <"$run/err")" = 1 ] ||
    fail "DISPLAY '$display' WAYLAND_DISPLAY '$wayland': exit $status, said: $(cat "$run/out" "$run/err")"
done <<'EOF'
|
|no-such-socket
:65000|
EOF

weston --backend=headless-backend.so --socket=quendrix-test --no-config --idle-time=0 >"$run/weston.log" 2>&1 &
weston_pid=$!
until_true 10 test -S "$run/quendrix-test" || fail "weston did not start: $(cat "$run/weston.log")"
export WAYLAND_DISPLAY=quendrix-test

# The options say save on exit, so an orderly end writes all of them; a hand put a negative
# increment and text into the file, which are ignored, and all 32 bits of Signed, which are kept.
mkdir -p "$XDG_CONFIG_HOME/Holvanta"
printf '[General]\nSave%%20on%%20exit=1\nSpin%%20increment=-5\nSize=two\nSigned=4294967295\n' \
  >"$XDG_CONFIG_HOME/Holvanta/Quendrix.conf"
# start: the program with its protocol log, until its toplevel's surface is titled, given a
# buffer, committed and put on an output.
start() {
  : >"$run/protocol"
  WAYLAND_DEBUG=1 "$program" 2>>"$run/protocol" &
  program_pid=$!
  until_true 15 awk '
    /get_xdg_surface\(/ { match($0, /wl_surface@[0-9]+/); surface = substr($0, RSTART, RLENGTH) }
    /xdg_toplevel@[0-9]+\.set_title\("Quendrix"\)/ { titled = 1 }
    surface && index($0, "-> " surface ".attach(wl_buffer@") { attached = titled }
    surface && index($0, "-> " surface ".commit()") && attached { committed = 1 }
    surface && index($0, " " surface ".enter(wl_output@") && committed { shown = 1 }
    END { exit !shown }' "$run/protocol" || fail "no titled, drawn window on an output: $(tail -5 "$run/protocol")"
}
start
kill -TERM "$program_pid"
status=0 && wait "$program_pid" || status=$?
program_pid=""
[ "$status" = 0 ] || fail "SIGTERM ended the program with $status"
saved=$(sort "$XDG_CONFIG_HOME/Holvanta/Quendrix.conf" | tr '\n' ' ')
[[ "$saved" == *"Signed=4294967295 Size=4 Spin%20increment=1 "* ]] || fail "SIGTERM saved: $saved"

start
kill "$weston_pid"
status=0 && wait "$program_pid" || status=$?
program_pid=""
said=$(grep -v '^\[' "$run/protocol" || true)
[ "$status" = 1 ] && [ "$(wc -l <<<"$said")" = 1 ] || fail "the compositor gone: exit $status, said: $said"
