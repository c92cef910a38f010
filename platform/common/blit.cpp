#include "platform/common/blit.h"

#include "platform/video.h"

#include <bit>
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

// Four independent loads at a time keep the table lookups in flight together.
inline void gather_row(uint8_t* __restrict d, const uint8_t* __restrict s, const int32_t* __restrict cols, int32_t n) {
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const uint8_t a = s[cols[i]], b = s[cols[i + 1]], c = s[cols[i + 2]], e = s[cols[i + 3]];
        d[i] = a;
        d[i + 1] = b;
        d[i + 2] = c;
        d[i + 3] = e;
    }
    for (; i < n; ++i) d[i] = s[cols[i]];
}

// Gathers source pixels and merges them over the destination a machine word at a time: bytes of
// value 0 keep the destination byte. The high bit of each byte of t tells "this byte is non-zero".
template <typename Word>
inline void merge_key0(uint8_t* d, Word v) {
    constexpr Word low7 = Word(~Word(0)) / 0xFF * 0x7F;  // 0x7F in every byte
    constexpr Word high = Word(~Word(0)) / 0xFF * 0x80;  // 0x80 in every byte
    const Word t = ((v & low7) + low7) | v;
    const Word keep_src = ((t & high) >> 7) * 0xFF;
    Word old;
    std::memcpy(&old, d, sizeof old);
    const Word merged = (v & keep_src) | (old & ~keep_src);
    std::memcpy(d, &merged, sizeof merged);
}

inline void gather_row_key0(uint8_t* __restrict d, const uint8_t* __restrict s, const int32_t* __restrict cols,
                            int32_t n) {
    static_assert(std::endian::native == std::endian::little, "byte k of a loaded word is pixel k");
    int32_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t v = 0;
        for (int k = 0; k < 8; ++k) v |= uint64_t(s[cols[i + k]]) << (8 * k);
        merge_key0<uint64_t>(d + i, v);
    }
    if (i + 4 <= n) {
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v |= uint32_t(s[cols[i + k]]) << (8 * k);
        merge_key0<uint32_t>(d + i, v);
        i += 4;
    }
    for (; i < n; ++i) {
        const uint8_t v = s[cols[i]];
        if (v) d[i] = v;
    }
}

}  // namespace

void plat_pixels_copy(uint8_t* dest, int32_t dest_pitch, const uint8_t* source, int32_t source_pitch, int32_t width,
                      int32_t height, int transparent) {
    if (!dest || !source || width < 1 || height < 1) return;
    if (!transparent) {
        for (int32_t y = 0; y < height; ++y, source += source_pitch, dest += dest_pitch) copy_row(dest, source, width);
    } else {
        for (int32_t y = 0; y < height; ++y, source += source_pitch, dest += dest_pitch)
            copy_row_key0(dest, source, width);
    }
}

void blit_span(const BlitSpan& b) {
    if (b.cx0 >= b.cx1 || b.cy0 >= b.cy1 || b.src_w <= 0 || b.src_h <= 0 || b.dst_w <= 0 || b.dst_h <= 0) return;
    const int32_t n = static_cast<int32_t>(b.cx1 - b.cx0);
    const bool key0 = b.keyed && b.key_low == 0 && b.key_high == 0;
    if (b.src_w == b.dst_w && b.src_h == b.dst_h) {
        for (int64_t y = b.cy0; y < b.cy1; ++y) {
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
    // integer stepping that never accumulates rounding, into a table that every row reuses. The
    // remainders are 64-bit: with a destination near 2^31 wide, remainder + step would not fit.
    const int64_t qx = b.src_w / b.dst_w, rx = b.src_w % b.dst_w;
    const int64_t start_num = b.cx0 * b.src_w;
    int32_t sx = static_cast<int32_t>(start_num / b.dst_w);
    int64_t err = start_num % b.dst_w;
    constexpr int32_t kChunk = 1024;
    int32_t columns[kChunk];
    for (int32_t x0 = 0; x0 < n; x0 += kChunk) {
        const int32_t m = n - x0 < kChunk ? n - x0 : kChunk;
        for (int32_t i = 0; i < m; ++i) {
            columns[i] = sx;
            sx += static_cast<int32_t>(qx);
            err += rx;
            if (err >= b.dst_w) {
                err -= b.dst_w;
                ++sx;
            }
        }
        // Rows step the same exact way, so no row needs a division.
        const int64_t qy = b.src_h / b.dst_h, ry = b.src_h % b.dst_h;
        const int64_t row_num = b.cy0 * b.src_h;
        int32_t sy = static_cast<int32_t>(row_num / b.dst_h);
        int64_t erry = row_num % b.dst_h;
        for (int64_t y = b.cy0; y < b.cy1; ++y) {
            const uint8_t* srow = b.src + static_cast<intptr_t>(sy) * b.src_pitch;
            sy += static_cast<int32_t>(qy);
            erry += ry;
            if (erry >= b.dst_h) {
                erry -= b.dst_h;
                ++sy;
            }
            uint8_t* d = b.dst + static_cast<intptr_t>(y - b.cy0) * b.dst_pitch + x0;
            if (!b.keyed) {
                gather_row(d, srow, columns, m);
            } else if (key0) {
                gather_row_key0(d, srow, columns, m);
            } else {
                for (int32_t i = 0; i < m; ++i) {
                    uint8_t v = srow[columns[i]];
                    if (v < b.key_low || v > b.key_high) d[i] = v;
                }
            }
        }
    }
}
