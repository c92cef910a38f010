// Screen transitions: five palette fades and four wipes, each played to its end, paced by the
// frame clock at 12 ms a step (the dissolve is not paced).
#include "imaging/transition.h"

#include <cstdlib>

#include "display/display.h"
#include "imaging/buffer_bounds.h"
#include "imaging/clock.h"
#include "imaging/draw.h"
#include "imaging/palette.h"

namespace {

enum { TRANSITION_PAUSE_MS = 12, FADE_STEPS_BLACK = 80, FADE_STEPS = 64 };

void pause() {
    clock_start();
    clock_wait(TRANSITION_PAUSE_MS);
}

int clamp_byte(int v) { return v < 0 ? 0 : (v >= 255 ? 255 : v); }

// One step of a fade on one entry; components are worked on as signed ints, then clamped.
void fade_entry(int32_t kind, PaletteEntry& e) {
    int r = e.peRed, g = e.peGreen, b = e.peBlue;
    switch (kind) {
        case TRANSITION_FADE_TO_BLACK:
            r = r > 4 ? r - 3 : 0;
            g = g > 4 ? g - 3 : 0;
            b = b > 4 ? b - 3 : 0;
            break;
        case TRANSITION_FADE_TO_WHITE:
            r += 4;
            g += 4;
            b += 4;
            break;
        case TRANSITION_FADE_TO_BLUE:
            r -= 4;
            g -= 4;
            b += 6;
            break;
        case TRANSITION_FADE_TO_RED:
            r += 6;
            g -= 4;
            b -= 4;
            break;
        case TRANSITION_FADE_TO_GREEN:
            r -= 4;
            g += 6;
            b -= 4;
            break;
        default: break;
    }
    e.peRed = static_cast<uint8_t>(clamp_byte(r));
    e.peGreen = static_cast<uint8_t>(clamp_byte(g));
    e.peBlue = static_cast<uint8_t>(clamp_byte(b));
}

// Each step starts from the palette then in force, so the changes add up.
void fade(int32_t kind) {
    const int steps = kind == TRANSITION_FADE_TO_BLACK ? FADE_STEPS_BLACK : FADE_STEPS;
    const int first = kind == TRANSITION_FADE_TO_BLACK ? 1 : 0;  // black leaves entry 0 alone
    PaletteEntry work_palette[256];
    for (int step = 0; step < steps; ++step) {
        palette_copy_out(work_palette);
        for (int i = first; i < 256; ++i) fade_entry(kind, work_palette[i]);
        palette_set_all(work_palette);
        pause();
    }
}

void close_columns(int32_t i, int32_t w, int32_t h, uint8_t* pixels, int32_t lpitch) {
    vline_fill(0, h - 1, w - 1 - i, 0, pixels, lpitch);
    vline_fill(0, h - 1, i, 0, pixels, lpitch);
    vline_fill(0, h - 1, w - 1 - (i + 1), 0, pixels, lpitch);
    vline_fill(0, h - 1, i + 1, 0, pixels, lpitch);
}

void close_rows(int32_t i, int32_t w, int32_t h, uint8_t* pixels, int32_t lpitch) {
    hline_fill(0, w - 1, h - 1 - i, 0, pixels, lpitch);
    hline_fill(0, w - 1, i, 0, pixels, lpitch);
    hline_fill(0, w - 1, h - 1 - (i + 1), 0, pixels, lpitch);
    hline_fill(0, w - 1, i + 1, 0, pixels, lpitch);
}

}  // namespace

void screen_transition(int32_t kind, uint8_t* pixels, int32_t lpitch) {
    const int32_t w = display_width, h = display_height;
    switch (kind) {
        case TRANSITION_FADE_TO_BLACK:
        case TRANSITION_FADE_TO_WHITE:
        case TRANSITION_FADE_TO_BLUE:
        case TRANSITION_FADE_TO_RED:
        case TRANSITION_FADE_TO_GREEN: fade(kind); return;
        default: break;
    }
    // The wipes need a buffer with room for a pixel; their lines are cut to it.
    int32_t room_w = 0, room_h = 0;
    if (w <= 0 || h <= 0 || !buffer_bounds(pixels, lpitch, &room_w, &room_h)) return;
    switch (kind) {
        case TRANSITION_CLOSE_SIDES:
            for (int32_t i = 0; i < w / 2; i += 2) {
                pause();
                close_columns(i, w, h, pixels, lpitch);
            }
            break;
        case TRANSITION_CLOSE_TOP_BOTTOM:
            for (int32_t i = 0; i < h / 2; i += 2) {
                pause();
                close_rows(i, w, h, pixels, lpitch);
            }
            break;
        case TRANSITION_CLOSE_ALL_SIDES:
            for (int32_t i = 0; i < w / 2; i += 2) {
                pause();
                if (h / 2 > 0) close_rows(i % (h / 2), w, h, pixels, lpitch);
                close_columns(i, w, h, pixels, lpitch);
            }
            break;
        case TRANSITION_DISSOLVE: {
            const int64_t count = 4 * static_cast<int64_t>(w) * h;
            for (int64_t i = 0; i <= count; ++i) {
                const int r1 = std::rand();  // the row's number is drawn first
                const int r2 = std::rand();
                pixel_plot(r2 % w, r1 % h, 0, pixels, lpitch);
            }
            break;
        }
        default: break;
    }
}
