// Stand-alone images: rectangles of palette indices in ordinary memory, filled from 8-bit
// pictures and drawn by copying into a locked pixel buffer.
#include "imaging/image.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "imaging/bmp_block.h"
#include "imaging/buffer_bounds.h"

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
    BmpBlock block;
    if (!bmp_block_find(bmp, image->width, image->height, cx, cy, mode, &block)) return 0;
    bmp_block_copy(block, image->width, image->height, image->buffer, image->width);
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

    const uint8_t* source = image->buffer + (y0 - top) * image->width + (x0 - left);
    plat_pixels_copy(dest + y0 * lpitch + x0, lpitch, source, image->width, static_cast<int32_t>(x1 - x0),
                     static_cast<int32_t>(y1 - y0), transparent);
    return 1;
}
