#pragma once
/// \file
/// Text on a surface, with a transparent background.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/video.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Draws the text with its top-left corner at (x, y) in a 0x00BBGGRR colour; the pixels between
/// the strokes stay as they were. 1 when drawn; 0 when the surface is null, locked or refuses.
int text_draw(const char* text, int32_t x, int32_t y, uint32_t color, PlatSurface* surface);
/// The same in the colour of palette_entries[index]; 0 for an index outside 0..255.
int text_draw_indexed(const char* text, int32_t x, int32_t y, int32_t index, PlatSurface* surface);

#ifdef __cplusplus
}  // extern "C"
#endif
