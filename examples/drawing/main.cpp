// Drawing: pixels, lines and rectangles written into the back surface.
//
// A starfield of single pixels flies towards you over a floor of lines that run far past the
// screen's edges, and a wire-frame cube with a star inside turns and swells until its corners
// leave the screen. The lines are cut to the clip rectangle, the screen (0, 0) to (639, 479):
// line_draw_clipped cuts and draws in one call; the cube calls line_clip and line_draw apart
// to count the edges that were cut. No picture is loaded: the colours are the display's own
// start-up palette, four ramps of 64 steps (0 red, 64 green, 128 blue, 192 grey).
//
// Keys: Up and Down change the cube's size, Space stops and starts the turning, Escape ends.
#include <cmath>
#include <cstdio>

#include <zarn/zarn.h>

#include "../common/example.h"

namespace {

enum { RED = 0, GREEN = 64, BLUE = 128, GREY = 192 };  // first entry of each ramp; +63 is the brightest
enum { STARS = 260, HORIZON = 300 };

struct Star {
    double x, y, z;  // z: how far away, 1 to 64
};

struct Sky {
    Star stars[STARS];
    uint32_t seed;  // the sky's own random numbers
};

struct Point {
    int32_t x, y;
};

double random_unit(Sky& sky) {  // -1 to 1
    sky.seed = sky.seed * 1664525u + 1013904223u;
    return (sky.seed >> 8) / 8388608.0 - 1.0;
}

// Stars are pixels, plotted one at a time; near ones are bigger and brighter.
void draw_stars(Sky& sky, double speed, uint8_t* pixels, int32_t pitch) {
    for (Star& s : sky.stars) {
        s.z -= speed;
        const int32_t x = static_cast<int32_t>(320 + s.x * 320 / s.z), y = static_cast<int32_t>(150 + s.y * 150 / s.z);
        if (s.z < 1 || x < 0 || x > 639 || y < 0 || y >= HORIZON) {  // gone by: a new star far away
            s = Star{random_unit(sky) * 64, random_unit(sky) * 64, 64};
            continue;
        }
        const uint8_t colour = static_cast<uint8_t>(GREY + 63 - s.z * 0.6);
        pixel_plot(x, y, colour, pixels, pitch);
        if (s.z < 24) {  // pixel_plot refuses a point outside the surface, so no test is needed here
            pixel_plot(x + 1, y, colour, pixels, pitch);
            pixel_plot(x, y + 1, colour, pixels, pitch);
            pixel_plot(x + 1, y + 1, colour, pixels, pitch);
        }
    }
}

// The floor: rows with hline_fill, drawing nearer and brighter as they come, and rays from the
// vanishing point to places far outside the screen, which line_draw_clipped cuts at its edges.
void draw_floor(double travel, uint8_t* pixels, int32_t pitch) {
    hline_fill(0, 639, HORIZON, BLUE + 40, pixels, pitch);
    for (int row = 0; row < 12; ++row) {
        const double depth = row + 1 - std::fmod(travel, 1.0);  // 1 near .. 12 far
        const int32_t y = HORIZON + static_cast<int32_t>(180 / depth);
        hline_fill(-100, 800, y, static_cast<uint8_t>(BLUE + 63 - depth * 4), pixels, pitch);
    }
    for (int ray = -12; ray <= 12; ++ray)
        line_draw_clipped(320 + ray * 12, HORIZON, 320 + ray * 180, HORIZON + 2000, BLUE + 48, pixels, pitch);
}

// A cube and, inside it, a star of three crossed bars, turned about two axes and seen in
// perspective. Returns how many of the edges were cut at the screen's edge.
int draw_shape(double angle, double size, uint8_t* pixels, int32_t pitch) {
    static const double corners[14][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1},  {-1, 1, -1}, {-1, -1, 1},
                                          {1, -1, 1},   {1, 1, 1},   {-1, 1, 1},  {-.6, 0, 0}, {.6, 0, 0},
                                          {0, -.6, 0},  {0, .6, 0},  {0, 0, -.6}, {0, 0, .6}};
    static const int edges[15][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},   {6, 7},  {7, 4},
                                     {0, 4}, {1, 5}, {2, 6}, {3, 7}, {8, 9}, {10, 11}, {12, 13}};
    Point at[14];
    const double ca = std::cos(angle), sa = std::sin(angle), cb = std::cos(angle * 0.7), sb = std::sin(angle * 0.7);
    for (int i = 0; i < 14; ++i) {
        const double x = corners[i][0] * ca - corners[i][2] * sa, z1 = corners[i][0] * sa + corners[i][2] * ca;
        const double y = corners[i][1] * cb - z1 * sb, z = corners[i][1] * sb + z1 * cb;
        const double scale = size * 1.6 / (z + 4);
        at[i] = {static_cast<int32_t>(320 + x * scale), static_cast<int32_t>(200 + y * scale)};
    }
    int cut = 0;
    for (int e = 0; e < 15; ++e) {
        Point a = at[edges[e][0]], b = at[edges[e][1]];
        const uint8_t colour = e < 12 ? GREEN + 63 : RED + 63;
        // line_clip moves the ends onto the clip rectangle, or says that nothing of it is inside.
        const Point before_a = a, before_b = b;
        if (!line_clip(a.x, a.y, b.x, b.y)) {
            ++cut;
            continue;
        }
        if (a.x != before_a.x || a.y != before_a.y || b.x != before_b.x || b.y != before_b.y) ++cut;
        line_draw(a.x, a.y, b.x, b.y, colour, pixels, pitch);
    }
    return cut;
}

}  // namespace

