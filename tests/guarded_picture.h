#pragma once
/// \file
/// A 640 x 480 picture with a pitch wider than a row and guard bytes on both sides, every byte
/// starting at 7, so a test can tell what a drawing wrote and that it wrote nothing outside.
#include <cstddef>
#include <cstdint>
#include <vector>

struct GuardedPicture {
    static constexpr int32_t kPitch = 656, kGuard = 4096, kW = 640, kH = 480;
    std::vector<uint8_t> bytes = std::vector<uint8_t>(size_t(kGuard) * 2 + size_t(kPitch) * kH, 7);
    /// The picture's first pixel, for the drawing under test.
    uint8_t* pixels() { return bytes.data() + kGuard; }
    /// The byte at (x, y) from the first pixel; x past the width reads the row's spare bytes.
    uint8_t at(int x, int y) const { return bytes[size_t(kGuard) + size_t(y) * kPitch + size_t(x)]; }
    /// Every byte outside the 640 x 480 picture still holds 7.
    bool outside_untouched() const {
        for (int32_t i = 0; i < kGuard; ++i)
            if (bytes[size_t(i)] != 7 || bytes[bytes.size() - 1 - size_t(i)] != 7) return false;
        for (int y = 0; y < kH; ++y)
            for (int x = kW; x < kPitch; ++x)
                if (at(x, y) != 7) return false;
        return true;
    }
};
