#!/usr/bin/env bash
# Two builds of one commit are the same bytes: the build tree's shipped files and their packages,
# against the same built afresh from a copy of the sources elsewhere and packed by its scripts.
#   reproducible_test.sh Quendrix.exe qx.exe qx quendrix WEB-DIR   (the build tree's, as make builds them)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SOURCE_DATE_EPOCH=$(bash "$root/scripts/version.sh" --epoch) && export SOURCE_DATE_EPOCH
pack() {  # SOURCES OUT Quendrix.exe qx.exe qx quendrix WEB-DIR
  mkdir "$2" && cp "$3" "$4" "$5" "$6" "$2/" && bash "$1/scripts/deb.sh" "$3" "$5" "$6" "$2" &&
    bash "$1/scripts/dist.sh" "$3" "$2" "$4" && bash "$1/scripts/dist-web.sh" "$7" "$2"
} >>"$work/log" 2>&1
src=$work/elsewhere/quendrix out=$work/elsewhere/quendrix/build
mkdir -p "$src" && git -C "$root" ls-files -z --cached --others --exclude-standard |
  tar -C "$root" --null --ignore-failed-read -T - -c 2>/dev/null | tar -C "$src" -xm  # dated now: no file time may reach what ships
pack "$root" "$work/one" "$@" && (cd "$src" && cmake --preset windows && cmake --build --preset windows --target Quendrix qx &&
  cmake --preset native && cmake --build --preset native --target qx quendrix && cmake --preset web && cmake --build --preset web
) >>"$work/log" 2>&1 &&
  pack "$src" "$work/two" "$out/windows/app/Quendrix.exe" "$out/windows/cli/qx.exe" "$out/native/cli/qx" \
    "$out/native/qt/quendrix" "$out/web" ||
  { cat "$work/log"; echo "FAIL: building or packing failed"; exit 1; }
[ "$(ls "$work/one")" = "$(ls "$work/two")" ] && (cd "$work/one" && for f in *; do cmp "$f" "../two/$f"; done) &&
  echo "same bytes: $(ls "$work/one" | tr '\n' ' ')" || { echo "FAIL: the builds differ (the build tree made by make at this commit?)"; exit 1; }
for exe in "$work"/one/*.exe; do  # the executables' headers are dated the release's time
  [ "$(od -An -tu4 -j $(($(od -An -tu4 -j 60 -N4 "$exe") + 8)) -N4 "$exe" | tr -d ' ')" = "$SOURCE_DATE_EPOCH" ] || { echo "FAIL: ${exe##*/} undated"; exit 1; }
done
echo "1 passed, 0 failed"
