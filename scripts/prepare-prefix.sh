#!/bin/sh
# Makes a Wine prefix hold what Quendrix finds on Windows, and brings up to date a prefix made
# by an earlier build; a prefix already prepared costs nothing.
#  - Windows' faces, in its Fonts folder and its registry: the bitmap "MS Sans Serif" of the
#    dialog templates, Tahoma for "MS Shell Dlg" (message boxes, menus, tooltips, captions),
#    Marlett for the caption buttons. Without them each name falls to some host face, whose
#    metrics change the windows' size and one of which faults Wine's text layout on U+02DC.
#  - .htm pages opened by Wine's browser bridge, so F1 shows the help page in the host's browser.
#
#   prepare-prefix.sh [--managed yes|no|auto] WINE PREFIX FONTS [DPI]
#   prepare-prefix.sh --faces          the faces FONTS must hold, one a line
# WINE is the wine command (its server is $WINESERVER, else wineserver), FONTS the folder holding
# the faces (Debian's fonts-wine, or the copy an installation carries). DPI, when given, is the
# resolution the prefix reports; without it the prefix keeps its own (96 unless the user chose
# another).
# --managed says whether Wine hands its windows to the window manager (yes, Wine's default) or
# places and draws them itself, override-redirect (no: right only where no window manager runs,
# since Wine would wait 2 s for one whenever a window is hidden). auto asks the display; where it
# cannot tell, it assumes a window manager. Without the option the prefix keeps what it has.
# POSIX sh only: the installed launcher runs it on machines that have nothing but Wine and a shell.
set -eu

level=2  # raise when what a prepared prefix holds changes
faces="sserife.fon tahoma.ttf tahomabd.ttf marlett.ttf"

managed=""
case "${1:-}" in
  --faces) printf '%s\n' $faces; exit 0 ;;
  --managed) [ $# -ge 2 ] || { echo "prepare-prefix: --managed needs yes, no or auto" >&2; exit 2; }
             managed=$2; shift 2 ;;
esac
[ $# -ge 3 ] || { echo "usage: prepare-prefix.sh [--managed yes|no|auto] WINE PREFIX FONTS [DPI]" >&2; exit 2; }
wine=$1 prefix=$2 fonts=$3 dpi=${4:-}
wineserver=${WINESERVER:-wineserver}  # Wine's own variable for where its server is
stamp=$prefix/.quendrix-prefix
managed_stamp=$prefix/.quendrix-managed  # the Managed value last written
export WINEPREFIX="$prefix"

# An EWMH window manager names a check window on the root window, and that window names itself
# (a manager that died leaves the root's property behind, naming a window that is gone).
window_manager_runs() {
  command -v xprop >/dev/null 2>&1 || return 0
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) || return 0
  case $check in *"window id # "*) ;; *) return 1 ;; esac
  id=${check##*# }
  case $(xprop -id "$id" _NET_SUPPORTING_WM_CHECK 2>/dev/null || true) in *"window id # $id") return 0 ;; esac
  return 1
}

want=""
case $managed in
  "") ;;
  yes) want=Y ;;
  no) want=N ;;
  auto) if window_manager_runs; then want=Y; else want=N; fi ;;
  *) echo "prepare-prefix: --managed takes yes, no or auto, not '$managed'" >&2; exit 2 ;;
esac

prepare() {
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
  # Preparing anyway: the window manager's setting rides along, at no extra start of Wine.
  [ -z "$want" ] || printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="%s"\n' "$want" >>"$reg"
  "$wine" regedit /S "$(printf '%s' "$reg" | sed 's|^/|Z:/|; s|/|\\|g')" >/dev/null 2>&1
  rm -f "$reg"
}

if [ "$(cat "$stamp" 2>/dev/null || true)" != "$level dpi=$dpi" ]; then
  mkdir -p "$prefix"
  if [ -f "$prefix/system.reg" ] || ! command -v "$wineserver" >/dev/null 2>&1; then
    prepare
  else
    # A new prefix is made off the display, or Wine shows its "configuration is being updated"
    # window for the length of it. The desktop process Wine started without a display must be
    # gone before the program starts one on the display, so everything is let end.
    (unset DISPLAY; prepare)
    "$wineserver" -w
  fi
  [ -z "$want" ] || printf '%s\n' "$want" >"$managed_stamp"
  printf '%s\n' "$level dpi=$dpi" >"$stamp"
fi

# Decided at every start, written only when it changes: the common start costs no Wine process.
if [ -n "$want" ] && [ "$(cat "$managed_stamp" 2>/dev/null || true)" != "$want" ]; then
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$want" /f >/dev/null 2>&1
  printf '%s\n' "$want" >"$managed_stamp"
fi
