#pragma once
/// \file
/// The display as the game and the examples have it, for benchmarks on SDL's dummy video driver:
/// the back surface with a clipper of the whole screen.
#include <cstdlib>

#include "display/display.h"
#include "platform/status.h"
#include "platform/window.h"

/// Opens the window, the display and the clipper where they are not open (another benchmark may
/// have shut the display down); whether the back surface is ready to draw on.
inline bool bench_screen_ready() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!display_back) {
        plat_window_create("Zarn Game Console");  // already open when another benchmark made it
        if (display_init(640, 480, 8) != 1) return false;
    }
    if (!display_clipper) {
        const PlatRect whole{0, 0, 640, 480};
        display_clipper = display_attach_clipper(display_back, 1, &whole);
    }
    return display_clipper != nullptr;
}
