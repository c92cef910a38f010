#!/bin/sh
# Checks the house rules, then builds everything and runs every test: once in the normal build,
# the web page in headless Chromium, the Windows build under Wine, each file loader and the call
# sequences under libFuzzer for a bounded smoke run, then every test again under ASan+UBSan.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
# The house rules first (HACKING.md): includes keep to the layers, the formatting to .clang-format,
# every header's functions carry their contracts in the one form.
tools/check_includes.sh
tools/check_format.sh
tools/restyle_contracts.py --check
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARN_WERROR=ON -DZARN_BENCH=ON
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# The web page in headless Chromium, with this build's native frame measured beside it.
cmake --preset web -DZARN_WERROR=ON
cmake --build --preset web
tests/web/run.sh build-web build build-web/test
# The reference's examples page shows the pictures the web checks have just taken.
cmake --build build --target docs

# The Windows build (MinGW-w64 against SDL2 built from Debian's source once and cached), its
# archives and installer, and every check of them under Wine.
tools/build-windows.sh
(cd build-windows && ctest --output-on-failure --no-tests=error -j "$jobs")
cat build-windows/tests/windows/frame/ratio.txt 2>/dev/null || true  # a frame under Wine against native

# Every file loader and the call sequences under libFuzzer for a bounded smoke run; any finding
# fails the run.
tools/fuzz.sh 30

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZARN_WERROR=ON -DZARN_SANITIZE=ON
cmake --build build-asan -j "$jobs"
# Leaks inside the system's X11 and GL libraries are theirs; the project's own code is checked whole.
export LSAN_OPTIONS="suppressions=$(pwd)/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest --output-on-failure -j "$jobs" -LE install)
