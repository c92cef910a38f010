#pragma once
/// \file
/// Stand-alone images: rectangles of palette indices in ordinary memory, drawn by copying into a
/// locked pixel buffer.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "bmp.h"

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct PixelImage PixelImage;
#endif

/// The attribute bit of an image that holds a picture.
enum { IMAGE_ATTR_LOADED = 0x80 };

/// Where a picture is read from, for image_load_from_bmp() and bob_load_frame().
enum {
    LOAD_FROM_CELL = 0,   ///< cell (cx, cy) of a grid of image-sized cells, each framed by a one-pixel line
    LOAD_FROM_PIXEL = 1,  ///< the block whose top-left pixel is (cx, cy)
};

/// An image: its place on the destination and its pixels.
struct PixelImage {
    int32_t state;      ///< 1 once created
    int32_t attr;       ///< IMAGE_ATTR_LOADED once pixels were loaded
    int32_t x;          ///< left column on the destination
    int32_t y;          ///< top row on the destination
    int32_t width;      ///< in pixels
    int32_t height;     ///< in pixels
    int32_t num_bytes;  ///< width * height
    uint8_t* buffer;    ///< width * height indices, top row first, no gaps
};

/// Allocates the pixels (all 0); 1, or 0 when they cannot be had.
int image_create(PixelImage* image, int32_t x, int32_t y, int32_t width, int32_t height);
/// Releases the pixels and zeroes the record; 0 when it holds none.
int image_destroy(PixelImage* image);
/// Copies the image's size out of an 8-bit picture at a cell or pixel position; 0 for a null
/// image or a rectangle outside the picture.
int image_load_from_bmp(PixelImage* image, const BmpFile* bmp, int32_t cx, int32_t cy, int32_t mode);
/// Copies the image into the buffer at (x, y), opaque or with index 0 transparent, cut to what
/// the buffer holds (buffer_bounds()); 0 when it was never loaded.
int image_draw(const PixelImage* image, uint8_t* dest, int32_t lpitch, int32_t transparent);

#ifdef __cplusplus
}  // extern "C"
#endif
