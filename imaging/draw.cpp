// Pixels, lines and rectangles on the 8-bit display.
#include "imaging/draw.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "display/display.h"
#include "imaging/buffer_bounds.h"

namespace {

// An inclusive rectangle of pixels.
struct Area {
    int64_t left, top, right, bottom;
};

Area clip_area() { return Area{clip_left, clip_top, clip_right, clip_bottom}; }

// The clip rectangle cut to what the buffer may hold; false when nothing of it is left.
bool clip_in_buffer(const uint8_t* buffer, int32_t lpitch, Area* area) {
    int32_t w = 0, h = 0;
    if (!buffer_bounds(buffer, lpitch, &w, &h)) return false;
    *area = Area{std::max<int64_t>(clip_left, 0), std::max<int64_t>(clip_top, 0), std::min<int64_t>(clip_right, w - 1),
                 std::min<int64_t>(clip_bottom, h - 1)};
    return area->left <= area->right && area->top <= area->bottom;
}

// The byte of (x, y), when it lies in what the buffer may hold; null otherwise.
uint8_t* pixel_at(int32_t x, int32_t y, uint8_t* buffer, int32_t lpitch) {
    int32_t w = 0, h = 0;
    if (!buffer_bounds(buffer, lpitch, &w, &h) || x < 0 || y < 0 || x >= w || y >= h) return nullptr;
    return buffer + static_cast<size_t>(y) * static_cast<size_t>(lpitch) + static_cast<size_t>(x);
}

enum { CODE_LEFT = 1, CODE_RIGHT = 2, CODE_BELOW = 4, CODE_ABOVE = 8 };

int region_code(const Area& a, int64_t x, int64_t y) {
    int code = 0;
    if (y < a.top) code |= CODE_ABOVE;
    else if (y > a.bottom) code |= CODE_BELOW;
    if (x < a.left) code |= CODE_LEFT;
    else if (x > a.right) code |= CODE_RIGHT;
    return code;
}

// Adding one half and truncating toward zero: v itself when v >= 0, v + 1 below.
int64_t half_adjust(int64_t v) { return v < 0 ? v + 1 : v; }

// The point where the line from p to q meets the edge at `edge` along one axis: the other
// coordinate moves in proportion, as an integer product and a truncated quotient. The product
// is taken wide so that no coordinates can overflow it.
int64_t meet(int64_t p_along, int64_t p_across, int64_t q_along, int64_t q_across, int64_t edge) {
    const __int128 product = static_cast<__int128>(edge - p_along) * (q_across - p_across);
    return p_across + static_cast<int64_t>(product / (q_along - p_along));
}

// The new place of point p (code c, not 0) on the rectangle, q being the other end.
// `adjust_edges` says whether the edge regions half-adjust too (the start point does, the end
// point does not); the corner regions always do.
void clip_point(const Area& a, int c, int64_t px, int64_t py, int64_t qx, int64_t qy, bool adjust_edges, int64_t* nx,
                int64_t* ny) {
    const bool corner = (c & (CODE_ABOVE | CODE_BELOW)) && (c & (CODE_LEFT | CODE_RIGHT));
    const bool adjust = corner || adjust_edges;
    auto across = [&](int64_t v) { return adjust ? half_adjust(v) : v; };
    if (c & (CODE_ABOVE | CODE_BELOW)) {
        const int64_t edge = (c & CODE_ABOVE) ? a.top : a.bottom;
        *ny = edge;
        *nx = across(meet(py, px, qy, qx, edge));
        if (!corner || (*nx >= a.left && *nx <= a.right)) return;
    }
    const int64_t edge = (c & CODE_LEFT) ? a.left : a.right;
    *nx = edge;
    *ny = across(meet(px, py, qx, qy, edge));
}

// line_clip against any rectangle.
int clip_line_to(const Area& a, int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) {
    const int c0 = region_code(a, x0, y0);
    const int c1 = region_code(a, x1, y1);
    if (c0 & c1) return 0;
    if (c0 == 0 && c1 == 0) return 1;
    // Both new points come from the coordinates as they were on entry.
    int64_t nx0 = x0, ny0 = y0, nx1 = x1, ny1 = y1;
    if (c0) clip_point(a, c0, x0, y0, x1, y1, true, &nx0, &ny0);
    if (c1) clip_point(a, c1, x1, y1, x0, y0, false, &nx1, &ny1);
    auto inside = [&a](int64_t x, int64_t y) { return x >= a.left && x <= a.right && y >= a.top && y <= a.bottom; };
    if (!inside(nx0, ny0) || !inside(nx1, ny1)) return 0;
    x0 = static_cast<int32_t>(nx0);
    y0 = static_cast<int32_t>(ny0);
    x1 = static_cast<int32_t>(nx1);
    y1 = static_cast<int32_t>(ny1);
    return 1;
}

}  // namespace

