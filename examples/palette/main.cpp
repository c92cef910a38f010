// Palette: colour cycling and the nine screen transitions.
//
// An 8-bit screen shows every pixel through one table of 256 colours, so changing the table
// changes the picture without drawing a pixel. The picture here was drawn in two ranges of that
// table, and palette_rotate turns each range by one place: the spiral in 64 colours turns at every
// frame, the sea in 32 blues rolls at every third. The keys 1 to 9 play the nine transitions; each
// holds its last picture for a second, then the colours come back.
//
// Keys: 1 to 9 play a transition, Space stops and starts the cycling, Escape ends.
#include <cstdio>
#include <cstring>

#include <zarn/zarn.h>

#include "../common/example.h"

namespace {

// The ranges of the palette that the picture was drawn in (see tools/make_example_assets.cpp).
enum { SPIRAL_FIRST = 32, SPIRAL_COUNT = 64, SEA_FIRST = 96, SEA_COUNT = 32 };

// keyboard_state is indexed by the keyboard's scan codes; the keys 1 to 9 are 0x02 to 0x0A.
enum { KEY_1 = 0x02 };

// The transitions by kind, TRANSITION_FADE_TO_BLACK (0) to TRANSITION_FADE_TO_GREEN (8).
const char* const kTransitions[9] = {"fade to black",        "fade to white", "close sides",
                                     "close top and bottom", "dissolve",      "close all sides",
                                     "fade to blue",         "fade to red",   "fade to green"};

// The fades only change the palette; the wipes and the dissolve draw colour 0 straight onto the
// screen, into the locked primary (visible) surface. Every transition runs to its end before
// it returns.
void play_transition(int32_t kind) {
    PaletteEntry colours[256];
    palette_copy_out(colours);  // to put back afterwards: a fade leaves the palette faded
    const bool wipe = kind == TRANSITION_CLOSE_SIDES || kind == TRANSITION_CLOSE_TOP_BOTTOM ||
                      kind == TRANSITION_DISSOLVE || kind == TRANSITION_CLOSE_ALL_SIDES;
    if (!wipe) {
        screen_transition(kind, nullptr, 0);
    } else if (display_lock_primary()) {
        screen_transition(kind, primary_pixels, primary_pitch);
        display_unlock_primary();
    }
    clock_start();
    clock_wait(1000);  // the end of the effect stays on the screen for a second
    palette_set_all(colours);
}

}  // namespace

int main(int argc, char** argv) {
    if (!example_start("palette", argc, argv)) return 1;

    BmpFile file{};
    PixelImage picture{};
    if (!bmp_load(&file, "cycling.bmp") || !image_create(&picture, 0, 0, 640, 480) ||
        !image_load_from_bmp(&picture, &file, 0, 0, LOAD_FROM_PIXEL)) {
        example_missing("cycling.bmp");
        bmp_unload(&file);
        image_destroy(&picture);
        example_stop();
        return 1;
    }
    palette_set_all(file.palette);  // the picture's own colours, on the screen at once
    bmp_unload(&file);

    uint8_t keys_before[256] = {};
    int cycling = 1;
    int32_t last = -1;
    while (example_running()) {
        clock_start();
        // A key acts once per press: when it is down now and was up in the previous snapshot.
        auto pressed = [&](int code) { return keyboard_state[code] && !keys_before[code]; };
        if (pressed(DIK_SPACE)) cycling = !cycling;
        int32_t chosen = -1;
        for (int32_t kind = 0; kind < 9; ++kind)
            if (pressed(KEY_1 + kind)) chosen = kind;
        std::memcpy(keys_before, keyboard_state, sizeof keys_before);

        if (cycling) {
            palette_rotate(SPIRAL_FIRST, SPIRAL_COUNT);
            if (example_frame() % 3 == 0) palette_rotate(SEA_FIRST, SEA_COUNT);
        }

        if (display_lock_back()) {
            image_draw(&picture, back_pixels, back_pitch, 0);
            display_unlock_back();
        }
        text_draw("1 fade to black   2 fade to white   3 close sides   4 close top and bottom", 10, 4, 0xFFFFFF,
                  display_back);
        text_draw("5 dissolve   6 close all sides   7 fade to blue   8 fade to red   9 fade to green", 10, 19, 0xFFFFFF,
                  display_back);
        char status[96];
        std::snprintf(status, sizeof status, "Space: %s cycling   Esc: quit%s%s", cycling ? "stop" : "start",
                      last >= 0 ? "   last played: " : "", last >= 0 ? kTransitions[last] : "");
        text_draw(status, 10, 34, 0xE6CCD2, display_back);
        display_flip();
        clock_wait(EXAMPLE_FRAME_MS);

        // After the flip, so that the transition starts from the picture just shown.
        if (chosen >= 0) {
            play_transition(chosen);
            last = chosen;
        }
    }

    image_destroy(&picture);
    example_stop();
    return 0;
}
