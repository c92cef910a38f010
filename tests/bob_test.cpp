// Sprites: the record, frame surfaces, frames cut from pictures, and keyed drawing onto the
// headless back surface, read back pixel by pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "display/display.h"
#include "headless_fixture.h"
#include "imaging/log.h"
#include "picture_files.h"
#include "platform/status.h"
#include "sprites/bob.h"

namespace {

constexpr uint8_t BACKGROUND = 200;

// An 8-bit picture held in a BmpFile, pixels set by the test.
struct Picture {
    BmpFile bmp{};
    Picture(int32_t w, int32_t h, uint8_t fill) {
        bmp.info_header.biWidth = w;
        bmp.info_header.biHeight = h;
        bmp.info_header.biBitCount = 8;
        bmp.buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(w) * h));
        std::memset(bmp.buffer, fill, static_cast<size_t>(w) * h);
    }
    ~Picture() { bmp_unload(&bmp); }
    uint8_t& at(int32_t x, int32_t y) { return bmp.buffer[y * bmp.info_header.biWidth + x]; }
};

class Sprites : public Headless {
protected:
    BOB bob{};
    void SetUp() override {
        Headless::SetUp();
        open_display();
        display_fill_surface(display_back, BACKGROUND);
    }
    void TearDown() override {
        bob_destroy(&bob);
        Headless::TearDown();
    }
    static int back_at(int32_t x, int32_t y) {
        int32_t pitch = 0;
        uint8_t* p = display_lock_surface(display_back, &pitch);
        if (!p) return -1;
        const int v = p[y * pitch + x];
        display_unlock_surface(display_back, p);
        return v;
    }
    // A w x h sprite of one frame whose pixel (x, y) is 1 + (x + 3y) mod 250, except 0 at (1, 1).
    void numbered_sprite(int32_t x, int32_t y, int32_t w, int32_t h) {
        Picture pic(w, h, 0);
        for (int32_t r = 0; r < h; ++r)
            for (int32_t c = 0; c < w; ++c) pic.at(c, r) = value(c, r);
        ASSERT_EQ(bob_create(&bob, x, y, w, h, 1, BOB_SHOWN, DDSCAPS_SYSTEMMEMORY), 1);
        ASSERT_EQ(bob_load_frame(&bob, &pic.bmp, 0, 0, 0, 1), 1);
    }
    static uint8_t value(int32_t x, int32_t y) {
        return x == 1 && y == 1 ? 0 : static_cast<uint8_t>(1 + (x + 3 * y) % 250);
    }
};

