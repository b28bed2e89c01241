#!/usr/bin/env bash
# Two builds of one commit are the same bytes: the build tree's shipped files and their packages,
# against the same built afresh from a copy of the sources at another path and packed by that
# copy's scripts. Compared: Quendrix.exe, qx.exe, qx, the .deb packages and both zips (the page).
#   reproducible_test.sh Quendrix.exe qx.exe qx WEB-DIR     (the build tree's, as make builds them)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SOURCE_DATE_EPOCH=$(bash "$root/scripts/version.sh" --epoch)
export SOURCE_DATE_EPOCH

# pack SOURCES OUT Quendrix.exe qx.exe qx WEB-DIR
pack() {
  mkdir -p "$2" && cp "$3" "$4" "$5" "$2/"
  bash "$1/scripts/deb.sh" "$3" "$5" "$2" && bash "$1/scripts/dist.sh" "$3" "$2" "$4" && bash "$1/scripts/dist-web.sh" "$6" "$2"
} >>"$work/log" 2>&1
pack "$root" "$work/one" "$@"

src=$work/elsewhere/quendrix
mkdir -p "$src"
git -C "$root" ls-files -z --cached --others --exclude-standard | tar -C "$root" --null --ignore-failed-read -T - -c 2>/dev/null | tar -C "$src" -x
start=$SECONDS
(cd "$src" && cmake --preset windows && cmake --build --preset windows --target Quendrix qx &&
  cmake --preset native && cmake --build --preset native --target qx && cmake --preset web && cmake --build --preset web
) >>"$work/log" 2>&1 || { cat "$work/log"; echo "FAIL: the second build failed"; exit 1; }
echo "second build: $((SECONDS - start)) s"
out=$src/build
pack "$src" "$work/two" "$out/windows/app/Quendrix.exe" "$out/windows/cli/qx.exe" "$out/native/cli/qx" "$out/web" ||
  { cat "$work/log"; echo "FAIL: packing the second build failed"; exit 1; }

failed=0
[ "$(ls "$work/one")" = "$(ls "$work/two")" ] || { echo "FAIL: $(ls "$work/one") against $(ls "$work/two")"; failed=1; }
for file in "$work"/one/*; do
  cmp "$file" "$work/two/${file##*/}" && echo "same bytes: ${file##*/}" || failed=1
done
# The time in the executables' headers is the release's.
for exe in Quendrix.exe qx.exe; do
  header=$(od -An -tu4 -j 60 -N4 "$work/one/$exe")
  [ "$(od -An -tu4 -j $((header + 8)) -N4 "$work/one/$exe" | tr -d ' ')" = "$SOURCE_DATE_EPOCH" ] ||
    { echo "FAIL: $exe is not dated $SOURCE_DATE_EPOCH"; failed=1; }
done
[ "$failed" = 0 ] || exit 1
echo "1 passed, 0 failed"
