// The display device: start-up palette, lock bookkeeping, flips, clipper regions, refusals.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "headless_fixture.h"
#include "platform/status.h"

namespace {

using Display = Headless;

TEST_F(Display, StartupRampPaletteIsShown) {
    open_display();
    EXPECT_EQ(palette_entries[63].peRed, 252);
    EXPECT_EQ(palette_entries[63].peGreen, 0);
    EXPECT_EQ(palette_entries[64].peRed + palette_entries[64].peGreen + palette_entries[64].peBlue, 0);
    EXPECT_EQ(palette_entries[100].peGreen, 4 * 36);
    EXPECT_EQ(palette_entries[191].peBlue, 252);
    EXPECT_EQ(palette_entries[191].peRed, 0);
    EXPECT_EQ(palette_entries[255].peRed, 252);
    EXPECT_EQ(palette_entries[255].peGreen, 252);
    EXPECT_EQ(palette_entries[255].peBlue, 252);
    for (const PaletteEntry& e : palette_entries) EXPECT_EQ(e.peFlags, 4);
    // The screen shows through the same table, and both surfaces start black.
    PaletteEntry shown[256];
    ASSERT_EQ(plat_palette_get_entries(display_palette, 0, 256, shown), PLAT_OK);
    EXPECT_EQ(0, std::memcmp(shown, palette_entries, sizeof shown));
    EXPECT_EQ(headless_visible_index(320, 240), 0);
    EXPECT_EQ(clip_right, 639);
    EXPECT_EQ(clip_bottom, 479);
}

TEST_F(Display, ClipRectangleNeverFollowsTheMode) {
    ASSERT_EQ(plat_window_create("t"), 0);
    ASSERT_EQ(display_init(320, 200, 8), 1);
    EXPECT_EQ(display_width, 320);
    EXPECT_EQ(display_height, 200);
    EXPECT_EQ(clip_left, 0);
    EXPECT_EQ(clip_top, 0);
    EXPECT_EQ(clip_right, 639);
    EXPECT_EQ(clip_bottom, 479);
}

TEST_F(Display, RefusedModeLeavesTheSizeAlone) {
    ASSERT_EQ(plat_window_create("t"), 0);
    display_width = 111;
    headless_refuse("mode", 1);
    EXPECT_EQ(display_init(640, 480, 8), 0);
    EXPECT_EQ(display_width, 111);
    EXPECT_EQ(display_height, 480);
    EXPECT_NE(display_device, nullptr);  // made before the failing step, kept for shutdown
    EXPECT_EQ(display_primary, nullptr);
    display_width = 640;
    // A depth the platform does not offer is refused the same way.
    display_shutdown();
    EXPECT_EQ(display_init(640, 480, 16), 0);
    EXPECT_EQ(display_bpp, 8);
}

TEST_F(Display, EachStartupStepCanFailAndShutdownReleasesWhatWasMade) {
    const char* steps[] = {"device", "cooperative", "mode", "primary", "back", "palette", "palette_attach"};
    for (const char* step : steps) {
        SCOPED_TRACE(step);
        reset_all();
        ASSERT_EQ(plat_window_create("t"), 0);
        headless_refuse(step, 1);
        EXPECT_EQ(display_init(640, 480, 8), 0);
        EXPECT_EQ(display_shutdown(), 1);
        EXPECT_EQ(display_device, nullptr);
        // Once the refusal is used up a new start-up goes through.
        EXPECT_EQ(display_init(640, 480, 8), 1);
    }
}

TEST_F(Display, LockBookkeeping) {
    open_display();
    uint8_t* first = display_lock_back();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(back_pitch, 640);
    EXPECT_EQ(display_lock_back(), first);
    EXPECT_EQ(display_unlock_back(), 1);
    EXPECT_EQ(back_pixels, nullptr);
    EXPECT_EQ(back_pitch, 0);
    EXPECT_EQ(display_unlock_back(), 0);
    EXPECT_EQ(display_unlock_primary(), 0);
    ASSERT_NE(display_lock_primary(), nullptr);
    EXPECT_EQ(display_unlock_primary(), 1);
    headless_refuse("lock", 1);
    EXPECT_EQ(display_lock_back(), nullptr);
    EXPECT_EQ(back_pitch, 0);
    EXPECT_EQ(display_unlock_back(), 0);
}

TEST_F(Display, LockSurfaceWithNullOrRefusal) {
    open_display();
    int32_t pitch = 1234;
    EXPECT_EQ(display_lock_surface(nullptr, &pitch), nullptr);
    EXPECT_EQ(pitch, 1234);
    EXPECT_EQ(display_unlock_surface(nullptr, nullptr), 0);
    PlatSurface* s = display_create_surface(24, 10, DDSCAPS_SYSTEMMEMORY);
    ASSERT_NE(s, nullptr);
    uint8_t* p = display_lock_surface(s, &pitch);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(pitch, 24);
    EXPECT_EQ(display_unlock_surface(s, p), 1);
    headless_refuse("lock", 1);
    EXPECT_EQ(display_lock_surface(s, &pitch), nullptr);
    EXPECT_EQ(pitch, 0);
    plat_surface_release(s);
    headless_refuse("surface", 1);
    EXPECT_EQ(display_create_surface(8, 8, 0), nullptr);
    headless_refuse("color_key", 1);
    s = display_create_surface(8, 8, 0);  // a refused key is not reported
    EXPECT_NE(s, nullptr);
    plat_surface_release(s);
}

TEST_F(Display, FlipRefusedWhileLockedAndShowsTheBackAfter) {
    open_display();
    display_fill_surface(display_back, 77);
    ASSERT_NE(display_lock_back(), nullptr);
    const int32_t shown = headless_present_count();
    EXPECT_EQ(display_flip(), 0);
    EXPECT_EQ(headless_present_count(), shown);
    EXPECT_EQ(headless_visible_index(10, 10), 0);
    EXPECT_EQ(display_unlock_back(), 1);
    EXPECT_EQ(display_flip(), 1);
    EXPECT_EQ(headless_visible_index(10, 10), 77);
    EXPECT_EQ(headless_visible_rgb(10, 10), 0x003400u);  // green ramp step 13: 4 * 13 = 52
    ASSERT_NE(display_lock_primary(), nullptr);
    EXPECT_EQ(display_flip(), 0);
    display_unlock_primary();
}

TEST_F(Display, FailingFlipIsRetriedWithinABound) {
    open_display();
    headless_refuse("flip", 3);
    int32_t before = headless_request_count("flip");
    EXPECT_EQ(display_flip(), 1);
    EXPECT_EQ(headless_request_count("flip") - before, 4);
    headless_refuse("flip", -1);
    before = headless_request_count("flip");
    EXPECT_EQ(display_flip(), 0);  // gives up rather than spin for ever
    EXPECT_EQ(headless_request_count("flip") - before, DISPLAY_FLIP_RETRIES + 1);
}

TEST_F(Display, RegionBlockAndItsBound) {
    PlatRect screen{0, 0, 640, 480};
    PlatRegionHeader* one = display_make_region(1, &screen);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->dwSize + one->nRgnSize, 48u);
    EXPECT_EQ(one->nCount, 1u);
    EXPECT_EQ(one->rcBound.left, 0);
    EXPECT_EQ(one->rcBound.top, 0);
    EXPECT_EQ(one->rcBound.right, 640);
    EXPECT_EQ(one->rcBound.bottom, 480);
    std::free(one);
    PlatRegionHeader* none = display_make_region(0, nullptr);
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->dwSize + none->nRgnSize, 32u);
    EXPECT_EQ(none->rcBound.left, 64000);
    EXPECT_EQ(none->rcBound.top, 64000);
    EXPECT_EQ(none->rcBound.right, -64000);
    EXPECT_EQ(none->rcBound.bottom, -64000);
    std::free(none);
    PlatRect two[2] = {{10, 20, 30, 40}, {-5, 25, 15, 90}};
    PlatRegionHeader* r2 = display_make_region(2, two);
    ASSERT_NE(r2, nullptr);
    EXPECT_EQ(r2->rcBound.left, -5);
    EXPECT_EQ(r2->rcBound.top, 20);
    EXPECT_EQ(r2->rcBound.right, 30);
    EXPECT_EQ(r2->rcBound.bottom, 90);
    std::free(r2);
    EXPECT_EQ(display_make_region(-1, nullptr), nullptr);
}

