#pragma once
/// \file
/// The desktop font's glyphs as a table made at build time by tools/make_glyphs, for the backends
/// that have no font renderer of their own (the web page, the Windows build). Internal to the
/// platform layer; the table is compiled only into the backends that use it.
#include "platform/common/glyph_text.h"

enum { GLYPH_TABLE_FIRST = 32, GLYPH_TABLE_COUNT = 96 };

/// The glyphs of characters 32 to 127, in order.
extern const GlyphImage glyph_table[GLYPH_TABLE_COUNT];

/// The table's glyph of this character; '?' stands for a character outside 32 to 127.
inline const GlyphImage* glyph_table_of(unsigned char c) {
    if (c < GLYPH_TABLE_FIRST || c >= GLYPH_TABLE_FIRST + GLYPH_TABLE_COUNT) c = '?';
    return &glyph_table[c - GLYPH_TABLE_FIRST];
}
