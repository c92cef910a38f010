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
name=""

# fail, press_until, tap_until, press_to_end, await_window, await, geometry and the counts.
. "$(dirname "$0")/../sdl/screenshots.sh"
fail_prefix=faults
on_fail=after_a_fault
# A failure shows what the game under test said and closes the other window, when open.
after_a_fault() {
  [ -n "$name" ] && [ -s "$out/$name.err" ] && echo "the game said: $(cat "$out/$name.err")" >&2
  [ -n "$other" ] && kill "$other" 2>/dev/null
}

COURT='r > 100 && r < 150 && g > 165 && g < 205 && b > 70 && b < 110'
GOLD='r > 200 && g > 120 && b < 110'
BLUE='b > 150 && r < 110'
BALL='r > 180 && g > 210 && b < 110'

# start NAME [VAR=VALUE...]: runs the game with these variables set, waits for its window.
start() {
  name=$1
  shift
  env "$@" "$game" >"$out/$name.out" 2>"$out/$name.err" &
  pid=$!
  await_window "Zarn Game Console"
}

# The main menu, a game with its serve and a point won and lost (its sound played), then Escape
# twice: the menu, the end. Each step awaits the picture it leads to.
play_a_point_and_quit() {
  await 20 "$1_menu" 60 48 520 60 "$GOLD" 2000 "$1: the main menu"
  press_until Return 10 "$1_court" 60 120 80 80 "$COURT" 3000 "$1: the court" \
    20 240 60 60 "$BALL" 100 "$1: the ball held for the serve"
  tap_until space 3 "$1_served" 20 240 60 60 "$BALL" '<=10' "$1: the ball served"
  await 20 "$1_point" 140 180 384 64 "$BLUE" 3000 "$1: the right player's banner"
  press_until Escape 10 "$1_menu_again" 60 48 520 60 "$GOLD" 2000 "$1: the main menu after Escape"
  press_to_end Escape "$1: Escape in the main menu"
}

# column SHOT: a digest of the right racquet's column on the screenshot.
column() { convert "$out/$1.png" -crop "$(geometry "$1" 616 0 24 480)" +repage -format %# info:; }

# await_stopped SHOT: takes the screenshot until two in a row show the right racquet's column
# alike (10 s at most); the last is SHOT.
await_stopped() {
  shot "$1"
  for i in $(seq 40); do
    before=$(column "$1")
    sleep 0.25
    shot "$1"
    [ "$(column "$1")" = "$before" ] && return 0
  done
  fail "focus: the right racquet did not stop within 10 s"
}

# 1. The desktop closes the window: the program shuts down and ends with 0, without the fade.
start close SDL_AUDIODRIVER=dummy
await 20 close_menu 60 48 520 60 "$GOLD" 2000 "close: the main menu"
"$desk" close "$win" || fail "close: cannot send the close request"
expect_end "close: the close request"
[ ! -s "$out/close.err" ] || fail "close: $(cat "$out/close.err")"

# 2. Up held on the right racquet during a serve, the focus taken by another window, Up let go
# there, the focus given back: the racquet has stopped where it was, not run on to the top, and
# stays there while the game goes on. The racquet crosses the court in about a second, faster
# than a screenshot is looked at on a loaded machine, so the focus is taken after a set time and
# what the game made of it is looked at once the racquet has stopped: should Up not have moved
# it yet (a slow frame), or should the focus have gone too late (the racquet at the top), the
# whole is tried again from the bottom, with twice or half the time.
"$desk" window 0 0 >"$out/other.txt" &
other=$!
i=0
while [ ! -s "$out/other.txt" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
other_win=$(cat "$out/other.txt")
[ -n "$other_win" ] || fail "focus: the other window did not open"
start focus SDL_AUDIODRIVER=dummy
press_until Return 20 serve 60 120 80 80 "$COURT" 3000 "focus: the court"
delay=0.1
for try in 1 2 3 4 5 6; do
  press_until Down 10 bottom 616 400 24 80 "$BLUE" 600 "focus: the right racquet at the bottom"
  xdotool keydown Up
  sleep "$delay"
  xdotool windowfocus "$other_win"
  [ "$(xdotool getwindowfocus)" = "$other_win" ] || fail "focus: the other window did not take the focus"
  xdotool keyup Up
  await_stopped away
  if ! holds away 616 440 24 40 "$BLUE" '<=20' "focus: Up never moved the racquet"; then
    delay=$(awk -v d="$delay" 'BEGIN { print d * 2 }')
  elif holds away 616 0 24 104 "$BLUE" '<=199' "focus: the racquet ran on to the top; Up stayed down"; then
    break
  else
    delay=$(awk -v d="$delay" 'BEGIN { print d / 2 }')
  fi
  [ "$try" -eq 6 ] && fail "$missed (six tries)"
  xdotool windowfocus "$win"
done
xdotool windowfocus "$win"
# The game goes on (the serve shows it has frames after the focus came back), the racquet where
# it stopped.
tap_until space 3 served 20 240 60 60 "$BALL" '<=10' "focus: the ball served"
[ "$(column served)" = "$(column away)" ] || fail "focus: the racquet moved with no key held"
press_until Escape 10 focus_menu 60 48 520 60 "$GOLD" 2000 "focus: the main menu after Escape"
press_to_end Escape "focus: Escape in the main menu"
kill "$other" 2>/dev/null
wait "$other" 2>/dev/null
other=""

# 3. No audio output can be opened (no driver named, no sound server, no sound card; or a driver
# that does not exist): the game says so once and plays silently.
runtime=$out/runtime
mkdir -p "$runtime"
start no_audio -u SDL_AUDIODRIVER -u PULSE_SERVER XDG_RUNTIME_DIR="$runtime"
play_a_point_and_quit no_audio
grep -q "no sound device" "$out/no_audio.err" || fail "no_audio: nothing said about the sound device"
start bad_driver SDL_AUDIODRIVER=no-such-driver
play_a_point_and_quit bad_driver
grep -q "no sound device" "$out/bad_driver.err" || fail "bad_driver: nothing said about the sound device"

# 4. The output opens, then fails at its first write and is gone for the rest of the run (SDL's
# disk driver writing into a full device): sounds play into nothing and the game goes on.
start audio_lost SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/full
play_a_point_and_quit audio_lost
grep -q "no sound device" "$out/audio_lost.err" && fail "audio_lost: the output did not open at first"

echo "faults: all checks passed; screenshots in $out"
