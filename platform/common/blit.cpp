#include "platform/common/blit.h"

#include <cstring>

namespace {

inline void copy_row(uint8_t* d, const uint8_t* s, int32_t n) { std::memcpy(d, s, static_cast<size_t>(n)); }

// Key 0..0: a select the compiler turns into vector blends.
inline void copy_row_key0(uint8_t* __restrict d, const uint8_t* __restrict s, int32_t n) {
    for (int32_t i = 0; i < n; ++i) {
        const uint8_t v = s[i];
        const uint8_t keep = static_cast<uint8_t>(-(v == 0));  // 0xFF where transparent
        d[i] = static_cast<uint8_t>((d[i] & keep) | v);
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
    // Nearest pixel: destination column x takes source column floor(x * src_w / dst_w), and the
    // same for rows. The columns of the clipped part are worked out once per blit, by an exact
    // integer stepping that never accumulates rounding, into a table that every row reuses.
    const int32_t qx = b.src_w / b.dst_w, rx = b.src_w % b.dst_w;
    const int64_t start_num = static_cast<int64_t>(b.cx0) * b.src_w;
    int32_t sx = static_cast<int32_t>(start_num / b.dst_w);
    int32_t err = static_cast<int32_t>(start_num % b.dst_w);
    constexpr int32_t kChunk = 1024;
    int32_t columns[kChunk];
    uint8_t row[kChunk];
    for (int32_t x0 = 0; x0 < n; x0 += kChunk) {
        const int32_t m = n - x0 < kChunk ? n - x0 : kChunk;
        for (int32_t i = 0; i < m; ++i) {
            columns[i] = sx;
            sx += qx;
            err += rx;
            if (err >= b.dst_w) {
                err -= b.dst_w;
                ++sx;
            }
        }
        // Rows step the same exact way, so no row needs a division.
        const int32_t qy = b.src_h / b.dst_h, ry = b.src_h % b.dst_h;
        const int64_t row_num = static_cast<int64_t>(b.cy0) * b.src_h;
        int32_t sy = static_cast<int32_t>(row_num / b.dst_h);
        int32_t erry = static_cast<int32_t>(row_num % b.dst_h);
        for (int32_t y = b.cy0; y < b.cy1; ++y) {
            const uint8_t* srow = b.src + static_cast<intptr_t>(sy) * b.src_pitch;
            sy += qy;
            erry += ry;
            if (erry >= b.dst_h) {
                erry -= b.dst_h;
                ++sy;
            }
            uint8_t* d = b.dst + static_cast<intptr_t>(y - b.cy0) * b.dst_pitch + x0;
            if (!b.keyed) {
                for (int32_t i = 0; i < m; ++i) d[i] = srow[columns[i]];
            } else if (key0) {
                // Gather the row first, then merge it with the vector-friendly keyed copy.
                for (int32_t i = 0; i < m; ++i) row[i] = srow[columns[i]];
                copy_row_key0(d, row, m);
            } else {
                for (int32_t i = 0; i < m; ++i) {
                    uint8_t v = srow[columns[i]];
                    if (v < b.key_low || v > b.key_high) d[i] = v;
                }
            }
        }
    }
}