int main(int argc, char** argv) {
    if (!example_start("drawing", argc, argv)) return 1;

    Sky sky;
    sky.seed = 7;
    for (Star& s : sky.stars) s = Star{random_unit(sky) * 64, random_unit(sky) * 64, 1 + (random_unit(sky) + 1) * 31.5};
    double angle = 0, size = 150, travel = 0;
    int turning = 1;
    uint8_t space_before = 0;

    while (example_running()) {
        clock_start();
        if (keyboard_state[DIK_UP] && size < 400) size += 4;
        if (keyboard_state[DIK_DOWN] && size > 30) size -= 4;
        if (keyboard_state[DIK_SPACE] && !space_before) turning = !turning;
        space_before = keyboard_state[DIK_SPACE];
        if (turning) angle += 0.02;
        travel += 0.05;

        display_fill_surface(display_back, 0);
        int cut = 0;
        // Pixels and lines are written into the locked surface's memory, row by row at its pitch.
        if (display_lock_back()) {
            draw_stars(sky, 0.4, back_pixels, back_pitch);
            draw_floor(travel, back_pixels, back_pitch);
            // The shape swells and shrinks a little by itself: at its largest it leaves the screen.
            cut = draw_shape(angle, size * (1.25 + 0.45 * std::sin(angle * 1.3)), back_pixels, back_pitch);
            // A gauge of the size at the right, drawn as twelve vertical lines side by side.
            for (int32_t x = 620; x < 632; ++x)
                vline_fill(470, static_cast<int32_t>(470 - size / 2), x, RED + 40, back_pixels, back_pitch);
            display_unlock_back();
        }

        // Rectangles are filled by the display itself, on the surface while it is not locked.
        // The right and bottom edges are not part of the rectangle: this is 640 x 24 pixels.
        rect_fill(0, 0, 640, 24, GREY + 10, display_back);
        rect_fill(0, 24, 640, 26, GREEN + 40, display_back);
        for (int i = 0; i < cut; ++i) rect_fill(100 + i * 12, 6, 110 + i * 12, 18, RED + 63, display_back);
        char line[64];
        std::snprintf(line, sizeof line, "edges cut: %d", cut);
        text_draw(line, 10, 5, 0xFFFFFF, display_back);
        text_draw("Up/Down: size   Space: turn   Esc: quit", 350, 5, 0xC0C0C0, display_back);
        display_flip();
        clock_wait(EXAMPLE_FRAME_MS);
    }

    example_stop();
    return 0;
}
