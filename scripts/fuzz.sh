#!/usr/bin/env bash
# Runs each fuzzer for SECONDS (default 60) on a corpus kept in the build tree between runs
# (build/fuzz/corpus-NAME, started from fuzz/NAME-seeds where there are seeds), then prints how
# many inputs it executed. A broken rule leaves the failing input in build/fuzz/ and ends the
# script with the fuzzer's status.
#
#   fuzz.sh [SECONDS] [NAME...]     NAME: parsers (the field parsers), qx (qx whole); default both
set -euo pipefail

seconds=${1:-60}
shift || true
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(parsers qx)
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

for name in "${names[@]}"; do
  fuzzer=$root/build/fuzz/fuzz/${name}_fuzz
  corpus=$root/build/fuzz/corpus-$name
  [ -x "$fuzzer" ] || {
    echo "fuzz.sh: $fuzzer is not built: cmake --preset fuzz && cmake --build --preset fuzz" >&2
    exit 2
  }
  mkdir -p "$corpus"
  seeds=()
  [ -d "$root/fuzz/$name-seeds" ] && seeds=("$root/fuzz/$name-seeds")
  status=0
  "$fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
    -dict="$root/fuzz/$name.dict" -artifact_prefix="$root/build/fuzz/$name-" \
    "$corpus" "${seeds[@]}" 2>"$log" || status=$?
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log" >&2
    echo "fuzz.sh: the $name fuzzer failed (exit $status)" >&2
    exit "$status"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "fuzz $name: ${runs:-?} executions in ${seconds} s (${rate:-?}/s), corpus $(ls "$corpus" | wc -l) inputs"
done
