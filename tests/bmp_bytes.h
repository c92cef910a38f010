#pragma once
/// \file
/// BMP files built byte by byte, for the picture tests and benchmarks.
#include <cstdint>
#include <cstring>
#include <vector>

/// Writes the low 16 bits of v little-endian at b[at] (b must hold them).
inline void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
/// Writes v little-endian at b[at] (b must hold the four bytes).
inline void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

/// Offsets of the header fields.
enum : size_t {
    AT_BI_SIZE = 14,
    AT_WIDTH = 18,
    AT_HEIGHT = 22,
    AT_BIT_COUNT = 28,
    AT_COMPRESSION = 30,
    AT_SIZE_IMAGE = 34,
    AT_CLR_USED = 46,
    AT_TABLE = 54,
};

/// A BMP file as the loader expects one: headers, the colour table for 8-bit files (entry i
/// stored as blue i, green 255 - i, red i / 2), `gap` spare bytes, then the pixel data as given,
/// in file order (bottom row first).
inline std::vector<uint8_t> bmp_bytes(int32_t width, int32_t height, int bits, const std::vector<uint8_t>& data,
                                      size_t gap = 0) {
    const size_t table = bits == 8 ? 1024 : 0;
    std::vector<uint8_t> b(54 + table + gap, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, static_cast<uint32_t>(54 + table + gap));
    put32(b, AT_BI_SIZE, 40);
    put32(b, AT_WIDTH, static_cast<uint32_t>(width));
    put32(b, AT_HEIGHT, static_cast<uint32_t>(height));
    put16(b, 26, 1);
    put16(b, AT_BIT_COUNT, static_cast<uint32_t>(bits));
    put32(b, AT_SIZE_IMAGE, static_cast<uint32_t>(data.size()));
    for (size_t i = 0; i < table / 4; ++i) {
        b[AT_TABLE + 4 * i] = static_cast<uint8_t>(i);
        b[AT_TABLE + 4 * i + 1] = static_cast<uint8_t>(255 - i);
        b[AT_TABLE + 4 * i + 2] = static_cast<uint8_t>(i / 2);
    }
    b.insert(b.end(), data.begin(), data.end());
    put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

/// w x h pixels of value 1 + (x + 3 * y) mod 250 (never 0), in file order; row r of the picture
/// (top first) is row h - 1 - r of the file.
inline std::vector<uint8_t> numbered_rows(int32_t w, int32_t h) {
    std::vector<uint8_t> d(static_cast<size_t>(w) * h);
    for (int32_t r = 0; r < h; ++r)
        for (int32_t x = 0; x < w; ++x)
            d[static_cast<size_t>(h - 1 - r) * w + x] = static_cast<uint8_t>(1 + (x + 3 * r) % 250);
    return d;
}

/// A BMP file in the format's own layout: the file header (bfOffBits pointing at the pixels), an
/// info header of `header` bytes (12: the OS/2 header; longer ones hold the masks), the masks
/// behind a 40-byte header, a table of `colours` entries stored as bmp_bytes stores them (3 bytes
/// each behind the OS/2 header), then the stored pixels as given. biClrUsed is the count of
/// entries, biSizeImage the size of the data unless given.
struct BmpLayout {
    int32_t width, height;
    int bits;
    uint32_t compression = 0;
    uint32_t header = 40;
    int colours = 0;
    std::vector<uint32_t> masks = {};
    int64_t size_image = -1;
};

/// The bytes of the file the layout describes, with data as its stored pixels.
inline std::vector<uint8_t> bmp_laid_out(const BmpLayout& l, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> b(14 + l.header, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, AT_BI_SIZE, l.header);
    if (l.header == 12) {
        put16(b, 18, static_cast<uint32_t>(l.width));
        put16(b, 20, static_cast<uint32_t>(l.height));
        put16(b, 22, 1);
        put16(b, 24, static_cast<uint32_t>(l.bits));
    } else {
        put32(b, AT_WIDTH, static_cast<uint32_t>(l.width));
        put32(b, AT_HEIGHT, static_cast<uint32_t>(l.height));
        put16(b, 26, 1);
        put16(b, AT_BIT_COUNT, static_cast<uint32_t>(l.bits));
        put32(b, AT_COMPRESSION, l.compression);
        put32(b, AT_SIZE_IMAGE, static_cast<uint32_t>(l.size_image < 0 ? data.size() : l.size_image));
        put32(b, AT_CLR_USED, static_cast<uint32_t>(l.colours));
        for (size_t i = 0; i < l.masks.size(); ++i) {
            if (l.header == 40) b.insert(b.end(), 4, 0);
            put32(b, 54 + 4 * i, l.masks[i]);
        }
    }
    const size_t entry = l.header == 12 ? 3 : 4;
    for (int i = 0; i < l.colours; ++i) {
        const uint8_t e[4] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2), 0};
        b.insert(b.end(), e, e + entry);
    }
    put32(b, 10, static_cast<uint32_t>(b.size()));
    b.insert(b.end(), data.begin(), data.end());
    put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}
