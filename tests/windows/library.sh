#!/bin/sh
# The library for Windows programmers under Wine: the archive's size, nothing in it naming a
# folder of the machine that made it, then the getting-started program built from the unpacked
# archive as a programmer would, with MinGW-w64: with its CMake package on each backend (the
# headless one runs its frames and names a missing picture; the SDL one shows its sprite under the
# X server, DISPLAY set by the caller, and ends with Escape), and with its pkg-config files.
# Usage: library.sh WINDOWS_BUILD_DIR OUTPUT_FOLDER   (WINEPREFIX names the Wine prefix)
set -u
build=$1
out=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
archive=$build/libzarn-win64.zip
rm -rf "$out"
mkdir -p "$out"
pid=""

# fail, await_window, await and press_to_end from the end-to-end scripts' shared pieces.
. "$source/tests/sdl/screenshots.sh"
fail_prefix=library
export WINEPREFIX="${WINEPREFIX:-$source/build-windows/wine}"
# The program on the headless backend links MinGW's C++ runtime as DLLs, found on its PATH.
cxx=x86_64-w64-mingw32-g++-posix
WINEPATH="Z:$(dirname "$($cxx -print-file-name=libstdc++-6.dll)" | tr / '\\');Z:$(dirname "$($cxx -print-file-name=libwinpthread-1.dll)" | tr / '\\')"
export WINEPATH
wine() { "$source/tools/wine.sh" "$@"; }

[ -f "$archive" ] || fail "no $archive: run tools/build-windows.sh first"
size=$(wc -c <"$archive")
echo "library: $archive is $size bytes"
[ "$size" -le 5000000 ] || fail "the archive is $size bytes, more than 5 MB"
unzip -q "$archive" -d "$out" || fail "cannot unpack $archive"
root=$out/libzarn-win64
for f in LICENSE.txt README.txt licenses/SDL2.txt; do
  [ -s "$root/$f" ] || fail "the archive lacks $f"
done
# Unpacked anywhere, the packages find their files from where they lie: no text names a folder
# of the machine that made it.
cache=${ZARN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zarn-windows}
for folder in "$build" "$cache" "$source"; do
  named=$(grep -rlIF -- "$folder" "$root" | head -n 3)
  [ -z "$named" ] || fail "these files name $folder: $named"
done

# run WHAT COMMAND...: the command, its output kept in OUT/WHAT.log; fails with its end.
run() {
  log="$out/$(echo "$1" | tr ' ' _).log"
  what=$1
  shift
  "$@" >"$log" 2>&1 || fail "$what failed: $(tail -n 15 "$log")"
}

guide=$root/share/doc/zarn/getting_started
for backend in headless sdl; do
  run "configuring $backend" cmake -S "$guide" -B "$out/build-$backend" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw.cmake" -DCMAKE_FIND_ROOT_PATH="$root" -DZARN_BACKEND=$backend
  run "building $backend" cmake --build "$out/build-$backend"
done

# The headless programs, C++ and C: their frames, then a missing picture named with exit code 1.
cd "$guide" || fail "no $guide"
run "the headless program's 100 frames" wine "$out/build-headless/getting_started.exe" ball.bmp thwack.wav 100
run "the C program's 100 frames" wine "$out/build-headless/getting_started_c.exe" ball.bmp thwack.wav 100
wine "$out/build-headless/getting_started.exe" missing.bmp thwack.wav 1 >"$out/missing.log" 2>&1
code=$?
[ "$code" -eq 1 ] && grep -q "missing.bmp" "$out/missing.log" ||
  fail "a missing picture gave $code and '$(tail -n 3 "$out/missing.log")', expected 1 and its name"

# The SDL program in a window: the ball's first cell, yellow-green, at the middle of a black screen.
SDL_AUDIODRIVER=dummy wine "$out/build-sdl/getting_started.exe" ball.bmp thwack.wav 2>"$out/sdl-stderr.txt" &
pid=$!
await_window "Getting started"
await 30 sprite 304 224 32 32 'g > 150 && b < 120' 200 "the ball sprite" 0 0 640 200 'r + g + b > 60' '<=0' "a black screen above it"
press_to_end Escape "Escape"

# pkg-config: the files name the folder they were unpacked into; the same program built with
# their flags, run on the headless backend and linked on the SDL one.
export PKG_CONFIG_LIBDIR="$root/lib/pkgconfig"
for backend in headless sdl; do
  flags=$(pkg-config --cflags --libs zarn-$backend) || fail "pkg-config cannot read zarn-$backend.pc"
  # shellcheck disable=SC2086
  run "compiling with pkg-config zarn-$backend" $cxx -std=c++17 main.cpp -o "$out/pc-$backend.exe" $flags
done
run "the pkg-config program's 50 frames" wine "$out/pc-headless.exe" ball.bmp thwack.wav 50
echo "library: all checks passed"
