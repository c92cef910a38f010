// Stand-alone images: creation, cutting from pictures, and drawing opaque, transparent and cut
// to the display, into plain buffers and into the headless back surface.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "display/display.h"
#include "headless_fixture.h"
#include "imaging/image.h"
#include "locked_surface.h"
#include "platform/status.h"

namespace {

// An 8-bit picture whose pixel (x, y) is 1 + (x + 3y) mod 250.
struct Picture {
    BmpFile bmp{};
    Picture(int32_t w, int32_t h) {
        bmp.info_header.biWidth = w;
        bmp.info_header.biHeight = h;
        bmp.info_header.biBitCount = 8;
        bmp.buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(w) * h));
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) bmp.buffer[y * w + x] = value(x, y);
    }
    ~Picture() { bmp_unload(&bmp); }
    static uint8_t value(int32_t x, int32_t y) { return static_cast<uint8_t>(1 + (x + 3 * y) % 250); }
};

struct Image {
    PixelImage image{};
    ~Image() { image_destroy(&image); }
};

TEST(PixelImage, CreateDestroyAndDrawingBeforeLoading) {
    Image a;
    ASSERT_EQ(image_create(&a.image, 3, 4, 5, 6), 1);
    EXPECT_EQ(a.image.state, 1);
    EXPECT_EQ(a.image.attr, 0);
    EXPECT_EQ(a.image.num_bytes, 30);
    for (int i = 0; i < 30; ++i) ASSERT_EQ(a.image.buffer[i], 0);
    std::vector<uint8_t> dest(64 * 64, 9);
    EXPECT_EQ(image_draw(&a.image, dest.data(), 64, 0), 0);
    EXPECT_EQ(dest[4 * 64 + 3], 9);

    // Created again (the old pixels are the caller's to release first): not loaded.
    a.image.attr |= IMAGE_ATTR_LOADED;
    uint8_t* old = a.image.buffer;
    ASSERT_EQ(image_create(&a.image, 3, 4, 5, 6), 1);
    std::free(old);
    EXPECT_EQ(a.image.attr, 0);
    EXPECT_EQ(image_draw(&a.image, dest.data(), 64, 0), 0);

    PixelImage none{};
    EXPECT_EQ(image_create(&none, 0, 0, 0, 5), 0);
    EXPECT_EQ(image_create(&none, 0, 0, 65536, 65536), 0);  // more than fits an int
    EXPECT_EQ(image_create(nullptr, 0, 0, 1, 1), 0);
    EXPECT_EQ(none.buffer, nullptr);

    EXPECT_EQ(image_destroy(&a.image), 1);
    EXPECT_EQ(a.image.buffer, nullptr);
    EXPECT_EQ(a.image.state, 0);
    EXPECT_EQ(a.image.width, 0);
    EXPECT_EQ(image_destroy(&a.image), 0);
    EXPECT_EQ(image_destroy(nullptr), 0);
}

TEST(PixelImage, CellsPixelsAndRectanglesOutsideThePicture) {
    Picture pic(120, 80);
    Image a;
    ASSERT_EQ(image_create(&a.image, 0, 0, 32, 32), 1);
    // Cell (2, 1) of 32 x 32 cells starts at column 67, row 34; cell (0, 0) at (1, 1).
    ASSERT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 2, 1, LOAD_FROM_CELL), 1);
    EXPECT_EQ(a.image.attr & IMAGE_ATTR_LOADED, IMAGE_ATTR_LOADED);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) ASSERT_EQ(a.image.buffer[y * 32 + x], Picture::value(67 + x, 34 + y));
    ASSERT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 0, 0, LOAD_FROM_CELL), 1);
    EXPECT_EQ(a.image.buffer[0], Picture::value(1, 1));
    ASSERT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 88, 48, LOAD_FROM_PIXEL), 1);  // the last block
    EXPECT_EQ(a.image.buffer[31 * 32 + 31], Picture::value(119, 79));

    // Outside the picture: refused, nothing copied.
    const std::vector<uint8_t> held(a.image.buffer, a.image.buffer + 32 * 32);
    EXPECT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 89, 0, LOAD_FROM_PIXEL), 0);
    EXPECT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 0, 49, LOAD_FROM_PIXEL), 0);
    EXPECT_EQ(image_load_from_bmp(&a.image, &pic.bmp, -1, 0, LOAD_FROM_PIXEL), 0);
    EXPECT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 3, 0, LOAD_FROM_CELL), 0);  // cell 3 ends at 132
    EXPECT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 0x7FFFFFFF, 0, LOAD_FROM_CELL), 0);
    EXPECT_EQ(std::vector<uint8_t>(a.image.buffer, a.image.buffer + 32 * 32), held);

    // Not an 8-bit picture, no pixels, no image.
    pic.bmp.info_header.biBitCount = 16;
    EXPECT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 0, 0, LOAD_FROM_PIXEL), 0);
    pic.bmp.info_header.biBitCount = 8;
    BmpFile empty{};
    empty.info_header = pic.bmp.info_header;
    EXPECT_EQ(image_load_from_bmp(&a.image, &empty, 0, 0, LOAD_FROM_PIXEL), 0);
    EXPECT_EQ(image_load_from_bmp(nullptr, &pic.bmp, 0, 0, LOAD_FROM_PIXEL), 0);
}

