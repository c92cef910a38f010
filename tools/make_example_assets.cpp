// Writes the art and sounds of the library's examples, each example's files in a folder of its
// own: sprites/ (a backdrop and a sheet of creature frames), palette/ (a picture drawn for colour
// cycling) and sound-board/ (four WAV sounds and a VOC sound). Everything is drawn and
// synthesised here; usage: make_example_assets OUTPUT_DIRECTORY
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "asset_files.h"

namespace {

Rgb mix(Rgb a, Rgb b, double t) {
    return {uint8_t(a.r + (b.r - a.r) * t + 0.5), uint8_t(a.g + (b.g - a.g) * t + 0.5),
            uint8_t(a.b + (b.b - a.b) * t + 0.5)};
}

// Fills entries first..first+count-1 with a ramp from a through m to b.
void ramp(std::vector<Rgb>& p, int first, int count, Rgb a, Rgb m, Rgb b) {
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / (count - 1);
        p[size_t(first + i)] = t < 0.5 ? mix(a, m, t * 2) : mix(m, b, (t - 0.5) * 2);
    }
}

// ---------------------------------------------------------------- sprites

// The sprites' palette: index 0 is transparent in every frame.
enum : uint8_t {
    S_WHITE = 1,
    S_INK = 2,
    S_BORDER = 3,
    S_CHEEK = 4,
    S_BACK = 16,   // 32 shades: the backdrop, top to bottom
    S_LINE = 48,   // 32 shades: its grid lines, a little lighter
    S_GREEN = 80,  // 16 shades, dark to light, of each creature's body
    S_BLUE = 96,
    S_HIT = 112,
    S_PANEL = 128,  // the band behind the help text
};

std::vector<Rgb> sprites_palette() {
    std::vector<Rgb> p(256, Rgb{0, 0, 0});
    p[S_WHITE] = {255, 255, 255};
    p[S_INK] = {22, 20, 34};
    p[S_BORDER] = {128, 128, 136};
    p[S_CHEEK] = {255, 140, 160};
    p[S_PANEL] = {14, 16, 28};
    ramp(p, S_BACK, 32, {34, 40, 70}, {52, 50, 92}, {78, 60, 104});
    ramp(p, S_LINE, 32, {48, 56, 94}, {70, 68, 118}, {104, 82, 134});
    ramp(p, S_GREEN, 16, {16, 60, 12}, {90, 200, 40}, {220, 255, 170});
    ramp(p, S_BLUE, 16, {10, 40, 100}, {60, 150, 255}, {200, 236, 255});
    ramp(p, S_HIT, 16, {110, 20, 0}, {255, 110, 30}, {255, 240, 170});
    return p;
}

Picture sprites_backdrop() {
    Picture p(640, 480);
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const int shade = std::min(31, y * 32 / p.h);
            const bool line = (x % 40 == 0) || (y % 40 == 0);
            p.set(x, y, uint8_t((line ? S_LINE : S_BACK) + shade));
        }
    p.rect(0, 0, p.w, 24, S_PANEL);
    return p;
}

// How a frame of the bounce is shaped: half width, half height, and how far it is off the ground.
struct Pose {
    double rx, ry, lift;
};
const Pose kPoses[6] = {{12, 12, 0}, {14, 10, 0}, {15, 9, 0}, {11, 13, 1}, {10, 14, 3}, {11, 13, 2}};

enum Face { FACE_OPEN, FACE_BLINK, FACE_STARTLED };

// One creature in a 32 x 32 cell at (ox, oy): a shaded round body in the 16 shades from `body`,
// two eyes and a mouth. The last row and column stay empty: a sprite's blit leaves them out.
void draw_creature(Picture& p, int ox, int oy, const Pose& pose, int body, Face face) {
    const double cx = 15, cy = 29.5 - pose.lift - pose.ry;
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 31; ++x) {
            const double nx = (x + 0.5 - cx) / pose.rx, ny = (y + 0.5 - cy) / pose.ry;
            const double r2 = nx * nx + ny * ny;
            if (r2 > 1) continue;
            const double nz = std::sqrt(1 - r2);
            const double light = std::max(0.0, -0.45 * nx - 0.55 * ny + 0.7 * nz);
            int level = std::clamp(int(std::lround(2 + light * 13)), 1, 15);
            if (r2 > 0.82) level = std::max(1, level - 5);  // a darker rim reads as an outline
            p.set(ox + x, oy + y, uint8_t(body + level));
        }
    const double eye_y = cy - pose.ry * 0.18, eye_dx = pose.rx * 0.38;
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + side * eye_dx;
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 31; ++x) {
                const double dx = x + 0.5 - ex, dy = y + 0.5 - eye_y;
                if (face == FACE_BLINK) {
                    if (std::fabs(dy) < 0.6 && std::fabs(dx) < 2.6) p.set(ox + x, oy + y, S_INK);
                    continue;
                }
                const double white = face == FACE_STARTLED ? 3.6 : 3.0;
                if (dx * dx + dy * dy <= white * white) p.set(ox + x, oy + y, S_WHITE);
                const double px = dx - (face == FACE_STARTLED ? 0 : 1.0), pupil = face == FACE_STARTLED ? 1.1 : 1.7;
                if (px * px + dy * dy <= pupil * pupil) p.set(ox + x, oy + y, S_INK);
            }
        // A touch of colour under each eye.
        p.set(ox + int(ex + side * 2.5), oy + int(eye_y + 4), S_CHEEK);
    }
    const double mouth_y = cy + pose.ry * 0.35;
    for (int x = -3; x <= 3; ++x) {
        if (face == FACE_STARTLED) {  // a round "o"
            if (std::abs(x) <= 1) {
                p.set(ox + int(cx) + x, oy + int(mouth_y) - 1, S_INK);
                p.set(ox + int(cx) + x, oy + int(mouth_y) + 1, S_INK);
            }
            if (std::abs(x) == 2) p.set(ox + int(cx) + x, oy + int(mouth_y), S_INK);
        } else if (std::abs(x) <= 2) {  // a smile
            p.set(ox + int(cx) + x, oy + int(mouth_y + (std::abs(x) == 2 ? -1 : 0)), S_INK);
        }
    }
}

