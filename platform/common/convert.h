#pragma once
/// \file
/// Turning the 8-bit picture into 32-bit pixels through the palette. Internal to the platform layer.
#include <cstdint>

#include "platform/video.h"

/// 0xFFRRGGBB for every entry; a null palette gives opaque black.
void convert_palette_to_argb(const PaletteEntry* palette, uint32_t lut[256]);
/// Every entry as the bytes red, green, blue, 255 in memory order on a little-endian machine
/// (0xFFBBGGRR), the layout of a browser's image data; a null palette gives opaque black.
void convert_palette_to_rgba(const PaletteEntry* palette, uint32_t lut[256]);
/// dst pixel = lut[src pixel], row by row.
void convert_frame(const uint8_t* src, int32_t src_pitch, int32_t width, int32_t height, const uint32_t lut[256],
                   uint32_t* dst, int32_t dst_pitch_bytes);
