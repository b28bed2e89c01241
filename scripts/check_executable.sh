#!/usr/bin/env bash
# The shipped executable stays small and self-contained: at most 150 KB, importing only Windows
# system libraries (no MinGW runtime DLL may slip in).
set -euo pipefail
exe=$1
limit=$((150 * 1024))
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll shell32.dll comdlg32.dll"

size=$(stat -c %s "$exe")
echo "size: $size bytes (limit $limit)"
[ "$size" -le "$limit" ] || { echo "FAIL: $exe is larger than 150 KB"; exit 1; }

status=0
for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}'); do
  echo "imports: $dll"
  case " $allowed " in
    *" $dll "*) ;;
    *) echo "FAIL: $dll is not a Windows system library"; status=1 ;;
  esac
done
exit $status
