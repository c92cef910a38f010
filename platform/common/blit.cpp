#include "platform/common/blit.h"

#include <cstring>

namespace {

inline void copy_row(uint8_t* d, const uint8_t* s, int32_t n) { std::memcpy(d, s, static_cast<size_t>(n)); }

// Key 0..0: a select the compiler turns into vector blends.
inline void copy_row_key0(uint8_t* __restrict d, const uint8_t* __restrict s, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        uint8_t v = s[i];
        d[i] = v ? v : d[i];
    }
}

inline void copy_row_key(uint8_t* d, const uint8_t* s, int32_t n, uint8_t lo, uint8_t hi) {
    for (int32_t i = 0; i < n; ++i) {
        uint8_t v = s[i];
        if (v < lo || v > hi) d[i] = v;
    }
}

}  // namespace

void blit_span(const BlitSpan& b) {
    if (b.cx0 >= b.cx1 || b.cy0 >= b.cy1 || b.src_w <= 0 || b.src_h <= 0) return;
    const int32_t n = b.cx1 - b.cx0;
    const bool key0 = b.keyed && b.key_low == 0 && b.key_high == 0;
    if (b.src_w == b.dst_w && b.src_h == b.dst_h) {
        for (int32_t y = b.cy0; y < b.cy1; ++y) {
            const uint8_t* s = b.src + static_cast<intptr_t>(y) * b.src_pitch + b.cx0;
            uint8_t* d = b.dst + static_cast<intptr_t>(y - b.cy0) * b.dst_pitch;
            if (!b.keyed) copy_row(d, s, n);
            else if (key0) copy_row_key0(d, s, n);
            else copy_row_key(d, s, n, b.key_low, b.key_high);
        }
        return;
    }
    // Nearest pixel: destination column x takes source column floor(x * src_w / dst_w).
    // The first column of the clipped part is found by division, the rest by an exact
    // integer stepping that never accumulates rounding.
    const int32_t qx = b.src_w / b.dst_w, rx = b.src_w % b.dst_w;
    const int64_t start_num = static_cast<int64_t>(b.cx0) * b.src_w;
    const int32_t sx0 = static_cast<int32_t>(start_num / b.dst_w);
    const int32_t ex0 = static_cast<int32_t>(start_num % b.dst_w);
    for (int32_t y = b.cy0; y < b.cy1; ++y) {
        const int32_t sy = static_cast<int32_t>(static_cast<int64_t>(y) * b.src_h / b.dst_h);
        const uint8_t* srow = b.src + static_cast<intptr_t>(sy) * b.src_pitch;
        uint8_t* d = b.dst + static_cast<intptr_t>(y - b.cy0) * b.dst_pitch;
        int32_t sx = sx0, err = ex0;
        for (int32_t i = 0; i < n; ++i) {
            uint8_t v = srow[sx];
            if (!b.keyed || v < b.key_low || v > b.key_high) d[i] = v;
            sx += qx;
            err += rx;
            if (err >= b.dst_w) {
                err -= b.dst_w;
                ++sx;
            }
        }
    }
}
