// The memory surfaces under the display: blits, clipping, stretching, locking, flipping, palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "headless_fixture.h"
#include "platform/common/convert.h"
#include "platform/status.h"
#include "platform/ticks.h"
#include "platform/video.h"

namespace {

class Surfaces : public Headless {
protected:
    PlatDevice* dev = nullptr;
    void SetUp() override {
        Headless::SetUp();
        ASSERT_EQ(plat_device_create(&dev), PLAT_OK);
        ASSERT_EQ(plat_device_set_mode(dev, 640, 480, 8), PLAT_OK);
    }
    void TearDown() override {
        for (PlatSurface* s : made) plat_surface_release(s);
        plat_device_release(dev);
        Headless::TearDown();
    }
    std::vector<PlatSurface*> made;

    PlatSurface* surface(int w, int h) {
        PlatSurface* s = nullptr;
        EXPECT_EQ(plat_surface_create(dev, w, h, PLAT_CAPS_SYSTEM_MEMORY, &s), PLAT_OK);
        made.push_back(s);
        return s;
    }
    static void put(PlatSurface* s, int x, int y, uint8_t v) {
        uint8_t* p = nullptr;
        int32_t pitch = 0;
        ASSERT_EQ(plat_surface_lock(s, &p, &pitch), PLAT_OK);
        p[y * pitch + x] = v;
        plat_surface_unlock(s, p);
    }
    static int get(PlatSurface* s, int x, int y) {
        uint8_t* p = nullptr;
        int32_t pitch = 0;
        if (plat_surface_lock(s, &p, &pitch) != PLAT_OK) return -1;
        int v = p[y * pitch + x];
        plat_surface_unlock(s, p);
        return v;
    }
    // Source with value (1 + x + 10 * y) except a transparent 0 at (1, 1).
    PlatSurface* numbered(int w, int h) {
        PlatSurface* s = surface(w, h);
        uint8_t* p = nullptr;
        int32_t pitch = 0;
        plat_surface_lock(s, &p, &pitch);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) p[y * pitch + x] = static_cast<uint8_t>(1 + x + 10 * y);
        p[1 * pitch + 1] = 0;
        plat_surface_unlock(s, p);
        plat_surface_set_color_key(s, 0, 0);
        return s;
    }
    // Cuts blits onto the surface to one rectangle.
    void clip_to(PlatSurface* s, const PlatRect& r) {
        PlatClipper* c = nullptr;
        ASSERT_EQ(plat_clipper_create(dev, &c), PLAT_OK);
        struct {
            PlatRegionHeader h;
            PlatRect r[1];
        } region{{32, PLAT_REGION_RECTANGLES, 1, 16, r}, {r}};
        ASSERT_EQ(plat_clipper_set_region(c, &region.h), PLAT_OK);
        ASSERT_EQ(plat_surface_set_clipper(s, c), PLAT_OK);
        plat_clipper_release(c);  // the surface keeps its own hold
    }
    static std::vector<uint8_t> pixels_of(PlatSurface* s, int32_t* pitch) {
        uint8_t* p = nullptr;
        if (plat_surface_lock(s, &p, pitch) != PLAT_OK) return {};
        int32_t w = 0, h = 0;
        plat_surface_size(s, &w, &h);
        std::vector<uint8_t> copy(p, p + static_cast<size_t>(*pitch) * h);
        plat_surface_unlock(s, p);
        return copy;
    }
    // What a blit of s onto d leaves at (x, y) of the destination rectangle, by the rule:
    // source (floor(x * sw / dw), floor(y * sh / dh)), or `kept` where the key says transparent.
    static int by_rule(const std::vector<uint8_t>& source, int32_t pitch, const PlatRect& s, const PlatRect& d,
                       int keyed, uint8_t lo, uint8_t hi, int64_t x, int64_t y, int kept) {
        const int64_t sx = s.left + (x - d.left) * (s.right - s.left) / (int64_t{d.right} - d.left);
        const int64_t sy = s.top + (y - d.top) * (s.bottom - s.top) / (int64_t{d.bottom} - d.top);
        const uint8_t v = source[static_cast<size_t>(sy * pitch + sx)];
        return keyed && v >= lo && v <= hi ? kept : v;
    }
};

