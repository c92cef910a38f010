#!/bin/sh
# The Windows program from its archive, under Wine in an X server (DISPLAY set by the caller),
# unpacked into a folder with a space in its name and started from elsewhere: the same session
# as the Linux build's end-to-end check (tests/game/play_through.sh), sound captured by SDL's
# disk driver; then a missing picture stops start-up with a message box naming it.
# Usage: game.sh ZIP OUTPUT_FOLDER (WINEPREFIX as tools/wine.sh takes it)
set -u
here=$(cd "$(dirname "$0")" && pwd)
zip=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
out=$(cd "$out" && pwd)
pid=""

# fail, press_until, tap_until, press_to_end, await_window, await, await_sound, the counts.
. "$here/../sdl/screenshots.sh"
fail_prefix=windows-game
on_fail=said
said() { [ -s "$out/stderr.txt" ] && echo "the program said: $(cat "$out/stderr.txt")" >&2; }

unzip -q "$zip" -d "$out/unpacked here" || fail "cannot unpack $zip"
program="$out/unpacked here/zarn-tennis/zarn-tennis.exe"
[ -f "$program" ] || fail "no zarn-tennis/zarn-tennis.exe in $zip"

# run_exe PROGRAM [VAR=VALUE...]: the Windows program started in the background from the output
# folder.
run_exe() {
  exe=$1
  shift
  (cd "$out" && exec env "$@" "$here/../../tools/wine.sh" "$exe") 2>"$out/stderr.txt" &
  pid=$!
}
start_wine() { run_exe "$program" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/audio.raw"; }
game_started=start_wine
. "$here/../game/play_through.sh"
play_through

# A missing picture: a message box naming it (as on stderr), and once Enter dismisses it the
# program ends with 1.
cp -r "$out/unpacked here/zarn-tennis" "$out/picture missing"
rm "$out/picture missing/data/MenuBox.bmp"
run_exe "$out/picture missing/zarn-tennis.exe" SDL_AUDIODRIVER=dummy
await_window "^zarn-tennis$"
xdotool windowfocus --sync "$win" 2>/dev/null || true
i=0
while kill -0 "$pid" 2>/dev/null && [ $i -lt 30 ]; do
  [ $((i % 5)) -eq 0 ] && xdotool key --window "$win" Return 2>/dev/null
  sleep 0.2
  i=$((i + 1))
done
kill -0 "$pid" 2>/dev/null && fail "the message box did not close on Enter within 6 s"
wait "$pid"
code=$?
pid=""
[ "$code" -eq 1 ] || fail "exit code $code with a picture missing, expected 1"
grep -q "MenuBox.bmp" "$out/stderr.txt" || fail "the error does not name MenuBox.bmp: $(cat "$out/stderr.txt")"
echo "windows-game: all checks passed; screenshots in $out"
