#!/bin/sh
# Builds the game as a web page (one static folder, build-web/site) and each of the library's
# examples as a page of its own (build-web/examples/NAME), and serves them on this machine only;
# open the address it prints in a browser (the game's page links the examples). Ctrl+C stops the
# server. PORT picks the port.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset web
cmake --build --preset web --target zarn-tennis zarn-example-sprites zarn-example-palette zarn-example-drawing \
  zarn-example-sound-board zarn-example-input
port=${PORT:-8000}
echo "Zarn Tennis: open http://127.0.0.1:$port/site/ in a browser (the examples: http://127.0.0.1:$port/examples/)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web