TEST_F(Surfaces, PitchIsWidthRoundedToEight) {
    int32_t pitch = 0;
    uint8_t* p = nullptr;
    PlatSurface* s = surface(30, 4);
    ASSERT_EQ(plat_surface_lock(s, &p, &pitch), PLAT_OK);
    EXPECT_EQ(pitch, 32);
    EXPECT_EQ(plat_surface_lock(s, &p, &pitch), PLAT_ERR_BUSY);
    EXPECT_EQ(plat_surface_unlock(s, p), PLAT_OK);
    EXPECT_NE(plat_surface_unlock(s, p), PLAT_OK);
    PlatSurface* none = nullptr;
    EXPECT_NE(plat_surface_create(dev, 0, 5, 0, &none), PLAT_OK);
    EXPECT_EQ(none, nullptr);
}

TEST_F(Surfaces, KeyedBlitSkipsIndexZeroAndExclusiveEdges) {
    PlatSurface* src = numbered(4, 4);
    PlatSurface* dst = surface(16, 16);
    plat_surface_fill(dst, nullptr, 200);
    PlatRect d{5, 6, 8, 9}, s{0, 0, 3, 3};  // 3 x 3, right and bottom exclusive
    ASSERT_EQ(plat_surface_blit(dst, &d, src, &s, PLAT_BLIT_KEY_SOURCE), PLAT_OK);
    EXPECT_EQ(get(dst, 5, 6), 1);
    EXPECT_EQ(get(dst, 7, 8), 1 + 2 + 20);
    EXPECT_EQ(get(dst, 6, 7), 200);  // the transparent pixel left the destination alone
    EXPECT_EQ(get(dst, 8, 6), 200);  // column 8 is outside the exclusive edge
    EXPECT_EQ(get(dst, 5, 9), 200);
    // Unkeyed, the zero is copied.
    ASSERT_EQ(plat_surface_blit(dst, &d, src, &s, 0), PLAT_OK);
    EXPECT_EQ(get(dst, 6, 7), 0);
}

TEST_F(Surfaces, BlitOutsideTheSurfaceIsRefusedWithoutAClipperAndCutWithOne) {
    PlatSurface* src = numbered(4, 4);
    PlatSurface* dst = surface(8, 8);
    PlatRect d{6, 6, 10, 10}, s{0, 0, 4, 4};
    EXPECT_EQ(plat_surface_blit(dst, &d, src, &s, 0), PLAT_ERR_INVALID);
    clip_to(dst, {0, 0, 8, 8});
    ASSERT_EQ(plat_surface_blit(dst, &d, src, &s, 0), PLAT_OK);
    EXPECT_EQ(get(dst, 6, 6), 1);
    EXPECT_EQ(get(dst, 7, 7), 0);  // (1, 1) of the source
    // Off the top-left corner: the visible part shows the source's lower right.
    PlatRect d2{-2, -3, 2, 1};
    ASSERT_EQ(plat_surface_blit(dst, &d2, src, &s, 0), PLAT_OK);
    EXPECT_EQ(get(dst, 0, 0), 1 + 2 + 30);
    EXPECT_EQ(get(dst, 1, 0), 1 + 3 + 30);
    // A source rectangle outside the source is refused.
    PlatRect bad{0, 0, 5, 4};
    EXPECT_EQ(plat_surface_blit(dst, &d, src, &bad, 0), PLAT_ERR_INVALID);
}

