#pragma once
/// \file
/// How much of a pixel buffer the drawing operations may write, asked once by each of them.
/// Internal to the support layer.
#include <cstdint>

/// The columns and rows that may be written from the buffer at this pitch: inside a surface
/// locked now, what remains of that surface from the buffer (rows no wider than the pitch, and
/// at a pitch not the surface's only the rows that end inside it); any other buffer is taken
/// to hold the display, rows no wider than the pitch. 1 when at least one pixel may be
/// written; 0 and 0 x 0 for a null buffer, a pitch below 1 or nothing left.
int buffer_bounds(const uint8_t* buffer, int32_t lpitch, int32_t* width, int32_t* height);
