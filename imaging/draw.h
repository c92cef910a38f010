#pragma once
/// \file
/// Drawing primitives of the 8-bit display: a pixel, horizontal and vertical lines cut to the clip
/// rectangle, lines between any two points with a clipping step, and a colour-filled rectangle.
/// The buffer operations write into a pixel buffer (normally a locked surface) with its pitch,
/// never past what it holds (buffer_bounds()); the caller locks and unlocks.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/video.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Writes the byte at y * lpitch + x; 1. Refused (0, nothing written) for a null buffer or a
/// point outside what the buffer holds.
int pixel_plot(int32_t x, int32_t y, uint8_t colour, uint8_t* buffer, int32_t lpitch);
/// Fills row y from x1 to x2 (either order), cut to the clip rectangle and the buffer; one block
/// write.
void hline_fill(int32_t x1, int32_t x2, int32_t y, uint8_t colour, uint8_t* buffer, int32_t lpitch);
/// Fills column x from y1 to y2 (either order), cut to the clip rectangle and the buffer.
void vline_fill(int32_t y1, int32_t y2, int32_t x, uint8_t colour, uint8_t* buffer, int32_t lpitch);
/// 1 when part of the line lies inside the clip rectangle, the coordinates then replaced by the
/// clipped ones; 0 when none does, the coordinates left as they were, or when a pointer is null.
int line_clip(int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1);
/// An unclipped line; 1. A line that runs further across than down, and is not flat, ends on the
/// row next to y1 on the side of y0. Refused (0) for a null buffer or an end point outside what
/// the buffer holds.
int line_draw(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour, uint8_t* buffer, int32_t lpitch);
/// line_clip() (to the clip rectangle cut to the buffer), then line_draw() of what is left; 1
/// whether or not anything was drawn.
int line_draw_clipped(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour, uint8_t* buffer, int32_t lpitch);
/// One colour fill of columns x1..x2-1 and rows y1..y2-1 of the surface (not locked), cut to
/// the surface by the platform; 1, even when the platform refused. 0 for a null surface.
int rect_fill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour, PlatSurface* surface);

#ifdef __cplusplus
}  // extern "C"

/// line_clip() on the four coordinates named directly.
inline int line_clip(int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) { return line_clip(&x0, &y0, &x1, &y1); }
#endif