TEST_F(Surfaces, ClipListOfTwoRectanglesAndOfNone) {
    PlatSurface* src = surface(8, 8);
    plat_surface_fill(src, nullptr, 9);
    PlatSurface* dst = surface(8, 8);
    PlatClipper* c = nullptr;
    ASSERT_EQ(plat_clipper_create(dev, &c), PLAT_OK);
    struct {
        PlatRegionHeader h;
        PlatRect r[2];
    } two{{32, PLAT_REGION_RECTANGLES, 2, 32, {0, 0, 8, 8}}, {{0, 0, 2, 8}, {6, 0, 8, 8}}};
    ASSERT_EQ(plat_clipper_set_region(c, &two.h), PLAT_OK);
    plat_surface_set_clipper(dst, c);
    ASSERT_EQ(plat_surface_blit(dst, nullptr, src, nullptr, 0), PLAT_OK);
    EXPECT_EQ(get(dst, 1, 3), 9);
    EXPECT_EQ(get(dst, 4, 3), 0);
    EXPECT_EQ(get(dst, 7, 3), 9);
    PlatRegionHeader none{32, PLAT_REGION_RECTANGLES, 0, 0, {64000, 64000, -64000, -64000}};
    ASSERT_EQ(plat_clipper_set_region(c, &none), PLAT_OK);
    plat_surface_fill(dst, nullptr, 0);
    ASSERT_EQ(plat_surface_blit(dst, nullptr, src, nullptr, 0), PLAT_OK);
    EXPECT_EQ(get(dst, 1, 3), 0);  // an empty clip list lets nothing through
    PlatRegionHeader lying{32, PLAT_REGION_RECTANGLES, 3, 16, {0, 0, 0, 0}};
    EXPECT_EQ(plat_clipper_set_region(c, &lying), PLAT_ERR_INVALID);
    plat_clipper_release(c);
}

TEST_F(Surfaces, StretchingPicksTheNearestSourcePixel) {
    PlatSurface* src = surface(4, 2);
    uint8_t* p = nullptr;
    int32_t pitch = 0;
    plat_surface_lock(src, &p, &pitch);
    for (int x = 0; x < 4; ++x) {
        p[x] = static_cast<uint8_t>(10 + x);
        p[pitch + x] = static_cast<uint8_t>(20 + x);
    }
    plat_surface_unlock(src, p);
    PlatSurface* dst = surface(8, 4);
    ASSERT_EQ(plat_surface_blit(dst, nullptr, src, nullptr, 0), PLAT_OK);  // 2x both ways
    const int want_row0[8] = {10, 10, 11, 11, 12, 12, 13, 13};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(get(dst, x, 0), want_row0[x]) << x;
    EXPECT_EQ(get(dst, 3, 1), 11);
    EXPECT_EQ(get(dst, 3, 2), 21);
    // Shrinking 4 -> 3 columns: floor(x * 4 / 3) = 0, 1, 2.
    PlatRect d{0, 0, 3, 1}, s{0, 0, 4, 1};
    ASSERT_EQ(plat_surface_blit(dst, &d, src, &s, 0), PLAT_OK);
    EXPECT_EQ(get(dst, 0, 0), 10);
    EXPECT_EQ(get(dst, 1, 0), 11);
    EXPECT_EQ(get(dst, 2, 0), 12);
}

TEST_F(Surfaces, LockedSurfacesRefuseBlitsFillsAndText) {
    PlatSurface* src = numbered(4, 4);
    PlatSurface* dst = surface(8, 8);
    uint8_t* p = nullptr;
    int32_t pitch = 0;
    ASSERT_EQ(plat_surface_lock(dst, &p, &pitch), PLAT_OK);
    EXPECT_EQ(plat_surface_blit(dst, nullptr, src, nullptr, 0), PLAT_ERR_BUSY);
    EXPECT_EQ(plat_surface_fill(dst, nullptr, 3), PLAT_ERR_BUSY);
    EXPECT_EQ(plat_text_draw(dst, 0, 0, "x", 0, 0, 0), PLAT_ERR_BUSY);
    plat_surface_unlock(dst, p);
    ASSERT_EQ(plat_surface_lock(src, &p, &pitch), PLAT_OK);
    EXPECT_EQ(plat_surface_blit(dst, nullptr, src, nullptr, 0), PLAT_ERR_BUSY);
    plat_surface_unlock(src, p);
}

TEST_F(Surfaces, FillIsCutToTheSurface) {
    PlatSurface* s = surface(5, 5);
    PlatRect r{3, 3, 50, 50};
    ASSERT_EQ(plat_surface_fill(s, &r, 4), PLAT_OK);
    EXPECT_EQ(get(s, 4, 4), 4);
    EXPECT_EQ(get(s, 2, 4), 0);
}

}  // namespace

