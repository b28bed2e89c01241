#!/bin/sh
# quendrix: starts Quendrix under Wine on a Linux desktop. Installed by `make install` as
# PREFIX/bin/quendrix, with the folder that holds the program written into `lib` below.
# It keeps a Wine prefix of its own, made on the first start with what the program finds on
# Windows (scripts/prepare-prefix.sh); the options live in that prefix's registry.
# Needs nothing but Wine and a POSIX shell; xprop (x11-utils) lets it see the window manager and
# the desktop's scale. Exits with the program's code: 0 when it ends normally.

lib='@LIBDIR@'
usage="usage: quendrix (no arguments; the options are set in the program's window)"

case $#:${1:-} in
  0:) ;;
  1:--help|1:-h) echo "$usage"; echo "Opens the Quendrix window under Wine; man quendrix says more."; exit 0 ;;
  1:--version) echo "quendrix (Quendrix) @VERSION@"; exit 0 ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
command -v wine >/dev/null 2>&1 || {
  echo "quendrix: Wine is not installed; install the Debian package wine (apt install wine)" >&2
  exit 127
}
[ -n "${DISPLAY:-}" ] || { echo "quendrix: no X display to open the window on (DISPLAY is not set)" >&2; exit 1; }

# A relative XDG_DATA_HOME is to be ignored, as the base directory rules say.
case ${XDG_DATA_HOME:-} in
  /*) data=$XDG_DATA_HOME ;;
  *) [ -n "${HOME:-}" ] || { echo "quendrix: neither XDG_DATA_HOME nor HOME is set" >&2; exit 1; }
     data=$HOME/.local/share ;;
esac
prefix=$data/quendrix

export WINEPREFIX="$prefix"
# Quiet: of Wine's diagnostics only those meant for users (such as a display it cannot open),
# which also silences Debian's note about wine32; no offers of Wine's .NET and HTML runtimes;
# no menu entries or file types of Wine's in the user's desktop.
export WINEDEBUG=-all,err+winediag
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

mkdir -p "$prefix" || exit 1
[ -f "$prefix/.quendrix-prefix" ] || echo "quendrix: preparing the first start in $prefix (about 15 s)" >&2
# Made on the first start; at every start given the desktop's scale and told whether a window
# manager runs, as the display shows them now. Starts at the same moment take turns.
sh "$lib/prepare-prefix.sh" --managed auto --dpi auto wine "$prefix" "$lib/fonts" || exit 1

# From beside Help/, where F1 looks for the page.
cd "$lib" || exit 1
exec wine Quendrix.exe
