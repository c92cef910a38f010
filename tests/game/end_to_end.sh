#!/bin/sh
# The real program end to end under an X server (DISPLAY set by the caller): keys sent with
# xdotool, screenshots taken with ImageMagick's import and checked for the expected colours,
# sound captured by SDL's disk audio driver. Then a missing picture must stop start-up.
# Usage: end_to_end.sh GAME_BINARY OUTPUT_FOLDER
set -u
game=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
pid=""

# fail, press_until, tap_until, press_to_end, await_window, await, await_sound, geometry and the
# counts; then the session played as on Windows, play_through.
. "$(dirname "$0")/../sdl/screenshots.sh"

# The game started with its sound captured into audio.raw.
start_native() {
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/audio.raw" "$game" 2>"$out/stderr.txt" &
  pid=$!
}
game_started=start_native
. "$(dirname "$0")/play_through.sh"
play_through

# A missing picture: exit code 1 and its name on stderr. The program finds its data in data/
# beside it, else in ../share/zarn-tennis (as installed), else in ../share/games/zarn-tennis (as
# the Debian package puts it, the program in games/), else in the working directory: in each
# layout, run from elsewhere, the picture missing there must be the one named.
# broken LAYOUT PROGRAM DATA_FOLDER RUN_FOLDER
broken() {
  mkdir -p "$(dirname "$out/$1/$2")" "$out/$1/$3" "$out/$1/$4"
  cp "$game" "$out/$1/$2"
  cp "$(dirname "$game")"/data/* "$out/$1/$3/"
  rm "$out/$1/$3/MenuBox.bmp"
  (cd "$out/$1/$4" && SDL_AUDIODRIVER=dummy "$out/$1/$2" 2>"$out/$1/stderr.txt")
  code=$?
  [ "$code" -eq 1 ] || fail "$1: exit code $code with a picture missing, expected 1"
  grep -q "MenuBox.bmp" "$out/$1/stderr.txt" || fail "$1: stderr does not name MenuBox.bmp: $(cat "$out/$1/stderr.txt")"
  [ "$(wc -l < "$out/$1/stderr.txt")" -eq 1 ] || fail "$1: more than one line on stderr: $(cat "$out/$1/stderr.txt")"
}
broken beside zarn-tennis data elsewhere
broken installed bin/zarn-tennis share/zarn-tennis elsewhere
broken debian games/zarn-tennis share/games/zarn-tennis elsewhere
broken working bin/zarn-tennis here here
echo "end-to-end: all checks passed; screenshots in $out"