namespace {

// Every blit, plain or stretched, keyed or not, clipped or not, against a pixel-by-pixel
// reference of the same rule: destination (x, y) of the rectangle takes source
// (floor(x * sw / dw), floor(y * sh / dh)), skipped where the key says transparent.
TEST_F(Surfaces, BlitsAgreeWithAPixelByPixelReference) {
    uint32_t seed = 12345;
    auto rnd = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
    };
    PlatSurface* dst = surface(64, 48);
    clip_to(dst, {3, 2, 60, 45});
    for (int round = 0; round < 300; ++round) {
        const int sw = 1 + rnd(40), sh = 1 + rnd(40);
        PlatSurface* src = surface(sw, sh);
        uint8_t *sp = nullptr, *dp = nullptr;
        int32_t spitch = 0, dpitch = 0;
        plat_surface_lock(src, &sp, &spitch);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < sw; ++x) sp[y * spitch + x] = static_cast<uint8_t>(rnd(4) == 0 ? 0 : 1 + rnd(250));
        plat_surface_unlock(src, sp);
        const std::vector<uint8_t> source = pixels_of(src, &spitch);
        const bool keyed = rnd(2);
        const uint8_t lo = static_cast<uint8_t>(rnd(2) ? 0 : rnd(100)),
                      hi = static_cast<uint8_t>(lo + rnd(2) * rnd(50));
        plat_surface_set_color_key(src, lo, hi);
        plat_surface_fill(dst, nullptr, 255);
        PlatRect s{rnd(sw), rnd(sh), 0, 0};
        s.right = s.left + 1 + rnd(sw - s.left);
        s.bottom = s.top + 1 + rnd(sh - s.top);
        PlatRect d{rnd(80) - 10, rnd(60) - 10, 0, 0};
        d.right = d.left + 1 + rnd(70);
        d.bottom = d.top + 1 + rnd(55);
        ASSERT_EQ(plat_surface_blit(dst, &d, src, &s, keyed ? PLAT_BLIT_KEY_SOURCE : 0), PLAT_OK);
        plat_surface_lock(dst, &dp, &dpitch);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                const bool inside =
                    x >= d.left && x < d.right && y >= d.top && y < d.bottom && x >= 3 && x < 60 && y >= 2 && y < 45;
                const int want = inside ? by_rule(source, spitch, s, d, keyed, lo, hi, x, y, 255) : 255;
                ASSERT_EQ(dp[y * dpitch + x], want) << "round " << round << " at " << x << "," << y;
            }
        }
        plat_surface_unlock(dst, dp);
        plat_surface_release(src);
        made.pop_back();
    }
}

}  // namespace

namespace {

// A blit within one surface whose rectangles overlap, plain, keyed or stretched, gives what a
// blit from an untouched copy of the surface would.
TEST_F(Surfaces, OverlappingBlitsWithinOneSurfaceReadThePictureAsItWas) {
    PlatSurface* surf = surface(24, 20);
    struct Case {
        PlatRect s, d;
    };
    const Case cases[] = {
        {{0, 0, 20, 16}, {1, 1, 21, 17}},  // down and right
        {{2, 1, 22, 17}, {0, 0, 20, 16}},  // up and left
        {{0, 0, 20, 20}, {3, 0, 23, 20}},  // along the same rows
        {{0, 0, 12, 10}, {2, 2, 24, 20}},  // stretched
        {{0, 0, 24, 20}, {4, 3, 16, 13}},  // shrunk
    };
    struct Key {
        int keyed;
        uint8_t lo, hi;
    };
    for (const Case& c : cases)
        for (Key k : {Key{0, 0, 0}, Key{1, 0, 0}, Key{1, 5, 40}}) {
            uint8_t* p = nullptr;
            int32_t pitch = 0;
            ASSERT_EQ(plat_surface_lock(surf, &p, &pitch), PLAT_OK);
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 24; ++x) p[y * pitch + x] = static_cast<uint8_t>((x * 7 + y * 13) % 50);
            plat_surface_unlock(surf, p);
            const std::vector<uint8_t> before = pixels_of(surf, &pitch);
            plat_surface_set_color_key(surf, k.lo, k.hi);
            ASSERT_EQ(plat_surface_blit(surf, &c.d, surf, &c.s, k.keyed ? PLAT_BLIT_KEY_SOURCE : 0), PLAT_OK);
            const std::vector<uint8_t> after = pixels_of(surf, &pitch);
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 24; ++x) {
                    const int was = before[y * pitch + x];
                    const bool inside = x >= c.d.left && x < c.d.right && y >= c.d.top && y < c.d.bottom;
                    const int want = inside ? by_rule(before, pitch, c.s, c.d, k.keyed, k.lo, k.hi, x, y, was) : was;
                    ASSERT_EQ(after[y * pitch + x], want) << c.d.left << "," << c.d.top << " key " << k.keyed << "/"
                                                          << int(k.lo) << " at " << x << "," << y;
                }
        }
}

