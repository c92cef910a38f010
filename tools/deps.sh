#!/bin/sh
# Installs the Debian packages the build, the game and the tests need, and any named as arguments,
# when any is missing.
set -eu
PACKAGES="build-essential cmake ninja-build pkg-config libsdl2-dev libsdl2-ttf-dev libx11-dev fonts-dejavu-core
libgtest-dev libgmock-dev libbenchmark-dev clang clang-format libclang-rt-14-dev valgrind xvfb xauth xdotool
imagemagick netpbm python3-pil sox python3 emscripten chromium dpkg-dev file lintian appstream"
missing=""
PACKAGES="$PACKAGES doxygen"  # the API reference (docs/)
PACKAGES="$PACKAGES $*"
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
    missing="$missing $p"
  fi
done
# npm for the web tests' browser driver; node itself may come from elsewhere than Debian.
command -v npm >/dev/null 2>&1 || missing="$missing npm"
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
