#!/bin/sh
# Makes a Wine prefix hold what Quendrix finds on Windows, and brings up to date a prefix made
# by an earlier build; a prefix already prepared costs nothing.
#  - Windows' faces, in its Fonts folder and its registry: the bitmap "MS Sans Serif" of the
#    dialog templates, Tahoma for "MS Shell Dlg" (message boxes, menus, tooltips, captions),
#    Marlett for the caption buttons. Without them each name falls to some host face, whose
#    metrics change the windows' size and one of which faults Wine's text layout on U+02DC.
#  - .htm pages opened by Wine's browser bridge, so F1 shows the help page in the host's browser.
# A prefix is stamped prepared only once what Wine puts there is whole; one cut off part way (a
# logout during the first start) is made again on its next use.
#
#   prepare-prefix.sh [--managed yes|no|auto] [--dpi N|auto] WINE PREFIX FONTS
#   prepare-prefix.sh --faces          the faces FONTS must hold, one a line
#   prepare-prefix.sh --desktop-dpi    the display's scale as --dpi auto reads it
# WINE is the wine command (its server is $WINESERVER, else wineserver), FONTS the folder holding
# the faces (Debian's fonts-wine, or the copy an installation carries).
# --managed says whether Wine hands its windows to the window manager (yes, Wine's default) or
# places and draws them itself, override-redirect (no: right only where no window manager runs,
# since Wine would wait 2 s for one whenever a window is hidden). auto asks the display; where it
# cannot tell, it assumes a window manager.
# --dpi is the resolution the prefix reports (96 to 288); auto takes the desktop's: Xft.dpi from
# the display's resources, else an integer GDK_SCALE times 96, else 96.
# Without an option the prefix keeps what it has. Both are decided after any preparing, just
# before the program starts, and written only when they change: the common start runs no Wine.
# Starts at the same moment take turns (flock, where there is one).
# POSIX sh only: the installed launcher runs it on machines that have nothing but Wine and a shell.
set -eu

level=4  # raise when what a prepared prefix holds changes
faces="sserife.fon tahoma.ttf tahomabd.ttf marlett.ttf"

# The display's scale. What is not a number is passed over; a number is held to 96..288.
desktop_dpi() {
  { command -v xprop >/dev/null 2>&1 && xprop -root -notype RESOURCE_MANAGER 2>/dev/null || true; } | awk '
    {
      sub(/^[^"]*"/, ""); gsub(/\\t/, " ")
      n = split($0, line, /\\n/)
      for (i = 1; i <= n; i++)
        if (line[i] ~ /^Xft\.dpi: *[0-9]+(\.[0-9]*)? *$/) { sub(/^[^:]*: */, "", line[i]); dpi = line[i] + 0; found = 1 }
    }
    END {
      if (!found) dpi = (ENVIRON["GDK_SCALE"] ~ /^[0-9]+$/) ? ENVIRON["GDK_SCALE"] * 96 : 96
      print (dpi < 96) ? 96 : (dpi > 288) ? 288 : int(dpi + 0.5)
    }'
}

managed="" dpi=""
while [ $# -gt 0 ]; do
  case "$1" in
    --faces) printf '%s\n' $faces; exit 0 ;;
    --desktop-dpi) desktop_dpi; exit 0 ;;
    --managed) [ $# -ge 2 ] || { echo "prepare-prefix: --managed needs yes, no or auto" >&2; exit 2; }
               managed=$2; shift 2 ;;
    --dpi) [ $# -ge 2 ] || { echo "prepare-prefix: --dpi needs a number or auto" >&2; exit 2; }
           dpi=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -eq 3 ] || { echo "usage: prepare-prefix.sh [--managed yes|no|auto] [--dpi N|auto] WINE PREFIX FONTS" >&2; exit 2; }
case $managed in
  ""|yes|no|auto) ;;
  *) echo "prepare-prefix: --managed takes yes, no or auto, not '$managed'" >&2; exit 2 ;;
esac
case $dpi in
  ""|auto) ;;
  *[!0-9]*) echo "prepare-prefix: --dpi takes a number from 96 to 288 or auto, not '$dpi'" >&2; exit 2 ;;
  *) [ ${#dpi} -le 3 ] && [ "$dpi" -ge 96 ] && [ "$dpi" -le 288 ] ||
       { echo "prepare-prefix: --dpi takes a number from 96 to 288 or auto, not '$dpi'" >&2; exit 2; } ;;
esac
wine=$1 prefix=$2 fonts=$3
wineserver=${WINESERVER:-wineserver}  # Wine's own variable for where its server is
stamp=$prefix/.quendrix-prefix
managed_stamp=$prefix/.quendrix-managed  # the Managed value last written
dpi_stamp=$prefix/.quendrix-dpi          # the LogPixels value last written
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

# Sets want_managed (Y, N or empty) and want_dpi (a number or empty) from what the display shows now.
decide() {
  case $managed in
    yes) want_managed=Y ;;
    no) want_managed=N ;;
    auto) if window_manager_runs; then want_managed=Y; else want_managed=N; fi ;;
    *) want_managed="" ;;
  esac
  case $dpi in
    auto) want_dpi=$(desktop_dpi) ;;
    *) want_dpi=$dpi ;;
  esac
}

