#!/usr/bin/env bash
# Serves the built page (build/web) on this machine only, with the headers it ships
# (scripts/serve-web.py), and prints its address. With a DISPLAY it serves until Ctrl+C (PORT,
# 8021 by default: the page keeps its settings and its offline copy per address). Without one,
# headless Chromium photographs the page into build/quendrix-web.png and the server stops.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
web=$root/build/web
[ -f "$web/index.html" ] || { echo "run-web: build the page first (make run-web builds it)" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
  port=${PORT:-8021}
  echo "Quendrix: http://127.0.0.1:$port/ (Ctrl+C stops it)"
  exec python3 "$root/scripts/serve-web.py" "$web" "$port"
fi

port=${PORT:-$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')}
python3 "$root/scripts/serve-web.py" "$web" "$port" >/dev/null 2>&1 & server=$!
profile=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; rm -rf "$profile"' EXIT
url=http://127.0.0.1:$port/
echo "Quendrix: $url"
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('$url')" 2>/dev/null && break
  sleep 0.1
done
shot=$root/build/quendrix-web.png
# The closed network here: no background connections, no QUIC, a profile of its own.
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --hide-scrollbars --window-size=820,300 \
  --virtual-time-budget=3000 --screenshot="$shot" "$url" >/dev/null 2>&1
[ -s "$shot" ] || { echo "run-web: no picture was taken" >&2; exit 1; }
echo "Quendrix ran headless; the page is pictured in $shot"
