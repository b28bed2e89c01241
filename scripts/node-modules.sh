#!/usr/bin/env bash
# Installs a folder's npm packages into build/ from its committed lock file (npm ci, so exactly
# the locked versions), again only when the lock file changed. Prints the node_modules folder.
#   node-modules.sh            the page tests' packages (tests/web) into build/node
#   node-modules.sh bench/web  Lighthouse for make bench into build/node-bench
# Playwright and Lighthouse come without browsers: both drive Debian's chromium.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case ${1:-tests/web} in
  tests/web) src=$root/tests/web dir=$root/build/node ;;
  bench/web) src=$root/bench/web dir=$root/build/node-bench ;;
  *) echo "node-modules: no packages in $1" >&2; exit 2 ;;
esac
if ! cmp -s "$src/package-lock.json" "$dir/package-lock.json" || [ ! -d "$dir/node_modules" ]; then
  mkdir -p "$dir"
  cp "$src/package.json" "$src/package-lock.json" "$src/.npmrc" "$dir/"
  (cd "$dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >&2)
fi
echo "$dir/node_modules"
