#!/usr/bin/env bash
# Installs Quendrix for a Linux desktop, or removes it again: `make install`, `make install-wine`
# and `make uninstall`.
#
#   install.sh [--prefix DIR] [--destdir DIR] [--window quendrix] [--qx qx] install
#   install.sh [--prefix DIR] [--destdir DIR] [--exe Quendrix.exe] --wine install
#   install.sh [--prefix DIR] [--destdir DIR] uninstall
#
# PREFIX (default ~/.local) is where the files will live and what the launcher and the menu
# entries name; DESTDIR, when given, is a staging root put in front of it. Installed:
#   PREFIX/bin/quendrix     the native window (build/native/qt/quendrix), its manual page
#                           share/man/man1/quendrix.1, F1's page share/quendrix/Help/Quendrix.htm
#   PREFIX/share/applications/com.holvanta.quendrix.desktop, PREFIX/share/icons/hicolor/NxN/apps/
#   com.holvanta.quendrix.png (16 to 256) and hicolor/scalable/apps/com.holvanta.quendrix.svg,
#   PREFIX/share/metainfo/com.holvanta.quendrix.metainfo.xml   the menu entry, its icons, what
#                           software centres show
#   PREFIX/bin/qx, PREFIX/share/man/man1/qx.1 and qx's completions for bash, zsh and fish: the
#                           terminal command, where the native build made it
# With --wine, the Windows program instead, the exact Windows edition:
#   PREFIX/lib/quendrix/    Quendrix.exe, Help/Quendrix.htm, prepare-prefix.sh, fonts/ (Windows'
#                           faces from Debian's fonts-wine, so the launcher needs no build tree)
#   PREFIX/bin/quendrix-wine  the launcher (scripts/launcher.sh), its manual page quendrix-wine.1,
#                           the menu entry quendrix-wine.desktop and its icons, hicolor's quendrix-wine
# Every file written and every folder made, by either, is listed in PREFIX/lib/quendrix/installed,
# and uninstall removes exactly those, so it takes away what installs put there and nothing else.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage="usage: install.sh [--prefix DIR] [--destdir DIR] [--window FILE] [--qx FILE] [--exe FILE] [--wine] install|uninstall"
prefix=${HOME:-}/.local destdir="" window=$root/build/native/qt/quendrix qx=$root/build/native/cli/qx
exe=$root/build/windows/app/Quendrix.exe wine="" action=""
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix|--destdir|--window|--exe|--qx)
      [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
      case "$1" in
        --prefix) prefix=$2 ;; --destdir) destdir=$2 ;; --window) window=$2 ;; --exe) exe=$2 ;; --qx) qx=$2 ;;
      esac
      shift 2 ;;
    --wine) wine=1; shift ;;
    install|uninstall) [ -z "$action" ] || { echo "$usage" >&2; exit 2; }; action=$1; shift ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[ -n "$action" ] || { echo "$usage" >&2; exit 2; }

# The prefix is written into the launcher and the menu entry's Exec line: an absolute path
# without the characters either would have to escape.
prefix=${prefix%/}
if [[ ! "$prefix" =~ ^/[A-Za-z0-9\ /._+,@:=~-]*$ ]] || [[ "$prefix" =~ (^|/)\.\.?(/|$) ]]; then
  echo "install: PREFIX must be an absolute path, without . or .. steps, of letters, digits, spaces and / . _ + , @ : = ~ -, not '$prefix'" >&2
  exit 2
fi
dest=$destdir$prefix
manifest=$dest/lib/quendrix/installed

