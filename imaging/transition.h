#pragma once
// Screen transitions: palette fades and wipes that take the screen out.
#include <cstdint>

enum {
    TRANSITION_FADE_TO_BLACK = 0,
    TRANSITION_FADE_TO_WHITE = 1,
    TRANSITION_CLOSE_SIDES = 2,
    TRANSITION_CLOSE_TOP_BOTTOM = 3,
    TRANSITION_DISSOLVE = 4,
    TRANSITION_CLOSE_ALL_SIDES = 5,
    TRANSITION_FADE_TO_BLUE = 6,
    TRANSITION_FADE_TO_RED = 7,
    TRANSITION_FADE_TO_GREEN = 8,
};

void screen_transition(int32_t kind, uint8_t* pixels, int32_t lpitch);
//   Plays one effect to its end. The fades change only the palette (pixels may be null); the
//   wipes and the dissolve draw colour 0 into the locked buffer given, cut to what it holds (not
//   at all, and without pausing, into a null buffer or one with no room). Unknown kinds do nothing.
