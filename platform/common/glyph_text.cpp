#include "platform/common/glyph_text.h"

void glyph_text_draw(const GlyphImage* (*glyph_of)(unsigned char c), uint8_t* pixels, int32_t pitch, int32_t width,
                     int32_t height, int32_t x, int32_t y, const char* text, uint8_t index) {
    int64_t pen = x;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        const GlyphImage* gl = glyph_of(*c);
        for (int32_t gy = 0; gy < gl->h; ++gy) {
            const int64_t py = int64_t(y) + gy;
            if (py < 0 || py >= height) continue;
            for (int32_t gx = 0; gx < gl->w; ++gx) {
                const int64_t px = pen + gx;
                if (px < 0 || px >= width || !gl->bits[static_cast<int64_t>(gy) * gl->w + gx]) continue;
                pixels[py * pitch + px] = index;
            }
        }
        pen += gl->advance;
        if (pen > width) break;
    }
}
