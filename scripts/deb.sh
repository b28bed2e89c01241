#!/usr/bin/env bash
# Builds the Debian package build/dist/quendrix_<version>_amd64.deb: what `make install` puts
# under /usr, with qx stripped, the manual pages compressed, the copyright and changelog Debian
# asks for, and Windows' faces taken from the package fonts-wine rather than copied. Every time a
# package records is the release's (scripts/version.sh --epoch), so two builds of one commit are
# the same bytes. Prints each package's path.
#
#   deb.sh [Quendrix.exe [qx [OUT-DIR]]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:-$root/build/windows/app/Quendrix.exe}
qx=${2:-$root/build/native/cli/qx}
out=${3:-$root/build/dist}
version=$(bash "$root/scripts/version.sh")
# dpkg-deb dates the archive with it and clamps the files' times to it.
SOURCE_DATE_EPOCH=$(bash "$root/scripts/version.sh" --epoch)
export SOURCE_DATE_EPOCH
[ -f "$qx" ] || { echo "deb: $qx is not built (make deb builds it)" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$out"
# A package whose version has no Debian revision is native: its changelog is changelog.gz.
cat >"$stage/changelog" <<EOF
quendrix ($version) unstable; urgency=medium

  * Quendrix $version: the window under Wine, qx in a terminal.

 -- Holvanta <quendrix@holvanta.com>  $(date -u -R -d "@$SOURCE_DATE_EPOCH")
EOF

# pack PACKAGE DEPENDS RECOMMENDS < DESCRIPTION: the package staged in $stage/debian/PACKAGE, with
# its copyright, changelog, file sums and control data, into OUT-DIR.
pack() {
  local name=$1 pkg=$stage/debian/$1
  local doc=$pkg/usr/share/doc/$name
  mkdir -p "$doc" "$pkg/DEBIAN"
  install -m 644 "$root/linux/copyright" "$doc/copyright"
  gzip -9n -c "$stage/changelog" >"$doc/changelog.gz"
  chmod 644 "$doc/changelog.gz"
  find "$pkg" -type d -exec chmod 755 {} +
  (cd "$pkg" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$pkg/DEBIAN/md5sums"
  cat >"$pkg/DEBIAN/control" <<EOF
Package: $name
Version: $version
Architecture: amd64
Maintainer: Holvanta <quendrix@holvanta.com>
Installed-Size: $(du -s --apparent-size --block-size=1K --exclude=DEBIAN "$pkg" | cut -f1)
Depends: $2
Recommends: $3
Section: utils
Priority: optional
EOF
  cat >>"$pkg/DEBIAN/control"
  chmod 644 "$pkg/DEBIAN/control" "$pkg/DEBIAN/md5sums"
  dpkg-deb --root-owner-group -Zxz --build "$pkg" "$out/${name}_${version}_amd64.deb" >/dev/null
  echo "$out/${name}_${version}_amd64.deb"
}

# What a staged program links to, as dpkg-shlibdeps names it: it finds the package by its DEBIAN
# folder and reads its name from a control file.
libraries() {
  printf 'Source: quendrix\n\nPackage: %s\nArchitecture: amd64\n' "$1" >"$stage/debian/control"
  (cd "$stage" && dpkg-shlibdeps -O "debian/$1/$2" | sed -n 's/^shlibs:Depends=//p')
}

# The window under Wine, its launcher and qx.
quendrix() {
  local pkg=$stage/debian/quendrix
  bash "$root/scripts/install.sh" --prefix /usr --destdir "$pkg" --exe "$exe" --qx "$qx" install >/dev/null
  # dpkg keeps the list of what it installed; make uninstall's list has no place in the package.
  rm "$pkg/usr/lib/quendrix/installed"
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$pkg/usr/bin/qx"
  gzip -9n "$pkg"/usr/share/man/man1/*.1
  for face in $(sh "$root/scripts/prepare-prefix.sh" --faces); do
    ln -sf "../../../share/wine/fonts/$face" "$pkg/usr/lib/quendrix/fonts/$face"
  done
  mkdir -p "$pkg/DEBIAN"
  local libs
  libs=$(libraries quendrix usr/bin/qx)
  [ -n "$libs" ] || { echo "deb: dpkg-shlibdeps named no library for qx" >&2; exit 1; }
  # The launcher runs Wine (wine) with its faces, and the program is x86-64, which only wine64 runs
  # (wine is met by wine32 alone); xprop shows it the window manager and the desktop's scale
  # (without it: a window manager assumed, 96 DPI), xdg-open brings F1's page to the browser.
  pack quendrix "wine, wine64, fonts-wine, $libs" "x11-utils, xdg-utils" <<'EOF'
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
}

quendrix
