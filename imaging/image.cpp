// Stand-alone images: rectangles of palette indices in ordinary memory, filled from 8-bit
// pictures and drawn by copying into a locked pixel buffer.
#include "imaging/image.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "imaging/buffer_bounds.h"

namespace {

// Index 0 is transparent: a select the compiler turns into vector blends.
inline void copy_row_keyed(uint8_t* __restrict dest, const uint8_t* __restrict source, int64_t n) {
    for (int64_t i = 0; i < n; ++i) {
        const uint8_t v = source[i];
        const uint8_t keep = static_cast<uint8_t>(-(v == 0));  // 0xFF where transparent
        dest[i] = static_cast<uint8_t>((dest[i] & keep) | v);
    }
}

}  // namespace

int image_create(PixelImage* image, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!image || width <= 0 || height <= 0) return 0;
    const int64_t bytes = static_cast<int64_t>(width) * height;
    if (bytes > INT32_MAX) return 0;
    uint8_t* pixels = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(bytes), 1));
    if (!pixels) {
        image->buffer = nullptr;
        return 0;
    }
    image->state = 1;
    image->attr = 0;
    image->x = x;
    image->y = y;
    image->width = width;
    image->height = height;
    image->num_bytes = static_cast<int32_t>(bytes);
    image->buffer = pixels;
    return 1;
}

int image_destroy(PixelImage* image) {
    if (!image || !image->buffer) return 0;
    std::free(image->buffer);
    std::memset(image, 0, sizeof *image);
    return 1;
}

int image_load_from_bmp(PixelImage* image, const BmpFile* bmp, int32_t cx, int32_t cy, int32_t mode) {
    if (!image || !image->buffer || image->width <= 0 || image->height <= 0) return 0;
    if (!bmp || !bmp->buffer || bmp->info_header.biBitCount != 8) return 0;
    // Cells are image-sized and framed by a one-pixel line; the grid starts at (1, 1).
    int64_t column = cx, row = cy;
    if (mode == LOAD_FROM_CELL) {
        column = static_cast<int64_t>(cx) * (int64_t{image->width} + 1) + 1;
        row = static_cast<int64_t>(cy) * (int64_t{image->height} + 1) + 1;
    }
    const int64_t stride = bmp->info_header.biWidth;
    if (column < 0 || row < 0 || column + image->width > stride || row + image->height > bmp->info_header.biHeight)
        return 0;
    const uint8_t* source = bmp->buffer + row * stride + column;
    uint8_t* dest = image->buffer;
    for (int32_t r = 0; r < image->height; ++r, source += stride, dest += image->width)
        std::memcpy(dest, source, static_cast<size_t>(image->width));
    image->attr |= IMAGE_ATTR_LOADED;
    return 1;
}

int image_draw(const PixelImage* image, uint8_t* dest, int32_t lpitch, int32_t transparent) {
    if (!image || !(image->attr & IMAGE_ATTR_LOADED) || !image->buffer) return 0;
    if (!dest || lpitch <= 0) return 0;
    // The image is cut to what the destination holds.
    int32_t limit_w = 0, limit_h = 0;
    if (!buffer_bounds(dest, lpitch, &limit_w, &limit_h)) return 1;
    const int64_t left = image->x, top = image->y;
    const int64_t x0 = left > 0 ? left : 0, y0 = top > 0 ? top : 0;
    const int64_t x1 = std::min<int64_t>(left + image->width, limit_w);
    const int64_t y1 = std::min<int64_t>(top + image->height, limit_h);
    if (x0 >= x1 || y0 >= y1) return 1;

    const int64_t n = x1 - x0;
    const uint8_t* source = image->buffer + (y0 - top) * image->width + (x0 - left);
    uint8_t* row = dest + y0 * lpitch + x0;
    if (!transparent) {
        for (int64_t y = y0; y < y1; ++y, source += image->width, row += lpitch)
            std::memcpy(row, source, static_cast<size_t>(n));
    } else {
        for (int64_t y = y0; y < y1; ++y, source += image->width, row += lpitch) copy_row_keyed(row, source, n);
    }
    return 1;
}
