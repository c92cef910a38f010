#!/bin/sh
# Cross-builds the game for 64-bit Windows with MinGW-w64 into build-windows/, one .exe that
# needs only Windows' own DLLs, and packs it with its data as build-windows/zarn-tennis-win64.zip.
# SDL2 is built from Debian's source package, static, once per version: the build is kept in
# ZARN_WINDOWS_CACHE (default ~/.cache/zarn-windows) for every later run and every checkout.
# ZARN_WINDOWS_OUT names another build folder than build-windows/.
# Installs the Debian packages it needs when any is missing.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
out=${ZARN_WINDOWS_OUT:-$root/build-windows}
cache=${ZARN_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zarn-windows}
jobs=${ZARN_JOBS:-$(nproc 2>/dev/null || echo 2)}

# The cross compilers, GoogleTest's sources for the tests, the Windows runtime for the checks,
# and the packers.
tools/deps.sh g++-mingw-w64-x86-64-posix googletest wine64 wine nsis zip unzip

# SDL2's source from Debian, through an apt configuration of our own in the cache: one deb-src
# line for the mirror and release this machine already uses, read from its own sources now.
mirror=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
  grep -v -- '-security' | head -n 1 || true)
[ -n "$mirror" ] || mirror=$(sed -n 's/^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]*\)\{0,1\}\([^[:space:]]*\).*/\2/p' \
  /etc/apt/sources.list 2>/dev/null | grep -v -- '-security' | head -n 1 || true)
if [ -z "$mirror" ]; then
  echo "build-windows: no Debian mirror found in /etc/apt/sources.list.d or /etc/apt/sources.list" >&2
  exit 1
fi
release=$(. /etc/os-release && echo "$VERSION_CODENAME")
apt_dir=$cache/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror $release main" >"$apt_dir/sources.list"
set -- -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null \
  -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User=root
apt-get "$@" -qq update
version=$(apt-cache "$@" showsrc libsdl2 | sed -n 's/^Version: //p' | head -n 1)
if [ -z "$version" ]; then
  echo "build-windows: the source package libsdl2 is not in $mirror $release" >&2
  exit 1
fi
sdl_prefix=$cache/sdl2-$version-mingw64
if [ ! -f "$sdl_prefix/lib/cmake/SDL2/SDL2Config.cmake" ]; then
  echo "build-windows: building SDL2 $version for Windows"
  work=$cache/sdl2-$version-work
  rm -rf "$work" "$sdl_prefix"
  mkdir -p "$work"
  (cd "$work" && apt-get "$@" -qq source --download-only "libsdl2=$version")
  tar -xzf "$work"/libsdl2_*.orig.tar.gz -C "$work"
  src=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'SDL2*' | head -n 1)
  cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sdl_prefix" \
    -DSDL_STATIC=ON -DSDL_SHARED=OFF -DSDL_TEST=OFF -DSDL_TESTS=OFF
  cmake --build "$work/build" -j "$jobs"
  cmake --install "$work/build"
  rm -rf "$work"
fi

# The game and the headless tests: the generators of art, sounds and glyphs built and run
# natively (host/), the rest for Windows; `ctest` in the build folder runs the tests under Wine.
cmake -S . -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_FIND_ROOT_PATH="$sdl_prefix" -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tools/wine.sh" \
  -DZARN_TESTS=ON -DZARN_BENCH=OFF -DZARN_DOCS=OFF -DZARN_WERROR=ON
cmake --build "$out" -j "$jobs"

# The portable archive: zarn-tennis/ with the program (stripped), its data, a README and the
# licence, in Windows' line endings.
stage=$out/zip
rm -rf "$stage" "$out/zarn-tennis-win64.zip"
mkdir -p "$stage/zarn-tennis"
x86_64-w64-mingw32-strip -o "$stage/zarn-tennis/zarn-tennis.exe" "$out/game/zarn-tennis.exe"
cp -r "$out/host/game/data" "$stage/zarn-tennis/data"
sed 's/$/\r/' packaging/windows/README.txt >"$stage/zarn-tennis/README.txt"
sed 's/$/\r/' packaging/copyright >"$stage/zarn-tennis/LICENSE.txt"
(cd "$stage" && zip -q -9 -r "$out/zarn-tennis-win64.zip" zarn-tennis)
echo "build-windows: $out/zarn-tennis-win64.zip ($(wc -c <"$out/zarn-tennis-win64.zip") bytes)"

# The installer: the portable folder's files installed into Program Files with a Start menu
# shortcut and an uninstaller (packaging/windows/zarn-tennis.nsi), in the project's version.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
version4=$(echo "$version.0.0.0" | cut -d . -f 1-4) # the four numbers of Windows' file properties
rm -f "$out/zarn-tennis-setup.exe"
makensis -V2 -DVERSION="$version" -DVERSION4="$version4" -DGAME="$stage/zarn-tennis" -DICON="$out/game/icon/zarn-tennis.ico" \
  -DOUTFILE="$out/zarn-tennis-setup.exe" packaging/windows/zarn-tennis.nsi
echo "build-windows: $out/zarn-tennis-setup.exe ($(wc -c <"$out/zarn-tennis-setup.exe") bytes)"

# The library for Windows programmers, libzarn-win64/: the Windows build's install (headers,
# static libraries, CMake package, pkg-config files, the getting-started program) and SDL2 as
# built here (static libraries, headers, CMake package, pkg-config file, its zlib licence), the
# pkg-config files taking their prefix from where they lie, wherever the archive is unpacked.
lib_stage=$out/lib-zip/libzarn-win64
rm -rf "$out/lib-zip" "$out/libzarn-win64.zip"
cmake --install "$out" --prefix "$lib_stage" >/dev/null
mkdir -p "$lib_stage/lib/cmake" "$lib_stage/lib/pkgconfig" "$lib_stage/licenses"
cp -r "$sdl_prefix/include/SDL2" "$lib_stage/include/"
cp "$sdl_prefix/lib/libSDL2.a" "$sdl_prefix/lib/libSDL2main.a" "$lib_stage/lib/"
cp -r "$sdl_prefix/lib/cmake/SDL2" "$lib_stage/lib/cmake/"
cp "$sdl_prefix/lib/pkgconfig/sdl2.pc" "$lib_stage/lib/pkgconfig/"
# shellcheck disable=SC2016
sed -i 's|^prefix=.*|prefix=${pcfiledir}/../..|' "$lib_stage"/lib/pkgconfig/*.pc
sed 's/$/\r/' "$sdl_prefix/share/licenses/SDL2/LICENSE.txt" >"$lib_stage/licenses/SDL2.txt"
sed 's/$/\r/' packaging/windows/README-library.txt >"$lib_stage/README.txt"
sed 's/$/\r/' packaging/copyright >"$lib_stage/LICENSE.txt"
(cd "$out/lib-zip" && zip -q -9 -r "$out/libzarn-win64.zip" libzarn-win64)
echo "build-windows: $out/libzarn-win64.zip ($(wc -c <"$out/libzarn-win64.zip") bytes)"
