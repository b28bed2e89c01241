#!/usr/bin/env bash
# The shipped executables stay small and self-contained: each at most 150 KB, importing only
# Windows system libraries (no MinGW runtime DLL may slip in).
#
#   check_executable.sh PROGRAM.exe...
set -euo pipefail
limit=$((150 * 1024))
allowed="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll shell32.dll comdlg32.dll"

status=0
for exe in "$@"; do
  size=$(stat -c %s "$exe")
  echo "$(basename "$exe") size: $size bytes (limit $limit)"
  [ "$size" -le "$limit" ] || { echo "FAIL: $exe is larger than 150 KB"; status=1; }
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}'); do
    echo "$(basename "$exe") imports: $dll"
    case " $allowed " in
      *" $dll "*) ;;
      *) echo "FAIL: $dll is not a Windows system library"; status=1 ;;
    esac
  done
done
exit $status
