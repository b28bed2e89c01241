#!/usr/bin/env bash
# The Debian packages as `make deb` builds them, quendrix (the native window, qx) and quendrix-wine:
# their control data and file lists, installed side by side and removed by dpkg without a trace,
# lintian's verdict, the menu entries and metainfo software centres read, and qx's completions
# offering what qx takes. Nothing is installed on this machine: dpkg works in a folder of its own.
#   package_test.sh Quendrix.exe qx quendrix
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=$1 qx=$2 window=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

version=$(bash "$root/scripts/version.sh" --package)
debs=$(bash "$root/scripts/deb.sh" "$exe" "$qx" "$window" "$work")
deb=${debs%%$'\n'*} wine=${debs#*$'\n'}
[ "${deb##*/} ${wine##*/}" = "quendrix_${version}_amd64.deb quendrix-wine_${version}_amd64.deb" ] || fail "packages named $deb $wine"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, $(basename "$wine"): $(stat -c %s "$wine") bytes"

# Control data: each field (of quendrix-wine's with wine:) against a pattern. The libraries the
# native programs link to come from dpkg-shlibdeps, and nothing of Wine's is among them.
while IFS='|' read -r field pattern; do
  [[ "$field" != wine:* ]] && value=$(dpkg-deb -f "$deb" "$field") || value=$(dpkg-deb -f "$wine" "${field#wine:}")
  # shellcheck disable=SC2053
  [[ "$value" == $pattern ]] || fail "$field is '$value', not '$pattern'"
done <<EOF
Package|quendrix
Version|$version
Architecture|amd64
Depends|libc6 (>= 2.*)*libqt6widgets6 (>= 6.*)*
Recommends|qt6-wayland, qt6-gtk-platformtheme, xdg-utils
Section|utils
Priority|optional
Maintainer|* <*@*>
Installed-Size|[1-9]*
Description|one 32-bit value as decimal, hex, text, IP address and binary*
wine:Package|quendrix-wine
wine:Depends|wine, wine64, fonts-wine
wine:Recommends|x11-utils, xdg-utils
wine:Breaks|quendrix (<< $version)
wine:Replaces|quendrix (<< $version)
wine:Description|Quendrix, the Windows program, under Wine*
EOF
[[ "$(dpkg-deb -f "$deb" Depends Recommends)" != *wine* ]] || fail "quendrix names Wine: $(dpkg-deb -f "$deb" Depends)"

# Every entry but the folders, quendrix's then quendrix-wine's: its mode, owner and path (and a
# link's target); the icons, in every size, under each package's name.
icons=$(for size in 128x128 16x16 256x256 32x32 48x48 64x64 scalable; do echo "$size/apps/@.$([ $size = scalable ] && echo svg || echo png)"; done)
want=$(cat <<EOF
-rwxr-xr-x root/root ./usr/bin/quendrix
-rwxr-xr-x root/root ./usr/bin/qx
-rw-r--r-- root/root ./usr/share/applications/com.holvanta.quendrix.desktop
-rw-r--r-- root/root ./usr/share/bash-completion/completions/qx
-rw-r--r-- root/root ./usr/share/doc/quendrix/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/quendrix/copyright
-rw-r--r-- root/root ./usr/share/fish/vendor_completions.d/qx.fish
$(sed 's|^|-rw-r--r-- root/root ./usr/share/icons/hicolor/|; s|@|com.holvanta.quendrix|' <<<"$icons")
-rw-r--r-- root/root ./usr/share/man/man1/quendrix.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/qx.1.gz
-rw-r--r-- root/root ./usr/share/metainfo/com.holvanta.quendrix.metainfo.xml
-rw-r--r-- root/root ./usr/share/quendrix/Help/Quendrix.htm
-rw-r--r-- root/root ./usr/share/zsh/vendor-completions/_qx
-rwxr-xr-x root/root ./usr/bin/quendrix-wine
-rw-r--r-- root/root ./usr/lib/quendrix/Help/Quendrix.htm
-rw-r--r-- root/root ./usr/lib/quendrix/Quendrix.exe
lrwxrwxrwx root/root ./usr/lib/quendrix/fonts/marlett.ttf -> ../../../share/wine/fonts/marlett.ttf
lrwxrwxrwx root/root ./usr/lib/quendrix/fonts/sserife.fon -> ../../../share/wine/fonts/sserife.fon
lrwxrwxrwx root/root ./usr/lib/quendrix/fonts/tahoma.ttf -> ../../../share/wine/fonts/tahoma.ttf
lrwxrwxrwx root/root ./usr/lib/quendrix/fonts/tahomabd.ttf -> ../../../share/wine/fonts/tahomabd.ttf
-rwxr-xr-x root/root ./usr/lib/quendrix/prepare-prefix.sh
-rw-r--r-- root/root ./usr/share/applications/quendrix-wine.desktop
-rw-r--r-- root/root ./usr/share/doc/quendrix-wine/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/quendrix-wine/copyright
$(sed 's|^|-rw-r--r-- root/root ./usr/share/icons/hicolor/|; s|@|quendrix-wine|' <<<"$icons")
-rw-r--r-- root/root ./usr/share/man/man1/quendrix-wine.1.gz
EOF
)
got=$(for package in "$deb" "$wine"; do dpkg-deb -c "$package" | awk '$1 !~ /^d/ { $3 = $4 = $5 = ""; print }' | tr -s ' ' | sort -k3; done)
[ "$got" = "$want" ] || fail "the packages' files differ from the list:
$(diff <(echo "$want") <(echo "$got") || true)"
for package in "$deb" "$wine"; do dpkg-deb -c "$package"; done | awk '$1 ~ /^d/ && ($1 != "drwxr-xr-x" || $2 != "root/root") { print; bad = 1 } END { exit bad }' ||
  fail "folders not 755 root/root"
# The faces are fonts-wine's, under the names the links give.
for face in $(sh "$root/scripts/prepare-prefix.sh" --faces); do
  dpkg -S "/usr/share/wine/fonts/$face" 2>/dev/null | grep -q '^fonts-wine:' || fail "fonts-wine has no $face"
done

# Installed side by side by dpkg in a root of their own (nothing else installed there, so their
# dependencies are waived; a file in both would stop the second) and removed one by one, each
# leaving the other whole, the last leaving nothing under /usr.
fake=$work/dpkg-root
mkdir -p "$fake/var/lib/dpkg/info" "$fake/var/lib/dpkg/updates" "$fake/var/log"
touch "$fake/var/lib/dpkg/status"
dpkg --root="$fake" --force-depends --force-script-chrootless -i "$deb" "$wine" >"$work/dpkg" 2>&1 || fail "dpkg -i failed: $(cat "$work/dpkg")"
[ -x "$fake/usr/bin/quendrix" ] && [ -x "$fake/usr/bin/qx" ] && [ -x "$fake/usr/bin/quendrix-wine" ] || fail "dpkg -i installed no quendrix, qx and quendrix-wine"
dpkg --root="$fake" -r quendrix >/dev/null 2>&1 || fail "dpkg -r failed"
[ -f "$fake/usr/lib/quendrix/Quendrix.exe" ] && [ ! -e "$fake/usr/bin/qx" ] || fail "dpkg -r quendrix took quendrix-wine's files, or left its own"
dpkg --root="$fake" -r quendrix-wine >/dev/null 2>&1 || fail "dpkg -r quendrix-wine failed"
[ ! -e "$fake/usr" ] || fail "dpkg -r left $(find "$fake/usr")"

dpkg-deb -x "$deb" "$work/root" && dpkg-deb -x "$wine" "$work/root-wine"
for entry in "$work"/root*/usr/share/applications/*; do
  [ -z "$(desktop-file-validate "$entry" 2>&1)" ] || fail "desktop-file-validate: $(desktop-file-validate "$entry" 2>&1)"
done
# Names filled in when installed, nowhere left as a placeholder.
left=$(grep -rlI '@[A-Z]*@' "$work/root" "$work/root-wine" || true)
[ -z "$left" ] || fail "placeholders left in $left"
for page in root/usr/share/man/man1/quendrix root/usr/share/man/man1/qx root-wine/usr/share/man/man1/quendrix-wine; do
  zcat "$work/$page.1.gz" | grep -q "^\.TH .*\"Quendrix ${version%+*}\"" || fail "$page.1 names no version ${version%+*}"
done

echo "lintian:"
lintian --fail-on error,warning "$deb" "$wine" >"$work/lintian" 2>&1 || fail "lintian reports errors or warnings"
grep -v 'running with root privileges' "$work/lintian" || true
# The metainfo describes the native window; its launchable, the menu entry, must be there.
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
