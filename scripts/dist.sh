#!/usr/bin/env bash
# Packs the release: build/dist/Quendrix-<version>-win64.zip with Quendrix.exe, qx.exe (the same
# value in a console), Help/Quendrix.htm, README.txt and LICENSE.txt. The version is the one the
# version resource carries.
#
#   dist.sh [Quendrix.exe [OUT-DIR [qx.exe]]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:-$root/build/windows/app/Quendrix.exe}
out=${2:-$root/build/dist}
qx=${3:-$root/build/windows/cli/qx.exe}
version=$(bash "$root/scripts/version.sh")
[ -f "$exe" ] || { echo "dist: $exe is not built" >&2; exit 1; }
[ -f "$qx" ] || { echo "dist: $qx is not built" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/Quendrix/Help" "$out"
cp "$exe" "$stage/Quendrix/Quendrix.exe"
cp "$qx" "$stage/Quendrix/qx.exe"
cp "$root/help/Quendrix.htm" "$stage/Quendrix/Help/Quendrix.htm"
sed 's/$/\r/' "$root/help/README.txt" > "$stage/Quendrix/README.txt"  # Windows line ends
sed 's/$/\r/' "$root/LICENSE" > "$stage/Quendrix/LICENSE.txt"
zip="$out/Quendrix-$version-win64.zip"
bash "$root/scripts/zip-folder.sh" "$zip" "$stage" Quendrix
echo "$zip"