// Two rows (green, blue) of eight frames: six poses of a bounce, a blink and a startled face.
Picture sprites_sheet() {
    Picture p(sheet_width(32, 8), 1 + 33 * 2);
    draw_cell_borders(p, 32, 32, S_BORDER);
    const int bodies[2] = {S_GREEN, S_BLUE};
    for (int row = 0; row < 2; ++row) {
        const int oy = 1 + 33 * row;
        for (int f = 0; f < 6; ++f) draw_creature(p, 1 + 33 * f, oy, kPoses[f], bodies[row], FACE_OPEN);
        draw_creature(p, 1 + 33 * 6, oy, kPoses[0], bodies[row], FACE_BLINK);
        draw_creature(p, 1 + 33 * 7, oy, kPoses[3], S_HIT, FACE_STARTLED);
    }
    return p;
}

// ---------------------------------------------------------------- palette

// The colour-cycling picture's palette: two ranges that the example rotates, and fixed colours.
enum : uint8_t {
    C_WHITE = 1,
    C_PANEL = 2,
    C_RIM_DARK = 3,
    C_RIM_LIGHT = 4,
    C_RAINBOW = 32,  // 64 hues round the colour circle: rotated, a spiral that turns
    C_WATER = 96,    // 32 blues rising and falling: rotated, waves that roll
    C_SHADE = 128,   // 64 fixed shades of the surround, dark to light
};

std::vector<Rgb> cycling_palette() {
    std::vector<Rgb> p(256, Rgb{0, 0, 0});
    p[C_WHITE] = {255, 255, 255};
    p[C_PANEL] = {12, 12, 20};
    p[C_RIM_DARK] = {60, 56, 80};
    p[C_RIM_LIGHT] = {210, 204, 230};
    for (int i = 0; i < 64; ++i) {  // hue i / 64 at full value, a little short of full saturation
        const double h = i * 6.0 / 64, f = h - std::floor(h);
        const double s = 0.85, q = 1 - s * f, t = 1 - s * (1 - f), lo = 1 - s;
        double r = 0, g = 0, b = 0;
        switch (int(h)) {
            case 0: r = 1, g = t, b = lo; break;
            case 1: r = q, g = 1, b = lo; break;
            case 2: r = lo, g = 1, b = t; break;
            case 3: r = lo, g = q, b = 1; break;
            case 4: r = t, g = lo, b = 1; break;
            default: r = 1, g = lo, b = q; break;
        }
        p[size_t(C_RAINBOW + i)] = {uint8_t(r * 255), uint8_t(g * 255), uint8_t(b * 255)};
    }
    for (int i = 0; i < 32; ++i)
        p[size_t(C_WATER + i)] = mix({12, 36, 96}, {130, 210, 255}, 0.5 + 0.5 * std::sin(2 * kPi * i / 32));
    ramp(p, C_SHADE, 64, {6, 6, 14}, {26, 22, 44}, {48, 40, 72});
    return p;
}

// A spiral tunnel in the rainbow range inside a rimmed circle, a rolling sea in the water range
// along the bottom, a dim surround and a dark band at the top for the help text.
Picture cycling_picture() {
    Picture p(640, 480);
    const double cx = 320, cy = 232, radius = 164;
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, r = std::sqrt(dx * dx + dy * dy);
            uint8_t c = uint8_t(C_SHADE + std::clamp(int(63 - r / 6), 0, 63));
            if (r < radius) {
                const double turn = (std::atan2(dy, dx) + kPi) / (2 * kPi);
                const int step = int(std::floor(turn * 64 * 2 + 2400 / (r + 12)));
                c = r < 10 ? 0 : uint8_t(C_RAINBOW + ((step % 64) + 64) % 64);
            } else if (r < radius + 4) {
                c = C_RIM_LIGHT;
            } else if (r < radius + 8) {
                c = C_RIM_DARK;
            }
            if (y >= 410) {
                const double wave = 6 * std::sin(x / 37.0) + 3 * std::sin(x / 11.0 + y / 7.0);
                c = uint8_t(C_WATER + ((int(std::floor((y - 410) * 0.9 + wave + x / 24.0)) % 32) + 32) % 32);
            }
            p.set(x, y, c);
        }
    p.rect(0, 0, p.w, 52, C_PANEL);
    return p;
}

