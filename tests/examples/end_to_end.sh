#!/bin/sh
# The five examples end to end under an X server (DISPLAY set by the caller): each is started,
# its screenshot checked for the colours of its picture in known places, a few keys sent with
# xdotool and checked again, then Escape must end it with 0. Then the sprites example's data
# folder: found where an install puts it, and missing files named on stderr with exit code 1.
# Usage: end_to_end.sh FOLDER_OF_THE_PROGRAMS OUTPUT_FOLDER
set -u
bin=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
pid=""

# fail, press, shot, await_window, expect_end, await, geometry, count_pixels, expect_pixels.
. "$(dirname "$0")/../sdl/screenshots.sh"
# Every count below is of the screenshot sampled to a quarter each way: one in 16 screen pixels,
# about 3 in 10 of the picture's own at 1280 x 1024. Thin lines and stars are caught by the
# sampling or not as they move, so their minimums leave room.
SAMPLE=25

expect_few() {  # SHOT X Y W H CONDITION MAXIMUM WHAT
  n=$(count_pixels "$1" "$2" "$3" "$4" "$5" "$6")
  [ "$n" -le "$7" ] || fail "$8: $n matching pixels in $1.png, expected at most $7"
}

# start NAME: runs zarn-example-NAME (sound into a file) and waits until its picture shows (on
# a slow start, as under the sanitizers, the window is black for a while).
start() {
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/$1.raw" "$bin/zarn-example-$1" 2>"$out/$1.stderr" &
  pid=$!
  await_window "Zarn example: $1"
  SAMPLE=5
  await 10 "$1_first" 0 0 640 480 'r + g + b > 90' 20 "the first picture of $1"
  SAMPLE=25
  sleep 0.5
}

# Quit with Escape: the program must end with 0.
quit() {
  press Escape
  expect_end "Escape in $1"
}

DARK='r < 40 && g < 40 && b < 60'
BLACK='r < 24 && g < 24 && b < 24'
GREEN='g > 150 && r < 200 && b < 120 && g > r'
SKY='b > 200 && r < 140 && g > 90 && g < 230'
STARTLED='r > 200 && g > 60 && g < 180 && b < 90'
BLUE='b > 100 && r < 40 && g < 40'
RED='r > 120 && g < 60 && b < 60'
STOPPED='r > 80 && r < 110 && r == g && g == b'
GREY='r > 180 && r < 230 && g > 180 && g < 230 && b > 180 && b < 230'
COLOURFUL='(r > 200 || g > 200 || b > 200) && (r < 80 || g < 80 || b < 80)'

# Sprites: the dark band, the crowd of green and blue creatures on the grid, the help text.
start sprites
shot sprites
expect_pixels sprites 0 0 640 2 "$DARK" 250 "the band behind the text"
expect_pixels sprites 0 24 640 456 "$GREEN" 150 "the green creatures"
expect_pixels sprites 0 24 640 456 "$SKY" 150 "the blue creatures"
expect_pixels sprites 0 24 640 456 'b > 60 && b < 140 && r > 30 && r < 110 && g < 90' 50000 "the backdrop"
expect_pixels sprites 260 4 370 14 'r > 150 && g > 200' 80 "the help text"
quit sprites

# Palette: the spiral in every colour, the sea; the fade to red and the wipe from the sides.
start palette
shot palette
expect_pixels palette 160 70 320 320 "$COLOURFUL" 15000 "the spiral"
expect_pixels palette 0 420 640 60 'b > 80 && r < 140' 7000 "the sea"
expect_pixels palette 0 0 640 52 'r > 200 && g > 200 && b > 200' 400 "the help text"
press 8
await 5 palette_red 0 60 140 340 "$RED" 8000 "the surround faded to red"
# A transition holds the program for its length and a second more: keys wait for its end.
await 10 palette_after_red 0 60 140 340 "$DARK" 8000 "the surround dark again after the fade"
press 3
await 5 palette_wipe 0 420 40 60 "$BLACK" 500 "the sea's left edge wiped black"
expect_pixels palette_wipe 300 420 40 60 'b > 80' 500 "the sea's middle not yet wiped"
await 10 palette_back 0 420 40 60 'b > 80' 500 "the sea's left edge back after the wipe"
expect_pixels palette_back 160 70 320 320 "$COLOURFUL" 15000 "the spiral after the transitions"
quit palette

# Drawing: the grey bar and green line at the top, stars above the horizon, the blue floor, the
# green cube and its red star, the red size gauge.
start drawing
shot drawing
expect_pixels drawing 0 0 640 3 'r > 30 && r < 50 && r == g && g == b' 500 "the bar at the top"
expect_pixels drawing 0 24 640 2 'g > 120 && r < 30 && b < 30' 250 "the line under the bar"
expect_pixels drawing 0 30 640 260 'r > 120 && r == g && g == b' 15 "the stars"
expect_pixels drawing 0 310 640 170 "$BLUE" 600 "the floor"
expect_pixels drawing 80 40 480 400 'g > 200 && r < 30 && b < 30' 120 "the cube"
expect_pixels drawing 620 400 12 60 'r > 120 && g < 30 && b < 30' 120 "the size gauge"
quit drawing

# Sound board: five rows, all stopped; L loops the chosen one (its box turns blue), S stops it.
start sound-board
shot board
expect_pixels board 196 81 14 14 "$STOPPED" 35 "the first row stopped"
expect_few board 196 81 14 130 'b > 200 && r < 30' 0 "no row looping yet"
expect_pixels board 8 78 620 22 'b > 40 && r < 20 && g < 20' 2000 "the chosen row"
press l
await 3 board_looping 197 82 12 12 'b > 200 && r < 30 && g < 30' 30 "the first row looping"
press s
await 3 board_stopped 196 81 14 14 "$STOPPED" 35 "the first row stopped again"
quit sound-board
[ "$(od -An -v -tu1 "$out/sound-board.raw" | tr -s ' ' '\n' | sort -un | wc -l)" -ge 32 ] ||
  fail "the sound board's captured audio holds no sound"

# Input: keys held show as caps, the left mouse button lights its box.
start input
shot input_idle
expect_few input_idle 20 60 600 24 "$GREY" 0 "key caps with no key held"
xdotool keydown shift keydown a
xdotool mousedown 1
await 3 input_held 20 60 200 24 "$GREY" 200 "the caps of the keys held"
expect_pixels input_held 22 198 40 40 'g > 200 && r < 30 && b < 30' 300 "the left button's box"
xdotool keyup a keyup shift
xdotool mouseup 1
sleep 0.3
quit input

# The data folder: found under ../share/zarn/examples once installed; missing, named on stderr.
mkdir -p "$out/installed/bin" "$out/installed/share/zarn/examples" "$out/bare/bin" "$out/elsewhere"
cp "$bin/zarn-example-sprites" "$out/installed/bin/"
cp "$bin/zarn-example-sprites" "$out/bare/bin/"
cp -r "$bin/data/sprites" "$out/installed/share/zarn/examples/"
(cd "$out/elsewhere" && "$out/installed/bin/zarn-example-sprites" --frames 5 2>"$out/installed.stderr") ||
  fail "installed layout: exit code $?, expected 0: $(cat "$out/installed.stderr")"
(cd "$out/elsewhere" && "$out/bare/bin/zarn-example-sprites" --frames 5 2>"$out/bare.stderr")
code=$?
[ "$code" -eq 1 ] || fail "without its pictures: exit code $code, expected 1"
grep -q "backdrop.bmp" "$out/bare.stderr" || fail "stderr does not name the pictures: $(cat "$out/bare.stderr")"
echo "end-to-end: every example passed; screenshots in $out"
