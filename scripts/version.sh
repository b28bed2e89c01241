#!/usr/bin/env bash
# Prints the version the version resource carries (res/Quendrix.rc), as 1.2.0.1: the release
# package, the Debian package, the launcher and the manual pages all name this one.
#   version.sh            the version
#   version.sh --epoch    the release's time, in seconds since 1970: SOURCE_DATE_EPOCH when set (make
#                         sets it), else the last commit's, else now. Every time a package records
#                         is this one, so two builds of one commit are the same bytes.
#   version.sh --date     that time's date, YYYY-MM-DD (UTC)
#   version.sh --package  the Debian packages' version: the program's, then the packaging's own
#                         series after a +. Series 2 split the Windows program under Wine (the
#                         package quendrix of series 1) into quendrix, the native window, and
#                         quendrix-wine, so that both upgrade over it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
epoch() {
  case ${SOURCE_DATE_EPOCH:-} in
    ""|*[!0-9]*) git -C "$root" log -1 --format=%ct 2>/dev/null || date -u +%s ;;
    *) echo "$SOURCE_DATE_EPOCH" ;;
  esac
}
case ${1:-} in
  --epoch) epoch; exit 0 ;;
  --date) date -u -d "@$(epoch)" +%F; exit 0 ;;
esac
version=$(sed -n 's/^FILEVERSION[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\),[[:space:]]*\([0-9]*\).*/\1.\2.\3.\4/p' "$root/res/Quendrix.rc")
[ -n "$version" ] || { echo "version: no FILEVERSION in res/Quendrix.rc" >&2; exit 1; }
[ "${1:-}" = --package ] && version=$version+2
echo "$version"
