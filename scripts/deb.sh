#!/usr/bin/env bash
# Builds the Debian package build/dist/quendrix_<version>_amd64.deb: what `make install` puts
# under /usr, with qx stripped, the manual pages compressed, the copyright and changelog Debian
# asks for, and Windows' faces taken from the package fonts-wine rather than copied. Prints the
# package's path.
#
#   deb.sh [Quendrix.exe [qx [OUT-DIR]]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:-$root/build/windows/app/Quendrix.exe}
qx=${2:-$root/build/native/cli/qx}
out=${3:-$root/build/dist}
version=$(bash "$root/scripts/version.sh")
[ -f "$qx" ] || { echo "deb: $qx is not built (make deb builds it)" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
pkg=$stage/debian/quendrix  # where dpkg-shlibdeps looks for a package's files
bash "$root/scripts/install.sh" --prefix /usr --destdir "$pkg" --exe "$exe" --qx "$qx" install >/dev/null
# dpkg keeps the list of what it installed; make uninstall's list has no place in the package.
rm "$pkg/usr/lib/quendrix/installed"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$pkg/usr/bin/qx"
gzip -9n "$pkg"/usr/share/man/man1/*.1
for face in $(sh "$root/scripts/prepare-prefix.sh" --faces); do
  ln -sf "../../../share/wine/fonts/$face" "$pkg/usr/lib/quendrix/fonts/$face"
done

doc=$pkg/usr/share/doc/quendrix
mkdir -p "$doc"
install -m 644 "$root/linux/copyright" "$doc/copyright"
# A package whose version has no Debian revision is native: its changelog is changelog.gz.
released=$(bash "$root/scripts/version.sh" --date)
cat >"$stage/changelog" <<EOF
quendrix ($version) unstable; urgency=medium

  * Quendrix $version: the window under Wine, qx in a terminal.

 -- Holvanta <quendrix@holvanta.com>  $(date -u -R -d "$released 12:00")
EOF
gzip -9n -c "$stage/changelog" >"$doc/changelog.gz"
chmod 644 "$doc/changelog.gz"
mkdir -p "$pkg/DEBIAN"
find "$pkg" -type d -exec chmod 755 {} +

# What qx links to, as dpkg-shlibdeps names it: it finds the package by its DEBIAN folder and
# reads its name from a control file.
printf 'Source: quendrix\n\nPackage: quendrix\nArchitecture: amd64\n' >"$stage/debian/control"
libraries=$(cd "$stage" && dpkg-shlibdeps -O debian/quendrix/usr/bin/qx | sed -n 's/^shlibs:Depends=//p')
[ -n "$libraries" ] || { echo "deb: dpkg-shlibdeps named no library for qx" >&2; exit 1; }

# The launcher needs Wine and its faces; xprop shows it the window manager and the desktop's scale
# (without it: a window manager assumed, 96 DPI), xdg-open brings F1's page to the browser.
cat >"$pkg/DEBIAN/control" <<EOF
Package: quendrix
Version: $version
Architecture: amd64
Maintainer: Holvanta <quendrix@holvanta.com>
Installed-Size: $(du -s --apparent-size --block-size=1K --exclude=DEBIAN "$pkg" | cut -f1)
Depends: wine, fonts-wine, $libraries
Recommends: x11-utils, xdg-utils
Section: utils
Priority: optional
Description: one 32-bit value as decimal, hex, text, IP address and binary
 Quendrix shows one 32-bit value at once as Dec, Hex, Text (up to four
 characters), IP (a dotted quad) and Bin (base 2 in groups of eight), with a
 colour swatch that reads the low 24 bits as 0xRRGGBB and picks any pixel of
 the screen. Type into any field; the others follow.
 .
 The window is a Windows program, started under Wine at the desktop's scale by
 the command quendrix or the menu entry. The command qx shows the same value in
 a terminal, natively.
EOF
(cd "$pkg" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$pkg/DEBIAN/md5sums"
chmod 644 "$pkg/DEBIAN/control" "$pkg/DEBIAN/md5sums"

mkdir -p "$out"
deb=$out/quendrix_${version}_amd64.deb
dpkg-deb --root-owner-group -Zxz --build "$pkg" "$deb" >/dev/null
echo "$deb"
