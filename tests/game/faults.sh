#!/bin/sh
# The real program under an X server (DISPLAY set by the caller) meeting faults at run time:
# the desktop closing its window, the keyboard focus going to another window while a key is
# held, and an audio output that cannot be opened or that goes away while the game plays.
# Usage: faults.sh GAME_BINARY X_DESKTOP_HELPER OUTPUT_FOLDER
set -u
game=$1
desk=$2
out=$3
rm -rf "$out"
mkdir -p "$out"
pid=""
other=""

# await_window and the rest of the end-to-end scripts' pieces; fail, press and shot as below.
. "$(dirname "$0")/../sdl/screenshots.sh"

fail() {
  echo "faults: $*" >&2
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$other" ] && kill "$other" 2>/dev/null
  exit 1
}

# start NAME [VAR=VALUE...]: runs the game with these variables set, waits for its window.
start() {
  name=$1
  shift
  env "$@" "$game" >"$out/$name.out" 2>"$out/$name.err" &
  pid=$!
  await_window "Zarn Game Console"
}

# ends NAME SECONDS: the game must end within the time with exit code 0.
ends() {
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt $(($2 * 10)) ]; do sleep 0.1; i=$((i + 1)); done
  kill -0 "$pid" 2>/dev/null && fail "$1: the program did not end within $2 s"
  wait "$pid"
  code=$?
  pid=""
  [ "$code" -eq 0 ] || fail "$1: exit code $code, expected 0: $(cat "$out/$1.err")"
}

press() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
  sleep 0.25
}

# A game with a point won and lost (its sound played), then Escape twice: the menu, the end.
play_a_point_and_quit() {
  press Return
  press space
  sleep 3.5
  press Escape
  press Escape
}

shot() { import -window root "$out/$1.png" || fail "cannot take the screenshot $1"; }

# blue SHOT X Y W H: blue pixels (the right racquet) of the game's rectangle (640 x 480 coordinates) on the screenshot,
# mapped the way the picture is scaled onto the screen (centred, aspect kept).
blue() {
  g=$(identify -format "%w %h" "$out/$1.png" | awk -v x="$2" -v y="$3" -v w="$4" -v h="$5" '{
    s = $1 / 640; if ($2 / 480 < s) s = $2 / 480
    printf "%dx%d+%d+%d", w * s, h * s, ($1 - 640 * s) / 2 + x * s, ($2 - 480 * s) / 2 + y * s }')
  convert "$out/$1.png" -crop "$g" +repage -depth 8 txt:- |
    awk -F'[(),]' 'NR > 1 && $5 > 150 && $3 < 110 { n++ } END { print n + 0 }'
}

# 1. The desktop closes the window: the program shuts down and ends with 0, without the fade.
start close SDL_AUDIODRIVER=dummy
"$desk" close "$win" || fail "close: cannot send the close request"
ends close 5
[ ! -s "$out/close.err" ] || fail "close: $(cat "$out/close.err")"

# 2. Up held on the right racquet during a serve, the focus taken by another window, Up let go
# there, the focus given back: the racquet has stopped where it was, not run on to the top.
"$desk" window 0 0 >"$out/other.txt" &
other=$!
i=0
while [ ! -s "$out/other.txt" ] && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
other_win=$(cat "$out/other.txt")
[ -n "$other_win" ] || fail "focus: the other window did not open"
start focus SDL_AUDIODRIVER=dummy
press Return
shot serve
[ "$(blue serve 616 0 24 150)" -lt 20 ] || fail "focus: the right racquet starts at the top"
xdotool keydown Up
sleep 0.1
xdotool windowfocus "$other_win"
[ "$(xdotool getwindowfocus)" = "$other_win" ] || fail "focus: the other window did not take the focus"
xdotool keyup Up
sleep 1
xdotool windowfocus "$win"
sleep 0.5
shot after
sleep 0.5
shot later
[ "$(blue after 616 0 24 104)" -lt 200 ] || fail "focus: the racquet ran on to the top; Up stayed down"
[ "$(blue after 616 200 24 40)" -gt "$(blue serve 616 200 24 40)" ] || fail "focus: Up never moved the racquet"
changed=$(compare -metric AE "$out/after.png" "$out/later.png" null: 2>&1 >/dev/null | cut -d' ' -f1)
[ "${changed:-1}" = 0 ] || fail "focus: the picture still changes with no key held ($changed pixels)"
press Escape
press Escape
ends focus 5
kill "$other" 2>/dev/null
wait "$other" 2>/dev/null
other=""

# 3. No audio output can be opened (no driver named, no sound server, no sound card; or a driver
# that does not exist): the game says so once and plays silently.
runtime=$out/runtime
mkdir -p "$runtime"
start no_audio -u SDL_AUDIODRIVER -u PULSE_SERVER XDG_RUNTIME_DIR="$runtime"
play_a_point_and_quit
ends no_audio 8
grep -q "no sound device" "$out/no_audio.err" || fail "no_audio: nothing said about the sound device"
start bad_driver SDL_AUDIODRIVER=no-such-driver
play_a_point_and_quit
ends bad_driver 8
grep -q "no sound device" "$out/bad_driver.err" || fail "bad_driver: nothing said about the sound device"

# 4. The output opens, then fails at its first write and is gone for the rest of the run (SDL's
# disk driver writing into a full device): sounds play into nothing and the game goes on.
start audio_lost SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/full
play_a_point_and_quit
ends audio_lost 8
grep -q "no sound device" "$out/audio_lost.err" && fail "audio_lost: the output did not open at first"

echo "faults: all checks passed; screenshots in $out"