// Destination rectangles reaching the ends of the int range, cut by a clipper, or wider than the
// columns worked out at once: the visible part keeps the exact scale (a width of 2^32 - 1 or a
// remainder near 2^31 must not overflow; each run of columns goes on where the last ended, so
// the last column of {0, 0, w, 4} is the source's last).
TEST_F(Surfaces, RectanglesAtTheEndsOfTheIntRangeStretchExactly) {
    PlatSurface* src = numbered(32, 4);
    int32_t spitch = 0;
    const std::vector<uint8_t> source = pixels_of(src, &spitch);
    const int32_t w = 1040;
    PlatSurface* dst = surface(w, 8);
    clip_to(dst, {0, 0, w, 8});
    struct Case {
        PlatRect s, d;
    };
    const int32_t far = -(1 << 30) + 40;  // 32 columns over 2^31 - 3: the step lands at x = 39
    // clang-format off
    const Case cases[] = {
        {{0, 0, 4, 4}, {INT32_MIN, 0, 4, 4}},
        {{0, 0, 32, 4}, {far, 0, far + INT32_MAX - 2, 4}},
        {{0, 0, 32, 4}, {-10, 0, INT32_MAX, 4}},
        {{0, 0, 32, 4}, {0, INT32_MIN, 64, 3}},
        {{0, 0, 32, 4}, {0, 0, w, 4}},
    };
    // clang-format on
    for (const Case& k : cases) {
        plat_surface_fill(dst, nullptr, 255);
        ASSERT_EQ(plat_surface_blit(dst, &k.d, src, &k.s, 0), PLAT_OK);
        int32_t pitch = 0;
        const std::vector<uint8_t> got = pixels_of(dst, &pitch);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < w; ++x) {
                const bool inside = x >= k.d.left && x < k.d.right && y >= k.d.top && y < k.d.bottom;
                const int want = inside ? by_rule(source, spitch, k.s, k.d, 0, 0, 0, x, y, 255) : 255;
                ASSERT_EQ(got[y * pitch + x], want) << k.d.left << "," << k.d.top << " at " << x << "," << y;
            }
    }
}

}  // namespace

