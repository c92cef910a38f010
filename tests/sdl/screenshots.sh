# The end-to-end scripts' shared pieces, sourced: keys sent with xdotool, screenshots taken with
# ImageMagick's import, and pixels counted by colour in rectangles given in the 640 x 480
# picture's coordinates. The sourcing script sets out (the folder for screenshots) and pid (the
# program under test, or empty).

# fail WHY: says why on stderr, after the script's name (fail_prefix, "end-to-end" unless the
# script sets it), runs the script's own clean-up (the function named by on_fail, if any), ends
# the program under test and the script with 1.
fail() {
  echo "${fail_prefix:-end-to-end}: $*" >&2
  [ -n "${on_fail:-}" ] && "$on_fail"
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}

# press_until KEY SECONDS SHOT CHECK...: holds the key down until the screenshot shows what the
# checks ask (await), then lets it go: however slow the program's frames, one of them sees it.
press_until() {
  key=$1
  shift
  xdotool keydown "$key"
  await "$@"
  xdotool keyup "$key"
}

# tap_until KEY SECONDS SHOT CHECK...: for a key that must not stay down long (one held through
# the next state would act there too): pressed for a moment, then the checks awaited; pressed
# again, up to three times in all, while they do not hold within SECONDS (a slow frame may have
# missed the press).
tap_until() {
  key=$1
  shift
  for try in 1 2 3; do
    xdotool keydown "$key"
    sleep 0.15
    xdotool keyup "$key"
    try_await "$@" && return 0
  done
  fail "$missed (the key $key pressed three times)"
}

# press_to_end KEY WHAT: holds the key until the program ends, then expects its exit code 0. A
# key the program still takes as held from its last press (a latch not yet seen let go) is let
# go and pressed again every 2 s, for up to 15 s.
press_to_end() {
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 150 ]; do
    [ $((i % 20)) -eq 0 ] && xdotool keydown "$1"
    [ $((i % 20)) -eq 15 ] && xdotool keyup "$1"
    sleep 0.1
    i=$((i + 1))
  done
  xdotool keyup "$1"
  expect_end "$2"
}

shot() { import -window root "$out/$1.png" || fail "cannot take the screenshot $1"; }

# await_window TITLE: waits up to 30 s for the program's window, then gives it the keyboard.
# A window may be made twice under the same title (SDL makes it anew when a renderer needs
# another kind of window than the program asked for), so the window taken is the newest once
# the windows of that title have stayed the same for a second: keys and close requests then
# reach one that stays.
await_window() {
  win=""
  seen=""
  windows_made=0  # how many windows of the title came and went or stayed
  same=0
  i=0
  while [ $i -lt 300 ] && [ $same -lt 10 ]; do
    sleep 0.1
    i=$((i + 1))
    ids=$(xdotool search --name "$1" 2>/dev/null | sort -n | tr '\n' ' ')
    if [ -n "$ids" ] && [ "$ids" = "$seen" ]; then same=$((same + 1)); else same=0; fi
    for id in $ids; do case " $seen " in *" $id "*) ;; *) windows_made=$((windows_made + 1)) ;; esac; done
    seen=$ids
  done
  [ $same -ge 10 ] && win=$(echo "$seen" | awk '{ print $NF }')
  [ -n "$win" ] || fail "the window did not appear (or kept changing) within 30 s"
  xdotool windowfocus "$win" 2>/dev/null || true
}

# expect_end WHAT: waits up to 15 s for the program to end after WHAT; its exit code must be 0.
expect_end() {
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 150 ]; do sleep 0.1; i=$((i + 1)); done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end within 15 s of $1"
  wait "$pid"
  code=$?
  pid=""
  [ "$code" -eq 0 ] || fail "exit code $code after $1, expected 0"
}

# geometry SHOT X Y W H: the crop geometry on the screenshot of a rectangle in 640 x 480 picture
# coordinates, mapped the way the picture is scaled onto the screen (centred, aspect kept).
geometry() {
  set -- $(identify -format "%w %h" "$out/$1.png") "$2" "$3" "$4" "$5"
  awk -v W="$1" -v H="$2" -v x="$3" -v y="$4" -v w="$5" -v h="$6" 'BEGIN {
    s = W / 640; if (H / 480 < s) s = H / 480
    ox = (W - 640 * s) / 2; oy = (H - 480 * s) / 2
    printf "%dx%d+%d+%d", w * s, h * s, ox + x * s, oy + y * s }'
}

# count_pixels SHOT X Y W H CONDITION: pixels of the picture's rectangle whose r, g, b satisfy
# the awk condition. With SAMPLE set to a percentage, the rectangle is first sampled down to it
# (nearest pixel), which makes large rectangles quick to count.
count_pixels() {
  convert "$out/$1.png" -crop "$(geometry "$1" "$2" "$3" "$4" "$5")" +repage -sample "${SAMPLE:-100}%" -depth 8 rgb:- |
    od -An -v -tu1 -w3 | awk "{ r = \$1; g = \$2; b = \$3; if ($6) n++ } END { print n + 0 }"
}

# A check is six words after the screenshot's name: X Y W H CONDITION COUNT WHAT, the rectangle
# in picture coordinates, the awk condition on r, g, b, and COUNT either N (at least N pixels
# match) or <=N (at most N).
# holds SHOT CHECK: 0 when the check holds on the screenshot; else 1, with why in missed.
holds() {
  n=$(count_pixels "$1" "$2" "$3" "$4" "$5" "$6")
  case $7 in
    "<="*) [ "$n" -le "${7#<=}" ] && return 0 ;;
    *) [ "$n" -ge "$7" ] && return 0 ;;
  esac
  missed="$8: $n matching pixels in $1.png, expected $(echo "$7" | sed 's/^<=/at most /; s/^[0-9]/at least &/')"
  return 1
}

# all_hold SHOT CHECK...: 0 when every check holds on the screenshot; else 1 at the first that
# does not, with why in missed.
all_hold() {
  _shot=$1
  shift
  while [ $# -ge 7 ]; do
    holds "$_shot" "$1" "$2" "$3" "$4" "$5" "$6" "$7" || return 1
    shift 7
  done
}

expect_pixels() { all_hold "$@" || fail "$missed"; }  # SHOT CHECK...

# await SECONDS SHOT CHECK...: takes the screenshot again (every 0.25 s) until every check holds
# on one and the same screenshot, so that each check sees the picture the others saw and a slow
# machine gets the time a fast one does not need. After SECONDS, fails with the first check that
# still does not hold.
await() { try_await "$@" || fail "$missed"; }

# try_await SECONDS SHOT CHECK...: as await, but 1 after SECONDS instead of failing.
try_await() {
  give_up=$(($(date +%s) + $1))
  shift
  while :; do
    shot "$1"
    all_hold "$@" && return 0
    [ "$(date +%s)" -ge "$give_up" ] && return 1
    sleep 0.25
  done
}

# await_sound FILE SECONDS WHAT: waits until the captured audio holds a sound (32 byte values or
# more, far from silence); its size then is in sound_size.
await_sound() {
  give_up=$(($(date +%s) + $2))
  while :; do
    sound_size=$(stat -c %s "$1" 2>/dev/null || echo 0)
    [ "$(head -c "$sound_size" "$1" 2>/dev/null | od -An -v -tu1 | tr -s ' ' '\n' | sort -un | wc -l)" -ge 32 ] && return 0
    [ "$(date +%s)" -ge "$give_up" ] && fail "$3: no sound in the captured audio within $2 s"
    sleep 0.25
  done
}
