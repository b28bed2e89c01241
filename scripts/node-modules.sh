#!/usr/bin/env bash
# Installs the page tests' npm packages into build/node/ from the committed lock file (npm ci, so
# exactly the locked versions), again only when the lock file changed. Prints the node_modules
# folder. Playwright comes without browsers: the tests drive Debian's chromium.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
src=$root/tests/web
dir=$root/build/node
if ! cmp -s "$src/package-lock.json" "$dir/package-lock.json" || [ ! -d "$dir/node_modules" ]; then
  mkdir -p "$dir"
  cp "$src/package.json" "$src/package-lock.json" "$src/.npmrc" "$dir/"
  (cd "$dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >&2)
fi
echo "$dir/node_modules"
