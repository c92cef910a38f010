// Sprites between creation and drawing: animation, motion at the clip rectangle, setters and
// the hit tests. Records only; no surfaces are needed.
#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "display/display.h"
#include "headless_fixture.h"
#include "locked_surface.h"
#include "sprites/bob.h"

namespace {

BOB sprite(int32_t x, int32_t y, int32_t w, int32_t h, int32_t attributes, int32_t frames = 6) {
    BOB b{};
    b.status = 1;
    b.x = x;
    b.y = y;
    b.width = w;
    b.height = h;
    b.attributes = attributes;
    b.frame_count = frames;
    return b;
}

std::vector<int32_t> frames_over(BOB& b, int calls) {
    std::vector<int32_t> seen;
    for (int i = 0; i < calls; ++i) {
        EXPECT_EQ(bob_animate(&b), 1);
        seen.push_back(b.frame);
    }
    return seen;
}

TEST(BobAnimate, CycleAndStill) {
    BOB b = sprite(0, 0, 8, 8, BOB_CYCLE);
    bob_set_anim_speed(&b, 2);
    EXPECT_EQ(frames_over(b, 12), (std::vector<int32_t>{0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 0}));
    BOB fast = sprite(0, 0, 8, 8, BOB_CYCLE);  // ticks_per_step 0 steps on every call
    EXPECT_EQ(frames_over(fast, 7), (std::vector<int32_t>{1, 2, 3, 4, 5, 0, 1}));
    BOB still = sprite(0, 0, 8, 8, BOB_STILL | BOB_CYCLE | BOB_SCRIPTED);
    still.frame = 4;
    EXPECT_EQ(frames_over(still, 3), (std::vector<int32_t>{0, 0, 0}));
    BOB none = sprite(0, 0, 8, 8, 0);
    none.frame = 3;
    EXPECT_EQ(frames_over(none, 2), (std::vector<int32_t>{3, 3}));
    EXPECT_EQ(bob_animate(nullptr), 0);
}

// The first step after selecting shows the second entry; play-once stops on the last entry.
TEST(BobAnimate, SequencesLoopOrPlayOnce) {
    const int32_t list[] = {3, 4, 5};
    BOB loop = sprite(0, 0, 8, 8, BOB_SCRIPTED);
    ASSERT_EQ(bob_add_sequence(&loop, 2, 3, list), 1);
    EXPECT_EQ(loop.sequences[2][3], -1);
    bob_select_sequence(&loop, 2);
    EXPECT_EQ(frames_over(loop, 7), (std::vector<int32_t>{4, 5, 3, 4, 5, 3, 4}));

    BOB once = sprite(0, 0, 8, 8, BOB_SCRIPTED | BOB_PLAY_ONCE);
    ASSERT_EQ(bob_add_sequence(&once, 0, 3, list), 1);
    bob_select_sequence(&once, 0);
    bob_animate(&once);
    bob_animate(&once);
    EXPECT_EQ(once.anim_done, 0);
    bob_animate(&once);
    EXPECT_EQ(once.anim_done, 1);
    EXPECT_EQ(once.frame, 5);
    EXPECT_EQ(frames_over(once, 3), (std::vector<int32_t>{5, 5, 5}));
    bob_select_sequence(&once, 0);  // restarts the position, keeps anim_done
    EXPECT_EQ(once.anim_done, 1);
    EXPECT_EQ(frames_over(once, 2), (std::vector<int32_t>{4, 5}));

    // A sequence replaced by a shorter one while far along: the end marker is found, not passed.
    const int32_t two[] = {7, 8};
    ASSERT_EQ(bob_add_sequence(&loop, 2, 2, two), 1);
    loop.seq_pos = 2;
    EXPECT_EQ(frames_over(loop, 3), (std::vector<int32_t>{7, 8, 7}));

    // Slots and lists the sprite cannot use are refused; an unset slot is not read.
    EXPECT_EQ(bob_add_sequence(&loop, 16, 3, list), 0);
    EXPECT_EQ(bob_add_sequence(&loop, -1, 3, list), 0);
    EXPECT_EQ(bob_add_sequence(&loop, 1, 0, list), 0);
    EXPECT_EQ(bob_add_sequence(&loop, 1, 3, nullptr), 0);
    bob_select_sequence(&loop, 5);
    EXPECT_EQ(bob_animate(&loop), 0);
    bob_select_sequence(&loop, 99);
    EXPECT_EQ(bob_animate(&loop), 0);
    bob_destroy(&loop);
    bob_destroy(&once);
}

// A clone reads the arrays it borrowed for as long as its owner lives, whatever the owner puts
// in their slots; each sprite frees the arrays it allocated, and never a borrowed one (the leak
// checker and the address checker of the sanitizer build watch both).
TEST(BobSequences, ReplacedArraysOutliveTheClonesAndEachSpriteFreesItsOwn) {
    const int32_t first[] = {1, 2, 3}, second[] = {4, 5}, third[] = {0, 5, 4};
    BOB owner = sprite(0, 0, 8, 8, BOB_SCRIPTED), clone{}, grandchild{};
    ASSERT_EQ(bob_add_sequence(&owner, 0, 3, first), 1);
    ASSERT_EQ(bob_add_sequence(&owner, 1, 3, first), 1);
    ASSERT_EQ(bob_clone(&owner, &clone), 1);
    ASSERT_EQ(bob_add_sequence(&owner, 0, 2, second), 1);
    bob_select_sequence(&clone, 0);
    EXPECT_EQ(frames_over(clone, 4), (std::vector<int32_t>{2, 3, 1, 2}));

    // The clone's own arrays: one over a borrowed slot, one it replaces after being cloned itself.
    ASSERT_EQ(bob_add_sequence(&clone, 1, 2, second), 1);
    ASSERT_EQ(bob_add_sequence(&clone, 2, 3, third), 1);
    ASSERT_EQ(bob_clone(&clone, &grandchild), 1);
    ASSERT_EQ(bob_add_sequence(&clone, 2, 2, second), 1);
    bob_select_sequence(&grandchild, 2);
    EXPECT_EQ(frames_over(grandchild, 4), (std::vector<int32_t>{5, 4, 0, 5}));
    EXPECT_EQ(bob_destroy(&grandchild), 1);
    EXPECT_EQ(bob_destroy(&clone), 1);

    bob_select_sequence(&owner, 1);
    EXPECT_EQ(frames_over(owner, 3), (std::vector<int32_t>{2, 3, 1}));
    bob_select_sequence(&owner, 0);
    EXPECT_EQ(frames_over(owner, 2), (std::vector<int32_t>{5, 4}));
    // Cloned onto itself a sprite would borrow from itself and never release anything.
    EXPECT_EQ(bob_clone(&owner, &owner), 0);
    EXPECT_FALSE(owner.attributes & BOB_BORROWED);
    EXPECT_EQ(bob_destroy(&owner), 1);
}

// Each setter writes its own fields and nothing else (the edges only through the position).
TEST(BobSetters, EachChangesItsOwnFieldsOnly) {
    BOB start = sprite(10, 20, 32, 24, BOB_SHOWN | BOB_SCRIPTED);
    start.frame = 3;
    start.tick = 2;
    start.seq_pos = 1;
    start.sequence = 4;
    start.ticks_per_step = 5;
    start.anim_done = 1;
    start.vx = 6;
    start.vy = 7;
    start.left = start.right = start.top = start.bottom = -9;
    auto fields = [](const BOB& b) {
        return std::vector<int32_t>{b.status,      b.anim_done, b.attributes, b.x,       b.y,
                                    b.vx,          b.vy,        b.width,      b.height,  b.frame,
                                    b.frame_count, b.sequence,  b.tick,       b.seq_pos, b.ticks_per_step,
                                    b.left,        b.right,     b.top,        b.bottom};
    };
    struct Case {
        const char* name;
        int (*call)(BOB*);
        void (*change)(BOB&);
    };
    const Case cases[] = {
        {"anim speed", [](BOB* b) { return bob_set_anim_speed(b, 9); }, [](BOB& b) { b.ticks_per_step = 9; }},
        {"select", [](BOB* b) { return bob_select_sequence(b, 2); }, [](BOB& b) { b.sequence = 2, b.seq_pos = 0; }},
        {"velocity", [](BOB* b) { return bob_set_velocity(b, -1, INT_MIN); },
         [](BOB& b) { b.vx = -1, b.vy = INT_MIN; }},
        {"position", [](BOB* b) { return bob_set_position(b, 100, 200); },
         [](BOB& b) { b.x = b.left = 100, b.right = 132, b.y = b.top = 200, b.bottom = 224; }},
        {"hide", [](BOB* b) { return bob_hide(b); }, [](BOB& b) { b.attributes = BOB_SCRIPTED; }},
        {"show", [](BOB* b) { return b->attributes &= ~BOB_SHOWN, bob_show(b); }, [](BOB&) {}},
    };
    for (const Case& c : cases) {
        BOB b = start, want = start;
        EXPECT_EQ(c.call(&b), 1) << c.name;
        c.change(want);
        EXPECT_EQ(fields(b), fields(want)) << c.name;
    }
}

TEST(BobMove, WrapsOnlyOnceOutsideAndReboundsWithoutCorrecting) {
    BOB w = sprite(636, 100, 32, 32, BOB_WRAPS);
    bob_set_velocity(&w, 5, 0);
    bob_move(&w);
    EXPECT_EQ(w.x, -32);
    EXPECT_EQ(w.left, -32);
    w.x = -30;
    bob_set_velocity(&w, -5, 0);
    bob_move(&w);
    EXPECT_EQ(w.x, 639);
    w.y = 475;
    bob_set_velocity(&w, 0, 4);
    bob_move(&w);
    EXPECT_EQ(w.y, 479);  // still on the last row
    bob_move(&w);
    EXPECT_EQ(w.y, -32);

    BOB r = sprite(605, 10, 32, 32, BOB_REBOUND);
    bob_set_velocity(&r, 5, -20);
    bob_move(&r);
    EXPECT_EQ(r.x, 610);
    EXPECT_EQ(r.vx, -5);
    EXPECT_EQ(r.y, -10);
    EXPECT_EQ(r.vy, 20);
    EXPECT_EQ(r.right, 642);

    BOB both = sprite(636, 0, 32, 32, BOB_WRAPS | BOB_REBOUND);
    bob_set_velocity(&both, 5, 0);
    bob_move(&both);
    EXPECT_EQ(both.x, -32);
    EXPECT_EQ(both.vx, 5);

    BOB free_flying = sprite(630, 0, 32, 32, 0);
    bob_set_velocity(&free_flying, 50, 0);
    bob_move(&free_flying);
    EXPECT_EQ(free_flying.x, 680);

    // Positions at the ends of the int range wrap around rather than overflowing.
    BOB edge = sprite(2147483647, -2147483647 - 1, 32, 32, BOB_REBOUND);
    bob_set_velocity(&edge, 1, -2147483647 - 1);
    EXPECT_EQ(bob_move(&edge), 1);
    EXPECT_EQ(edge.x, -2147483647 - 1);
    EXPECT_EQ(bob_move(nullptr), 0);
}

TEST(BobMove, OnlyCreateMoveAndSetPositionRefreshTheEdges) {
    BOB b = sprite(0, 0, 32, 32, 0);
    bob_set_position(&b, 10, 20);
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.right, 42);
    EXPECT_EQ(b.top, 20);
    EXPECT_EQ(b.bottom, 52);
    bob_set_velocity(&b, 3, 4);
    b.x = 500;
    bob_hide(&b);
    bob_show(&b);
    bob_set_anim_speed(&b, 3);
    EXPECT_EQ(b.left, 10);
    EXPECT_EQ(b.attributes, BOB_SHOWN);
    bob_move(&b);
    EXPECT_EQ(b.left, 503);
    EXPECT_EQ(b.bottom, 56);
    EXPECT_EQ(bob_set_position(nullptr, 0, 0), 0);
    EXPECT_EQ(bob_set_velocity(nullptr, 0, 0), 0);
    EXPECT_EQ(bob_hide(nullptr), 0);
    EXPECT_EQ(bob_show(nullptr), 0);
    EXPECT_EQ(bob_set_anim_speed(nullptr, 1), 0);
    EXPECT_EQ(bob_select_sequence(nullptr, 0), 0);
    EXPECT_EQ(bob_add_sequence(nullptr, 0, 1, &b.x), 0);
}