TEST_F(Sprites, CreationWidensRowsToEightAndLogsIt) {
    ScratchDir dir;
    const std::string log_name = (dir.path / "log.txt").string();
    ASSERT_EQ(log_open(log_name.c_str()), 1);
    struct Case {
        int32_t width, extra, surface_width;
    };
    for (Case c : {Case{32, 0, 32}, Case{30, 2, 32}, Case{1, 7, 8}}) {
        BOB b{};
        ASSERT_EQ(bob_create(&b, 10, 20, c.width, 5, 3, BOB_SHOWN | BOB_CYCLE, DDSCAPS_SYSTEMMEMORY), 1);
        EXPECT_EQ(b.row_extra, c.extra);
        int32_t w = 0, h = 0;
        ASSERT_EQ(plat_surface_size(b.frames[2], &w, &h), PLAT_OK);
        EXPECT_EQ(w, c.surface_width);
        EXPECT_EQ(h, 5);
        EXPECT_EQ(b.frames[3], nullptr);
        EXPECT_EQ(b.right, 10 + c.width);
        EXPECT_EQ(b.bottom, 25);
        bob_destroy(&b);
        EXPECT_EQ(b.frames[0], nullptr);
    }
    log_close();
    std::ifstream in(log_name);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("\nCreate BOB 0\nCreate BOB 2\nCreate BOB 7"), std::string::npos);

    BOB none{};
    EXPECT_EQ(bob_create(&none, 0, 0, 8, 8, 0, 0, DDSCAPS_SYSTEMMEMORY), 1);
    EXPECT_EQ(none.frames[0], nullptr);
    EXPECT_EQ(bob_create(&none, 0, 0, 8, 8, BOB_MAX_FRAMES + 1, 0, DDSCAPS_SYSTEMMEMORY), 0);
    EXPECT_EQ(bob_create(&none, 0, 0, 8, 8, -1, 0, DDSCAPS_SYSTEMMEMORY), 0);
    EXPECT_EQ(bob_create(nullptr, 0, 0, 8, 8, 1, 0, DDSCAPS_SYSTEMMEMORY), 0);
    headless_refuse("surface", 1);
    EXPECT_EQ(bob_create(&bob, 0, 0, 8, 8, 2, 0, DDSCAPS_SYSTEMMEMORY), 0);
    EXPECT_EQ(bob.frames[0], nullptr);

    // Every attribute bit is kept but the borrowing one: the frames made are the sprite's own, so
    // bob_destroy releases them.
    BOB all_bits{};
    ASSERT_EQ(bob_create(&all_bits, 0, 0, 8, 8, 1, -1, DDSCAPS_SYSTEMMEMORY), 1);
    EXPECT_EQ(all_bits.attributes, ~int32_t{BOB_BORROWED});
    bob_destroy(&all_bits);
}

// Creation starts a used record afresh; frames made before a refused one stay for bob_destroy.
TEST_F(Sprites, CreatingAgainStartsAfreshAndKeepsTheFramesMadeBeforeARefusal) {
    struct Case {
        int32_t passing;  // surfaces made before the refusal
        int result;
    };
    for (Case c : {Case{3, 1}, Case{2, 0}, Case{0, 0}}) {
        bob.frame = bob.tick = bob.seq_pos = bob.sequence = bob.ticks_per_step = bob.anim_done = 7;
        bob.left = bob.right = bob.top = bob.bottom = bob.vx = bob.vy = -7;
        headless_refuse_after("surface", c.passing, 1);
        EXPECT_EQ(bob_create(&bob, 10, 20, 30, 40, 3, BOB_CYCLE, DDSCAPS_SYSTEMMEMORY), c.result) << c.passing;
        headless_allow("surface");
        const std::vector<int32_t> got{bob.frame,          bob.tick,      bob.seq_pos, bob.sequence,
                                       bob.ticks_per_step, bob.anim_done, bob.vx,      bob.vy,
                                       bob.left,           bob.right,     bob.top,     bob.bottom};
        EXPECT_EQ(got, (std::vector<int32_t>{0, 0, 0, 0, 0, 0, 0, 0, 10, 40, 20, 60})) << c.passing;
        for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(bob.frames[i] != nullptr, i < c.passing) << c.passing << ": " << i;
        EXPECT_EQ(bob_destroy(&bob), 1);
    }
}