TEST(PixelImage, OpaqueAndTransparentDrawingWithAWidePitch) {
    Image a;
    ASSERT_EQ(image_create(&a.image, 2, 1, 4, 3), 1);
    const uint8_t pixels[12] = {1, 0, 2, 3, 0, 0, 4, 5, 6, 7, 0, 8};
    std::copy(pixels, pixels + 12, a.image.buffer);
    a.image.attr |= IMAGE_ATTR_LOADED;

    const int32_t pitch = 10;
    std::vector<uint8_t> dest(pitch * 5, 99);
    ASSERT_EQ(image_draw(&a.image, dest.data(), pitch, 1), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < pitch; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
            const uint8_t v = inside ? pixels[(y - 1) * 4 + (x - 2)] : 0;
            ASSERT_EQ(dest[y * pitch + x], inside && v ? v : 99) << x << "," << y;
        }
    ASSERT_EQ(image_draw(&a.image, dest.data(), pitch, 0), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < pitch; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 1 && y < 4;
            ASSERT_EQ(dest[y * pitch + x], inside ? pixels[(y - 1) * 4 + (x - 2)] : 99) << x << "," << y;
        }
    EXPECT_EQ(image_draw(&a.image, nullptr, pitch, 0), 0);
    EXPECT_EQ(image_draw(&a.image, dest.data(), 0, 0), 0);
}

// A destination exactly the display's size: everything outside it is cut, never written.
TEST(PixelImage, DrawingIsCutToTheDisplay) {
    Image a;
    ASSERT_EQ(image_create(&a.image, 0, 0, 50, 40), 1);
    for (int i = 0; i < 50 * 40; ++i) a.image.buffer[i] = static_cast<uint8_t>(1 + i % 200);
    a.image.attr |= IMAGE_ATTR_LOADED;
    const int32_t w = display_width, h = display_height;
    struct Spot {
        int32_t x, y;
    };
    for (Spot s : {Spot{-20, -10}, Spot{620, 460}, Spot{-49, 470}, Spot{639, -39}, Spot{640, 0}, Spot{0, 480},
                   Spot{-50, 0}, Spot{-2000000000, 2000000000}}) {
        for (int transparent : {0, 1}) {
            std::vector<uint8_t> dest(static_cast<size_t>(w) * h, 0);
            a.image.x = s.x;
            a.image.y = s.y;
            ASSERT_EQ(image_draw(&a.image, dest.data(), w, transparent), 1);
            for (int y = 0; y < h; y += 1)
                for (int x = 0; x < w; x += 1) {
                    const int64_t ix = int64_t{x} - s.x, iy = int64_t{y} - s.y;
                    const bool inside = ix >= 0 && ix < 50 && iy >= 0 && iy < 40;
                    ASSERT_EQ(dest[y * w + x], inside ? a.image.buffer[iy * 50 + ix] : 0) << s.x << "," << s.y;
                }
        }
    }
    // A pitch narrower than the display: rows are cut to the pitch.
    std::vector<uint8_t> narrow(static_cast<size_t>(16) * h, 0);
    a.image.x = 5;
    a.image.y = 0;
    ASSERT_EQ(image_draw(&a.image, narrow.data(), 16, 0), 1);
    EXPECT_EQ(narrow[15], a.image.buffer[10]);
    EXPECT_EQ(narrow[16 + 5], a.image.buffer[50]);  // the image's row 1 at the pitch
    EXPECT_EQ(narrow[16], 0);
}

using ImageOnScreen = Headless;

// Into a locked surface smaller than the image, or from a pixel inside it, the image is cut to
// what remains of the surface.
TEST_F(ImageOnScreen, DrawingIsCutToTheLockedSurface) {
    open_display();
    Image a;
    ASSERT_EQ(image_create(&a.image, 0, 0, 64, 64), 1);
    for (int i = 0; i < 64 * 64; ++i) a.image.buffer[i] = static_cast<uint8_t>(1 + i % 200);
    a.image.attr |= IMAGE_ATTR_LOADED;
    struct Case {
        int32_t w, h, column, row, x, y;
    };
    const Case cases[] = {{32, 32, 0, 0, 0, 0},
                          {32, 32, 0, 0, -40, 10},
                          {13, 7, 0, 0, 0, 0},
                          {40, 30, 8, 5, -3, -2},
                          {640, 480, 600, 450, 0, 0}};
    for (const Case& k : cases)
        for (int transparent : {0, 1}) {
            LockedSurface s(k.w, k.h, k.column, k.row);
            a.image.x = k.x;
            a.image.y = k.y;
            ASSERT_EQ(image_draw(&a.image, s.start(), s.pitch, transparent), 1);
            for (int32_t y = 0; y < s.room_h(); ++y)
                for (int32_t x = 0; x < s.room_w(); ++x) {
                    const int32_t ix = x - k.x, iy = y - k.y;
                    const bool inside = ix >= 0 && ix < 64 && iy >= 0 && iy < 64;
                    ASSERT_EQ(s.at(x, y), inside ? a.image.buffer[iy * 64 + ix] : 7)
                        << k.w << "x" << k.h << " at " << x << "," << y;
                }
            EXPECT_TRUE(s.outside_untouched()) << k.w << "x" << k.h;
        }
}

TEST_F(ImageOnScreen, FullScreenImageDrawnIntoTheLockedBackSurface) {
    open_display();
    Picture pic(640, 480);
    Image a;
    ASSERT_EQ(image_create(&a.image, 0, 0, 640, 480), 1);
    ASSERT_EQ(image_load_from_bmp(&a.image, &pic.bmp, 0, 0, LOAD_FROM_PIXEL), 1);
    ASSERT_NE(display_lock_back(), nullptr);
    ASSERT_EQ(image_draw(&a.image, back_pixels, back_pitch, 0), 1);
    display_unlock_back();
    ASSERT_EQ(display_flip(), 1);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) ASSERT_EQ(headless_visible_index(x, y), Picture::value(x, y)) << x << "," << y;
}

}  // namespace
