# The end-to-end scripts' shared pieces, sourced: keys sent with xdotool, screenshots taken with
# ImageMagick's import, and pixels counted by colour in rectangles given in the 640 x 480
# picture's coordinates. The sourcing script sets out (the folder for screenshots) and pid (the
# program under test, or empty).

fail() {
  echo "end-to-end: $*" >&2
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  exit 1
}

# A key pressed long enough for a once-a-frame snapshot to see it.
press() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
  sleep 0.25
}

shot() { import -window root "$out/$1.png" || fail "cannot take the screenshot $1"; }

# await_window TITLE: waits up to 15 s for the program's window, then gives it the keyboard.
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
  while [ $i -lt 150 ] && [ $same -lt 10 ]; do
    sleep 0.1
    i=$((i + 1))
    ids=$(xdotool search --name "$1" 2>/dev/null | sort -n | tr '\n' ' ')
    if [ -n "$ids" ] && [ "$ids" = "$seen" ]; then same=$((same + 1)); else same=0; fi
    for id in $ids; do case " $seen " in *" $id "*) ;; *) windows_made=$((windows_made + 1)) ;; esac; done
    seen=$ids
  done
  [ $same -ge 10 ] && win=$(echo "$seen" | awk '{ print $NF }')
  [ -n "$win" ] || fail "the window did not appear (or kept changing) within 15 s"
  xdotool windowfocus "$win" 2>/dev/null || true
}

# expect_end WHAT: waits up to 5 s for the program to end after WHAT; its exit code must be 0.
expect_end() {
  i=0
  while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end within 5 s of $1"
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
  convert "$out/$1.png" -crop "$(geometry "$1" "$2" "$3" "$4" "$5")" +repage -sample "${SAMPLE:-100}%" -depth 8 txt:- |
    awk -F'[(),]' "NR > 1 { r = \$3; g = \$4; b = \$5; if ($6) n++ } END { print n + 0 }"
}

expect_pixels() {  # SHOT X Y W H CONDITION MINIMUM WHAT
  n=$(count_pixels "$1" "$2" "$3" "$4" "$5" "$6")
  [ "$n" -ge "$7" ] || fail "$8: $n matching pixels in $1.png, expected at least $7"
}

# await SECONDS SHOT X Y W H CONDITION MINIMUM WHAT: takes the screenshot again every 0.25 s until
# the rectangle shows the colour, so a slow machine gets the time a fast one does not need.
await() {
  limit=$(awk -v s="$1" 'BEGIN { print int(s * 4) }')
  shift
  tries=0
  while :; do
    shot "$1"
    [ "$(count_pixels "$1" "$2" "$3" "$4" "$5" "$6")" -ge "$7" ] && return 0
    tries=$((tries + 1))
    [ $tries -ge "$limit" ] && expect_pixels "$@"
    sleep 0.25
  done
}
