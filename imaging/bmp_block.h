#pragma once
/// \file
/// A block of an 8-bit picture, found by grid cell or by pixel and copied out row by row: where
/// sprite frames and images take their pixels from. Internal to the support layer.
#include <cstdint>

#include "imaging/bmp.h"

struct BmpBlock {
    const uint8_t* first;  ///< the block's top-left pixel
    int64_t stride;        ///< bytes from one row of the picture to the next
};

/// The width x height block of an 8-bit picture: with mode LOAD_FROM_CELL (0), cell (cx, cy) of
/// a grid of such blocks each framed by a one-pixel line, the grid starting at (1, 1); with any
/// other mode, the block whose top-left pixel is (cx, cy). 1; 0 for a null picture, one without
/// pixels or not of 8 bits, or a block not wholly inside it.
int bmp_block_find(const BmpFile* bmp, int32_t width, int32_t height, int32_t cx, int32_t cy, int32_t mode,
                   BmpBlock* out);
/// Copies the block's height rows of width pixels to dest, dest_stride bytes apart.
void bmp_block_copy(const BmpBlock& block, int32_t width, int32_t height, uint8_t* dest, int64_t dest_stride);
