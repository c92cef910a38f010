#!/bin/sh
# The Debian packages, made by CPack from a built tree and checked without installing them:
# their fields and files, lintian (no error), the metainfo, then each unpacked into a scratch
# folder: the game started from there under the X server (DISPLAY set by the caller) and ended
# with Escape, and the getting-started program built against the unpacked libzarn-dev.
# Usage: packages.sh CPACK BUILD_DIR OUTPUT_FOLDER
set -u
cpack=$1
build=$2
out=$3
source=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$out"
mkdir -p "$out/debs" "$out/root" "$out/elsewhere"
pid=""

# fail, await_window, await and press_to_end, from the end-to-end scripts' shared pieces; a
# failure shows what the game said.
. "$source/tests/sdl/screenshots.sh"
fail_prefix=packages
on_fail=show_game_stderr
show_game_stderr() { [ -s "$out/game-stderr.txt" ] && echo "the game said: $(cat "$out/game-stderr.txt")" >&2; }

"$cpack" --config "$build/CPackConfig.cmake" -B "$out/debs" >"$out/cpack.log" 2>&1 ||
  fail "cpack failed: $(tail -n 20 "$out/cpack.log")"
game=$(ls "$out"/debs/zarn-tennis_*.deb 2>/dev/null)
dev=$(ls "$out"/debs/libzarn-dev_*.deb 2>/dev/null)
[ -f "$game" ] && [ -f "$dev" ] || fail "expected zarn-tennis and libzarn-dev, made: $(ls "$out/debs")"

# field DEB NAME PATTERN WHAT: the control field must match the extended regular expression.
field() {
  value=$(dpkg-deb -f "$1" "$2")
  echo "$value" | grep -Eq "$3" || fail "$4: $2 is '$value'"
}
field "$game" Section '^games$' "zarn-tennis's section"
field "$game" Depends 'libsdl2-2\.0-0' "zarn-tennis's dependencies from its linked libraries"
field "$game" Depends 'libc6' "zarn-tennis's dependencies from its linked libraries"
field "$game" Depends 'fonts-dejavu-core' "zarn-tennis's dependency on its font"
field "$dev" Section '^libdevel$' "libzarn-dev's section"
field "$dev" Depends 'libsdl2-dev.*libsdl2-ttf-dev' "libzarn-dev's dependencies"

# has DEB PATH...: each path is in the package.
has() {
  deb=$1
  shift
  dpkg-deb -c "$deb" | awk '{ print $6 }' >"$out/contents.txt"
  for f in "$@"; do
    grep -qx "./$f" "$out/contents.txt" || fail "$(basename "$deb") lacks $f"
  done
}
has "$game" usr/games/zarn-tennis usr/share/games/zarn-tennis/TennisBackground.BMP \
  usr/share/applications/zarn-tennis.desktop usr/share/icons/hicolor/48x48/apps/zarn-tennis.png \
  usr/share/icons/hicolor/128x128/apps/zarn-tennis.png usr/share/man/man6/zarn-tennis.6.gz \
  usr/share/metainfo/org.example.ZarnTennis.metainfo.xml usr/share/doc/zarn-tennis/copyright \
  usr/share/doc/zarn-tennis/changelog.gz
# The libraries and the files that name their folder in Debian's multiarch folder.
lib=usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
has "$dev" usr/include/zarn/zarn.h $lib/libzarn.a $lib/libzarn-sdl.a $lib/libzarn-headless.a \
  $lib/cmake/Zarn/ZarnConfig.cmake $lib/pkgconfig/zarn.pc $lib/pkgconfig/zarn-sdl.pc \
  $lib/pkgconfig/zarn-headless.pc usr/share/doc/zarn/getting_started/main.cpp \
  usr/share/doc/libzarn-dev/copyright usr/share/doc/libzarn-dev/changelog.gz
# The examples' sources, once the tree has examples (installed with COMPONENT examples).
if [ -f "$source/examples/CMakeLists.txt" ]; then has "$dev" usr/share/doc/zarn/examples/; fi
# The API reference, once the tree makes it (installed with COMPONENT reference).
if [ -f "$source/docs/Doxyfile.in" ]; then has "$dev" usr/share/doc/zarn/html/index.html; fi

# lintian: no error; its warnings and notes are shown.
command -v lintian >/dev/null 2>&1 || fail "lintian is not installed (tools/deps.sh installs it)"
lintian --fail-on error "$game" "$dev" >"$out/lintian.txt" 2>&1
code=$?
grep -v "running with root privileges" "$out/lintian.txt"
[ "$code" -eq 0 ] || fail "lintian found errors (exit $code)"

for deb in "$game" "$dev"; do dpkg-deb -x "$deb" "$out/root" || fail "cannot unpack $deb"; done
root="$out/root"
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.ZarnTennis.metainfo.xml" >"$out/appstream.txt" 2>&1 ||
    fail "the metainfo is not valid: $(cat "$out/appstream.txt")"
fi

# The game from the unpacked tree, started elsewhere: it finds its data through ../share/games.
(cd "$out/elsewhere" && SDL_AUDIODRIVER=dummy exec "$root/usr/games/zarn-tennis") 2>"$out/game-stderr.txt" &
pid=$!
await_window "Zarn Game Console"
# The main menu's gold title: many gold pixels on the screen (one in 16 counted).
SAMPLE=25
await 20 menu 0 0 640 480 'r > 200 && g > 120 && b < 110' 500 "the main menu's title"
kill -0 "$pid" 2>/dev/null || fail "the game ended by itself"
press_to_end Escape "Escape in the main menu"

# The getting-started program against the unpacked libzarn-dev: with its CMake package, and with
# its pkg-config file read under the unpacked tree as the system root.
guide="$root/usr/share/doc/zarn/getting_started"
cmake -S "$guide" -B "$out/guide-build" -DCMAKE_PREFIX_PATH="$root/usr" -DZARN_BACKEND=headless \
  >"$out/guide.log" 2>&1 && cmake --build "$out/guide-build" >>"$out/guide.log" 2>&1 ||
  fail "the getting-started program does not build against libzarn-dev: $(tail -n 20 "$out/guide.log")"
"$out/guide-build/getting_started" "$guide/ball.bmp" "$guide/thwack.wav" 50 || fail "the getting-started program failed"
flags=$(PKG_CONFIG_SYSROOT_DIR="$root" PKG_CONFIG_LIBDIR="$root/$lib/pkgconfig" pkg-config --cflags --libs zarn-headless) ||
  fail "pkg-config cannot read zarn-headless.pc"
# shellcheck disable=SC2086
"${CXX:-c++}" -std=c++17 "$guide/main.cpp" -o "$out/guide-pc" $flags || fail "the getting-started program does not build with pkg-config"
"$out/guide-pc" "$guide/ball.bmp" "$guide/thwack.wav" 50 || fail "the pkg-config build failed"
echo "packages: all checks passed; packages in $out/debs"
