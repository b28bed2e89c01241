#!/usr/bin/env bash
# Packs a folder into a zip that is the same bytes wherever the same files are packed: entries in
# byte order of their paths, each dated the release's time (scripts/version.sh --epoch) in UTC,
# modes from the files' own execute bits only (no umask, owner or extra time fields).
#
#   zip-folder.sh ZIP PARENT FOLDER    packs PARENT/FOLDER as FOLDER/... into ZIP (made afresh);
#                                      the folder's times and modes are set on the way
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: zip-folder.sh ZIP PARENT FOLDER" >&2; exit 2; }
zip=$1 parent=$2 folder=$3
epoch=$(bash "$(dirname "${BASH_SOURCE[0]}")/version.sh" --epoch)
case $zip in /*) ;; *) zip=$PWD/$zip ;; esac
cd "$parent"
chmod -R u=rwX,go=rX "$folder"
find "$folder" -exec touch -h -d "@$epoch" {} +
rm -f "$zip"
find "$folder" | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$zip"