int pixel_plot(int32_t x, int32_t y, uint8_t colour, uint8_t* buffer, int32_t lpitch) {
    uint8_t* p = pixel_at(x, y, buffer, lpitch);
    if (!p) return 0;
    *p = colour;
    return 1;
}

void hline_fill(int32_t x1, int32_t x2, int32_t y, uint8_t colour, uint8_t* buffer, int32_t lpitch) {
    Area a{};
    if (!clip_in_buffer(buffer, lpitch, &a) || y < a.top || y > a.bottom) return;
    if (x1 > x2) std::swap(x1, x2);
    if (x1 > a.right || x2 < a.left) return;
    if (x1 < a.left) x1 = static_cast<int32_t>(a.left);
    if (x2 > a.right) x2 = static_cast<int32_t>(a.right);
    std::memset(buffer + static_cast<size_t>(y) * static_cast<size_t>(lpitch) + static_cast<size_t>(x1), colour,
                static_cast<size_t>(x2 - x1) + 1);
}

void vline_fill(int32_t y1, int32_t y2, int32_t x, uint8_t colour, uint8_t* buffer, int32_t lpitch) {
    Area a{};
    if (!clip_in_buffer(buffer, lpitch, &a) || x < a.left || x > a.right) return;
    if (y1 > y2) std::swap(y1, y2);
    if (y1 > a.bottom || y2 < a.top) return;
    if (y1 < a.top) y1 = static_cast<int32_t>(a.top);
    if (y2 > a.bottom) y2 = static_cast<int32_t>(a.bottom);
    uint8_t* p = buffer + static_cast<size_t>(y1) * static_cast<size_t>(lpitch) + static_cast<size_t>(x);
    for (int32_t n = y2 - y1 + 1; n > 0; --n, p += lpitch) *p = colour;
}

int line_clip(int32_t* x0, int32_t* y0, int32_t* x1, int32_t* y1) {
    if (!x0 || !y0 || !x1 || !y1) return 0;
    return clip_line_to(clip_area(), *x0, *y0, *x1, *y1);
}

int line_draw(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour, uint8_t* buffer, int32_t lpitch) {
    // Every pixel lies in the box of the two end points, so inside the buffer when they are.
    uint8_t* p = pixel_at(x0, y0, buffer, lpitch);
    if (!p || !pixel_at(x1, y1, buffer, lpitch)) return 0;
    int32_t dx = x1 - x0, dy = y1 - y0;
    std::ptrdiff_t x_step = 1, y_step = lpitch;
    if (dx < 0) {
        x_step = -1;
        dx = -dx;
    }
    if (dy < 0) {
        y_step = -y_step;
        dy = -dy;
    }
    int32_t error = 0;
    // Each pointer step is taken only while pixels remain, so the pointer never leaves the buffer.
    if (dx > dy) {
        for (int32_t i = 0; i <= dx; ++i) {
            *p = colour;
            if (i == dx) break;
            error += dy;
            if (error > dx) {
                error -= dx;
                p += y_step;
            }
            p += x_step;
        }
    } else {
        for (int32_t i = 0; i <= dy; ++i) {
            *p = colour;
            if (i == dy) break;
            error += dx;
            if (error > 0) {
                error -= dy;
                p += x_step;
            }
            p += y_step;
        }
    }
    return 1;
}

int line_draw_clipped(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t colour, uint8_t* buffer, int32_t lpitch) {
    // Cut to the clip rectangle and to what the buffer holds.
    Area a{};
    int32_t cxs = x0, cys = y0, cxe = x1, cye = y1;
    if (clip_in_buffer(buffer, lpitch, &a) && clip_line_to(a, cxs, cys, cxe, cye) == 1)
        line_draw(cxs, cys, cxe, cye, colour, buffer, lpitch);
    return 1;
}

int rect_fill(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour, PlatSurface* surface) {
    if (!surface) return 0;
    const PlatRect fill_area{x1, y1, x2, y2};
    plat_surface_fill(surface, &fill_area, static_cast<uint8_t>(colour));
    return 1;
}