TEST_F(Sprites, FramesAreCutFromCellsAtTheWidenedStride) {
    Picture pic(120, 80, 0);
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 0; x < 120; ++x) pic.at(x, y) = static_cast<uint8_t>(1 + (x * 7 + y) % 250);
    ASSERT_EQ(bob_create(&bob, 0, 0, 30, 32, 3, BOB_SHOWN, DDSCAPS_SYSTEMMEMORY), 1);
    // Cell (2, 1) of 30 x 32 cells starts at column 63, row 34; cell (0, 0) at (1, 1).
    ASSERT_EQ(bob_load_frame(&bob, &pic.bmp, 0, 2, 1, 0), 1);
    ASSERT_EQ(bob_load_frame(&bob, &pic.bmp, 1, 0, 0, 0), 1);
    ASSERT_EQ(bob_load_frame(&bob, &pic.bmp, 2, 0, 0, 1), 1);
    EXPECT_TRUE(bob.attributes & BOB_HAS_IMAGE);
    struct Expect {
        int frame, x0, y0;
    };
    for (Expect e : {Expect{0, 63, 34}, Expect{1, 1, 1}, Expect{2, 0, 0}}) {
        int32_t pitch = 0;
        uint8_t* p = display_lock_surface(bob.frames[e.frame], &pitch);
        ASSERT_NE(p, nullptr);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 30; ++x) ASSERT_EQ(p[y * 32 + x], pic.at(e.x0 + x, e.y0 + y)) << e.frame;
        display_unlock_surface(bob.frames[e.frame], p);
    }

    // Rectangles outside the picture, frames that were never made, refused locks: nothing copied.
    bob.attributes &= ~BOB_HAS_IMAGE;
    EXPECT_EQ(bob_load_frame(&bob, &pic.bmp, 0, 3, 0, 0), 0);  // columns 94..123
    EXPECT_EQ(bob_load_frame(&bob, &pic.bmp, 0, 0, 2, 0), 0);  // rows 67..98
    EXPECT_EQ(bob_load_frame(&bob, &pic.bmp, 0, 91, 0, 1), 0);
    EXPECT_EQ(bob_load_frame(&bob, &pic.bmp, 0, -1, 0, 1), 0);
    EXPECT_EQ(bob_load_frame(&bob, &pic.bmp, 3, 0, 0, 1), 0);
    EXPECT_EQ(bob_load_frame(&bob, &pic.bmp, BOB_MAX_FRAMES, 0, 0, 1), 0);
    bob.height = 33;  // the record's fields are the caller's: grown past its frames' surfaces
    EXPECT_EQ(bob_load_frame(&bob, &pic.bmp, 0, 0, 0, 1), 0);
    bob.height = 32;
    headless_refuse("lock", 1);
    EXPECT_EQ(bob_load_frame(&bob, &pic.bmp, 0, 0, 0, 1), 0);
    EXPECT_EQ(bob_load_frame(nullptr, &pic.bmp, 0, 0, 0, 1), 0);
    EXPECT_FALSE(bob.attributes & BOB_HAS_IMAGE);
    int32_t pitch = 0;
    uint8_t* p = display_lock_surface(bob.frames[0], &pitch);
    EXPECT_EQ(p[0], pic.at(63, 34));  // frame 0 still holds cell (2, 1)
    display_unlock_surface(bob.frames[0], p);
}

// The blit ends one pixel short: the frame's last column and row are never drawn.
TEST_F(Sprites, DrawingSkipsIndexZeroAndTheLastColumnAndRow) {
    numbered_sprite(100, 50, 32, 32);
    ASSERT_EQ(bob_draw(&bob, display_back), 1);
    for (int y = 45; y < 90; ++y)
        for (int x = 95; x < 140; ++x) {
            const bool drawn = x >= 100 && x <= 130 && y >= 50 && y <= 80;
            const uint8_t v = drawn ? value(x - 100, y - 50) : 0;
            ASSERT_EQ(back_at(x, y), drawn && v ? v : BACKGROUND) << x << "," << y;
        }

    // Hidden: 1, nothing drawn. Locked destination: 0, nothing drawn.
    display_fill_surface(display_back, BACKGROUND);
    bob_hide(&bob);
    EXPECT_EQ(bob_draw(&bob, display_back), 1);
    EXPECT_EQ(back_at(110, 60), BACKGROUND);
    bob_show(&bob);
    ASSERT_NE(display_lock_back(), nullptr);
    EXPECT_EQ(bob_draw(&bob, display_back), 0);
    display_unlock_back();
    EXPECT_EQ(back_at(110, 60), BACKGROUND);
    bob.frame = 1;  // never made
    EXPECT_EQ(bob_draw(&bob, display_back), 0);
    bob.frame = -1;
    EXPECT_EQ(bob_draw(&bob, display_back), 0);
    EXPECT_EQ(bob_draw(nullptr, display_back), 0);
    EXPECT_EQ(bob_draw_scaled(nullptr, 4, 4, display_back), 0);
}

