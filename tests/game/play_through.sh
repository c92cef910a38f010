# The game played end to end under an X server, shared by the Linux and the Windows checks;
# sourced after tests/sdl/screenshots.sh. The sourcing script sets out, pid and game_started,
# a command that starts the game in the background with its sound written by SDL's disk driver
# into $out/audio.raw and its stderr into $out/stderr.txt, and sets pid.

RED='r > 150 && g < 100 && b < 100'
GOLD='r > 200 && g > 120 && b < 110'
COURT='r > 100 && r < 150 && g > 165 && g < 205 && b > 70 && b < 110'
BLACK='r < 40 && g < 40 && b < 40'
BLUE='b > 150 && r < 110'
BALL='r > 180 && g > 210 && b < 110'

# play_through: the main menu, a game, a point, both racquet keys, the menu again and the end.
play_through() {
  "$game_started"
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

  # Space again: the left player, who lost the point, serves; A takes the left racquet (and the
  # ball held on it) to the top of the court, Z to the bottom.
  tap_until space 3 serve_again 140 180 384 64 "$BLUE" '<=100' "the banner gone for the next serve"
  press_until a 10 racquet_up 0 0 24 80 "$RED" 50 "the left racquet at the top after A" \
    0 250 24 80 "$RED" '<=4' "the left racquet gone from the middle"
  press_until z 10 racquet_down 0 400 24 80 "$RED" 50 "the left racquet at the bottom after Z" \
    0 0 24 80 "$RED" '<=4' "the left racquet gone from the top"

  # Escape returns to the menu; Escape again fades out and ends the program with 0.
  press_until Escape 10 menu_again 60 48 520 60 "$GOLD" 2000 "the title after Escape"
  press_to_end Escape Escape
}
