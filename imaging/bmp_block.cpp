// Blocks of 8-bit pictures by grid cell or pixel, for sprite frames and images.
#include "imaging/bmp_block.h"

#include <cstring>

#include "imaging/image.h"

int bmp_block_find(const BmpFile* bmp, int32_t width, int32_t height, int32_t cx, int32_t cy, int32_t mode,
                   BmpBlock* out) {
    if (!bmp || !bmp->buffer || bmp->info_header.biBitCount != 8) return 0;
    // Cells are block-sized and framed by a one-pixel line; the grid starts at (1, 1).
    int64_t column = cx, row = cy;
    if (mode == LOAD_FROM_CELL) {
        column = static_cast<int64_t>(cx) * (int64_t{width} + 1) + 1;
        row = static_cast<int64_t>(cy) * (int64_t{height} + 1) + 1;
    }
    const int64_t stride = bmp->info_header.biWidth;
    if (column < 0 || row < 0 || column + width > stride || row + height > bmp->info_header.biHeight) return 0;
    out->first = bmp->buffer + row * stride + column;
    out->stride = stride;
    return 1;
}

void bmp_block_copy(const BmpBlock& block, int32_t width, int32_t height, uint8_t* dest, int64_t dest_stride) {
    const uint8_t* source = block.first;
    for (int32_t r = 0; r < height; ++r, source += block.stride, dest += dest_stride)
        std::memcpy(dest, source, static_cast<size_t>(width));
}