TEST_F(Display, ClipperCutsBlitsAtTheScreenEdgeAndRefusalsGiveNull) {
    open_display();
    PlatRect screen{0, 0, display_width, display_height};
    display_clipper = display_attach_clipper(display_back, 1, &screen);
    ASSERT_NE(display_clipper, nullptr);
    PlatSurface* s = display_create_surface(8, 8, DDSCAPS_SYSTEMMEMORY);
    display_fill_surface(s, 5);
    PlatRect d{636, 476, 644, 484};
    EXPECT_EQ(plat_surface_blit(display_back, &d, s, nullptr, PLAT_BLIT_KEY_SOURCE), PLAT_OK);
    ASSERT_EQ(display_flip(), 1);
    EXPECT_EQ(headless_visible_index(639, 479), 5);
    EXPECT_EQ(headless_visible_index(635, 479), 0);
    plat_surface_release(s);
    for (const char* step : {"clipper", "clip_list", "clipper_attach"}) {
        headless_refuse(step, 1);
        EXPECT_EQ(display_attach_clipper(display_back, 1, &screen), nullptr) << step;
    }
    EXPECT_EQ(display_attach_clipper(nullptr, 1, &screen), nullptr);
}

TEST_F(Display, FillAndVblankAlwaysReportDone) {
    EXPECT_EQ(display_fill_surface(nullptr, 3), 1);
    EXPECT_EQ(display_wait_vblank(), 1);
    open_display();
    headless_refuse("fill", 1);
    EXPECT_EQ(display_fill_surface(display_back, 3), 1);
    EXPECT_EQ(display_wait_vblank(), 1);
}

