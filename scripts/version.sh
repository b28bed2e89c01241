#!/usr/bin/env bash
# Prints the version the version resource carries (res/Quendrix.rc), as 1.2.0.1: the release
# package, the Debian package, the launcher and the manual page all name this one.
#   version.sh            the version
#   version.sh --date     the release's date, YYYY-MM-DD: the last commit's, else today's
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ "${1:-}" = --date ]; then
  git -C "$root" log -1 --format=%cs 2>/dev/null || date -u +%F
  exit 0
fi
version=$(sed -n 's/^FILEVERSION[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\).*/\1.\2.\3.\4/p' "$root/res/Quendrix.rc")
[ -n "$version" ] || { echo "version: no FILEVERSION in res/Quendrix.rc" >&2; exit 1; }
echo "$version"
