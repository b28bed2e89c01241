#!/usr/bin/env bash
# Builds the Debian packages build/dist/quendrix_<version>_amd64.deb, what `make install` puts
# under /usr (the native window and qx), and quendrix-wine_<version>_amd64.deb, what `make
# install-wine` puts there (the Windows program under Wine): the native programs stripped, the
# manual pages compressed, the copyright and changelog Debian asks for, and Windows' faces taken
# from the package fonts-wine rather than copied. No file is in both, so both install side by
# side. Every time a package records is the release's (scripts/version.sh --epoch), so two builds
# of one commit are the same bytes. Prints each package's path.
#
#   deb.sh [Quendrix.exe [qx [quendrix [OUT-DIR]]]]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:-$root/build/windows/app/Quendrix.exe}
qx=${2:-$root/build/native/cli/qx}
window=${3:-$root/build/native/qt/quendrix}
out=${4:-$root/build/dist}
version=$(bash "$root/scripts/version.sh" --package)
# dpkg-deb dates the archive with it and clamps the files' times to it.
SOURCE_DATE_EPOCH=$(bash "$root/scripts/version.sh" --epoch)
export SOURCE_DATE_EPOCH
for built in "$exe" "$qx" "$window"; do
  [ -f "$built" ] || { echo "deb: $built is not built (make deb builds it)" >&2; exit 1; }
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$out"
# A package whose version has no Debian revision is native: its changelog is changelog.gz.
cat >"$stage/changelog" <<EOF
quendrix ($version) unstable; urgency=medium

  * Quendrix $version: the native window and qx in a terminal; the Windows
    program under Wine in quendrix-wine.

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

# What a package's staged programs link to, as dpkg-shlibdeps names it: it finds the package by
# its DEBIAN folder and reads its name from a control file.
#   libraries PACKAGE PROGRAM...
libraries() {
  local name=$1; shift
  printf 'Source: quendrix\n\nPackage: %s\nArchitecture: amd64\n' "$name" >"$stage/debian/control"
  (cd "$stage" && dpkg-shlibdeps -O "${@/#/debian/$name/}" | sed -n 's/^shlibs:Depends=//p')
}

# The native window, qx, and what the desktop shows of them.
quendrix() {
  local pkg=$stage/debian/quendrix
  bash "$root/scripts/install.sh" --prefix /usr --destdir "$pkg" --window "$window" --qx "$qx" install >/dev/null
  # dpkg keeps the list of what it installed; make uninstall's list has no place in the package.
  rm "$pkg/usr/lib/quendrix/installed"
  rmdir "$pkg/usr/lib/quendrix" "$pkg/usr/lib"
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$pkg/usr/bin/quendrix" "$pkg/usr/bin/qx"
  gzip -9n "$pkg"/usr/share/man/man1/*.1
  mkdir -p "$pkg/DEBIAN"
  local libs
  libs=$(libraries quendrix usr/bin/quendrix usr/bin/qx)
  [[ "$libs" == *libqt6widgets6* ]] || { echo "deb: dpkg-shlibdeps named no Qt for the window: '$libs'" >&2; exit 1; }
  # Loaded by Qt at run time, so dpkg-shlibdeps cannot see them, and the window works without
  # them: the Wayland platform (without it Qt opens the window through XWayland), the style of
  # GTK desktops (light and dark), and xdg-open, which brings F1's page to the browser.
  pack quendrix "$libs" "qt6-wayland, qt6-gtk-platformtheme, xdg-utils" <<'EOF'
Description: one 32-bit value as decimal, hex, text, IP address and binary
 Quendrix shows one 32-bit value at once as Dec, Hex, Text (up to four
 characters), IP (a dotted quad) and Bin (base 2 in groups of eight), with a
 colour swatch that reads the low 24 bits as 0xRRGGBB and picks any pixel of
 the screen. Type into any field; the others follow.
 .
 The window is native on Wayland and on X11, in the desktop's style, light or
 dark; the command qx shows the same value in a terminal. The Windows program
 itself, under Wine, is in the package quendrix-wine.
EOF
}

# The Windows program under Wine and its launcher, quendrix-wine.
quendrix_wine() {
  local pkg=$stage/debian/quendrix-wine
  bash "$root/scripts/install.sh" --prefix /usr --destdir "$pkg" --exe "$exe" --wine install >/dev/null
  rm "$pkg/usr/lib/quendrix/installed"
  gzip -9n "$pkg"/usr/share/man/man1/*.1
  for face in $(sh "$root/scripts/prepare-prefix.sh" --faces); do
    ln -sf "../../../share/wine/fonts/$face" "$pkg/usr/lib/quendrix/fonts/$face"
  done
  # The launcher runs Wine (wine) with its faces, and the program is x86-64, which only wine64 runs
  # (wine is met by wine32 alone); xprop shows it the window manager and the desktop's scale
  # (without it: a window manager assumed, 96 DPI), xdg-open brings F1's page to the browser.
  # Its files were the package quendrix's before the native window took that name.
  pack quendrix-wine "wine, wine64, fonts-wine" "x11-utils, xdg-utils" <<EOF
Breaks: quendrix (<< $version)
Replaces: quendrix (<< $version)
Description: Quendrix, the Windows program, under Wine
 Quendrix shows one 32-bit value at once as Dec, Hex, Text (up to four
 characters), IP (a dotted quad) and Bin (base 2 in groups of eight), with a
 colour swatch that reads the low 24 bits as 0xRRGGBB and picks any pixel of
 the screen. Type into any field; the others follow.
 .
 This is the Windows program itself, Quendrix.exe, the exact Windows window
 with its classic look, started under Wine at the desktop's scale by the
 command quendrix-wine or its menu entry. The native window of the Linux
 desktop, without Wine, is in the package quendrix.
EOF
}

quendrix
quendrix_wine
