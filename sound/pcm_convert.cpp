// PCM samples of any width and channel count made unsigned 8-bit mono.
#include "sound/pcm_convert.h"

#include <cstring>
#include <type_traits>

namespace {

// One sample as a signed value of its own width.
template <int W>
int32_t sample(const uint8_t* p) {
    if constexpr (W == 1) return int32_t(p[0]) - 128;
    if constexpr (W == 2) return int16_t(uint16_t(p[0] | p[1] << 8));
    if constexpr (W == 3) return int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) >> 8;
    if constexpr (W == 4)
        return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

uint8_t to_unsigned(int64_t v) { return uint8_t((v > 127 ? 127 : v) + 128); }

// The frame's mean in 8-bit steps is sum / d, with d = channels × 2^(8 × (W − 1)); rounded
// halves up it is floor((2 × sum + d) / (2 × d)). The sum of 65535 channels of 32 bits stays
// below 2^48.
template <int W>
void convert(const uint8_t* src, uint32_t frames, uint32_t channels, uint8_t* dst) {
    const int64_t d = int64_t(channels) << (8 * (W - 1));
    const size_t frame = size_t(channels) * W;
    if ((channels & (channels - 1)) == 0) {
        // A power of two: the division is an arithmetic shift, which rounds down as floor does.
        int shift = 1;
        while ((int64_t(1) << shift) != 2 * d) ++shift;
        for (uint32_t f = 0; f < frames; ++f, src += frame) {
            int64_t sum = 0;
            for (uint32_t c = 0; c < channels; ++c) sum += sample<W>(src + size_t(c) * W);
            dst[f] = to_unsigned((2 * sum + d) >> shift);
        }
        return;
    }
    for (uint32_t f = 0; f < frames; ++f, src += frame) {
        int64_t sum = 0;
        for (uint32_t c = 0; c < channels; ++c) sum += sample<W>(src + size_t(c) * W);
        // Floor division: the dividend is negative only when the mean is below −1/2 of a step.
        const int64_t n = 2 * sum + d;
        dst[f] = to_unsigned(n >= 0 ? n / (2 * d) : -((-n + 2 * d - 1) / (2 * d)));
    }
}

// The same for one or two channels, known when compiled: sums in 32 bits where they fit, the
// division a shift, so that the loop vectorises.
template <int W, int C>
void convert_few(const uint8_t* src, uint32_t frames, uint8_t* dst) {
    using Sum = std::conditional_t<(W < 4), int32_t, int64_t>;
    constexpr int shift = 8 * (W - 1) + (C == 2 ? 1 : 0);  // d = 2^shift
    constexpr Sum half = Sum(1) << (shift - 1);
    for (uint32_t f = 0; f < frames; ++f) {
        Sum sum = 0;
        for (int c = 0; c < C; ++c) sum += sample<W>(src + (size_t(f) * C + size_t(c)) * W);
        const Sum v = (sum + half) >> shift;
        dst[f] = uint8_t((v > 127 ? Sum(127) : v) + 128);
    }
}

}  // namespace

int pcm_layout(uint32_t channels, uint32_t bits_per_sample, PcmLayout* out) {
    if (channels < 1 || channels > 65535 || bits_per_sample < 1 || bits_per_sample > 32) return 0;
    out->channels = channels;
    out->sample_bytes = (bits_per_sample + 7) / 8;
    return 1;
}

uint32_t pcm_frame_bytes(const PcmLayout& layout) { return layout.channels * layout.sample_bytes; }

void pcm_to_u8_mono(const uint8_t* src, uint32_t frames, const PcmLayout& layout, uint8_t* dst) {
    if (layout.channels == 1 && layout.sample_bytes == 1) {
        if (frames) std::memcpy(dst, src, frames);
        return;
    }
    const uint32_t key = layout.sample_bytes * 10 + (layout.channels <= 2 ? layout.channels : 0);
    switch (key) {
        case 12: convert_few<1, 2>(src, frames, dst); break;
        case 21: convert_few<2, 1>(src, frames, dst); break;
        case 22: convert_few<2, 2>(src, frames, dst); break;
        case 31: convert_few<3, 1>(src, frames, dst); break;
        case 32: convert_few<3, 2>(src, frames, dst); break;
        case 41: convert_few<4, 1>(src, frames, dst); break;
        case 42: convert_few<4, 2>(src, frames, dst); break;
        case 10: convert<1>(src, frames, layout.channels, dst); break;
        case 20: convert<2>(src, frames, layout.channels, dst); break;
        case 30: convert<3>(src, frames, layout.channels, dst); break;
        default: convert<4>(src, frames, layout.channels, dst); break;
    }
}