namespace {

// Locks the surface and writes 9 at (1, 1); gives keep_locked, leaving it locked when non-zero.
int poke(PlatSurface* s, int keep_locked) {
    uint8_t* p = nullptr;
    int32_t pitch = 0;
    if (plat_surface_lock(s, &p, &pitch) != PLAT_OK) return 0;
    p[pitch + 1] = 9;
    if (!keep_locked) plat_surface_unlock(s, p);
    return keep_locked;
}

// The primary surface shows what is written into it outside a flip: with the counter's readings
// showing it (as the real display's do), a lock, fill, blit or text on the primary is shown once,
// a refresh period (16 ms here) after the last picture, or at its unlock when that period has
// passed; the back surface is not the screen, and a primary still locked is shown again every
// period.
TEST_F(Surfaces, WritesIntoThePrimaryShowAtTheCountersReadingsOnceAPeriod) {
    PlatSurface* primary = nullptr;
    PlatSurface* back = nullptr;
    ASSERT_EQ(plat_primary_create(dev, &primary), PLAT_OK);
    made.push_back(primary);
    ASSERT_EQ(plat_primary_back(primary, &back), PLAT_OK);
    made.push_back(back);
    PlatSurface* nine = surface(1, 1);
    plat_surface_fill(nine, nullptr, 9);
    headless_present_on_tick(16);
    headless_set_ticks(1000);
    struct Case {
        const char* what;
        int (*write)(PlatSurface* primary, PlatSurface* back, PlatSurface* nine);  // 1: leaves it locked
        int shown;                                                                 // presents over 40 readings
        int index;                                                                 // then seen at (1, 1)
    };
    const Case cases[] = {
        {"nothing written", [](PlatSurface*, PlatSurface*, PlatSurface*) { return 0; }, 0, 7},
        {"the back surface locked and written", [](PlatSurface*, PlatSurface* b, PlatSurface*) { return poke(b, 0); },
         0, 7},
        {"locked, written, unlocked", [](PlatSurface* f, PlatSurface*, PlatSurface*) { return poke(f, 0); }, 1, 9},
        {"locked, written, left locked", [](PlatSurface* f, PlatSurface*, PlatSurface*) { return poke(f, 1); }, 2, 9},
        {"filled",
         [](PlatSurface* f, PlatSurface*, PlatSurface*) {
             const PlatRect r{1, 1, 2, 2};
             plat_surface_fill(f, &r, 9);
             return 0;
         },
         1, 9},
        {"blitted on",
         [](PlatSurface* f, PlatSurface*, PlatSurface* n) {
             PlatRect r{1, 1, 2, 2};
             plat_surface_blit(f, &r, n, nullptr, 0);
             return 0;
         },
         1, 9},
        {"text drawn",
         [](PlatSurface* f, PlatSurface*, PlatSurface*) {
             plat_text_draw(f, 0, 0, "x", 255, 255, 255);
             return 0;
         },
         1, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        plat_surface_fill(back, nullptr, 7);
        ASSERT_EQ(plat_flip(primary), PLAT_OK);
        const int32_t flips = headless_present_count();
        const int locked = c.write(primary, back, nine);
        for (int i = 0; i < 16; ++i) plat_ticks();  // the period is counted from the first reading
        EXPECT_EQ(headless_present_count(), flips);
        EXPECT_EQ(headless_visible_index(1, 1), 7);
        for (int i = 0; i < 24; ++i) plat_ticks();
        EXPECT_EQ(headless_present_count(), flips + c.shown);
        EXPECT_EQ(headless_visible_index(1, 1), c.index);
        if (locked) {
            uint8_t* p = nullptr;
            int32_t pitch = 0;
            EXPECT_EQ(plat_surface_lock(primary, &p, &pitch), PLAT_ERR_BUSY);
            plat_surface_unlock(primary, nullptr);
        }
    }
    // Written and unlocked a period after the last picture: shown at the unlock, before any reading.
    plat_surface_fill(back, nullptr, 7);
    ASSERT_EQ(plat_flip(primary), PLAT_OK);
    for (int i = 0; i < 17; ++i) plat_ticks();
    const int32_t shown = headless_present_count();
    poke(primary, 0);
    EXPECT_EQ(headless_present_count(), shown + 1);
    EXPECT_EQ(headless_visible_index(1, 1), 9);
    // Off (as at the reset), the readings show nothing.
    headless_present_on_tick(0);
    const PlatRect r{1, 1, 2, 2};
    plat_surface_fill(primary, &r, 3);
    const int32_t before = headless_present_count();
    for (int i = 0; i < 40; ++i) plat_ticks();
    EXPECT_EQ(headless_present_count(), before);
}

}  // namespace

namespace {

// The device is open from the first device made to the last one released, which also forgets
// the mode; a primary asked for without a mode is refused as refused. A palette that outlives
// its primary no longer shows on anything, not even on a new primary made in the same place.
TEST_F(Surfaces, DeviceModeAndPrimaryLifetimes) {
    EXPECT_EQ(headless_device_open(), 1);
    PlatDevice* second = nullptr;
    ASSERT_EQ(plat_device_create(&second), PLAT_OK);
    plat_device_release(second);
    EXPECT_EQ(headless_device_open(), 1);  // the fixture's device still holds it
    plat_device_release(dev);
    EXPECT_EQ(headless_device_open(), 0);
    ASSERT_EQ(plat_device_create(&dev), PLAT_OK);
    EXPECT_EQ(headless_device_open(), 1);
    PlatSurface* primary = nullptr;
    EXPECT_EQ(plat_primary_create(dev, &primary), PLAT_ERR_REFUSED);  // the mode was forgotten
    EXPECT_EQ(primary, nullptr);

    ASSERT_EQ(plat_device_set_mode(dev, 64, 48, 8), PLAT_OK);
    PaletteEntry entries[256] = {};
    PlatPalette* palette = nullptr;
    ASSERT_EQ(plat_palette_create(dev, entries, &palette), PLAT_OK);
    ASSERT_EQ(plat_primary_create(dev, &primary), PLAT_OK);
    ASSERT_EQ(plat_surface_set_palette(primary, palette), PLAT_OK);
    plat_surface_release(primary);  // the palette lives on in this test's hands
    ASSERT_EQ(plat_primary_create(dev, &primary), PLAT_OK);
    made.push_back(primary);
    const int32_t shown = headless_present_count();
    entries[5] = PaletteEntry{10, 20, 30, 0};
    ASSERT_EQ(plat_palette_set_entries(palette, 0, 256, entries), PLAT_OK);
    EXPECT_EQ(headless_present_count(), shown);
    ASSERT_EQ(plat_surface_set_palette(primary, palette), PLAT_OK);
    EXPECT_EQ(headless_present_count(), shown + 1);
    plat_palette_release(palette);
}

// A picture is shown row by row from its own rows, whatever the pitch: the conversion to 32-bit
// colours and the headless backend's copy of what is shown.
TEST_F(Surfaces, PicturesAreShownFromTheirOwnRows) {
    uint32_t lut[256];
    PaletteEntry entries[256];
    for (int i = 0; i < 256; ++i) entries[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), 0};
    convert_palette_to_argb(entries, lut);
    for (int32_t width : {3, 13, 636}) {
        SCOPED_TRACE(width);
        const int32_t height = 5, pitch = (width + 7) & ~7, out_pitch = width + 5;
        std::vector<uint8_t> src(static_cast<size_t>(pitch) * height, 0xEE);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) src[y * pitch + x] = static_cast<uint8_t>(x * 3 + y * 50);
        std::vector<uint32_t> out(static_cast<size_t>(out_pitch) * height, 0x12345678u);
        convert_frame(src.data(), pitch, width, height, lut, out.data(), out_pitch * 4);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) ASSERT_EQ(out[y * out_pitch + x], lut[src[y * pitch + x]]) << x << "," << y;
            for (int x = width; x < out_pitch; ++x) ASSERT_EQ(out[y * out_pitch + x], 0x12345678u);
        }

        // The headless screen, at a mode whose rows are narrower than the primary's pitch.
        PlatSurface* primary = nullptr;
        PlatSurface* back = nullptr;
        ASSERT_EQ(plat_device_set_mode(dev, width, height, 8), PLAT_OK);
        ASSERT_EQ(plat_primary_create(dev, &primary), PLAT_OK);
        ASSERT_EQ(plat_primary_back(primary, &back), PLAT_OK);
        uint8_t* p = nullptr;
        int32_t back_pitch = 0;
        ASSERT_EQ(plat_surface_lock(back, &p, &back_pitch), PLAT_OK);
        ASSERT_EQ(back_pitch, pitch);
        std::copy(src.begin(), src.end(), p);
        plat_surface_unlock(back, p);
        ASSERT_EQ(plat_flip(primary), PLAT_OK);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(headless_visible_index(x, y), src[y * pitch + x]) << x << "," << y;
        plat_surface_release(back);
        plat_surface_release(primary);
    }
}

}  // namespace
