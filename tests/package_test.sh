#!/usr/bin/env bash
# The Debian package as `make deb` builds it: its control data and file list, removed by dpkg
# without a trace, lintian's verdict, the metainfo software centres read, and qx's completions
# offering what qx takes. Nothing is installed on this machine: dpkg works in a folder of its own.
#   package_test.sh Quendrix.exe qx
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=$1 qx=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

version=$(bash "$root/scripts/version.sh")
deb=$(bash "$root/scripts/deb.sh" "$exe" "$qx" "$work")
[ "$(basename "$deb")" = "quendrix_${version}_amd64.deb" ] || fail "package named $deb"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

# Control data: each field against a pattern. The libraries qx links to come from dpkg-shlibdeps.
while IFS='|' read -r field pattern; do
  value=$(dpkg-deb -f "$deb" "$field")
  # shellcheck disable=SC2053
  [[ "$value" == $pattern ]] || fail "$field is '$value', not '$pattern'"
done <<EOF
Package|quendrix
Version|$version
Architecture|amd64
Depends|wine, wine64, fonts-wine, libc6 (>= 2.*)
Recommends|x11-utils, xdg-utils
Section|utils
Priority|optional
Maintainer|* <*@*>
Installed-Size|[1-9]*
Description|one 32-bit value as decimal, hex, text, IP address and binary*
EOF

# Every entry but the folders: its mode, owner and path (and a link's target).
want=$(cat <<'EOF'
-rwxr-xr-x root/root ./usr/bin/quendrix
-rwxr-xr-x root/root ./usr/bin/qx
-rw-r--r-- root/root ./usr/lib/quendrix/Help/Quendrix.htm
-rw-r--r-- root/root ./usr/lib/quendrix/Quendrix.exe
lrwxrwxrwx root/root ./usr/lib/quendrix/fonts/marlett.ttf -> ../../../share/wine/fonts/marlett.ttf
lrwxrwxrwx root/root ./usr/lib/quendrix/fonts/sserife.fon -> ../../../share/wine/fonts/sserife.fon
lrwxrwxrwx root/root ./usr/lib/quendrix/fonts/tahoma.ttf -> ../../../share/wine/fonts/tahoma.ttf
lrwxrwxrwx root/root ./usr/lib/quendrix/fonts/tahomabd.ttf -> ../../../share/wine/fonts/tahomabd.ttf
-rwxr-xr-x root/root ./usr/lib/quendrix/prepare-prefix.sh
-rw-r--r-- root/root ./usr/share/applications/quendrix.desktop
-rw-r--r-- root/root ./usr/share/bash-completion/completions/qx
-rw-r--r-- root/root ./usr/share/doc/quendrix/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/quendrix/copyright
-rw-r--r-- root/root ./usr/share/fish/vendor_completions.d/qx.fish
-rw-r--r-- root/root ./usr/share/icons/hicolor/128x128/apps/quendrix.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/16x16/apps/quendrix.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/quendrix.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/32x32/apps/quendrix.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/quendrix.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/64x64/apps/quendrix.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/scalable/apps/quendrix.svg
-rw-r--r-- root/root ./usr/share/man/man1/quendrix.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/qx.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/com.holvanta.quendrix.metainfo.xml
-rw-r--r-- root/root ./usr/share/zsh/vendor-completions/_qx
EOF
)
got=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { $3 = $4 = $5 = ""; print }' | tr -s ' ' | sort -k3)
[ "$got" = "$want" ] || fail "the package's files differ from the list:
$(diff <(echo "$want") <(echo "$got") || true)"
dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root") { print; bad = 1 } END { exit bad }' ||
  fail "folders not 755 root/root"
# The faces are fonts-wine's, under the names the links give.
for face in $(sh "$root/scripts/prepare-prefix.sh" --faces); do
  dpkg -S "/usr/share/wine/fonts/$face" 2>/dev/null | grep -q '^fonts-wine:' || fail "fonts-wine has no $face"
done

# Installed and removed by dpkg in a root of its own (nothing else installed there, so its
# dependencies are waived): removing it leaves nothing under /usr.
fake=$work/dpkg-root
mkdir -p "$fake/var/lib/dpkg/info" "$fake/var/lib/dpkg/updates" "$fake/var/log"
touch "$fake/var/lib/dpkg/status"
dpkg --root="$fake" --force-depends --force-script-chrootless -i "$deb" >/dev/null 2>&1 || fail "dpkg -i failed"
[ -x "$fake/usr/bin/quendrix" ] && [ -x "$fake/usr/bin/qx" ] || fail "dpkg -i installed no quendrix and qx"
dpkg --root="$fake" -r quendrix >/dev/null 2>&1 || fail "dpkg -r failed"
[ ! -e "$fake/usr" ] || fail "dpkg -r left $(find "$fake/usr")"

dpkg-deb -x "$deb" "$work/root"
# Names filled in when installed, nowhere left as a placeholder.
left=$(grep -rlI '@[A-Z]*@' "$work/root" || true)
[ -z "$left" ] || fail "placeholders left in $left"
for page in quendrix qx; do
  zcat "$work/root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .*\"Quendrix $version\"" || fail "$page.1 names no version $version"
done

echo "lintian:"
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 || fail "lintian reports errors or warnings"
grep -v 'running with root privileges' "$work/lintian" || true
echo "appstreamcli:"
appstreamcli validate-tree --pedantic --no-net "$work/root" || fail "appstreamcli validate-tree refuses the package"

# bash completion: a command line (the word completed last, after the space) and what is offered.
# shellcheck source=/dev/null
source "$work/root/usr/share/bash-completion/completions/qx"
offered() {
  read -ra COMP_WORDS <<<"$1"
  [[ "$1" == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) COMPREPLY=()
  _qx
  echo "${COMPREPLY[*]}"
}
while IFS='|' read -r line want; do
  [ "$(offered "$line")" = "$want" ] || fail "completing '$line' offers '$(offered "$line")', not '$want'"
done <<'EOF'
qx --fi|--field
qx --field |dec hex text ip bin color
qx --field h|hex
qx --field = t|text
qx --field=b|--field=bin
qx --width |1 2 4
qx 12 --js|--json
qx --unsigned -x 41|
qx -- --|
EOF
# Each shell's completion offers exactly the long options qx --help names.
options=$("$qx" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
[ "$(offered "qx --" | tr ' ' '\n' | sort)" = "$options" ] || fail "bash offers $(offered "qx --"), qx --help names $options"
zsh=$(grep -o -- '--[a-z][a-z-]*' "$work/root/usr/share/zsh/vendor-completions/_qx" | sort -u)
[ "$zsh" = "$options" ] || fail "the zsh completion names $zsh"
fish=$(sed -n 's/.* -l \([a-z-]*\).*/--\1/p' "$work/root/usr/share/fish/vendor_completions.d/qx.fish" | sort -u)
[ "$fish" = "$options" ] || fail "the fish completion names $fish"

[ "$failed" = 0 ] || exit 1
echo "1 passed, 0 failed"
