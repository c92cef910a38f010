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
# counts.
. "$(dirname "$0")/../sdl/screenshots.sh"

RED='r > 150 && g < 100 && b < 100'
GOLD='r > 200 && g > 120 && b < 110'
COURT='r > 100 && r < 150 && g > 165 && g < 205 && b > 70 && b < 110'
BLACK='r < 40 && g < 40 && b < 40'
BLUE='b > 150 && r < 110'
BALL='r > 180 && g > 210 && b < 110'

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/audio.raw" "$game" 2>"$out/stderr.txt" &
pid=$!
await_window "Zarn Game Console"
# One window from start to play: none made and destroyed on the way (it would flash).
[ "$windows_made" -eq 1 ] || fail "$windows_made windows were made, one after another, instead of one"

# The main menu with the pointer at item 1, under the title; the welcome sound plays there.
await 20 menu 60 48 520 60 "$GOLD" 2000 "the title" \
  60 300 20 60 "$RED" 20 "the pointer at item 1" \
  400 300 20 60 "$RED" '<=4' "no pointer at item 2"
await_sound "$out/audio.raw" 10 "the welcome in the main menu"

# Enter starts a game: the court, the racquets, both scores and the ball held for the serve.
press_until Return 10 court 60 120 80 80 "$COURT" 3000 "the court" \
  0 250 24 80 "$RED" 50 "the left racquet" \
  125 20 150 14 "$BLACK" 40 "the left score" \
  400 20 160 14 "$BLACK" 40 "the right score" \
  20 240 60 60 "$BALL" 100 "the ball at the left racquet"

# Space serves (the ball leaves the racquet); holding still, the left player loses the point.
tap_until space 3 served 20 240 60 60 "$BALL" '<=10' "the ball served"
await 20 point 140 180 384 64 "$BLUE" 3000 "the right player's banner"
changed=$(compare -metric AE "$out/court.png" "$out/point.png" null: 2>&1 >/dev/null | cut -d' ' -f1)
[ "${changed:-0}" != 0 ] || fail "nothing changed between the court and the point screen"
score_before=$(convert "$out/court.png" -crop "$(geometry court 400 20 200 20)" +repage -format %# info:)
score_after=$(convert "$out/point.png" -crop "$(geometry point 400 20 200 20)" +repage -format %# info:)
[ "$score_before" != "$score_after" ] || fail "the right score text did not change"

# Escape returns to the menu; Escape again fades out and ends the program with 0.
press_until Escape 10 menu_again 60 48 520 60 "$GOLD" 2000 "the title after Escape"
press_to_end Escape Escape

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
