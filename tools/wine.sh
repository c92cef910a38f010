#!/bin/sh
# Runs a Windows program under Wine: wine.sh PROGRAM.exe [ARGUMENT...], its exit code passed on.
# The prefix is the project's own (WINEPREFIX, default build-windows/wine), made on first use,
# one maker at a time; Wine's own chatter is off and it never asks to fetch Mono or Gecko.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build-windows/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree=;mshtml=}"
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # A 64-bit prefix says once that it has no 32-bit side; that is expected here.
    wineboot -i >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log" >&2; exit 1; }
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