TEST_F(Sprites, TheClipperCutsSpritesAtTheScreenEdge) {
    numbered_sprite(620, 470, 32, 32);
    // Without a clipper a sprite across the edge is refused whole.
    EXPECT_EQ(bob_draw(&bob, display_back), 0);
    EXPECT_EQ(back_at(625, 475), BACKGROUND);

    const PlatRect screen{0, 0, display_width, display_height};
    display_clipper = display_attach_clipper(display_back, 1, &screen);
    ASSERT_NE(display_clipper, nullptr);
    ASSERT_EQ(bob_draw(&bob, display_back), 1);
    for (int y = 460; y < 480; ++y)
        for (int x = 610; x < 640; ++x) {
            const bool drawn = x >= 620 && y >= 470;
            const uint8_t v = drawn ? value(x - 620, y - 470) : 0;
            ASSERT_EQ(back_at(x, y), drawn && v ? v : BACKGROUND) << x << "," << y;
        }
    // Across the top left corner, and far away in every direction.
    bob_set_position(&bob, -20, -25);
    ASSERT_EQ(bob_draw(&bob, display_back), 1);
    EXPECT_EQ(back_at(0, 0), value(20, 25));
    EXPECT_EQ(back_at(10, 5), value(30, 30));
    EXPECT_EQ(back_at(11, 5), BACKGROUND);  // column 31 of the frame is not drawn
    for (int32_t far : {-2147483647 - 1, 2147483647}) {
        bob_set_position(&bob, far, far);
        EXPECT_EQ(bob_draw(&bob, display_back), 1);
        EXPECT_EQ(bob_draw_scaled(&bob, 2147483647, 2147483647, display_back), 1);
    }
}

// 24 x 104 drawn at 20 x 60: 23 x 103 source pixels over 19 x 59 screen pixels, nearest pixel.
TEST_F(Sprites, ScaledDrawingStretchesTheShortenedRectangle) {
    numbered_sprite(300, 200, 24, 104);
    ASSERT_EQ(bob_draw_scaled(&bob, 20, 60, display_back), 1);
    for (int y = 195; y < 265; ++y)
        for (int x = 295; x < 325; ++x) {
            const bool drawn = x >= 300 && x < 319 && y >= 200 && y < 259;
            const uint8_t v = drawn ? value((x - 300) * 23 / 19, (y - 200) * 103 / 59) : 0;
            ASSERT_EQ(back_at(x, y), drawn && v ? v : BACKGROUND) << x << "," << y;
        }
    EXPECT_EQ(bob.width, 24);
    EXPECT_EQ(bob.right, 324);
}

// A stretch nearly 2^31 wide shows the columns of its exact scale, and a sprite drawn onto its own
// frame (keyed, or plain after a refused key) copies the frame as it was before the blit.
TEST_F(Sprites, FarStretchesAndDrawingOntoItsOwnFrameAreExact) {
    const PlatRect screen{0, 0, display_width, display_height};
    display_clipper = display_attach_clipper(display_back, 1, &screen);
    ASSERT_NE(display_clipper, nullptr);
    numbered_sprite(-(1 << 30) + 100, 100, 33, 8);
    const int64_t drawn = INT32_MAX - 1, span = drawn - 1;  // 32 source columns over 2^31 - 3
    ASSERT_EQ(bob_draw_scaled(&bob, static_cast<int32_t>(drawn), 8, display_back), 1);
    for (int x = 0; x < 640; ++x) {
        const uint8_t v = value(static_cast<int32_t>((x - int64_t{bob.x}) * 32 / span), 3);
        ASSERT_EQ(back_at(x, 103), v ? v : BACKGROUND) << x;
    }
    bob_destroy(&bob);

    for (bool keyed : {true, false}) {
        if (!keyed) headless_refuse("color_key", 1);
        numbered_sprite(1, 1, 8, 8);
        ASSERT_EQ(bob_draw(&bob, bob.frames[0]), 1);
        int32_t pitch = 0;
        uint8_t* p = display_lock_surface(bob.frames[0], &pitch);
        ASSERT_NE(p, nullptr);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool drawn_here = x >= 1 && y >= 1 && (!keyed || value(x - 1, y - 1) != 0);
                const uint8_t want = drawn_here ? value(x - 1, y - 1) : value(x, y);
                EXPECT_EQ(p[y * pitch + x], want) << keyed << " " << x << "," << y;
            }
        display_unlock_surface(bob.frames[0], p);
        bob_destroy(&bob);
    }
}

