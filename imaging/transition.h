#pragma once
/// \file
/// Screen transitions: palette fades and wipes that take the screen out.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/// The transitions screen_transition() plays.
enum {
    TRANSITION_FADE_TO_BLACK = 0,     ///< every palette entry but 0 darkens step by step
    TRANSITION_FADE_TO_WHITE = 1,     ///< the palette lightens to white
    TRANSITION_CLOSE_SIDES = 2,       ///< columns of colour 0 close in from the left and right edges
    TRANSITION_CLOSE_TOP_BOTTOM = 3,  ///< rows of colour 0 close in from the top and bottom edges
    TRANSITION_DISSOLVE = 4,          ///< pixels of colour 0 strewn at random over the screen
    TRANSITION_CLOSE_ALL_SIDES = 5,   ///< columns and rows of colour 0 close in from all four edges
    TRANSITION_FADE_TO_BLUE = 6,      ///< the palette turns to blue
    TRANSITION_FADE_TO_RED = 7,       ///< the palette turns to red
    TRANSITION_FADE_TO_GREEN = 8,     ///< the palette turns to green
};

/// Plays one effect to its end. The fades change only the palette (pixels may be null); the
/// wipes and the dissolve draw colour 0 into the locked buffer given, cut to what it holds (not
/// at all, and without pausing, into a null buffer or one with no room). Unknown kinds do nothing.
void screen_transition(int32_t kind, uint8_t* pixels, int32_t lpitch);

#ifdef __cplusplus
}  // extern "C"
#endif
