#pragma once
/// \file
/// Text drawn from glyph bitmaps into an 8-bit picture, for the backends' text: the SDL backend's
/// glyphs rendered from the desktop font as they are first needed, the web backend's table
/// rendered from it at build time. Internal to the platform layer.
#include <cstdint>

struct GlyphImage {
    int32_t w, h;         ///< the bitmap's size; 0 for a glyph that draws nothing (space)
    int32_t advance;      ///< how far the pen moves after it
    const uint8_t* bits;  ///< w * h, row by row, non-zero where the glyph is drawn
};

/// Writes each character's glyph with its top-left corner at the pen, in this palette index,
/// cut to the width x height picture; the pen starts at (x, y), moves right by each advance and
/// stops once it is past the right edge. Pixels between the strokes are left as they were.
void glyph_text_draw(const GlyphImage* (*glyph_of)(unsigned char c), uint8_t* pixels, int32_t pitch, int32_t width,
                     int32_t height, int32_t x, int32_t y, const char* text, uint8_t index);