TEST_F(Display, PaletteChangeShowsWithoutAFlip) {
    open_display();
    display_fill_surface(display_back, 9);
    ASSERT_EQ(display_flip(), 1);
    const int32_t shown = headless_present_count();
    PaletteEntry white{255, 255, 255, 4};
    ASSERT_EQ(plat_palette_set_entries(display_palette, 9, 1, &white), PLAT_OK);
    EXPECT_EQ(headless_present_count(), shown + 1);
    EXPECT_EQ(headless_visible_rgb(0, 0), 0xFFFFFFu);

    // Ranges that leave the 256 entries are refused, however large their ends.
    PaletteEntry all[256] = {};
    struct Range {
        int32_t first, count, status;
    };
    for (Range r : {Range{256, 0, PLAT_OK}, Range{255, 1, PLAT_OK}, Range{0, 257, PLAT_ERR_INVALID},
                    Range{256, 1, PLAT_ERR_INVALID}, Range{-1, 1, PLAT_ERR_INVALID}, Range{1, -1, PLAT_ERR_INVALID},
                    Range{INT32_MAX, 1, PLAT_ERR_INVALID}, Range{1, INT32_MAX, PLAT_ERR_INVALID},
                    Range{INT32_MAX, INT32_MAX, PLAT_ERR_INVALID}}) {
        SCOPED_TRACE(testing::Message() << r.first << ", " << r.count);
        EXPECT_EQ(plat_palette_set_entries(display_palette, r.first, r.count, all), r.status);
        EXPECT_EQ(plat_palette_get_entries(display_palette, r.first, r.count, all), r.status);
    }
}

TEST_F(Display, ShutdownTwiceIsHarmless) {
    open_display();
    EXPECT_EQ(display_shutdown(), 1);
    EXPECT_EQ(display_shutdown(), 1);
    EXPECT_EQ(display_flip(), 0);
}

}  // namespace

namespace {

// A flip exchanges the two pictures: what was shown comes back behind, under the same handle.
TEST_F(Display, FlipExchangesThePicturesAndTheBackHandleStays) {
    open_display();
    PlatSurface* const back = display_back;
    display_fill_surface(display_back, 5);
    ASSERT_EQ(display_flip(), 1);
    display_fill_surface(display_back, 6);
    ASSERT_EQ(display_flip(), 1);
    EXPECT_EQ(display_back, back);
    EXPECT_EQ(headless_visible_index(320, 240), 6);
    uint8_t* p = display_lock_back();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[240 * back_pitch + 320], 5);
    display_unlock_back();
}

}  // namespace

namespace {

// The lock state as the program starts, read before any test can lock anything.
const int32_t primary_pitch_at_start = primary_pitch;
const uint8_t* const primary_pixels_at_start = primary_pixels;

// The primary reports no pitch until it is first locked; start-up fills both surfaces with
// colour 0; a new off-screen surface keys index 0, and only index 0.
TEST_F(Display, StartsUnlockedAndBlackAndNewSurfacesKeyIndexZeroOnly) {
    EXPECT_EQ(primary_pitch_at_start, 0);
    EXPECT_EQ(primary_pixels_at_start, nullptr);
    open_display();
    EXPECT_EQ(primary_pitch, 0);
    EXPECT_EQ(headless_request_count("fill"), 2);
    for (PlatSurface* surface : {display_primary, display_back}) {
        int32_t pitch = 0;
        uint8_t* p = display_lock_surface(surface, &pitch);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(std::count(p, p + pitch * display_height, 0), pitch * display_height);
        display_unlock_surface(surface, p);
    }

    PlatSurface* s = display_create_surface(4, 1, DDSCAPS_SYSTEMMEMORY);
    int32_t pitch = 0;
    uint8_t* p = display_lock_surface(s, &pitch);
    ASSERT_NE(p, nullptr);
    const uint8_t row[4] = {0, 1, 255, 0};
    std::memcpy(p, row, sizeof row);
    display_unlock_surface(s, p);
    display_fill_surface(display_back, 9);
    const PlatRect d{0, 0, 4, 1};
    ASSERT_EQ(plat_surface_blit(display_back, &d, s, nullptr, PLAT_BLIT_KEY_SOURCE), PLAT_OK);
    p = display_lock_back();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::vector<int>(p, p + 4), (std::vector<int>{9, 1, 255, 9}));
    display_unlock_back();
    plat_surface_release(s);
}

}  // namespace
