#pragma once
/// \file
/// Row kernels for copying 8-bit pixels, plain, keyed and stretched. Internal to the platform layer.
#include <cstdint>

struct BlitSpan {
    const uint8_t* src;  ///< first source pixel of the source rectangle
    int32_t src_pitch;
    int32_t src_w, src_h;  ///< source rectangle size
    uint8_t* dst;          ///< first pixel of the clipped part: (cx0, cy0) of the destination rectangle
    int32_t dst_pitch;
    // The destination rectangle may reach far beyond the surface (up to 2^32 - 1 wide), so its
    // size and the place of the clipped part in it are 64-bit; the clipped part itself is small.
    int64_t dst_w, dst_h;        ///< destination rectangle size
    int64_t cx0, cy0, cx1, cy1;  ///< the part to draw, relative to its corner; exclusive right and bottom
    int keyed;
    uint8_t key_low, key_high;
};

/// Draws the clipped part; stretches by nearest pixel when the sizes differ. The source pixels
/// must not overlap the destination's (the caller copies an overlapping source aside first).
void blit_span(const BlitSpan& span);
