#pragma once
/// \file
/// The web backend's font: the desktop's glyphs, rendered at build time by tools/make_glyphs.
/// Internal to the web backend.
#include "platform/common/glyph_text.h"

enum { WEB_GLYPH_FIRST = 32, WEB_GLYPH_COUNT = 96 };

/// The glyphs of characters 32 to 127, in order.
extern const GlyphImage web_glyph_table[WEB_GLYPH_COUNT];
