#include "platform/common/convert.h"

void convert_palette_to_argb(const PaletteEntry* palette, uint32_t lut[256]) {
    for (int i = 0; i < 256; ++i) {
        if (!palette) {
            lut[i] = 0xFF000000u;
            continue;
        }
        const PaletteEntry& e = palette[i];
        lut[i] = 0xFF000000u | (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
    }
}

void convert_palette_to_rgba(const PaletteEntry* palette, uint32_t lut[256]) {
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry e = palette ? palette[i] : PaletteEntry{0, 0, 0, 0};
        lut[i] = 0xFF000000u | (uint32_t(e.peBlue) << 16) | (uint32_t(e.peGreen) << 8) | e.peRed;
    }
}

void convert_frame(const uint8_t* src, int32_t src_pitch, int32_t width, int32_t height, const uint32_t lut[256],
                   uint32_t* dst, int32_t dst_pitch_bytes) {
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* s = src + static_cast<intptr_t>(y) * src_pitch;
        uint32_t* d =
            reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) + static_cast<intptr_t>(y) * dst_pitch_bytes);
        int32_t x = 0;
        // Eight at a time: independent loads keep the table lookups in flight together.
        for (; x + 8 <= width; x += 8) {
            uint32_t a0 = lut[s[x + 0]], a1 = lut[s[x + 1]], a2 = lut[s[x + 2]], a3 = lut[s[x + 3]];
            uint32_t a4 = lut[s[x + 4]], a5 = lut[s[x + 5]], a6 = lut[s[x + 6]], a7 = lut[s[x + 7]];
            d[x + 0] = a0;
            d[x + 1] = a1;
            d[x + 2] = a2;
            d[x + 3] = a3;
            d[x + 4] = a4;
            d[x + 5] = a5;
            d[x + 6] = a6;
            d[x + 7] = a7;
        }
        for (; x < width; ++x) d[x] = lut[s[x]];
    }
}
