#!/usr/bin/env bash
# Installs Quendrix for a Linux desktop, or removes it again: `make install` and `make uninstall`.
#
#   install.sh [--prefix DIR] [--destdir DIR] [--exe Quendrix.exe] [--qx qx] install
#   install.sh [--prefix DIR] [--destdir DIR] uninstall
#
# PREFIX (default ~/.local) is where the files will live and what the launcher and the menu
# entry name; DESTDIR, when given, is a staging root put in front of it. Installed:
#   PREFIX/lib/quendrix/    Quendrix.exe, Help/Quendrix.htm, prepare-prefix.sh, fonts/ (Windows'
#                           faces from Debian's fonts-wine, so the launcher needs no build tree)
#   PREFIX/bin/quendrix     the launcher (scripts/launcher.sh), its manual page share/man/man1/quendrix.1
#   PREFIX/share/applications/quendrix.desktop, PREFIX/share/icons/hicolor/NxN/apps/quendrix.png
#   (16 to 256) and hicolor/scalable/apps/quendrix.svg,
#   PREFIX/share/metainfo/com.holvanta.quendrix.metainfo.xml   the menu entry, its icons, what
#                           software centres show
#   PREFIX/bin/qx, PREFIX/share/man/man1/qx.1 and qx's completions for bash, zsh and fish: the
#                           terminal command, where the native build made it
# Every file written and every folder made is listed in PREFIX/lib/quendrix/installed, and
# uninstall removes exactly those, so it takes away what an install put there and nothing else.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
usage="usage: install.sh [--prefix DIR] [--destdir DIR] [--exe FILE] [--qx FILE] install|uninstall"
prefix=${HOME:-}/.local destdir="" exe=$root/build/windows/app/Quendrix.exe qx=$root/build/native/cli/qx action=""
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix|--destdir|--exe|--qx)
      [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
      case "$1" in --prefix) prefix=$2 ;; --destdir) destdir=$2 ;; --exe) exe=$2 ;; --qx) qx=$2 ;; esac
      shift 2 ;;
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

[ -f "$exe" ] || { echo "install: $exe is not built (make install builds it)" >&2; exit 1; }
fonts=/usr/share/wine/fonts
faces=$(sh "$root/scripts/prepare-prefix.sh" --faces)
for face in $faces; do
  [ -f "$fonts/$face" ] || { echo "install: $fonts/$face is missing (Debian package fonts-wine)" >&2; exit 1; }
done

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
# The launcher, its manual page and the metainfo name the program's folder, version and date.
fill() { sed "s|@LIBDIR@|$lib|g; s|@VERSION@|$version|g; s|@DATE@|$released|g" "$1"; }
put "$exe" lib/quendrix/Quendrix.exe 644
put "$root/help/Quendrix.htm" lib/quendrix/Help/Quendrix.htm 644
put "$root/scripts/prepare-prefix.sh" lib/quendrix/prepare-prefix.sh 755
for face in $faces; do put "$fonts/$face" "lib/quendrix/fonts/$face" 644; done
write bin/quendrix 755 < <(fill "$root/scripts/launcher.sh")
write share/man/man1/quendrix.1 644 < <(fill "$root/linux/quendrix.1")
write share/metainfo/com.holvanta.quendrix.metainfo.xml 644 < <(fill "$root/linux/com.holvanta.quendrix.metainfo.xml")
for size in 16 32 48 64 128 256; do
  put "$root/res/icon$size.png" "share/icons/hicolor/${size}x$size/apps/quendrix.png" 644
done
put "$root/res/icon.svg" share/icons/hicolor/scalable/apps/quendrix.svg 644
# StartupWMClass is the class Wine gives the program's windows, so docks group them with the entry.
write share/applications/quendrix.desktop 644 <<EOF
[Desktop Entry]
Type=Application
Name=Quendrix
GenericName=Number Converter
Comment=Show one 32-bit value as decimal, hex, text, IP address and binary
Exec="$prefix/bin/quendrix"
Icon=quendrix
Terminal=false
Categories=Development;
Keywords=hex;hexadecimal;decimal;binary;converter;colour picker;color picker;IP;
StartupWMClass=quendrix.exe
EOF
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
