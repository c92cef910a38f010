// Writes the tennis game's art and sounds: ten 8-bit BMP pictures sharing one 256-colour palette
// (index 0 black, the sprites' transparent colour) and four 8-bit mono PCM WAV sounds.
// Everything is drawn and synthesised here; usage: make_assets OUTPUT_DIRECTORY
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "asset_files.h"

namespace {

// ---------------------------------------------------------------- palette

// Fixed entries of the shared palette.
enum : uint8_t {
    C_BLACK = 0,  // transparent in sprites
    C_WHITE = 1,
    C_INK = 2,     // near-black outlines and shadows
    C_BORDER = 3,  // cell borders of the sprite sheets
    C_APRON_A = 4,
    C_APRON_B = 5,
    C_COURT_A = 6,
    C_COURT_B = 7,
    C_LINE = 8,
    C_NET_SHADOW_A = 9,
    C_NET_SHADOW_B = 10,
    C_NET_DARK = 11,
    C_NET_MESH = 12,
    C_POST = 13,
    C_STRING = 14,
    C_STRING_DARK = 15,
    C_PANEL = 16,
    C_PANEL_EDGE = 17,
    C_TEXT = 18,       // dark blue-grey menu words
    C_TEXT_SOFT = 19,  // hints
};

// Ramps of 16 shades each, dark to light.
enum : uint8_t {
    R_BALL = 32,
    R_SEAM = 48,
    R_RED = 64,
    R_BLUE = 80,
    R_GOLD = 96,
    R_TEAL = 112,
    R_WOOD = 128,
    R_SKY = 144,   // 32 shades
    R_GREY = 176,  // 32 shades
};

std::vector<Rgb> make_palette() {
    std::vector<Rgb> p(256, Rgb{0, 0, 0});
    p[C_WHITE] = {255, 255, 255};
    p[C_INK] = {28, 30, 36};
    p[C_BORDER] = {120, 120, 128};
    p[C_APRON_A] = {184, 218, 146};
    p[C_APRON_B] = {174, 210, 136};
    p[C_COURT_A] = {130, 190, 94};
    p[C_COURT_B] = {120, 181, 86};
    p[C_LINE] = {248, 250, 244};
    p[C_NET_SHADOW_A] = {104, 160, 74};
    p[C_NET_SHADOW_B] = {96, 152, 68};
    p[C_NET_DARK] = {44, 48, 54};
    p[C_NET_MESH] = {168, 172, 176};
    p[C_POST] = {70, 74, 82};
    p[C_STRING] = {236, 236, 222};
    p[C_STRING_DARK] = {176, 176, 160};
    p[C_PANEL] = {250, 251, 255};
    p[C_PANEL_EDGE] = {120, 146, 190};
    p[C_TEXT] = {34, 48, 86};
    p[C_TEXT_SOFT] = {70, 86, 120};
    auto ramp = [&](int first, int count, Rgb a, Rgb m, Rgb b) {
        for (int i = 0; i < count; ++i) {
            double t = double(i) / (count - 1);
            Rgb from = t < 0.5 ? a : m, to = t < 0.5 ? m : b;
            double u = t < 0.5 ? t * 2 : (t - 0.5) * 2;
            p[first + i] = {uint8_t(from.r + (to.r - from.r) * u + 0.5), uint8_t(from.g + (to.g - from.g) * u + 0.5),
                            uint8_t(from.b + (to.b - from.b) * u + 0.5)};
        }
    };
    ramp(R_BALL, 16, {70, 82, 8}, {196, 226, 40}, {248, 255, 170});
    ramp(R_SEAM, 16, {120, 120, 112}, {220, 220, 210}, {255, 255, 255});
    ramp(R_RED, 16, {70, 8, 12}, {200, 36, 40}, {255, 170, 150});
    ramp(R_BLUE, 16, {10, 20, 74}, {40, 90, 210}, {170, 210, 255});
    ramp(R_GOLD, 16, {110, 52, 0}, {240, 170, 20}, {255, 246, 170});
    ramp(R_TEAL, 16, {6, 50, 60}, {20, 140, 150}, {170, 240, 236});
    ramp(R_WOOD, 16, {50, 28, 12}, {130, 80, 40}, {220, 180, 130});
    ramp(R_SKY, 32, {118, 170, 232}, {188, 218, 248}, {246, 250, 255});
    ramp(R_GREY, 32, {8, 8, 8}, {128, 128, 128}, {250, 250, 250});
    return p;
}

// ---------------------------------------------------------------- lettering

// A 5 x 7 capital font of our own.
struct Glyph {
    char c;
    const char* rows[7];
};

const Glyph kFont[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
    {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
    {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
    {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
    {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
    {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
    {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
    {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
    {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
    {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
    {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
    {'3', {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}},
    {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
    {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
    {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
    {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
    {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
    {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
    {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
    {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
    {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
    {'/', {"....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."}},
    {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
};

const Glyph* find_glyph(char c) {
    for (const Glyph& g : kFont)
        if (g.c == c) return &g;
    return nullptr;
}

int text_width(const char* s, int scale) {
    int n = int(std::strlen(s));
    return n ? n * 6 * scale - scale : 0;
}

// Calls plot(x, y) for every lit pixel of the text scaled up, top-left corner at (x, y).
template <class Plot>
void for_text_pixels(const char* s, int x, int y, int scale, Plot plot) {
    for (int i = 0; s[i]; ++i) {
        const Glyph* g = find_glyph(s[i]);
        if (!g) continue;
        for (int gy = 0; gy < 7; ++gy)
            for (int gx = 0; gx < 5; ++gx)
                if (g->rows[gy][gx] == '#')
                    for (int sy = 0; sy < scale; ++sy)
                        for (int sx = 0; sx < scale; ++sx)
                            plot(x + i * 6 * scale + gx * scale + sx, y + gy * scale + sy);
    }
}

struct TextStyle {
    int scale = 3;
    uint8_t fill = C_TEXT;
    int ramp = -1;  // when >= 0: fill with a vertical gradient of this 16-shade ramp
    int ramp_lo = 6, ramp_hi = 15;
    int outline = -1;  // outline colour, or none
    int shadow = -1;   // drop-shadow colour, or none
    int shadow_offset = 2;
};

void draw_text(Picture& p, const char* s, int x, int y, const TextStyle& st) {
    const int h = 7 * st.scale;
    if (st.shadow >= 0)
        for_text_pixels(s, x + st.shadow_offset, y + st.shadow_offset, st.scale,
                        [&](int px, int py) { p.set(px, py, uint8_t(st.shadow)); });
    if (st.outline >= 0)
        for_text_pixels(s, x, y, st.scale, [&](int px, int py) {
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx)
                    if (dx * dx + dy * dy <= 5) p.set(px + dx, py + dy, uint8_t(st.outline));
        });
    for_text_pixels(s, x, y, st.scale, [&](int px, int py) {
        uint8_t c = st.fill;
        if (st.ramp >= 0) {
            double t = double(py - y) / (h - 1);  // light at the top, deeper at the bottom
            c = uint8_t(st.ramp + st.ramp_hi - int(std::lround(t * (st.ramp_hi - st.ramp_lo))));
        }
        p.set(px, py, c);
    });
}

void draw_text_centred(Picture& p, const char* s, int centre_x, int y, const TextStyle& st) {
    draw_text(p, s, centre_x - text_width(s, st.scale) / 2, y, st);
}

// ---------------------------------------------------------------- the ball

// A point of the ball's seam, on the unit sphere: the classic two-lobed curve.
void seam_point(double t, double out[3]) {
    const double a = 0.72, b = 0.28;
    double x = a * std::cos(t) + b * std::cos(3 * t);
    double y = a * std::sin(t) - b * std::sin(3 * t);
    double z = 2 * std::sqrt(a * b) * std::sin(2 * t);
    double n = std::sqrt(x * x + y * y + z * z);
    out[0] = x / n;
    out[1] = y / n;
    out[2] = z / n;
}

// Draws a shaded ball of the given radius centred at (cx, cy), turned by `angle` about a tilted
// axis, into p. Light falls from the upper left.
void draw_ball(Picture& p, double cx, double cy, double radius, double angle) {
    std::vector<double> seam;
    for (int i = 0; i < 720; ++i) {
        double q[3];
        seam_point(2 * kPi * i / 720, q);
        seam.insert(seam.end(), q, q + 3);
    }
    // Rotation: about the y axis by `angle`, then tilted 25 degrees about the x axis.
    const double ca = std::cos(angle), sa = std::sin(angle);
    const double tilt = 25 * kPi / 180, ct = std::cos(tilt), st = std::sin(tilt);
    const double light[3] = {-0.5, -0.6, 0.62};
    const double ln = std::sqrt(light[0] * light[0] + light[1] * light[1] + light[2] * light[2]);
    for (int y = int(cy - radius - 1); y <= int(cy + radius + 1); ++y)
        for (int x = int(cx - radius - 1); x <= int(cx + radius + 1); ++x) {
            double nx = (x + 0.5 - cx) / radius, ny = (y + 0.5 - cy) / radius;
            double r2 = nx * nx + ny * ny;
            if (r2 > 1.0) continue;
            double nz = std::sqrt(1.0 - r2);
            // Surface normal back into the ball's own frame (inverse rotation).
            double y1 = ct * ny + st * nz, z1 = -st * ny + ct * nz;
            double bx = ca * nx - sa * z1, bz = sa * nx + ca * z1, by = y1;
            double best = 9;
            for (size_t i = 0; i < seam.size(); i += 3) {
                double dx = bx - seam[i], dy = by - seam[i + 1], dz = bz - seam[i + 2];
                best = std::min(best, dx * dx + dy * dy + dz * dz);
            }
            double lambert = (nx * light[0] + ny * light[1] + nz * light[2]) / ln;
            double shade = std::clamp(0.22 + 0.78 * std::max(0.0, lambert), 0.0, 1.0);
            // A soft specular spot.
            double highlight = std::pow(std::max(0.0, lambert), 24);
            bool on_seam = best < 0.016;
            int level = int(std::lround(shade * 13 + highlight * 2));
            if (r2 > 0.86) level = std::max(0, level - 3);  // darker rim
            level = std::clamp(level, 1, 15);
            p.set(x, y, uint8_t((on_seam ? R_SEAM : R_BALL) + level));
        }
}

// ---------------------------------------------------------------- the racquet

// A racquet standing upright in a w x h box at (ox, oy): oval head with strings (gaps left
// transparent), a throat and a wrapped grip. `ramp` colours the frame; `light_from_left` sets
// the side of the highlight.
void draw_racquet(Picture& p, int ox, int oy, int w, int h, int ramp, bool light_from_left) {
    const double head_h = h * 0.80;
    const double cx = (w - 1) / 2.0, cy = head_h / 2.0;
    const double rx = (w - 1) / 2.0, ry = head_h / 2.0;
    for (int y = 0; y < h - 1; ++y)
        for (int x = 0; x < w - 1; ++x) {
            double dx = (x + 0.5 - cx - 0.5) / rx, dy = (y + 0.5 - cy) / ry;
            double r = std::sqrt(dx * dx + dy * dy);
            double side = light_from_left ? -dx : dx;  // -1 .. 1, 1 towards the light
            int c = -1;
            if (y < head_h) {
                if (r <= 1.0 && r > 1.0 - 3.2 / rx) {
                    c = ramp + std::clamp(int(std::lround(8 + side * 5)), 2, 14);
                    if (r > 0.985) c = ramp + 2;  // outer edge
                } else if (r <= 1.0 - 3.2 / rx) {
                    bool vertical = (x % 4) == 1, horizontal = (y % 5) == 2;
                    if (vertical || horizontal) c = (vertical && horizontal) ? C_STRING_DARK : C_STRING;
                }
            }
            // Throat: two arms closing in on the grip.
            double grip_top = head_h - 2;
            if (y >= grip_top && y < h * 0.86) {
                double t = (y - grip_top) / (h * 0.86 - grip_top);
                double half = (1 - t) * (w * 0.30) + t * 3.5;
                if (std::fabs(x + 0.5 - cx - 0.5) <= half && std::fabs(x + 0.5 - cx - 0.5) >= half - 2.5)
                    c = ramp + std::clamp(int(std::lround(8 + side * 4)), 2, 14);
                if (std::fabs(x + 0.5 - cx - 0.5) < 3.5 && t > 0.6) c = ramp + 6;
            }
            if (y >= h * 0.86) {
                if (std::fabs(x + 0.5 - cx - 0.5) < 3.5) {
                    int band = (y % 4 == 0) ? 3 : 7;
                    c = R_WOOD + std::clamp(band + int(std::lround(side * 3)), 1, 14);
                }
            }
            if (c >= 0) p.set(ox + x, oy + y, uint8_t(c));
        }
}

// ---------------------------------------------------------------- the court

void draw_court(Picture& p) {
    // Lawn, mowed in stripes: a lighter surround, a deeper court inside the lines.
    const int left = 40, right = 600, top = 60, bottom = 440;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            bool stripe = ((x - 320 + 1000) / 40) % 2 == 0;
            bool inside = x >= left && x < right && y >= top && y < bottom;
            p.set(x, y, inside ? (stripe ? C_COURT_A : C_COURT_B) : (stripe ? C_APRON_A : C_APRON_B));
        }
    auto hline = [&](int x0, int x1, int y) { p.rect(x0, y - 1, x1 + 1, y + 2, C_LINE); };
    auto vline = [&](int x, int y0, int y1) { p.rect(x - 1, y0, x + 2, y1 + 1, C_LINE); };
    // Doubles box, singles sidelines, service lines, centre service line, centre marks.
    hline(left, right, top);
    hline(left, right, bottom);
    vline(left, top, bottom);
    vline(right, top, bottom);
    hline(left, right, 108);
    hline(left, right, 392);
    vline(169, 108, 392);
    vline(471, 108, 392);
    hline(169, 471, 250);
    hline(left, left + 10, 250);
    hline(right - 10, right, 250);
    // The net's shadow falls to the right of it.
    for (int y = 44; y < 458; ++y)
        for (int x = 322; x < 332; ++x) {
            uint8_t c = p.get(x, y);
            if (c == C_COURT_A || c == C_APRON_A) p.set(x, y, C_NET_SHADOW_A);
            else if (c == C_COURT_B || c == C_APRON_B) p.set(x, y, C_NET_SHADOW_B);
        }
    // The net: a mesh between two posts, white tape along the top.
    for (int y = 46; y < 455; ++y) {
        for (int x = 317; x <= 322; ++x) {
            bool mesh = ((x + y) % 3 == 0) || ((x - y + 300) % 3 == 0);
            p.set(x, y, mesh ? C_NET_MESH : C_NET_DARK);
        }
        p.set(317, y, C_LINE);
        p.set(318, y, C_LINE);
    }
    for (int k = 0; k < 2; ++k) {
        int py = k ? 454 : 46;
        for (int y = py - 5; y <= py + 5; ++y)
            for (int x = 314; x <= 325; ++x)
                if ((x - 319.5) * (x - 319.5) + (y - py) * (y - py) <= 30) p.set(x, y, C_POST);
        p.set(318, py - 2, C_NET_MESH);
        p.set(319, py - 2, C_NET_MESH);
    }
}

// ---------------------------------------------------------------- menus

void draw_sky(Picture& p) {
    for (int y = 0; y < p.h; ++y) {
        int level = std::clamp(int(std::lround(double(y) / (p.h - 1) * 31 * 1.6)), 0, 31);
        for (int x = 0; x < p.w; ++x) p.set(x, y, uint8_t(R_SKY + level));
    }
}

// A strip of lawn with a tiny court across the lower menu screen.
void draw_lawn_strip(Picture& p, int y0, int y1) {
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < p.w; ++x) p.set(x, y, ((x / 32) % 2) ? C_APRON_A : C_APRON_B);
    p.rect(0, y0, p.w, y0 + 2, C_LINE);
}

void draw_panel(Picture& p, int x, int y, int w, int h, int r, uint8_t fill, uint8_t edge) {
    for (int yy = 0; yy < h; ++yy)
        for (int xx = 0; xx < w; ++xx) {
            if (!in_round_rect(xx, yy, w, h, r)) continue;
            bool inner = in_round_rect(xx - 2, yy - 2, w - 4, h - 4, std::max(1, r - 2));
            p.set(x + xx, y + yy, inner ? fill : edge);
        }
}

void draw_title(Picture& p, const char* text, int y) {
    TextStyle st;
    st.scale = 8;
    st.ramp = R_GOLD;
    st.ramp_lo = 5;
    st.ramp_hi = 15;
    st.outline = R_RED + 3;
    st.shadow = C_INK;
    st.shadow_offset = 6;
    draw_text_centred(p, text, p.w / 2, y, st);
}

Picture main_menu() {
    Picture p(640, 480);
    draw_sky(p);
    draw_title(p, "ZARN TENNIS", 48);
    TextStyle sub;
    sub.scale = 2;
    sub.fill = C_TEXT_SOFT;
    draw_text_centred(p, "TWO PLAYERS - ONE KEYBOARD", 320, 132, sub);
    // Two racquets crossed behind a ball.
    Picture r(24, 104);
    draw_racquet(r, 0, 0, 24, 104, R_RED, true);
    Picture b(24, 104);
    draw_racquet(b, 0, 0, 24, 104, R_BLUE, false);
    for (int y = 0; y < 104; ++y)
        for (int x = 0; x < 24; ++x) {
            // Lay them on their sides, heads apart, grips meeting under the ball.
            if (uint8_t c = r.get(x, y)) p.set(210 + (103 - y), 206 + x, c);
            if (uint8_t c = b.get(x, y)) p.set(326 + y, 206 + x, c);
        }
    draw_ball(p, 320, 218, 26, 0.6);
    // The choice panel, then the lawn below it.
    draw_lawn_strip(p, 392, 480);
    draw_panel(p, 36, 284, 568, 92, 14, C_PANEL, C_PANEL_EDGE);
    TextStyle item;
    item.scale = 4;
    item.fill = C_TEXT;
    item.shadow = R_SKY + 8;
    draw_text(p, "START GAME", 92, 316, item);
    draw_text(p, "OPTIONS", 432, 316, item);
    TextStyle hint;
    hint.scale = 2;
    hint.fill = C_TEXT;
    draw_text_centred(p, "LEFT/RIGHT: CHOOSE  ENTER: OK  ESC: QUIT", 320, 404, hint);
    draw_text_centred(p, "A/Z AND UP/DOWN MOVE, SPACE SERVES, P PAUSES", 320, 428, hint);
    return p;
}

Picture options_menu() {
    Picture p(640, 480);
    draw_sky(p);
    draw_title(p, "OPTIONS", 48);
    TextStyle head;
    head.scale = 3;
    head.fill = C_TEXT;
    head.shadow = R_SKY + 8;
    draw_text_centred(p, "BALL SPEED", 320, 170, head);
    struct Box {
        int x, w;
        const char* word;
    } boxes[] = {{233, 85, "SLOW"}, {350, 140, "NORMAL"}, {525, 85, "FAST"}};
    TextStyle word;
    word.scale = 3;
    word.fill = C_TEXT;
    for (const Box& b : boxes) {
        draw_panel(p, b.x, 245, b.w, 50, 8, C_PANEL, C_PANEL_EDGE);
        draw_text(p, b.word, b.x + (b.w - text_width(b.word, 3)) / 2, 245 + (50 - 21) / 2, word);
    }
    TextStyle hint;
    hint.scale = 2;
    hint.fill = C_TEXT_SOFT;
    draw_text_centred(p, "ARROWS: MOVE   ENTER: CHOOSE   ESC: QUIT", 320, 330, hint);
    draw_lawn_strip(p, 372, 480);
    draw_panel(p, 238, 398, 200, 42, 8, C_PANEL, C_PANEL_EDGE);
    draw_text(p, "MAIN MENU", 238 + (200 - text_width("MAIN MENU", 3)) / 2, 409, word);
    return p;
}

// ---------------------------------------------------------------- sprite sheets

Picture ball_sheet() {
    Picture p(sheet_width(32), 1 + 33 * 6);
    draw_cell_borders(p, 32, 32, C_BORDER);
    for (int i = 0; i < 6; ++i) {
        Picture cell(32, 32);
        // Six steps of one turn; the seam repeats itself after half a turn.
        draw_ball(cell, 15.5, 15.5, 15.0, kPi * i / 6);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) p.set(1 + x, 1 + 33 * i + y, cell.get(x, y));
    }
    return p;
}

Picture racquet_sheet(int ramp, bool light_from_left) {
    Picture p(sheet_width(24), 106);
    draw_cell_borders(p, 24, 104, C_BORDER);
    draw_racquet(p, 1, 1, 24, 104, ramp, light_from_left);
    return p;
}

Picture menu_box_sheet() {
    const int n = 256;
    Picture p(sheet_width(n), n + 2);
    draw_cell_borders(p, n, n, C_BORDER);
    // A ring in three bands, thick enough to survive being drawn at a fifth of its size.
    for (int y = 0; y < n - 1; ++y)
        for (int x = 0; x < n - 1; ++x) {
            int d = std::min(std::min(x, y), std::min(n - 2 - x, n - 2 - y));
            uint8_t c = 0;
            if (d < 6) c = R_GOLD + 3;
            else if (d < 14) c = R_GOLD + 13;
            else if (d < 20) c = R_GOLD + 8;
            // Round the outer corners a little.
            if (!in_round_rect(x, y, n - 1, n - 1, 40)) c = 0;
            p.set(1 + x, 1 + y, c);
        }
    return p;
}

Picture banner_sheet(int w, const char* text, int ramp, int scale) {
    const int h = 64;
    Picture p(sheet_width(w), h + 2);
    draw_cell_borders(p, w, h, C_BORDER);
    const int bw = w - 1, bh = h - 1;  // the last row and column are never drawn
    for (int y = 0; y < bh; ++y)
        for (int x = 0; x < bw; ++x) {
            if (!in_round_rect(x, y, bw, bh, 14)) continue;
            uint8_t c;
            if (!in_round_rect(x - 3, y - 3, bw - 6, bh - 6, 11)) c = C_WHITE;
            else if (!in_round_rect(x - 5, y - 5, bw - 10, bh - 10, 9)) c = uint8_t(ramp + 2);
            else c = uint8_t(ramp + 11 - (y * 7) / bh);  // light above, deeper below
            p.set(1 + x, 1 + y, c);
        }
    TextStyle st;
    st.scale = scale;
    st.fill = C_WHITE;
    st.shadow = ramp + 1;
    st.shadow_offset = scale > 3 ? 3 : 2;
    int tw = text_width(text, scale);
    draw_text(p, text, 1 + (bw - tw) / 2, 1 + (bh - 7 * scale) / 2, st);
    return p;
}

// The racquet meeting the ball: a short hollow knock with a burst of filtered noise.
std::vector<double> thwack(int rate) {
    std::vector<double> s(size_t(rate * 0.16));
    Noise noise;
    double low = 0, phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / rate;
        double f = 210 - 90 * std::min(1.0, t / 0.12);  // the knock sags in pitch
        phase += 2 * kPi * f / rate;
        double body = std::sin(phase) * std::exp(-t * 26);
        low += 0.35 * (noise.next() - low);
        double burst = low * std::exp(-t * 70);
        s[i] = 0.85 * body + 0.9 * burst;
    }
    fade_edges(s, rate, 1.5, 20);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const std::vector<Rgb> pal = make_palette();
    bool ok = true;

    Picture court(640, 480);
    draw_court(court);
    ok = write_bmp(dir + "TennisBackground.BMP", court, pal) && ok;
    ok = write_bmp(dir + "MainMenu.BMP", main_menu(), pal) && ok;
    ok = write_bmp(dir + "OptionsMenu.bmp", options_menu(), pal) && ok;
    ok = write_bmp(dir + "BallCell.BMP", ball_sheet(), pal) && ok;
    ok = write_bmp(dir + "Racquet.BMP", racquet_sheet(R_RED, true), pal) && ok;
    ok = write_bmp(dir + "RacquetFlipped.BMP", racquet_sheet(R_BLUE, false), pal) && ok;
    ok = write_bmp(dir + "MenuBox.bmp", menu_box_sheet(), pal) && ok;
    ok = write_bmp(dir + "LeftPlayerScores.bmp", banner_sheet(376, "LEFT PLAYER SCORES!", R_RED, 3), pal) && ok;
    ok = write_bmp(dir + "RightPlayerScores.bmp", banner_sheet(384, "RIGHT PLAYER SCORES!", R_BLUE, 3), pal) && ok;
    ok = write_bmp(dir + "GamePaused.bmp", banner_sheet(336, "GAME PAUSED", R_TEAL, 4), pal) && ok;

    // Each sound is made for the rate the game plays it at.
    ok = write_wav(dir + "TennisThwack.WAV", thwack(8000), 8000) && ok;
    // The left player's point rises, the right player's falls: told apart without looking.
    ok = write_wav(dir + "PointLeftPlayer.WAV",
                   tune(9000, {{note(3), 1}, {note(7), 1}, {note(10), 1}, {note(15), 2.2}}, 0.30, 0.11, 0.55), 9000) &&
         ok;
    ok = write_wav(dir + "PointRightPlayer.WAV",
                   tune(9000, {{note(15), 1}, {note(10), 1}, {note(7), 1}, {note(3), 2.2}}, 0.30, 0.11, 0.55), 9000) &&
         ok;
    ok = write_wav(
             dir + "Welcome.WAV",
             tune(18000,
                  {{note(-2), 1}, {note(2), 1}, {note(5), 1}, {note(10), 1.4}, {0, 1}, {note(5), 1}, {note(10), 2.6}},
                  0.34, 0.15, 0.5),
             18000) &&
         ok;
    return ok ? 0 : 1;
}
