#!/bin/sh
# Runs a command with DISPLAY pointing at a private Xvfb server that ends with it. The server
# takes the first free display itself and says which once it listens, so runs side by side
# never meet on one display.
set -eu
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb is not installed" >&2
  exit 1
fi
said=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$said" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$said"' EXIT INT TERM
i=0
while ! grep -q '^[0-9][0-9]*$' "$said" && [ $i -lt 600 ]; do
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.05
  i=$((i + 1))
done
n=$(cat "$said")
[ -n "$n" ] || { echo "Xvfb did not start" >&2; exit 1; }
if [ -z "${WINEPREFIX:-}" ]; then
  DISPLAY=":$n" SDL_VIDEODRIVER=x11 "$@"
  exit
fi
# Windows programs under Wine (WINEPREFIX set): SDL there has drivers of its own, not X11's. A
# Wine server of the prefix still running from a program started elsewhere (it stays a few
# seconds after its last one) would open this run's windows on its own display: wait for its end.
wineserver -w
DISPLAY=":$n" env -u SDL_VIDEODRIVER "$@"
