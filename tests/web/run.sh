#!/bin/sh
# The web page's tests in headless Chromium, with the native frame measured in the same run.
# Builds nothing of the project: give it the web build (cmake --preset web) and a native build
# with the benchmarks (-DZARN_BENCH=ON); it installs the web build and builds a program against it. Installs the pinned puppeteer-core from package-lock.json.
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

# The library for one's own browser program: the web build installed into a scratch prefix, then
# moved (nothing it links may point back into the build or the sources), and the getting-started
# program built against it with Emscripten as the README says, its page made from the installed
# template. The page is opened by web_test.mjs from install-check/build.
check="$web/install-check"
rm -rf "$check"
cmake --install "$web" --prefix "$check/first" >"$out/install.log"
mv "$check/first" "$check/prefix"
guide="$check/prefix/share/doc/zarn/getting_started"
export NODE_PATH=/usr/share/nodejs
cmake -S "$guide" -B "$check/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake \
  -DZarn_DIR="$check/prefix/lib/cmake/Zarn" -DZARN_BACKEND=web \
  "-DCMAKE_EXE_LINKER_FLAGS=-sMODULARIZE -sEXPORT_NAME=createZarnProgram --preload-file $guide/ball.bmp@ball.bmp --preload-file $guide/thwack.wav@thwack.wav" \
  >"$out/consumer.log" 2>&1 || { cat "$out/consumer.log" >&2; exit 1; }
cmake --build "$check/build" >>"$out/consumer.log" 2>&1 || { cat "$out/consumer.log" >&2; exit 1; }
sed -e 's|@ZARN_PAGE_TITLE@|Getting started|g' -e 's|@ZARN_PAGE_PROGRAM@|getting_started|g' \
  -e 's|@ZARN_PAGE_EXPORT@|createZarnProgram|g' -e 's|@ZARN_PAGE_DATA@|getting_started.data|g' \
  -e "s|@ZARN_PAGE_ARGUMENTS@|['ball.bmp', 'thwack.wav']|g" -e 's|@ZARN_PAGE_ICON@|data:,|g' \
  -e 's|@ZARN_PAGE_LINKS@||g' "$check/prefix/share/zarn/web/index.html.in" >"$check/build/index.html"
if grep -rl "$(cd "$here/../.." && pwd)\|$web" "$check/prefix/lib/cmake" >"$out/install-paths.txt"; then
  echo "web: the installed CMake package names the build or the sources: $(cat "$out/install-paths.txt")" >&2
  exit 1
fi

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