// Boxes of three eighths either side, anchored at the corner; touching is not overlapping.
TEST(BobCollide, OverlapRuleWithArithmeticShifts) {
    BOB a = sprite(100, 50, 32, 32, 0), b = sprite(123, 50, 32, 32, 0);
    EXPECT_EQ(bob_collide(&a, &b), 1);
    b.x = 124;
    EXPECT_EQ(bob_collide(&a, &b), 0);
    b.x = 100 - 23;
    EXPECT_EQ(bob_collide(&a, &b), 1);
    EXPECT_EQ(bob_collide(&a, nullptr), 0);
    EXPECT_EQ(rect_collide(0, 0, 8, 8, 5, 0, 8, 8), 1);
    EXPECT_EQ(rect_collide(0, 0, 8, 8, 6, 0, 8, 8), 0);
    // A 24 x 104 racquet (9, 39) against a 16 x 16 ball (6, 6): vertical reach 45.
    EXPECT_EQ(rect_collide(0, 0, 24, 104, 0, 44, 16, 16), 1);
    EXPECT_EQ(rect_collide(0, 0, 24, 104, 0, 77, 16, 16), 1);
    EXPECT_EQ(rect_collide(0, 0, 24, 104, 0, 78, 16, 16), 0);
    // Negative sizes shift arithmetically: -8 gives -4 - (-1) = -3, so nothing overlaps.
    EXPECT_EQ(rect_collide(0, 0, -8, -8, 0, 0, -8, -8), 0);
    EXPECT_EQ(rect_collide(2147483647, 0, 2147483647, 8, -2147483647 - 1, 0, 8, 8), 0);
}

