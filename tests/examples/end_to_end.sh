#!/bin/sh
# The five examples end to end under an X server (DISPLAY set by the caller): each is started,
# its screenshot checked for the colours of its picture in known places, a few keys sent with
# xdotool and checked again, then Escape must end it with 0. Then the data folder: the sprites
# example's found where an install puts it, and each example without its files naming the first
# it lacks on stderr and ending with 1.
# Usage: end_to_end.sh FOLDER_OF_THE_PROGRAMS OUTPUT_FOLDER
set -u
bin=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
pid=""

# fail, press_until, press_to_end, await_window, await, await_sound, expect_end and the counts.
. "$(dirname "$0")/../sdl/screenshots.sh"
# Every count below is of the screenshot sampled to a quarter each way: one in 16 screen pixels,
# about 3 in 10 of the picture's own at 1280 x 1024. Thin lines and stars are caught by the
# sampling or not as they move, so their minimums leave room.
SAMPLE=25

# start NAME: runs zarn-example-NAME (sound into a file) and waits for its window. Its first
# picture is awaited by the first checks (on a slow start, as under the sanitizers, the window
# is black for a while).
start() {
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/$1.raw" "$bin/zarn-example-$1" 2>"$out/$1.stderr" &
  pid=$!
  await_window "Zarn example: $1"
}

DARK='r < 40 && g < 40 && b < 60'
BLACK='r < 24 && g < 24 && b < 24'
GREEN='g > 150 && r < 200 && b < 120 && g > r'
SKY='b > 200 && r < 140 && g > 90 && g < 230'
BLUE='b > 100 && r < 40 && g < 40'
RED='r > 120 && g < 60 && b < 60'
STOPPED='r > 80 && r < 110 && r == g && g == b'
GREY='r > 180 && r < 230 && g > 180 && g < 230 && b > 180 && b < 230'
COLOURFUL='(r > 200 || g > 200 || b > 200) && (r < 80 || g < 80 || b < 80)'
LIT='g > 200 && r < 30 && b < 30'

# Sprites: the dark band, the crowd of green and blue creatures on the grid, the help text.
start sprites
await 20 sprites 0 0 640 2 "$DARK" 250 "the band behind the text" \
  0 24 640 456 "$GREEN" 150 "the green creatures" \
  0 24 640 456 "$SKY" 150 "the blue creatures" \
  0 24 640 456 'b > 60 && b < 140 && r > 30 && r < 110 && g < 90' 50000 "the backdrop" \
  260 4 370 14 'r > 150 && g > 200' 80 "the help text"
press_to_end Escape "Escape in sprites"

# Palette: the spiral in every colour, the sea; the fade to red and the wipe from the sides.
start palette
await 20 palette 160 70 320 320 "$COLOURFUL" 15000 "the spiral" \
  0 420 640 60 'b > 80 && r < 140' 7000 "the sea" \
  0 0 640 52 'r > 200 && g > 200 && b > 200' 400 "the help text"
press_until 8 5 palette_red 0 60 140 340 "$RED" 8000 "the surround faded to red"
# A transition holds the program for its length and a second more: keys wait for its end.
await 10 palette_after_red 0 60 140 340 "$DARK" 8000 "the surround dark again after the fade"
# The wipe closes in from the sides over about two seconds: a picture with the sea's left edge
# black and its middle not yet is one taken while the wipe is being drawn. Should the pictures
# come too slowly to catch one (a loaded machine), the wipe is played again once the picture is
# back, three times at most.
for try in 1 2 3; do
  xdotool keydown 3
  try_await 5 palette_wipe 0 420 40 60 "$BLACK" 500 "the sea's left edge wiped black" \
    300 420 40 60 'b > 80' 500 "the sea's middle not yet wiped"
  wiped=$?
  xdotool keyup 3
  await 10 palette_back 0 420 40 60 'b > 80' 500 "the sea's left edge back after the wipe" \
    160 70 320 320 "$COLOURFUL" 15000 "the spiral after the transitions"
  [ "$wiped" -eq 0 ] && break
  [ "$try" -eq 3 ] && fail "$missed (three wipes)"
