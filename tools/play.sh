#!/bin/sh
# Builds the game and starts it full screen (it finds its art and sounds next to itself).
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target zarn-tennis
exec build/game/zarn-tennis