using RegionHasColour = Headless;

TEST_F(RegionHasColour, ClampsToTheScreenAndTakesTheRangeInclusive) {
    std::vector<uint8_t> screen(static_cast<size_t>(display_width) * display_height, 0);
    const int32_t pitch = display_width;
    auto at = [&](int x, int y) -> uint8_t& { return screen[static_cast<size_t>(y) * pitch + x]; };
    at(639, 11) = 7;  // one row below the rectangle
    EXPECT_EQ(region_has_colour(0, 0, 700, 10, 5, 9, screen.data(), pitch), 0);
    at(639, 10) = 4;
    at(0, 0) = 10;
    EXPECT_EQ(region_has_colour(0, 0, 700, 10, 5, 9, screen.data(), pitch), 0);
    at(639, 10) = 5;
    EXPECT_EQ(region_has_colour(0, 0, 700, 10, 5, 9, screen.data(), pitch), 1);
    at(639, 10) = 9;
    EXPECT_EQ(region_has_colour(0, 0, 700, 10, 5, 9, screen.data(), pitch), 1);
    EXPECT_EQ(region_has_colour(-50, -50, 2000, 2000, 9, 9, screen.data(), pitch), 1);
    EXPECT_EQ(region_has_colour(100, 0, 50, 479, 0, 255, screen.data(), pitch), 0);  // corners not ordered
    EXPECT_EQ(region_has_colour(0, 20, 639, 10, 0, 255, screen.data(), pitch), 0);
    EXPECT_EQ(region_has_colour(0, 0, 639, 479, 9, 5, screen.data(), pitch), 0);      // low above high
    EXPECT_EQ(region_has_colour(700, 500, 900, 900, 0, 0, screen.data(), pitch), 1);  // clamped to (639, 479)
    EXPECT_EQ(region_has_colour(0, 0, 10, 10, 0, 0, nullptr, pitch), 0);

    // A display without pixels: nothing is read, though the memory around the pointer matches.
    const int32_t width = display_width, height = display_height;
    std::vector<uint8_t> full(3 * 640, 9);
    for (auto [w, h] : {std::pair{640, 0}, std::pair{0, 480}, std::pair{0, 0}}) {
        display_width = w;
        display_height = h;
        EXPECT_EQ(region_has_colour(0, 0, 5, 5, 9, 9, full.data() + 640, 640), 0) << w << " x " << h;
    }
    display_width = width;
    display_height = height;

    // Rows are no wider than the pitch (with pitch 1 only column 0 is read; the byte at (15, 0)
    // lies outside the square at any pitch), and a pitch below 1 reads nothing.
    at(15, 0) = 200;
    for (int32_t short_pitch : {639, 1})
        EXPECT_EQ(region_has_colour(0, 0, 9, 9, 200, 200, screen.data(), short_pitch), 0) << short_pitch;
    for (int32_t bad : {0, -1, -640, INT32_MIN})
        EXPECT_EQ(region_has_colour(0, 0, 639, 479, 0, 255, screen.data(), bad), 0) << bad;

    // In a locked surface smaller than the screen only the surface is read, from the pointer on.
    open_display();
    LockedSurface small(32, 16, 4, 2);
    small.base[15 * small.pitch + 31] = 9;  // the surface's last pixel
    EXPECT_EQ(region_has_colour(0, 0, 639, 479, 9, 9, small.start(), small.pitch), 1);
    EXPECT_EQ(region_has_colour(0, 0, 26, 479, 9, 9, small.start(), small.pitch), 0);
}

}  // namespace
