#!/usr/bin/env bash
# Runs the parser fuzzer for SECONDS (default 60) on a corpus kept in the build tree between runs,
# then prints how many inputs it executed. A broken rule leaves the failing input in build/fuzz/.
#
#   fuzz.sh [SECONDS]
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
fuzzer=$root/build/fuzz/fuzz/parsers_fuzz
corpus=$root/build/fuzz/corpus
[ -x "$fuzzer" ] || {
  echo "fuzz.sh: $fuzzer is not built: cmake --preset fuzz && cmake --build --preset fuzz" >&2
  exit 2
}
mkdir -p "$corpus"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

status=0
"$fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
  -dict="$root/fuzz/parsers.dict" -artifact_prefix="$root/build/fuzz/" "$corpus" 2>"$log" || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log" >&2
  echo "fuzz.sh: the fuzzer failed (exit $status)" >&2
  exit "$status"
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
echo "fuzz: ${runs:-?} executions in ${seconds} s, corpus $(ls "$corpus" | wc -l) inputs"
