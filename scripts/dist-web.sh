#!/usr/bin/env bash
# Packs the page: build/dist/Quendrix-<version>-web.zip with the folder Quendrix-web, whatever
# build/web holds (make web builds it), and the licence; any static web server serves it as it is.
#
#   dist-web.sh [WEB-DIR [OUT-DIR]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
web=${1:-$root/build/web}
out=${2:-$root/build/dist}
version=$(bash "$root/scripts/version.sh")
[ -f "$web/index.html" ] && [ -f "$web/quendrix.wasm" ] || { echo "dist-web: $web is not built" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$out"
cp -r "$web" "$stage/Quendrix-web"
cp "$root/LICENSE" "$stage/Quendrix-web/LICENSE.txt"
zip="$out/Quendrix-$version-web.zip"
bash "$root/scripts/zip-folder.sh" "$zip" "$stage" Quendrix-web
echo "$zip"
