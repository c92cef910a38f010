#pragma once
// Stand-alone images: rectangles of palette indices in ordinary memory, drawn by copying into a
// locked pixel buffer.
#include <cstdint>

#include "imaging/bmp.h"

enum { IMAGE_ATTR_LOADED = 0x80 };
enum { LOAD_FROM_CELL = 0, LOAD_FROM_PIXEL = 1 };

struct PixelImage {
    int32_t state;  // 1 once created
    int32_t attr;   // IMAGE_ATTR_LOADED once pixels were loaded
    int32_t x, y;   // top-left corner on the destination
    int32_t width, height;
    int32_t num_bytes;  // width * height
    uint8_t* buffer;    // width * height indices, top row first, no gaps
};

int image_create(PixelImage* image, int32_t x, int32_t y, int32_t width, int32_t height);
//   Allocates the pixels (all 0); 1, or 0 when they cannot be had.
int image_destroy(PixelImage* image);
//   Releases the pixels and zeroes the record; 0 when it holds none.
int image_load_from_bmp(PixelImage* image, const BmpFile* bmp, int32_t cx, int32_t cy, int32_t mode);
//   Copies the image's size out of an 8-bit picture at a cell or pixel position; 0 for a null
//   image or a rectangle outside the picture.
int image_draw(const PixelImage* image, uint8_t* dest, int32_t lpitch, int32_t transparent);
//   Copies the image into the buffer at (x, y), opaque or with index 0 transparent, cut to what
//   the buffer holds (buffer_bounds); 0 when it was never loaded.