# The registry lines for a resolution, and for the face the dialogs take at it. The bitmap
# "MS Sans Serif" has sizes drawn for 96, 120 and 144 DPI only; above, Wine would keep its 144-DPI
# size, so there the dialogs take Tahoma, of the same proportions and scalable to any size.
dpi_lines() {
  printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n\n' "$1"
  face_lines "$1"
}
face_lines() {
  if [ "$1" -le 144 ]; then bitmap='"sserife.fon"' substitute=-; else bitmap=- substitute='"Tahoma"'; fi
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\n"MS Sans Serif 8,10,12,14,18,24"=%s\n\n' "$bitmap"
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\n"MS Sans Serif"=%s\n\n' "$substitute"
}
managed_lines() {
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="%s"\n\n' "$1"
}

# Imports registry lines from standard input in one Wine process. The lock stays with this script:
# Wine's processes, its server among them, must not carry it on after we are done.
import() {
  reg=$prefix/quendrix.reg
  { echo REGEDIT4; echo; cat; } >"$reg"
  status=0
  "$wine" regedit /S "$(printf '%s' "$reg" | sed 's|^/|Z:/|; s|/|\\|g')" >/dev/null 2>&1 9>&- || status=$?
  rm -f "$reg"
  return "$status"
}

# Whether Wine's part of the prefix holds what the program relies on: the system libraries it
# loads and the command that opens .htm pages (F1). Read from the files, so only what Wine's
# server has written out counts. A first start cut off part way leaves some of them missing, and
# Wine does not finish it on its own.
wine_part_whole() {
  for file in user32.dll comctl32.dll comdlg32.dll shell32.dll winebrowser.exe; do
    [ -f "$prefix/drive_c/windows/system32/$file" ] || return 1
  done
  grep -q '^\[Software\\\\Classes\\\\htmlfile\\\\shell\\\\open\\\\command\]' "$prefix/system.reg" 2>/dev/null
}

# Returns non-zero, with a line on standard error, when a step fails.
prepare() {
  if ! wine_part_whole; then
    # Without the stamp of its last update Wine makes its part again, whole, over what is there.
    rm -f "$prefix/.update-timestamp"
    "$wine" wineboot -i >/dev/null 2>&1 9>&- || true
  fi

  folder=$prefix/drive_c/windows/Fonts
  mkdir -p "$folder" || return 1
  for face in $faces; do
    [ -f "$fonts/$face" ] || { echo "prepare-prefix: $fonts/$face is missing (Debian package fonts-wine)" >&2; return 1; }
    cp "$fonts/$face" "$folder/$face" || return 1
  done

  {
    cat <<EOF
[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]
"Tahoma (TrueType)"="tahoma.ttf"
"Tahoma Bold (TrueType)"="tahomabd.ttf"
"Marlett (TrueType)"="marlett.ttf"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"MS Shell Dlg"="Tahoma"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.htm]
@="htmlfile"

EOF
    # Preparing anyway: the resolution and the window manager's setting ride along, at no extra
    # start of Wine. A prefix told no resolution keeps its own, and the faces that fit it.
    if [ -n "$want_dpi" ]; then dpi_lines "$want_dpi"; else face_lines "$(cat "$dpi_stamp" 2>/dev/null || echo 96)"; fi
    [ -z "$want_managed" ] || managed_lines "$want_managed"
  } | import || { echo "prepare-prefix: Wine could not write the prefix's settings in $prefix" >&2; return 1; }
}

mkdir -p "$prefix"
if command -v flock >/dev/null 2>&1; then
  exec 9>"$prefix/.quendrix-lock"
  flock 9
fi

if [ "$(cat "$stamp" 2>/dev/null || true)" != "$level" ]; then
  command -v "$wineserver" >/dev/null 2>&1 || { echo "prepare-prefix: Wine's server $wineserver is not installed" >&2; exit 1; }
  decide
  if wine_part_whole; then
    prepare || exit 1
  else
    # Wine's part is made off the display, or Wine shows its "configuration is being updated"
    # window for the length of it. The desktop process Wine started without a display must be
    # gone before the program starts one on the display, so everything is let end, which also
    # has the server write the registry out for the check.
    status=0
    (unset DISPLAY; prepare) || status=$?
    "$wineserver" -w 9>&-
    [ "$status" = 0 ] || exit 1
    wine_part_whole || {
      echo "prepare-prefix: Wine did not make its prefix $prefix whole; the next start makes it again" >&2
      exit 1
    }
  fi
  [ -z "$want_managed" ] || printf '%s\n' "$want_managed" >"$managed_stamp"
  [ -z "$want_dpi" ] || printf '%s\n' "$want_dpi" >"$dpi_stamp"
  printf '%s\n' "$level" >"$stamp"
fi

# Decided again now: preparing takes seconds, and a window manager or a scale set meanwhile (a
# session starting) counts. A stamp is written only once the registry holds its value.
decide
write_managed="" write_dpi=""
[ -z "$want_managed" ] || [ "$(cat "$managed_stamp" 2>/dev/null || true)" = "$want_managed" ] || write_managed=$want_managed
[ -z "$want_dpi" ] || [ "$(cat "$dpi_stamp" 2>/dev/null || true)" = "$want_dpi" ] || write_dpi=$want_dpi
if [ -n "$write_managed$write_dpi" ]; then
  {
    [ -z "$write_managed" ] || managed_lines "$write_managed"
    [ -z "$write_dpi" ] || dpi_lines "$write_dpi"
  } | import || { echo "prepare-prefix: Wine could not write the prefix's settings in $prefix" >&2; exit 1; }
  [ -z "$write_managed" ] || printf '%s\n' "$write_managed" >"$managed_stamp"
  [ -z "$write_dpi" ] || printf '%s\n' "$write_dpi" >"$dpi_stamp"
fi
