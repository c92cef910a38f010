// BMP pixel decoding: every stored row goes through one row loop and a converter for its
// storage; run-length streams are played into a cleared picture. The rows land top row first.
#include "imaging/bmp_decode.h"

#include <bit>
#include <cstdlib>
#include <cstring>

#include "imaging/bmp.h"

namespace {

// The colour channels under the masks, each brought to 5 bits by keeping its top 5 bits.
struct Channels {
    int red, green, blue;  // how far each channel's top 5 bits lie from bit 0

    explicit Channels(const uint32_t masks[3])
        : red(top_five(masks[0])), green(top_five(masks[1])), blue(top_five(masks[2])) {}
    static int top_five(uint32_t mask) { return mask ? std::countr_zero(mask) + std::popcount(mask) - 5 : 0; }
    uint16_t word(uint32_t stored) const {
        return static_cast<uint16_t>(((stored >> blue) & 31) | (((stored >> green) & 31) << 5) |
                                     (((stored >> red) & 31) << 10));
    }
};

constexpr uint32_t NO_MASKS[3] = {};

uint16_t word_555(uint8_t blue, uint8_t green, uint8_t red) {
    return static_cast<uint16_t>((blue >> 3) | ((green >> 3) << 5) | ((red >> 3) << 10));
}

uint32_t load16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t load32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// Row converters: one stored row of width pixels into one picture row of a block of its own.
// The colour ones are plain loops over the pixels, which the compiler turns into vector code;
// on x86-64 each is built for the wider vector units as well and picked for the processor at
// start-up, where the executable format can pick among versions (ELF's indirect functions; not on
// Windows).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__EMSCRIPTEN__) && !defined(_WIN32)
#define VECTOR_CLONES __attribute__((target_clones("avx2", "ssse3", "default")))
#else
#define VECTOR_CLONES
#endif

using RowConverter = void (*)(const uint8_t* source, uint8_t* dest, int32_t width, const Channels& channels);

void row_index1(const uint8_t* source, uint8_t* dest, int32_t width, const Channels&) {
    for (int32_t x = 0; x < width; ++x) dest[x] = (source[x >> 3] >> (7 - (x & 7))) & 1;
}

void row_index4(const uint8_t* source, uint8_t* dest, int32_t width, const Channels&) {
    for (int32_t x = 0; x < width; ++x) dest[x] = (x & 1) ? source[x >> 1] & 15 : source[x >> 1] >> 4;
}

VECTOR_CLONES void row_masked16(const uint8_t* __restrict source, uint8_t* __restrict dest, int32_t width,
                                const Channels& channels) {
    uint16_t* __restrict out = reinterpret_cast<uint16_t*>(dest);
    const Channels c = channels;
    for (int32_t x = 0; x < width; ++x) out[x] = c.word(load16(source + 2 * x));
}

VECTOR_CLONES void row_bgr24(const uint8_t* __restrict source, uint8_t* __restrict dest, int32_t width,
                             const Channels&) {
    uint16_t* __restrict out = reinterpret_cast<uint16_t*>(dest);
    for (int32_t x = 0; x < width; ++x) out[x] = word_555(source[3 * x], source[3 * x + 1], source[3 * x + 2]);
}

VECTOR_CLONES void row_bgrx32(const uint8_t* __restrict source, uint8_t* __restrict dest, int32_t width,
                              const Channels&) {
    uint16_t* __restrict out = reinterpret_cast<uint16_t*>(dest);
    for (int32_t x = 0; x < width; ++x) out[x] = word_555(source[4 * x], source[4 * x + 1], source[4 * x + 2]);
}

VECTOR_CLONES void row_masked32(const uint8_t* __restrict source, uint8_t* __restrict dest, int32_t width,
                                const Channels& channels) {
    uint16_t* __restrict out = reinterpret_cast<uint16_t*>(dest);
    const Channels c = channels;
    for (int32_t x = 0; x < width; ++x) out[x] = c.word(load32(source + 4 * x));
}

RowConverter converter_for(BmpStorage storage) {
    switch (storage) {
        case BMP_INDEX1: return row_index1;
        case BMP_INDEX4: return row_index4;
        case BMP_MASKED16: return row_masked16;
        case BMP_BGR24: return row_bgr24;
        case BMP_BGRX32: return row_bgrx32;
        case BMP_MASKED32: return row_masked32;
        default: return nullptr;
    }
}

// The stored rows, one stride apart, made top row first. Indices and words kept as stored stay
// in the data itself: rows closed up where the stride leaves gaps, then turned. Every other
// storage is converted row by row into a block of its own, each row landing where it belongs,
// and the data is released.
uint8_t* decode_rows(const BmpPixels& pixels, uint8_t* data, size_t picture_row) {
    const RowConverter convert = converter_for(pixels.storage);
    const size_t height = static_cast<size_t>(pixels.height), stride = static_cast<size_t>(pixels.stride);
    if (!convert) {
        if (stride != picture_row)
            for (size_t y = 1; y < height; ++y) std::memmove(data + y * picture_row, data + y * stride, picture_row);
        if (!pixels.top_down) bmp_flip_rows(data, static_cast<int32_t>(picture_row), pixels.height);
        return data;
    }
    uint8_t* picture = static_cast<uint8_t*>(std::malloc(picture_row * height));
    if (picture) {
        const Channels channels(pixels.masks);
        for (size_t y = 0; y < height; ++y) {
            const size_t row = pixels.top_down ? y : height - 1 - y;
            convert(data + y * stride, picture + row * picture_row, pixels.width, channels);
        }
    }
    std::free(data);
    return picture;
}

// A run-length stream: pairs of a count and a value (a run of count pixels; for 4 bits the
// value's two halves take turns), or 0 and an escape: 0 ends the line, 1 ends the picture, 2
// moves right and up by the next two bytes, 3 and above are that many pixels stored as they are,
// padded to an even count of bytes. Rows are counted from the bottom; pixels never reached stay
// index 0. A row may run on into its padding (encoders code the padded row), whose pixels are
// dropped; anything beyond that, or a stream that stops before its end marker, is refused.
uint8_t* decode_run_length(const BmpPixels& pixels, const uint8_t* data, size_t size) {
    const int64_t width = pixels.width, height = pixels.height;
    const bool four = pixels.storage == BMP_RLE4;
    const int64_t padded_width = four ? ((width + 7) & ~int64_t{7}) : ((width + 3) & ~int64_t{3});
    uint8_t* picture = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(width * height), 1));
    if (!picture) return nullptr;
    uint8_t stretch[255];
    int64_t x = 0, y = 0;
    size_t at = 0;
    while (size - at >= 2) {
        const uint8_t count = data[at], value = data[at + 1];
        at += 2;
        if (count == 0 && value < 3) {
            if (value == 1) return picture;  // the end of the picture
            if (value == 0) {                // the end of the line
                x = 0;
                ++y;
                continue;
            }
            if (size - at < 2) break;  // a move
            x += data[at];
            y += data[at + 1];
            at += 2;
            if (x > padded_width || y > height) break;
            continue;
        }
        // A run of count pixels, or a stored stretch of `value` pixels.
        const int64_t n = count ? count : value;
        if (y >= height || n > padded_width - x) break;
        const uint8_t* source = stretch;
        if (count) {
            for (int64_t i = 0; i < n; ++i) stretch[i] = four ? ((i & 1) ? value & 15 : value >> 4) : value;
        } else {
            const size_t bytes = static_cast<size_t>(four ? (n + 1) / 2 : n), padded = (bytes + 1) & ~size_t{1};
            if (size - at < padded) break;
            if (four) row_index4(data + at, stretch, static_cast<int32_t>(n), Channels(NO_MASKS));
            else source = data + at;
            at += padded;
        }
        if (x < width)
            std::memcpy(picture + (height - 1 - y) * width + x, source,
                        static_cast<size_t>(n < width - x ? n : width - x));
        x += n;
    }
    std::free(picture);
    return nullptr;
}

