// Draws the game's desktop icon from its own art: the red racquet, tilted, with the ball above
// it, on a transparent square, written as an RGBA PNG file.
// Usage: make_icon DATA_DIRECTORY SIZE OUTPUT.png   (DATA_DIRECTORY holds what make_assets wrote)
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "imaging/bmp.h"

namespace {

// One sprite cell of a picture: its pixels (index 0 transparent) and the picture's palette.
struct Cell {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    PaletteEntry palette[256] = {};
};

// Cell (0, 0) of an 8-bit sprite sheet, which starts at (1, 1) inside the sheet's border lines.
bool load_cell(const std::string& path, int width, int height, Cell* cell) {
    BmpFile bmp{};
    if (!bmp_load(&bmp, path.c_str())) return false;
    const int sheet_w = bmp.info_header.biWidth, sheet_h = bmp.info_header.biHeight;
    const bool fits = bmp.info_header.biBitCount == 8 && width + 1 <= sheet_w && height + 1 <= sheet_h;
    if (fits) {
        cell->width = width;
        cell->height = height;
        cell->pixels.resize(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) cell->pixels[y * width + x] = bmp.buffer[(y + 1) * sheet_w + x + 1];
        std::copy(bmp.palette, bmp.palette + 256, cell->palette);
    }
    bmp_unload(&bmp);
    return fits;
}

// The colour of the cell at (u, v) in its own pixels; false where transparent or outside.
bool sample(const Cell& cell, double u, double v, PaletteEntry* out) {
    const int x = static_cast<int>(std::floor(u)), y = static_cast<int>(std::floor(v));
    if (x < 0 || y < 0 || x >= cell.width || y >= cell.height) return false;
    const uint8_t index = cell.pixels[y * cell.width + x];
    if (index == 0) return false;
    *out = cell.palette[index];
    return true;
}

// The icon in a 128-unit square: the racquet's centre, its tilt, its scale along and across (the
// sprite is narrow for the court; the icon widens its head); the ball's centre and scale.
const double kRacquetX = 52, kRacquetY = 72, kRacquetTilt = -0.62, kRacquetScale = 1.1, kRacquetWiden = 1.8;
const double kBallX = 100, kBallY = 30, kBallScale = 1.3;

// The colour of the point (x, y) of the 128-unit square; false where nothing is drawn.
bool icon_point(const Cell& racquet, const Cell& ball, double x, double y, PaletteEntry* out) {
    if (sample(ball, (x - kBallX) / kBallScale + ball.width / 2.0, (y - kBallY) / kBallScale + ball.height / 2.0, out))
        return true;
    const double c = std::cos(kRacquetTilt), s = std::sin(kRacquetTilt);
    const double dx = x - kRacquetX, dy = y - kRacquetY;
    const double u = (c * dx + s * dy) / (kRacquetScale * kRacquetWiden) + racquet.width / 2.0;
    const double v = (-s * dx + c * dy) / kRacquetScale + racquet.height / 2.0;
    return sample(racquet, u, v, out);
}

// size x size RGBA pixels, each the average of 4 x 4 points, so that small sizes stay smooth.
std::vector<uint8_t> draw_icon(const Cell& racquet, const Cell& ball, int size) {
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    const int n = 4;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, covered = 0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i) {
                    PaletteEntry e{};
                    const double px = (x + (i + 0.5) / n) * 128.0 / size, py = (y + (j + 0.5) / n) * 128.0 / size;
                    if (!icon_point(racquet, ball, px, py, &e)) continue;
                    r += e.peRed;
                    g += e.peGreen;
                    b += e.peBlue;
                    covered += 1;
                }
            uint8_t* p = &rgba[(static_cast<size_t>(y) * size + x) * 4];
            if (covered > 0) {
                p[0] = static_cast<uint8_t>(std::lround(r / covered));
                p[1] = static_cast<uint8_t>(std::lround(g / covered));
                p[2] = static_cast<uint8_t>(std::lround(b / covered));
                p[3] = static_cast<uint8_t>(std::lround(255 * covered / (n * n)));
            }
        }
    return rgba;
}

// ---------------------------------------------------------------- PNG

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put32be(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32be(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32be(out, crc32(&out[start], out.size() - start));
}

// A zlib stream of stored (uncompressed) blocks: small enough for an icon, and simple.
std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z{0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t len = std::min<size_t>(raw.size() - pos, 65535);
        const bool last = pos + len == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(len));
        z.push_back(static_cast<uint8_t>(len >> 8));
        z.push_back(static_cast<uint8_t>(~len));
        z.push_back(static_cast<uint8_t>(~len >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(pos), raw.begin() + static_cast<long>(pos + len));
        pos += len;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    put32be(z, (b << 16) | a);
    return z;
}

bool write_png(const std::string& path, const std::vector<uint8_t>& rgba, int size) {
    std::vector<uint8_t> raw;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0);  // no filter
        const auto row = rgba.begin() + static_cast<long>(y) * size * 4;
        raw.insert(raw.end(), row, row + size * 4);
    }
    std::vector<uint8_t> header;
    put32be(header, static_cast<uint32_t>(size));
    put32be(header, static_cast<uint32_t>(size));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", zlib_stored(raw));
    chunk(png, "IEND", {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc == 4 ? std::atoi(argv[2]) : 0;
    if (size < 16 || size > 512) {
        std::fprintf(stderr, "usage: make_icon DATA_DIRECTORY SIZE(16..512) OUTPUT.png\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    Cell racquet, ball;
    if (!load_cell(dir + "Racquet.BMP", 24, 104, &racquet) || !load_cell(dir + "BallCell.BMP", 32, 32, &ball)) {
        std::fprintf(stderr, "make_icon: cannot read the racquet and the ball in %s\n", argv[1]);
        return 1;
    }
    if (!write_png(argv[3], draw_icon(racquet, ball, size), size)) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
