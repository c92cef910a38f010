// The frame clock, the error log and text output.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "headless_fixture.h"
#include "imaging/clock.h"
#include "imaging/log.h"
#include "imaging/text.h"

namespace {

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        path = std::filesystem::temp_directory_path() /
               ("zarn_log_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

using Clock = Headless;

TEST_F(Clock, WaitOfZeroAndAnOverlongFrameReturnAtOnce) {
    headless_set_ticks(1000);
    headless_set_tick_step(0);  // the counter stands still: any wait that spun would hang
    EXPECT_EQ(clock_start(), 1000u);
    EXPECT_EQ(clock_wait(0), 1000u);
    headless_set_ticks(1025);  // the frame already took 25 ms
    EXPECT_EQ(clock_wait(20), 1025u);
    EXPECT_EQ(clock_start_count, 1000u);  // the wait does not move the stamp
    EXPECT_EQ(clock_start(), 1025u);      // the next frame measures from its own start
}

TEST_F(Clock, WaitSpinsUntilTheTimeHasPassed) {
    headless_set_ticks(500);
    headless_set_tick_step(1);
    clock_start();
    uint32_t now = clock_wait(20);
    EXPECT_GE(now - 500u, 20u);
    EXPECT_LE(now - 500u, 22u);
}

TEST_F(Clock, WaitMeasuresAcrossTheWrap) {
    headless_set_ticks(0xFFFFFFF6u);  // ten before the wrap
    headless_set_tick_step(1);
    EXPECT_EQ(clock_start(), 0xFFFFFFF6u);
    uint32_t now = clock_wait(20);
    EXPECT_GE(now, 10u);  // past the wrap, 20 ms later
    EXPECT_LE(now, 12u);
    EXPECT_EQ(clock_now(), now + 1);
}

// With a finer reading of the counter, the millisecond stamp still decides when a wait ends:
// the finer reading only holds it back for the part of a millisecond by which the stamp fell
// late, and a stamp the caller moved counts as it stands.
TEST_F(Clock, FinerReadingHoldsBackOnlyTheRestOfTheStampsMillisecond) {
    struct Case {
        const char* what;
        int32_t moved_ms;  // added to the stamp after clock_start
        uint32_t want;     // what clock_wait(20) returns
    };
    const Case cases[] = {
        {"own stamp 0.9 ms into its millisecond: held to 20.9 ms", 0, 1021},
        {"stamp moved back 25 ms: the time has passed", -25, 1002},
        {"stamp moved back 10 ms: 20 ms from there, no rest", -10, 1010},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        headless_reset();
        headless_set_ticks(1000);
        headless_set_fine_ticks(900, 10);
        ASSERT_EQ(clock_start(), 1000u);
        clock_start_count += static_cast<uint32_t>(c.moved_ms);
        // When the counter reaches the stamp plus 20 it stands still at the start of that
        // millisecond, and only the finer readings move time on (0.1 ms each).
        uint32_t end = clock_start_count + 20;
        headless_on_tick(
            [](uint32_t now, void* context) {
                if (now != *static_cast<uint32_t*>(context)) return;
                headless_set_ticks(now);
                headless_set_tick_step(0);
                headless_set_fine_ticks(0, 100);
            },
            &end);
        EXPECT_EQ(clock_wait(20), c.want);
    }
}

using Log = Headless;

TEST_F(Log, WritesWithoutALogAreDropped) {
    TempDir dir;
    EXPECT_EQ(log_write("\nnothing %d", 1), 0);
    EXPECT_EQ(log_close(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

TEST_F(Log, OpenWriteCloseAndReplacement) {
    TempDir dir;
    const auto a = dir.path / "a.txt", b = dir.path / "b.txt";
    ASSERT_EQ(log_open(a.string().c_str()), 1);
    EXPECT_EQ(log_write("\nCreate BOB %d", 2), 1);
    ASSERT_EQ(log_open(b.string().c_str()), 1);
    EXPECT_EQ(log_write("\nsecond"), 1);
    EXPECT_EQ(log_close(), 1);
    EXPECT_EQ(slurp(a),
              "\nOpening Error Output File (" + a.string() + "):\n\nCreate BOB 2\nClosing Error Output File.");
    EXPECT_EQ(slurp(b), "\nOpening Error Output File (" + b.string() + "):\n\nsecond\nClosing Error Output File.");
    EXPECT_EQ(log_write(nullptr), 0);
}

// Opening the open log again (by its name or another path to it) closes it first, so the new log
// holds only its own lines, not the old ones written over its start.
TEST_F(Log, ReopeningTheOpenLogStartsItAfresh) {
    TempDir dir;
    const auto a = dir.path / "a.txt";
    for (const auto& again : {a, dir.path / "." / "a.txt"}) {
        SCOPED_TRACE(again.string());
        ASSERT_EQ(log_open(a.string().c_str()), 1);
        EXPECT_EQ(log_write("\nan old line, long enough to reach past the new log's first lines"), 1);
        ASSERT_EQ(log_open(again.string().c_str()), 1);
        EXPECT_EQ(log_write("\nnew"), 1);
        EXPECT_EQ(log_close(), 1);
        EXPECT_EQ(slurp(a), "\nOpening Error Output File (" + again.string() + "):\n\nnew\nClosing Error Output File.");
    }
}

// A file in a missing folder, or a name that is a folder (which exists, but is not the log).
TEST_F(Log, UncreatableFileKeepsTheOldLog) {
    TempDir dir;
    const auto a = dir.path / "a.txt";
    for (const auto& uncreatable : {dir.path / "missing" / "x.txt", dir.path}) {
        SCOPED_TRACE(uncreatable.string());
        ASSERT_EQ(log_open(a.string().c_str()), 1);
        EXPECT_EQ(log_open(uncreatable.string().c_str()), 0);
        EXPECT_EQ(log_write("\nstill here"), 1);
        log_close();
        EXPECT_NE(slurp(a).find("\nstill here\nClosing"), std::string::npos);
    }
    EXPECT_EQ(log_open(nullptr), 0);
}

TEST_F(Log, TextIsCutAt79AndPerCentSignsSurvive) {
    TempDir dir;
    const auto a = dir.path / "a.txt";
    ASSERT_EQ(log_open(a.string().c_str()), 1);
    const std::string header = slurp(a);
    std::string long_text(200, 'x');
    EXPECT_EQ(log_write("%s", long_text.c_str()), 1);
    EXPECT_EQ(log_write("\n%s", "100%d %s %n"), 1);
    log_close();
    const std::string all = slurp(a);
    const std::string body = all.substr(all.find("xxx"));
    EXPECT_EQ(body.substr(0, 80), std::string(79, 'x') + "\n");
    EXPECT_NE(all.find("\n100%d %s %n\nClosing"), std::string::npos);
}

using Text = Headless;

TEST_F(Text, DrawsInTheNearestEntryAndLeavesTheBackgroundAlone) {
    open_display();
    display_fill_surface(display_back, 200);
    ASSERT_EQ(text_draw("Hi", 100, 50, 0x000000FCu, display_back), 1);  // red 252 -> entry 63
    ASSERT_EQ(headless_text_count(), 1);
    EXPECT_STREQ(headless_text_at(0)->text, "Hi");
    EXPECT_EQ(headless_text_at(0)->index, 63);
    ASSERT_EQ(display_flip(), 1);
    EXPECT_EQ(headless_visible_index(101, 51), 63);   // a stroke
    EXPECT_EQ(headless_visible_index(103, 55), 200);  // between strokes
    // Indexed: the colour of entry 191 (blue 252) finds entry 191 again.
    ASSERT_EQ(text_draw_indexed("x", 0, 0, 191, display_back), 1);
    EXPECT_EQ(headless_text_at(1)->index, 191);
    EXPECT_EQ(text_draw_indexed("x", 0, 0, 256, display_back), 0);
    EXPECT_EQ(text_draw_indexed("x", 0, 0, -1, display_back), 0);
}

TEST_F(Text, RefusedOrLockedSurfaceGivesZero) {
    open_display();
    EXPECT_EQ(text_draw("x", 0, 0, 0, nullptr), 0);
    EXPECT_EQ(text_draw(nullptr, 0, 0, 0, display_back), 0);
    headless_refuse("text", 1);
    EXPECT_EQ(text_draw("x", 0, 0, 0, display_back), 0);
    display_lock_back();
    EXPECT_EQ(text_draw("x", 0, 0, 0, display_back), 0);
    display_unlock_back();
    EXPECT_EQ(text_draw("far off", 5000, -5000, 0, display_back), 1);  // cut, never written outside
}

}  // namespace
