#pragma once
/// \file
/// The pixel decoders behind bmp_load(): stored BMP rows, in any of the depths and encodings the
/// loader takes, turned into the record's two shapes (one palette index per byte, or one 16-bit
/// 5-5-5 word per pixel), top row first. Internal to the support layer.
#include <cstddef>
#include <cstdint>

/// How the file stores its pixels.
enum BmpStorage {
    BMP_INDEX1,    ///< 1-bit palette indices, 8 to a byte, leftmost pixel in the top bit
    BMP_INDEX4,    ///< 4-bit palette indices, 2 to a byte, leftmost pixel in the top half
    BMP_INDEX8,    ///< one palette index a byte
    BMP_WORDS,     ///< 16-bit words kept as stored (the 5-5-5 words of an uncompressed 16-bit file)
    BMP_MASKED16,  ///< 16-bit words whose colours lie under the masks
    BMP_BGR24,     ///< blue, green, red bytes
    BMP_BGRX32,    ///< blue, green, red and a fourth byte that is dropped
    BMP_MASKED32,  ///< 32-bit words whose colours lie under the masks
    BMP_RLE8,      ///< run-length coded 8-bit indices
    BMP_RLE4,      ///< run-length coded 4-bit indices
};

/// The stored pixels as bmp_load() has found them in the headers.
struct BmpPixels {
    BmpStorage storage;  ///< how the file stores them
    int32_t width;       ///< above 0
    int32_t height;      ///< rows, above 0
    bool top_down;       ///< rows stored top row first (otherwise bottom row first)
    int64_t stride;      ///< bytes from one stored row to the next (not for run-length data)
    uint32_t masks[3];   ///< red, green, blue of the masked storages: 5 to 8 contiguous bits each
    int32_t colours;     ///< indices from this value up lie past the colour table; 256 when all are in
};

/// The depth of the decoded picture: 8 for the index storages, 16 for the others.
int bmp_picture_depth(BmpStorage storage);
/// The bytes that one stored row of width pixels uses, padding not counted (0 for run-length data).
int64_t bmp_stored_row_bytes(BmpStorage storage, int32_t width);
/// Turns the stored pixels (data, from malloc, data_size bytes: the stored rows one stride apart,
/// or the run-length stream) into width x height pixels of bmp_picture_depth(), top row first,
/// rows without gaps. Takes data over: 8-bit indices and 16-bit words kept as stored become the
/// picture in it (keeping all of its data_size bytes); every other storage is decoded into a
/// block of its own, and data is released. Null, with data released, when the pixels cannot be
/// decoded right (a run that leaves the picture, a run-length stream without its end marker, an
/// index past the colour table) or memory runs out.
uint8_t* bmp_decode(const BmpPixels& pixels, uint8_t* data, size_t data_size);
