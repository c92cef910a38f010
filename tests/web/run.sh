#!/bin/sh
# The web page's tests in headless Chromium, with the native frame measured in the same run.
# Builds nothing: give it the web build (cmake --preset web) and a native build with the
# benchmarks (-DZARN_BENCH=ON). Installs the pinned puppeteer-core from package-lock.json.
# Usage: run.sh WEB_BUILD_FOLDER NATIVE_BUILD_FOLDER OUTPUT_FOLDER
set -eu
here=$(cd "$(dirname "$0")" && pwd)
web=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
mkdir -p "$3"
out=$(cd "$3" && pwd)

(cd "$here" && npm ci --no-audit --no-fund --loglevel=error)

# The native frame of play, for the ratio.
"$native/bench/zarn_game_bench_headless" --benchmark_filter='BM_GameFrame_Play_Headless$' \
  --benchmark_format=json --benchmark_out="$out/native_bench.json" --benchmark_out_format=json >/dev/null

# The web build's folder served as a static host would, on a port the system picks.
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$web" >"$out/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT INT TERM
port=""
i=0
while [ -z "$port" ] && [ $i -lt 100 ]; do
  sleep 0.05
  port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$out/server.log" | head -n 1)
  i=$((i + 1))
done
[ -n "$port" ] || { echo "web: the local server did not start" >&2; exit 1; }

node "$here/web_test.mjs" "http://127.0.0.1:$port" "$web/site" "$out/native_bench.json" "$out"
