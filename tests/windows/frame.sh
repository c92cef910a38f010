#!/bin/sh
# A frame of play of the Windows build under Wine beside the native build's, both in the real
# window of one X server (DISPLAY set by the caller): prints both and their ratio. No bound: a
# figure to watch, measured in the same run. Both present without waiting for the refresh
# (SDL_RENDER_VSYNC=0), which Xvfb's OpenGL keeps natively and Wine's does not: the cost of the
# work and of the picture's way to the screen, not of the wait.
# Usage: frame.sh FRAME_TIMING_EXE GAME_DATA_FOLDER NATIVE_ZARN_BENCH OUTPUT_FOLDER
set -eu
here=$(cd "$(dirname "$0")" && pwd)
timing=$1
data=$2
native=$3
mkdir -p "$4"
out=$(cd "$4" && pwd)
[ -x "$native" ] || { echo "windows-frame: no native benchmarks at $native (a native build with -DZARN_BENCH=ON)" >&2; exit 1; }

export SDL_RENDER_VSYNC=0
SDL_VIDEODRIVER=x11 "$native" --benchmark_filter='BM_GameFrame_Play$' --benchmark_min_time=1 \
  --benchmark_format=json --benchmark_out="$out/native.json" --benchmark_out_format=json >/dev/null
SDL_AUDIODRIVER=dummy "$here/../../tools/wine.sh" "$timing" "$data" >"$out/wine.json"
python3 - "$out/native.json" "$out/wine.json" <<'PY' >"$out/ratio.txt"
import json, sys
b = json.load(open(sys.argv[1]))["benchmarks"][0]
native = b["real_time"] * {"ns": 1e-3, "us": 1, "ms": 1e3}[b["time_unit"]]
wine = json.load(open(sys.argv[2]))["frame_us"]
print(f"windows-frame: a frame of play {wine:.0f} us under Wine, {native:.0f} us native: ratio {wine / native:.2f}")
PY
cat "$out/ratio.txt"
