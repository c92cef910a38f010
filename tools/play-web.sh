#!/bin/sh
# Builds the game as a web page (one static folder, build-web/site) and serves it on this machine
# only; open the address it prints in a browser. Ctrl+C stops the server. PORT picks the port.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset web
cmake --build --preset web --target zarn-tennis
port=${PORT:-8000}
echo "Zarn Tennis: open http://127.0.0.1:$port/ in a browser"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site