// The ball: six 16 x 16 frames cut from a row of cells framed by lines of colour 255.
TEST_F(Sprites, SixBallFramesFromACellPicture) {
    Picture pic(6 * 17 + 1, 18, 255);
    for (int cell = 0; cell < 6; ++cell)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool ball = (x - 7) * (x - 7) + (y - 7) * (y - 7) <= 36 + cell;
                pic.at(cell * 17 + 1 + x, y + 1) = ball ? static_cast<uint8_t>(10 * (cell + 1) + (x + y) % 5) : 0;
            }
    ASSERT_EQ(bob_create(&bob, 0, 0, 16, 16, 6, BOB_SHOWN | BOB_CYCLE, DDSCAPS_SYSTEMMEMORY), 1);
    for (int cell = 0; cell < 6; ++cell) ASSERT_EQ(bob_load_frame(&bob, &pic.bmp, cell, cell, 0, 0), 1);
    for (int cell = 0; cell < 6; ++cell) {
        display_fill_surface(display_back, BACKGROUND);
        bob_set_position(&bob, 40 * cell, 100);
        EXPECT_EQ(bob.frame, cell);
        ASSERT_EQ(bob_draw(&bob, display_back), 1);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint8_t v = x < 15 && y < 15 ? pic.at(cell * 17 + 1 + x, y + 1) : 0;
                ASSERT_EQ(back_at(40 * cell + x, 100 + y), v ? v : BACKGROUND) << cell << ":" << x << "," << y;
            }
        bob_animate(&bob);
    }
    EXPECT_EQ(bob.frame, 0);
}

TEST_F(Sprites, ACloneBorrowsAndItsDestructionLeavesTheSource) {
    numbered_sprite(10, 10, 8, 8);
    const int32_t seq[] = {0};
    ASSERT_EQ(bob_add_sequence(&bob, 3, 1, seq), 1);
    BOB copy{};
    ASSERT_EQ(bob_clone(&bob, &copy), 1);
    EXPECT_TRUE(copy.attributes & BOB_BORROWED);
    EXPECT_FALSE(bob.attributes & BOB_BORROWED);
    EXPECT_EQ(copy.frames[0], bob.frames[0]);
    bob_set_position(&copy, 50, 50);
    ASSERT_EQ(bob_draw(&copy, display_back), 1);
    EXPECT_EQ(bob_destroy(&copy), 1);
    EXPECT_EQ(copy.frames[0], nullptr);
    EXPECT_EQ(copy.sequences[3], nullptr);
    ASSERT_EQ(bob_draw(&bob, display_back), 1);
    EXPECT_EQ(back_at(10, 10), value(0, 0));
    EXPECT_EQ(back_at(50, 50), value(0, 0));
    EXPECT_EQ(bob.sequences[3][0], 0);
    EXPECT_EQ(bob_clone(nullptr, &copy), 0);
    EXPECT_EQ(bob_clone(&bob, nullptr), 0);
    EXPECT_EQ(bob_destroy(nullptr), 0);
    // The owner releases frames and sequences (the leak checker of the sanitizer build watches);
    // a second destruction releases nothing twice.
    EXPECT_EQ(bob_destroy(&bob), 1);
    EXPECT_EQ(bob_destroy(&bob), 1);
}

}  // namespace