// ---------------------------------------------------------------- sounds

// A kick drum: a sine falling from 150 to 50 Hz, dying fast, with a click of noise on the attack.
std::vector<double> drum(int rate) {
    std::vector<double> s(size_t(rate * 0.35));
    Noise noise;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        phase += 2 * kPi * (50 + 100 * std::exp(-t * 30)) / rate;
        s[i] = 0.95 * std::sin(phase) * std::exp(-t * 9) + 0.5 * noise.next() * std::exp(-t * 160);
    }
    fade_edges(s, rate, 0.5, 30);
    return s;
}

// A low engine hum of whole cycles, so that it loops without a seam: 55 Hz and its overtones,
// throbbing four times a second.
std::vector<double> engine(int rate) {
    std::vector<double> s(static_cast<size_t>(rate));  // one second: 55 cycles, 4 throbs
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        const double tone = std::sin(2 * kPi * 55 * t) + 0.6 * std::sin(2 * kPi * 110 * t) +
                            0.35 * std::sin(2 * kPi * 165 * t) + 0.2 * std::sin(2 * kPi * 220 * t);
        s[i] = tone / 2.15 * (0.75 + 0.25 * std::sin(2 * kPi * 4 * t));
    }
    return s;
}

// A falling square-ish sweep from 1800 to 200 Hz.
std::vector<double> laser(int rate) {
    std::vector<double> s(size_t(rate * 0.45));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / rate;
        phase += 2 * kPi * (200 + 1600 * std::exp(-t * 7)) / rate;
        s[i] = 0.7 * std::tanh(3 * std::sin(phase)) * std::exp(-t * 3);
    }
    fade_edges(s, rate, 1, 40);
    return s;
}

// A VOC file holding one block of 8-bit unsigned samples: the 26-byte header (the format's
// 20-byte signature, the header's size, version 1.10 and its check word), then a sound data block
// (type 1, length, time constant 256 - 1000000 / rate, packing 0) and the end block.
bool write_voc(const std::string& path, const std::vector<double>& s, int rate) {
    static const char kSignature[20] = {'C', 'r', 'e', 'a', 't', 'i', 'v', 'e', ' ', 'V',
                                        'o', 'i', 'c', 'e', ' ', 'F', 'i', 'l', 'e', 0x1A};
    std::vector<uint8_t> b(kSignature, kSignature + 20);
    put16(b, 26);
    put16(b, 0x010A);
    put16(b, uint16_t(~0x010A + 0x1234));
    const uint32_t length = uint32_t(s.size()) + 2;
    b.push_back(1);
    b.push_back(uint8_t(length));
    b.push_back(uint8_t(length >> 8));
    b.push_back(uint8_t(length >> 16));
    b.push_back(uint8_t(256 - 1000000 / rate));
    b.push_back(0);
    for (double v : s) b.push_back(sample_byte(v));
    b.push_back(0);
    return write_file(path, b);
}

// Two quick rising tones.
std::vector<double> blip(int rate) {
    std::vector<double> s(size_t(rate * 0.22), 0.0);
    add_note(s, rate, 0.0, 0.1, note(15), 0.8);
    add_note(s, rate, 0.09, 0.13, note(22), 0.8);
    fade_edges(s, rate, 1, 20);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_example_assets OUTPUT_DIRECTORY\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = true;

    const std::vector<Rgb> sprites = sprites_palette();
    ok = write_bmp(dir + "sprites/backdrop.bmp", sprites_backdrop(), sprites) && ok;
    ok = write_bmp(dir + "sprites/creatures.bmp", sprites_sheet(), sprites) && ok;

    ok = write_bmp(dir + "palette/cycling.bmp", cycling_picture(), cycling_palette()) && ok;

    ok = write_wav(dir + "sound-board/chime.wav",
                   tune(22050, {{note(3), 1}, {note(7), 1}, {note(10), 1}, {note(15), 2.5}}, 0.4, 0.14, 0.55), 22050) &&
         ok;
    ok = write_wav(dir + "sound-board/drum.wav", drum(11025), 11025) && ok;
    ok = write_wav(dir + "sound-board/engine.wav", engine(11025), 11025) && ok;
    ok = write_wav(dir + "sound-board/laser.wav", laser(16000), 16000) && ok;
    ok = write_voc(dir + "sound-board/blip.voc", blip(8000), 8000) && ok;
    return ok ? 0 : 1;
}