// Whether every index of the picture lies inside the colour table.
bool indices_in_table(const uint8_t* picture, size_t count, int32_t colours) {
    if (colours >= 256) return true;
    uint8_t highest = 0;
    for (size_t i = 0; i < count; ++i) highest = picture[i] > highest ? picture[i] : highest;
    return highest < colours;
}

}  // namespace

int bmp_picture_depth(BmpStorage storage) {
    switch (storage) {
        case BMP_INDEX1:
        case BMP_INDEX4:
        case BMP_INDEX8:
        case BMP_RLE8:
        case BMP_RLE4: return 8;
        default: return 16;
    }
}

int64_t bmp_stored_row_bytes(BmpStorage storage, int32_t width) {
    const int64_t w = width;
    switch (storage) {
        case BMP_INDEX1: return (w + 7) / 8;
        case BMP_INDEX4: return (w + 1) / 2;
        case BMP_INDEX8: return w;
        case BMP_WORDS:
        case BMP_MASKED16: return 2 * w;
        case BMP_BGR24: return 3 * w;
        case BMP_BGRX32:
        case BMP_MASKED32: return 4 * w;
        default: return 0;
    }
}

uint8_t* bmp_decode(const BmpPixels& pixels, uint8_t* data, size_t data_size) {
    const size_t picture_row = static_cast<size_t>(pixels.width) * (bmp_picture_depth(pixels.storage) / 8);
    uint8_t* picture;
    if (pixels.storage == BMP_RLE8 || pixels.storage == BMP_RLE4) {
        picture = decode_run_length(pixels, data, data_size);
        std::free(data);
    } else {
        picture = decode_rows(pixels, data, picture_row);
    }
    if (picture && bmp_picture_depth(pixels.storage) == 8 &&
        !indices_in_table(picture, picture_row * static_cast<size_t>(pixels.height), pixels.colours)) {
        std::free(picture);
        return nullptr;
    }
    return picture;
}
