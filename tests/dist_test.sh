#!/usr/bin/env bash
# The release package works as shipped: unpacked into a fresh folder, the program starts from
# there and F1 finds its page through the real shell. The shell's answer is observed by
# associating .htm pages, for this test only, with a command that writes down what it opens.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=$1
qx=$2
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
saved=""
cleanup() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
  "$wine" reg delete 'HKCR\.htm' /f >/dev/null 2>&1 || true
  "$wine" reg delete 'HKCR\QuendrixHelpCheck' /f >/dev/null 2>&1 || true
  [ -n "$saved" ] && "$wine" reg add 'HKCR\.htm' /ve /d "$saved" /f >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

zip=$(bash "$root/scripts/dist.sh" "$exe" "$work/dist" "$qx")
case "$zip" in *Quendrix-1.2.0.1-win64.zip) ;; *) echo "FAIL: package named $zip"; exit 1 ;; esac
unzip -q "$zip" -d "$work/unpacked"
for f in Quendrix.exe qx.exe Help/Quendrix.htm README.txt LICENSE.txt; do
  [ -f "$work/unpacked/Quendrix/$f" ] || { echo "FAIL: $f missing from the package"; exit 1; }
done
cmp -s "$exe" "$work/unpacked/Quendrix/Quendrix.exe" || { echo "FAIL: packed program differs"; exit 1; }
cmp -s "$qx" "$work/unpacked/Quendrix/qx.exe" || { echo "FAIL: packed qx.exe differs"; exit 1; }

saved=$("$wine" reg query 'HKCR\.htm' /ve 2>/dev/null | awk '/REG_SZ/ {print $NF}' || true)
opened=$work/opened.txt
"$wine" reg add 'HKCR\.htm' /ve /d QuendrixHelpCheck /f >/dev/null
"$wine" reg add 'HKCR\QuendrixHelpCheck\shell\open\command' /ve /f \
  /d "C:\\windows\\system32\\cmd.exe /c echo %1> Z:${opened//\//\\}" >/dev/null

cd "$work/unpacked/Quendrix"
"$wine" Quendrix.exe & pid=$!
win=""
for _ in $(seq 1 200); do
  win=$(xdotool search --name '^Quendrix$' 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.05
done
[ -n "$win" ] || { echo "FAIL: no Quendrix window"; exit 1; }
for _ in $(seq 1 100); do
  xdotool key F1
  for _ in $(seq 1 20); do [ -s "$opened" ] && break 2; sleep 0.05; done
done
[ -s "$opened" ] || { echo "FAIL: F1 opened nothing"; exit 1; }
page=$(tr -d '\r\n"' < "$opened")
echo "F1 opened: $page"
case "$page" in *Help\\Quendrix.htm) ;; *) echo "FAIL: F1 opened $page"; exit 1 ;; esac
if xdotool search --name '^Error$' >/dev/null 2>&1; then echo "FAIL: an error box appeared"; exit 1; fi
# The shell's command took the activation: a click on the caption gives it back, then Escape.
eval "$(xdotool getwindowgeometry --shell "$win")"
for _ in $(seq 1 20); do
  xdotool mousemove $((X + 60)) $((Y + 8)) click 1
  xdotool key Escape
  for _ in $(seq 1 20); do kill -0 "$pid" 2>/dev/null || break 2; sleep 0.05; done
done
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$pid" 2>/dev/null; then import -window root /tmp/dist-fail.png; for w in $(xdotool search --name . 2>/dev/null); do echo "$w $(xdotool getwindowname $w)"; done; echo "FAIL: the program did not end"; exit 1; fi
pid=""
echo "1 passed, 0 failed"
