// Screen transitions: the fades checked entry by entry, the wipes step by step with the clock
// scripted, the dissolve against a buffer with guard bytes.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "guarded_picture.h"
#include "headless_fixture.h"
#include "imaging/clock.h"
#include "imaging/palette.h"
#include "imaging/transition.h"
#include "locked_surface.h"

namespace {

using Transition = Headless;

// Each pause reads the counter three times when it moves 12 a reading: the stamp, one wait that
// finds the 12 ms gone, and the reading clock_wait returns. So a pause starts at every 36.
constexpr uint32_t kTicksPerPause = 36;

void script_clock() {
    headless_set_ticks(0);
    headless_set_tick_step(12);
}

uint32_t pauses_taken() { return clock_now() / kTicksPerPause; }

void set_all(PaletteEntry e) {
    PaletteEntry all[256];
    for (PaletteEntry& p : all) p = e;
    ASSERT_EQ(palette_set_all(all), 1);
}

TEST_F(Transition, FadesEndWhereTheyShouldAndKeepTheFlags) {
    open_display();
    script_clock();
    set_all(PaletteEntry{255, 128, 3, 4});
    const PaletteEntry white{255, 255, 255, 4};
    ASSERT_EQ(palette_set_entry(0, &white), 1);
    screen_transition(TRANSITION_FADE_TO_BLACK, nullptr, 0);
    EXPECT_EQ(pauses_taken(), 80u);
    EXPECT_EQ(palette_entries[0].peRed, 255);  // entry 0 is left alone
    EXPECT_EQ(palette_entries[0].peBlue, 255);
    for (int i = 1; i < 256; ++i) {
        ASSERT_EQ(palette_entries[i].peRed, 15) << i;
        ASSERT_EQ(palette_entries[i].peGreen, 0) << i;
        ASSERT_EQ(palette_entries[i].peBlue, 0) << i;
        ASSERT_EQ(palette_entries[i].peFlags, 4) << i;
    }
    // The screen shows the faded palette without a flip.
    EXPECT_EQ(headless_visible_rgb(100, 100), 0xFFFFFFu);  // colour 0 everywhere

    script_clock();
    set_all(PaletteEntry{0, 0, 0, 9});
    screen_transition(TRANSITION_FADE_TO_WHITE, nullptr, 0);
    EXPECT_EQ(pauses_taken(), 64u);
    for (const PaletteEntry& e : palette_entries) {
        ASSERT_EQ(e.peRed + e.peGreen + e.peBlue, 3 * 255);
        ASSERT_EQ(e.peFlags, 9);
    }
    EXPECT_EQ(headless_visible_rgb(0, 0), 0xFFFFFFu);

    screen_transition(TRANSITION_FADE_TO_RED, nullptr, 0);
    for (const PaletteEntry& e : palette_entries) {
        ASSERT_EQ(e.peRed, 255);
        ASSERT_EQ(e.peGreen, 0);
        ASSERT_EQ(e.peBlue, 0);
    }
    set_all(PaletteEntry{200, 100, 50, 0});
    screen_transition(TRANSITION_FADE_TO_BLUE, nullptr, 0);
    EXPECT_EQ(palette_entries[17].peRed + palette_entries[17].peGreen, 0);
    EXPECT_EQ(palette_entries[17].peBlue, 255);
    screen_transition(TRANSITION_FADE_TO_GREEN, nullptr, 0);
    EXPECT_EQ(palette_entries[200].peRed + palette_entries[200].peBlue, 0);
    EXPECT_EQ(palette_entries[200].peGreen, 255);

    // Unknown kinds change nothing and take no time.
    PaletteEntry before[256];
    palette_copy_out(before);
    script_clock();
    for (int32_t kind : {9, -1, 1000}) screen_transition(kind, nullptr, 0);
    EXPECT_EQ(clock_now(), 0u);
    EXPECT_EQ(0, std::memcmp(before, palette_entries, sizeof before));
}

// The first step of each fade, entry by entry, from a palette that meets both clamps.
struct FirstStep {
    PaletteEntry seen[256];
    static void observe(uint32_t now, void* self) {
        if (now == 0) palette_copy_out(static_cast<FirstStep*>(self)->seen);  // the first pause
    }
};

TEST_F(Transition, EachFadeStepMovesEveryComponentByItsAmount) {
    open_display();
    struct Fade {
        int32_t kind;
        uint32_t steps;
        int first, red, green, blue;  // 0 for black: above 4 less 3, else 0
    };
    const Fade fades[] = {{TRANSITION_FADE_TO_BLACK, 80, 1, 0, 0, 0},
                          {TRANSITION_FADE_TO_WHITE, 64, 0, 4, 4, 4},
                          {TRANSITION_FADE_TO_BLUE, 64, 0, -4, -4, 6},
                          {TRANSITION_FADE_TO_RED, 64, 0, 6, -4, -4},
                          {TRANSITION_FADE_TO_GREEN, 64, 0, -4, 6, -4}};
    PaletteEntry start[256];
    for (int i = 0; i < 256; ++i)
        start[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i * 37), uint8_t(i % 3)};
    auto step = [](int v, int amount) {
        if (amount == 0) return v > 4 ? v - 3 : 0;
        return v + amount < 0 ? 0 : (v + amount > 255 ? 255 : v + amount);
    };
    for (const Fade& f : fades) {
        ASSERT_EQ(palette_set_all(start), 1);
        FirstStep first{};
        script_clock();
        headless_on_tick(&FirstStep::observe, &first);
        screen_transition(f.kind, nullptr, 0);
        headless_on_tick(nullptr, nullptr);
        EXPECT_EQ(pauses_taken(), f.steps) << "kind " << f.kind;
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry& s = start[i];
            const bool moved = i >= f.first;
            const PaletteEntry e{uint8_t(moved ? step(s.peRed, f.red) : s.peRed),
                                 uint8_t(moved ? step(s.peGreen, f.green) : s.peGreen),
                                 uint8_t(moved ? step(s.peBlue, f.blue) : s.peBlue), s.peFlags};
            ASSERT_EQ(0, std::memcmp(&first.seen[i], &e, sizeof e)) << "kind " << f.kind << " entry " << i;
        }
    }
}

