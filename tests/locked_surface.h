#pragma once
/// \file
/// An off-screen surface of the open display, locked while the test draws on it from a start
/// pixel (column, row), every byte starting at 7, so a test can tell that a drawing stayed inside
/// what remains of the surface from the start.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "display/display.h"

struct LockedSurface {
    int32_t w, h, column, row;
    PlatSurface* surface = nullptr;
    uint8_t* base = nullptr;
    int32_t pitch = 0;

    LockedSurface(int32_t width, int32_t height, int32_t start_column, int32_t start_row)
        : w(width), h(height), column(start_column), row(start_row) {
        surface = display_create_surface(w, h, DDSCAPS_SYSTEMMEMORY);
        base = display_lock_surface(surface, &pitch);
        EXPECT_NE(base, nullptr);
        if (base) std::memset(base, 7, size_t(pitch) * size_t(h));
    }
    ~LockedSurface() {
        display_unlock_surface(surface, base);
        plat_surface_release(surface);
    }
    /// The start pixel, where the drawing under test begins.
    uint8_t* start() const { return base + size_t(row) * size_t(pitch) + size_t(column); }
    /// The columns from the start to the surface's right edge.
    int32_t room_w() const { return w - column; }
    /// The rows from the start to the surface's bottom.
    int32_t room_h() const { return h - row; }
    /// The pixel at (x, y) from the start.
    uint8_t at(int32_t x, int32_t y) const { return start()[size_t(y) * size_t(pitch) + size_t(x)]; }
    /// Every byte of the surface outside the room from the start still holds 7.
    bool outside_untouched() const {
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < pitch; ++x)
                if ((x < column || x >= w || y < row) && base[size_t(y) * size_t(pitch) + size_t(x)] != 7) return false;
        return true;
    }
};
