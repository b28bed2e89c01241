#!/bin/sh
# quendrix-wine: starts Quendrix.exe, the Windows program, under Wine on a Linux desktop. Installed
# by `make install-wine` as PREFIX/bin/quendrix-wine, with the folder that holds the program written
# into `lib` below.
# It keeps a Wine prefix of its own, made on the first start with what the program finds on
# Windows (scripts/prepare-prefix.sh); the options live in that prefix's registry.
# Needs nothing but Wine and a POSIX shell; xprop (x11-utils) lets it see the window manager and
# the desktop's scale. Exits with the program's code: 0 when it ends normally.

lib='@LIBDIR@'
usage="usage: quendrix-wine (no arguments; the options are set in the program's window)"

case $#:${1:-} in
  0:) ;;
  1:--help|1:-h) echo "$usage"; echo "Opens the Quendrix window of the Windows program under Wine; man quendrix-wine says more."; exit 0 ;;
  1:--version) echo "quendrix-wine (Quendrix) @VERSION@"; exit 0 ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
command -v wine >/dev/null 2>&1 || {
  echo "quendrix-wine: Wine is not installed; install the Debian package wine (apt install wine)" >&2
  exit 127
}

# The display is checked before anything of Wine's starts: Wine given one it cannot open spends
# seconds on the prefix, then fails, and its session lingers and fails the next start too.
if [ -z "${DISPLAY:-}" ]; then
  if [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "quendrix-wine: Wine needs an X display and this Wayland session offers none (DISPLAY is not set): turn on XWayland, or install it (Debian package xwayland)" >&2
  else
    echo "quendrix-wine: no X display to open the window on (DISPLAY is not set)" >&2
  fi
  exit 1
fi
# Whether an X server answers on DISPLAY. A local display is taken on the word of its socket
# (a live one in /proc/net/unix costs no connection); a socket file nobody listens on here (a
# server gone, or one in another network namespace) and a remote display are asked with xprop
# where there is one.
display_opens() {
  case $DISPLAY in
    :*|unix:*)
      number=${DISPLAY##*:}; number=${number%%.*}
      case $number in ""|*[!0-9]*) return 1 ;; esac
      grep -q "[ @]/tmp/.X11-unix/X$number\$" /proc/net/unix 2>/dev/null && return 0
      [ -S "/tmp/.X11-unix/X$number" ] || return 1 ;;
  esac
  command -v xprop >/dev/null 2>&1 || return 0
  if command -v timeout >/dev/null 2>&1; then
    timeout 10 xprop -root -notype WM_NAME >/dev/null 2>&1
  else
    xprop -root -notype WM_NAME >/dev/null 2>&1
  fi
}
display_opens || {
  echo "quendrix-wine: the X display $DISPLAY cannot be opened (no X server answers there, or this user may not use it)" >&2
  exit 1
}

# A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
case ${XDG_DATA_HOME:-} in
  /*) data=$XDG_DATA_HOME ;;
  *) [ -n "${HOME:-}" ] || { echo "quendrix-wine: neither XDG_DATA_HOME nor HOME is set" >&2; exit 1; }
     data=$HOME/.local/share ;;
esac
prefix=$data/quendrix

export WINEPREFIX="$prefix"
# Quiet: of Wine's diagnostics only those meant for users (such as a display it cannot open),
# which also silences Debian's note about wine32; no offers of Wine's .NET and HTML runtimes;
# no menu entries or file types of Wine's in the user's desktop.
export WINEDEBUG=-all,err+winediag
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

# Wine writes its registry into the prefix at every start; a read-only one would fail late and
# at length.
error=$(mkdir -p "$prefix" 2>&1) || { echo "quendrix-wine: cannot make Wine's prefix $prefix: ${error##*: }" >&2; exit 1; }
for file in "$prefix" "$prefix/system.reg" "$prefix/user.reg"; do
  [ ! -e "$file" ] || [ -w "$file" ] || {
    echo "quendrix-wine: Wine's prefix $prefix is read-only; make it writable, or set XDG_DATA_HOME to a folder that is" >&2
    exit 1
  }
done
[ -f "$prefix/.quendrix-prefix" ] || echo "quendrix-wine: preparing the first start in $prefix (about 15 s)" >&2
# Made on the first start; at every start given the desktop's scale and told whether a window
# manager runs, as the display shows them now. Starts at the same moment take turns.
sh "$lib/prepare-prefix.sh" --managed auto --dpi auto wine "$prefix" "$lib/fonts" || exit 1

# From beside Help/, where F1 looks for the page.
cd "$lib" || exit 1
exec wine Quendrix.exe
