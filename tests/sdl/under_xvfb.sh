#!/bin/sh
# Runs a command with DISPLAY pointing at a private Xvfb server that ends with it.
set -eu
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb is not installed" >&2
  exit 1
fi
n=$(( ($$ % 400) + 100 ))
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT INT TERM
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i + 1)); done
DISPLAY=":$n" SDL_VIDEODRIVER=x11 "$@"