done
press_to_end Escape "Escape in palette"

# Drawing: the grey bar and green line at the top, stars above the horizon, the blue floor, the
# green cube and its red star, the red size gauge.
start drawing
await 20 drawing 0 0 640 3 'r > 30 && r < 50 && r == g && g == b' 500 "the bar at the top" \
  0 24 640 2 'g > 120 && r < 30 && b < 30' 250 "the line under the bar" \
  0 30 640 260 'r > 120 && r == g && g == b' 15 "the stars" \
  0 310 640 170 "$BLUE" 600 "the floor" \
  80 40 480 400 "$LIT" 120 "the cube" \
  620 400 12 60 'r > 120 && g < 30 && b < 30' 120 "the size gauge"
press_to_end Escape "Escape in drawing"

# Sound board: five rows, all stopped; L loops the chosen one (its box turns blue), S stops it.
start sound-board
await 20 board 196 81 14 14 "$STOPPED" 35 "the first row stopped" \
  196 81 14 130 'b > 200 && r < 30' '<=0' "no row looping yet" \
  8 78 620 22 'b > 40 && r < 20 && g < 20' 2000 "the chosen row"
press_until l 5 board_looping 197 82 12 12 'b > 200 && r < 30 && g < 30' 30 "the first row looping"
press_until s 5 board_stopped 196 81 14 14 "$STOPPED" 35 "the first row stopped again"
press_to_end Escape "Escape in sound-board"
await_sound "$out/sound-board.raw" 0 "the sound board's looping row"

# Input: keys held show as caps, the left mouse button lights its box; let go, both go out.
start input
await 20 input_idle 0 0 640 480 'r + g + b > 90' 100 "the first picture of input" \
  20 60 600 24 "$GREY" '<=0' "key caps with no key held" \
  22 198 40 40 "$LIT" '<=0' "the left button's box with no button held"
xdotool keydown shift keydown a mousedown 1
await 5 input_held 20 60 200 24 "$GREY" 200 "the caps of the keys held" \
  22 198 40 40 "$LIT" 300 "the left button's box"
xdotool keyup a keyup shift mouseup 1
await 5 input_let_go 20 60 600 24 "$GREY" '<=0' "key caps once the keys are let go" \
  22 198 40 40 "$LIT" '<=0' "the left button's box once it is let go"
press_to_end Escape "Escape in input"

# The data folder: found under ../share/zarn/examples once installed.
mkdir -p "$out/installed/bin" "$out/installed/share/zarn/examples" "$out/bare/bin" "$out/elsewhere"
cp "$bin/zarn-example-sprites" "$out/installed/bin/"
cp -r "$bin/data/sprites" "$out/installed/share/zarn/examples/"
(cd "$out/elsewhere" && "$out/installed/bin/zarn-example-sprites" --frames 5 2>"$out/installed.stderr") ||
  fail "installed layout: exit code $?, expected 0: $(cat "$out/installed.stderr")"

# without NAME FILE: the program alone, run from elsewhere, finds none of its data: it must end
# with 1 and name FILE, the first it lacks, on stderr.
without() {
  cp "$bin/zarn-example-$1" "$out/bare/bin/"
  (cd "$out/elsewhere" && SDL_AUDIODRIVER=dummy "$out/bare/bin/zarn-example-$1" --frames 5 2>"$out/bare-$1.stderr")
  code=$?
  [ "$code" -eq 1 ] || fail "$1 without its data: exit code $code, expected 1"
  grep -q "$2" "$out/bare-$1.stderr" || fail "$1 without its data: stderr does not name $2: $(cat "$out/bare-$1.stderr")"
}
without sprites backdrop.bmp
without palette cycling.bmp
without sound-board chime.wav
echo "end-to-end: every example passed; screenshots in $out"
