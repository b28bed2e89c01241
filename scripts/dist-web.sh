#!/usr/bin/env bash
# Packs the page: build/dist/Quendrix-<version>-web.zip with the folder Quendrix-web, whatever
# build/web holds (make web builds it); any static web server serves it as it is.
#
#   dist-web.sh [WEB-DIR [OUT-DIR]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
web=${1:-$root/build/web}
out=${2:-$root/build/dist}
version=$(sed -n 's/^FILEVERSION[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\).*/\1.\2.\3.\4/p' "$root/res/Quendrix.rc")
[ -n "$version" ] || { echo "dist-web: no FILEVERSION in res/Quendrix.rc" >&2; exit 1; }
[ -f "$web/index.html" ] && [ -f "$web/quendrix.wasm" ] || { echo "dist-web: $web is not built" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$out"
cp -r "$web" "$stage/Quendrix-web"
zip="$out/Quendrix-$version-web.zip"
rm -f "$zip"
(cd "$stage" && zip -q -X -r "$zip" Quendrix-web)
echo "$zip"
