#!/bin/sh
# Builds the fuzz targets with clang and runs each for a bounded time (seconds, default 30): the
# file loaders from the test fixtures and seeds of known bad shapes, the call sequences over the
# whole public surface from one seed per operation. Fails on any finding; a crasher is left in
# build-fuzz/findings/ to be turned into a regression fixture under tests/data/ (a loader's) or a
# regression test (a call sequence's; FUZZ_API_TRACE=1 names its calls).
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-30}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZARN_FUZZ=ON -DZARN_SDL=OFF -DZARN_TESTS=OFF -DZARN_WERROR=ON >/dev/null
cmake --build build-fuzz -j "$(nproc 2>/dev/null || echo 2)"
rm -rf build-fuzz/seeds build-fuzz/findings
python3 fuzz/make_seeds.py build-fuzz/seeds
mkdir -p build-fuzz/findings
cp tests/data/*.bmp build-fuzz/seeds/bmp/ 2>/dev/null || true
cp tests/data/*.wav build-fuzz/seeds/wav/ 2>/dev/null || true
cp tests/data/*.voc build-fuzz/seeds/voc/ 2>/dev/null || true
cp tests/data/*.pal build-fuzz/seeds/palette/ 2>/dev/null || true
status=0
for target in bmp wav voc palette api; do
  corpus="build-fuzz/corpus-$target"
  mkdir -p "$corpus"
  echo "fuzzing $target for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 build-fuzz/fuzz/fuzz_$target "$corpus" "build-fuzz/seeds/$target" \
      -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="build-fuzz/findings/$target-" -print_final_stats=1 \
      >"build-fuzz/fuzz-$target.log" 2>&1; then
    echo "fuzz_$target found a fault:" >&2
    tail -40 "build-fuzz/fuzz-$target.log" >&2
    status=1
  fi
  grep -E "stat::number_of_executed_units|stat::average_exec_per_sec|cov:" "build-fuzz/fuzz-$target.log" | tail -3
done
exit $status