TEST_F(Transition, FadeToBlackLeavesDimComponentsAtZeroAndWorksWithoutADisplay) {
    // Without a display the table still fades; the screen simply is not there.
    script_clock();
    PaletteEntry all[256];
    for (int i = 0; i < 256; ++i) all[i] = PaletteEntry{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    palette_set_all(all);
    screen_transition(TRANSITION_FADE_TO_BLACK, nullptr, 0);
    for (int i = 1; i < 256; ++i) {
        const int expect = i <= 241 ? 0 : i - 240;
        ASSERT_EQ(palette_entries[i].peRed, expect) << i;
    }
}

// The picture the wipes draw on.
struct Screen : GuardedPicture {
    bool column_black(int x) const {
        for (int y = 0; y < kH; ++y)
            if (at(x, y) != 0) return false;
        return true;
    }
    bool row_black(int y) const {
        for (int x = 0; x < kW; ++x)
            if (at(x, y) != 0) return false;
        return true;
    }
};

// Called at every reading of the counter; at the start of each pause, checks that exactly the
// columns and rows of the steps so far are black.
struct WipeWatch {
    const Screen* screen;
    int columns;  // 1: columns close from the sides
    int rows;     // 1: rows close from top and bottom
    int row_steps_max;
    int steps_seen = 0;
    int failures = 0;

    static void observe(uint32_t now, void* self) { static_cast<WipeWatch*>(self)->check(now); }

    void check(uint32_t now) {
        if (now % kTicksPerPause != 0) return;
        const int k = static_cast<int>(now / kTicksPerPause);  // steps drawn so far
        steps_seen = k;
        const Screen& s = *screen;
        const int done_cols = columns ? 2 * k : 0;
        const int done_rows = rows ? 2 * (k < row_steps_max ? k : row_steps_max) : 0;
        for (int x = 0; x < Screen::kW; ++x) {
            const bool closed = x < done_cols || x >= Screen::kW - done_cols;
            // A column still open shows colour 7 on the rows still open.
            if (closed != s.column_black(x) && !(done_rows >= Screen::kH / 2)) ++failures;
        }
        for (int y = 0; y < Screen::kH; ++y) {
            const bool closed = y < done_rows || y >= Screen::kH - done_rows;
            const bool all_closed_by_columns = done_cols >= Screen::kW / 2;
            if (closed != s.row_black(y) && !all_closed_by_columns) ++failures;
        }
    }
};

void run_wipe(int32_t kind, int columns, int rows, int row_steps_max, int expected_steps) {
    Screen s;
    WipeWatch watch{&s, columns, rows, row_steps_max};
    script_clock();
    headless_on_tick(&WipeWatch::observe, &watch);
    screen_transition(kind, s.pixels(), Screen::kPitch);
    headless_on_tick(nullptr, nullptr);
    EXPECT_EQ(watch.failures, 0) << "kind " << kind;
    // The last pause begins before the last step; the check after it is done here.
    EXPECT_EQ(watch.steps_seen + 1, expected_steps) << "kind " << kind;
    EXPECT_EQ(pauses_taken(), uint32_t(expected_steps));
    for (int y = 0; y < Screen::kH; ++y) ASSERT_TRUE(s.row_black(y)) << "kind " << kind << " row " << y;
    EXPECT_TRUE(s.outside_untouched()) << "kind " << kind;
}

TEST_F(Transition, WipesCloseFourLinesAStepFromTheEdges) {
    run_wipe(TRANSITION_CLOSE_SIDES, 1, 0, 0, 160);
    run_wipe(TRANSITION_CLOSE_TOP_BOTTOM, 0, 1, 120, 120);
    // Rows are covered after 120 steps; the columns go on to 160.
    run_wipe(TRANSITION_CLOSE_ALL_SIDES, 1, 1, 120, 160);
}

TEST_F(Transition, WipesNeedABufferWithRoom) {
    open_display();
    Screen s;
    LockedSurface past_a_row(13, 7, 14, 0);  // the start lies past the end of a row
    script_clock();
    screen_transition(TRANSITION_CLOSE_SIDES, nullptr, Screen::kPitch);
    screen_transition(TRANSITION_CLOSE_TOP_BOTTOM, s.pixels(), 0);
    screen_transition(TRANSITION_DISSOLVE, s.pixels(), -Screen::kPitch);
    screen_transition(TRANSITION_CLOSE_ALL_SIDES, past_a_row.start(), past_a_row.pitch);
    EXPECT_EQ(clock_now(), 0u);
    EXPECT_EQ(s.at(0, 0), 7);
    EXPECT_TRUE(past_a_row.outside_untouched());
}

// Into a locked surface smaller than the display, from a pixel inside it: the display's steps,
// every line and pixel cut to what remains of the surface.
TEST_F(Transition, WipesAndTheDissolveAreCutToTheLockedSurface) {
    open_display();
    const struct {
        int32_t kind;
        uint32_t pauses;
    } wipes[] = {{TRANSITION_CLOSE_SIDES, 160}, {TRANSITION_CLOSE_TOP_BOTTOM, 120}, {TRANSITION_CLOSE_ALL_SIDES, 160}};
    for (const auto& k : wipes) {
        LockedSurface s(40, 30, 8, 5);
        script_clock();
        screen_transition(k.kind, s.start(), s.pitch);
        EXPECT_EQ(pauses_taken(), k.pauses) << "kind " << k.kind;
        for (int32_t y = 0; y < s.room_h(); ++y)
            for (int32_t x = 0; x < s.room_w(); ++x) ASSERT_EQ(s.at(x, y), 0) << "kind " << k.kind;
        EXPECT_TRUE(s.outside_untouched()) << "kind " << k.kind;
    }
    LockedSurface s(40, 30, 8, 5);
    std::srand(7);
    screen_transition(TRANSITION_DISSOLVE, s.start(), s.pitch);
    int black = 0;
    for (int32_t y = 0; y < s.room_h(); ++y)
        for (int32_t x = 0; x < s.room_w(); ++x) black += s.at(x, y) == 0;
    EXPECT_GT(black, s.room_w() * s.room_h() * 9 / 10);
    EXPECT_TRUE(s.outside_untouched());
}

TEST_F(Transition, DissolveDrawsTheSeededSequenceAndNothingOutside) {
    Screen s;
    std::srand(2024);
    screen_transition(TRANSITION_DISSOLVE, s.pixels(), Screen::kPitch);
    const int next_after = std::rand();  // shows how many numbers the dissolve took
    EXPECT_TRUE(s.outside_untouched());

    // Replaying the same seeded sequence predicts every pixel: row number first, then column.
    std::vector<uint8_t> expect(size_t(Screen::kW) * Screen::kH, 7);
    std::srand(2024);
    for (int64_t i = 0; i <= 4LL * Screen::kW * Screen::kH; ++i) {
        const int r1 = std::rand();
        const int r2 = std::rand();
        expect[size_t(r1 % Screen::kH) * Screen::kW + size_t(r2 % Screen::kW)] = 0;
    }
    EXPECT_EQ(std::rand(), next_after);  // two numbers for each of the 4 x w x h + 1 places
    int64_t mismatches = 0, untouched = 0;
    for (int y = 0; y < Screen::kH; ++y)
        for (int x = 0; x < Screen::kW; ++x) {
            mismatches += s.at(x, y) != expect[size_t(y) * Screen::kW + size_t(x)];
            untouched += s.at(x, y) != 0;
        }
    EXPECT_EQ(mismatches, 0);
    // 4 x 640 x 480 + 1 random places leave about e^-4 (1.8 %) of the screen as it was.
    EXPECT_LT(untouched, 307200 / 40);
    EXPECT_GT(untouched, 307200 / 80);
}

}  // namespace