if [ "$action" = uninstall ]; then
  [ -f "$manifest" ] || { echo "uninstall: Quendrix is not installed in $dest"; exit 0; }
  files=() dirs=()
  while IFS= read -r line; do
    kind=${line%% *} path=${line#* }
    # Only paths inside the prefix: a damaged list must not reach anything else.
    if [[ -z "$path" || "$path" = /* || "$path" =~ (^|/)\.\.?(/|$) ]]; then
      echo "uninstall: skipping '$line' in $manifest" >&2
      continue
    fi
    case "$kind" in
      f) files+=("$path") ;;
      d) dirs+=("$path") ;;
      *) echo "uninstall: skipping '$line' in $manifest" >&2 ;;
    esac
  done <"$manifest"
  for f in "${files[@]}"; do
    [ ! -d "$dest/$f" ] || { echo "uninstall: $dest/$f is a folder now; left alone" >&2; continue; }
    rm -f "$dest/$f"
  done
  rm -f "$manifest"
  # Deepest first; a folder that holds anything else stays.
  while IFS= read -r d; do
    [ -n "$d" ] && rmdir "$dest/$d" 2>/dev/null || true
  done < <(printf '%s\n' "${dirs[@]}" | awk '{ print gsub("/", "/") "\t" $0 }' | sort -rn | cut -f2-)
  echo "Quendrix removed from $dest"
  exit 0
fi

if [ -n "$wine" ]; then
  [ -f "$exe" ] || { echo "install: $exe is not built (make install-wine builds it)" >&2; exit 1; }
  fonts=/usr/share/wine/fonts
  faces=$(sh "$root/scripts/prepare-prefix.sh" --faces)
  for face in $faces; do
    [ -f "$fonts/$face" ] || { echo "install: $fonts/$face is missing (Debian package fonts-wine)" >&2; exit 1; }
  done
else
  [ -f "$window" ] || { echo "install: $window is not built (make install builds it)" >&2; exit 1; }
fi

# Makes the folders of a path below the prefix one by one, listing those it made.
make_dirs() {
  local rel=$1 part="" piece
  local IFS=/
  for piece in $rel; do
    part=${part:+$part/}$piece
    if [ ! -d "$dest/$part" ]; then
      mkdir -p "$dest/$part"
      [ -f "$manifest" ] && echo "d $part" >>"$manifest" || pending+=("d $part")
    fi
  done
}
# The list lives in the program's own folder: the folders made for it come first.
pending=()
mkdir -p "$dest"
make_dirs lib/quendrix
touch "$manifest"
[ ${#pending[@]} -eq 0 ] || printf '%s\n' "${pending[@]}" >>"$manifest"

# put SOURCE PATH MODE: one file to PREFIX/PATH
put() {
  make_dirs "$(dirname "$2")"
  install -m "$3" "$1" "$dest/$2"
  echo "f $2" >>"$manifest"
}
# write PATH MODE: standard input to PREFIX/PATH
write() {
  make_dirs "$(dirname "$1")"
  cat >"$dest/$1"
  chmod "$2" "$dest/$1"
  echo "f $1" >>"$manifest"
}

lib=$prefix/lib/quendrix
version=$(bash "$root/scripts/version.sh") released=$(bash "$root/scripts/version.sh" --date)
# The launcher, the manual pages and the metainfo name the program's folders, version and date.
fill() { sed "s|@LIBDIR@|$lib|g; s|@DATADIR@|$prefix/share/quendrix|g; s|@VERSION@|$version|g; s|@DATE@|$released|g" "$1"; }
# icons NAME: the icon at every size as hicolor's NAME
icons() {
  for size in 16 32 48 64 128 256; do
    put "$root/res/icon$size.png" "share/icons/hicolor/${size}x$size/apps/$1.png" 644
  done
  put "$root/res/icon.svg" "share/icons/hicolor/scalable/apps/$1.svg" 644
}
# menu_entry FILE NAME COMMENT COMMAND ICON WM-CLASS: a menu entry. The class is the one the
# program gives its windows, so docks group them with the entry.
menu_entry() {
  write "share/applications/$1" 644 <<EOF
[Desktop Entry]
Type=Application
Name=$2
GenericName=Number Converter
Comment=$3
Exec="$prefix/bin/$4"
Icon=$5
Terminal=false
Categories=Development;
Keywords=hex;hexadecimal;decimal;binary;converter;colour picker;color picker;IP;
StartupWMClass=$6
EOF
}

if [ -n "$wine" ]; then
  put "$exe" lib/quendrix/Quendrix.exe 644
  put "$root/help/Quendrix.htm" lib/quendrix/Help/Quendrix.htm 644
  put "$root/scripts/prepare-prefix.sh" lib/quendrix/prepare-prefix.sh 755
  for face in $faces; do put "$fonts/$face" "lib/quendrix/fonts/$face" 644; done
  write bin/quendrix-wine 755 < <(fill "$root/scripts/launcher.sh")
  write share/man/man1/quendrix-wine.1 644 < <(fill "$root/linux/quendrix-wine.1")
  icons quendrix-wine
  menu_entry quendrix-wine.desktop "Quendrix (Windows program)" \
    "The Windows program under Wine: one 32-bit value as decimal, hex, text, IP address and binary" \
    quendrix-wine quendrix-wine quendrix.exe
  sort -u -o "$manifest" "$manifest"
  echo "Quendrix for Windows installed in $dest: the menu entry Quendrix (Windows program), or the command $prefix/bin/quendrix-wine"
  case ":$PATH:" in *":$prefix/bin:"*) ;; *) echo "($prefix/bin is not in PATH; the menu entry works without it)" ;; esac
  exit 0
fi

# The menu entry is named as the window names itself to the desktop (its Wayland app id).
put "$window" bin/quendrix 755
put "$root/help/Quendrix.htm" share/quendrix/Help/Quendrix.htm 644
write share/man/man1/quendrix.1 644 < <(fill "$root/linux/quendrix.1")
write share/metainfo/com.holvanta.quendrix.metainfo.xml 644 < <(fill "$root/linux/com.holvanta.quendrix.metainfo.xml")
icons com.holvanta.quendrix
menu_entry com.holvanta.quendrix.desktop Quendrix "Show one 32-bit value as decimal, hex, text, IP address and binary" \
  quendrix com.holvanta.quendrix quendrix
# The terminal command, its manual page and completions, where the native build has made it.
# zsh reads Debian's packages' completions from vendor-completions, others' from site-functions.
if [ -f "$qx" ]; then
  put "$qx" bin/qx 755
  # Its footer names the version the other pages name.
  write share/man/man1/qx.1 644 < <(sed '/^\.TH /s/"Quendrix [^"]*"/"Quendrix '"$version"'"/' "$root/cli/qx.1")
  put "$root/cli/completion/qx.bash" share/bash-completion/completions/qx 644
  zsh=site-functions
  [ "$prefix" != /usr ] || zsh=vendor-completions
  put "$root/cli/completion/qx.zsh" "share/zsh/$zsh/_qx" 644
  put "$root/cli/completion/qx.fish" share/fish/vendor_completions.d/qx.fish 644
fi

sort -u -o "$manifest" "$manifest"
echo "Quendrix installed in $dest: the menu entry Quendrix, or the command $prefix/bin/quendrix"
case ":$PATH:" in *":$prefix/bin:"*) ;; *) echo "($prefix/bin is not in PATH; the menu entry works without it)" ;; esac
