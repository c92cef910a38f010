#!/bin/sh
# Builds the game and starts it full screen.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"
if [ ! -x build/game/zarn-tennis ]; then
  echo "the game is not part of this build yet" >&2
  exit 1
fi
cd build/game/data && exec ../zarn-tennis
