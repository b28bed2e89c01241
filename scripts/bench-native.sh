#!/usr/bin/env bash
# The native window's start-up and memory beside its floor (bench/qt_floor.cpp: the same widgets
# in a plain Qt dialog) and two calculators a Linux desktop already has, under Xvfb with openbox on
# a D-Bus session and a home of their own. After one round to warm up, ROUNDS rounds (15 by
# default) start the four programs once each, in a random order; each start gives the
# milliseconds until the program's window is mapped, its processor time by then and its resident
# memory once settled (bench/window_mapped.cpp). Medians, and quendrix's ratios to the others.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/native
rounds=${ROUNDS:-15}
# gnome-calculator will not start without a session bus: a private one, for all four alike.
if [ "${QUENDRIX_BENCH_BUS:-}" != 1 ]; then
  # Its daemons' chatter left out; this script's own errors still reach stderr, through fd 3.
  QUENDRIX_BENCH_BUS=1 dbus-run-session -- bash "$0" "$@" 3>&2 2>/dev/null | grep -v '^SpiRegistry daemon'
  exit "${PIPESTATUS[0]}"
fi
exec 2>&3 3>&-
work=$(mktemp -d)
xvfb_pid="" wm_pid=""
cleanup() {
  for pid in $wm_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "bench-native: $*" >&2; exit 1; }
. "$root/scripts/until_true.sh"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
until_true 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(tr -dc 0-9 <"$work/display")" HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME"
openbox --sm-disable &>/dev/null &
wm_pid=$!
managed() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
until_true 10 managed || fail "openbox did not start"

names=(quendrix floor galculator gnome-calculator)
programs=("$build/qt/quendrix" "$build/bench/qt_floor" galculator gnome-calculator)
for ((round = 0; round <= rounds; round++)); do
  # A new order every round: no program always follows the same one (gnome-calculator's exit
  # still has the machine busy for a moment).
  for i in $(shuf -e "${!names[@]}"); do
    sleep 0.3
    figures=$("$build/bench/window_mapped" "${programs[i]}" 2>>"$work/said") ||
      fail "${names[i]}: $(tail -n 3 "$work/said")"
    [ "$round" = 0 ] || echo "${names[i]} $figures" >>"$work/figures"
  done
done

# median NAME COLUMN: the median of that program's figures in the column (2: ms to the window,
# 3: KiB resident, 4: ms of processor time)
median() {
  awk -v name="$1" -v column="$2" '$1 == name { print $column }' "$work/figures" | sort -g |
    awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
declare -A ms kib cpu
echo "medians of $rounds starts: start to a mapped window (fastest-slowest), processor time by then,"
echo "resident memory once settled"
for name in "${names[@]}"; do
  ms[$name]=$(median "$name" 2) kib[$name]=$(median "$name" 3) cpu[$name]=$(median "$name" 4)
  range=$(awk -v name="$name" '$1 == name { print $2 }' "$work/figures" | sort -g | sed -n '1p;$p' | paste -sd-)
  printf '  %-17s %7.1f ms (%s)  %7.1f ms  %6.1f MiB\n' "$name" "${ms[$name]}" "$range" "${cpu[$name]}" \
    "$(awk -v k="${kib[$name]}" 'BEGIN { print k / 1024 }')"
done
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }
verdict() { awk "BEGIN { exit !($1) }" && echo "met" || echo "MISSED"; }
echo "quendrix / floor: start-up $(ratio "${ms[quendrix]}" "${ms[floor]}"), memory $(ratio "${kib[quendrix]}" "${kib[floor]}")," \
     "processor time $(ratio "${cpu[quendrix]}" "${cpu[floor]}")" \
     "(goal for start-up and memory at most 1.15x: $(verdict "${ms[quendrix]} <= 1.15 * ${ms[floor]} && ${kib[quendrix]} <= 1.15 * ${kib[floor]}"))"
echo "quendrix / galculator: $(ratio "${ms[quendrix]}" "${ms[galculator]}"), / gnome-calculator:" \
     "$(ratio "${ms[quendrix]}" "${ms[gnome-calculator]}") (goal below 1x: $(verdict "${ms[quendrix]} < ${ms[galculator]} && ${ms[quendrix]} < ${ms[gnome-calculator]}"))"
