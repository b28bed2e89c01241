#!/usr/bin/env bash
# The program's performance budget under Wine, each figure beside a baseline measured in the
# same run: start-up, first paint and peak memory against the converter's own template shown by
# a program that does nothing (the minimal dialogs beside it show what the template itself
# costs), refresh against bare SetWindowTextA calls, and the executable's size and imports.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/windows
rounds=${ROUNDS:-15}
cd "$build/app"
"$root/scripts/wine-run.sh" --prefix "$build/wineprefix" --session bash -c "
  /usr/lib/wine/wine64 reg delete 'HKCU\\Software\\Holvanta' /f >/dev/null 2>&1 || true
  /usr/lib/wine/wine64 ../bench/startup_bench.exe $rounds ../bench/template_dialog.exe Quendrix.exe ../bench/minimal_dialog.exe ../bench/minimal_dialog_comctl.exe
  /usr/lib/wine/wine64 ../bench/refresh_bench.exe
"
bash "$root/scripts/check_executable.sh" "$build/app/Quendrix.exe" "$build/cli/qx.exe"
