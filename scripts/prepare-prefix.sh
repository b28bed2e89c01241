#!/bin/sh
# Makes a Wine prefix hold what Quendrix finds on Windows, and brings up to date a prefix made
# by an earlier build; a prefix already prepared costs nothing.
#  - Windows' faces, in its Fonts folder and its registry: the bitmap "MS Sans Serif" of the
#    dialog templates, Tahoma for "MS Shell Dlg" (message boxes, menus, tooltips, captions),
#    Marlett for the caption buttons. Without them each name falls to some host face, whose
#    metrics change the windows' size and one of which faults Wine's text layout on U+02DC.
#  - .htm pages opened by Wine's browser bridge, so F1 shows the help page in the host's browser.
#
#   prepare-prefix.sh WINE PREFIX FONTS [DPI]
# WINE is the wine command, FONTS the folder holding the faces (Debian's fonts-wine, or the copy
# an installation carries). DPI, when given, is the resolution the prefix reports; without it the
# prefix keeps its own (96 unless the user chose another).
# POSIX sh only: the installed launcher runs it on machines that have nothing but Wine and a shell.
set -eu

wine=$1 prefix=$2 fonts=$3 dpi=${4:-}
level=2  # raise when what a prepared prefix holds changes
stamp=$prefix/.quendrix-prefix
faces="sserife.fon tahoma.ttf tahomabd.ttf marlett.ttf"

[ "$(cat "$stamp" 2>/dev/null || true)" = "$level dpi=$dpi" ] && exit 0

export WINEPREFIX="$prefix"
mkdir -p "$prefix"
[ -f "$prefix/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1 || true

folder=$prefix/drive_c/windows/Fonts
mkdir -p "$folder"
for face in $faces; do
  [ -f "$fonts/$face" ] || { echo "prepare-prefix: $fonts/$face is missing (Debian package fonts-wine)" >&2; exit 1; }
  cp "$fonts/$face" "$folder/$face"
done

reg=$prefix/quendrix.reg
cat >"$reg" <<EOF
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]
"MS Sans Serif 8,10,12,14,18,24"="sserife.fon"
"Tahoma (TrueType)"="tahoma.ttf"
"Tahoma Bold (TrueType)"="tahomabd.ttf"
"Marlett (TrueType)"="marlett.ttf"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"MS Shell Dlg"="Tahoma"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.htm]
@="htmlfile"
EOF
[ -z "$dpi" ] || printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >>"$reg"
"$wine" regedit /S "$(printf '%s' "$reg" | sed 's|^/|Z:/|; s|/|\\|g')" >/dev/null 2>&1
rm -f "$reg"
printf '%s\n' "$level dpi=$dpi" >"$stamp"
