// The drawing example on the headless backend: the bar and line of rectangles at the top, stars
// above the horizon, the floor below it, the shape's edges, the size gauge following Up, edges
// cut when the shape outgrows the screen, and Escape ending it early.
#define main drawing_main
#include "examples/drawing/main.cpp"
#undef main

#include "example_run.h"

namespace {

using DrawingExample = ExampleRun;

TEST_F(DrawingExample, PixelsLinesAndRectanglesWhereTheyBelong) {
    int gauge_before = 0, stars = 0, floor = 0, edges = 0, cut_marks = 0;
    at(3, [&] {
        gauge_before = shown(620, 380, 632, 395, RED + 40, RED + 40);
        stars = shown(0, 30, 640, 290, GREY, GREY + 63);
        floor = shown(0, 301, 640, 480, BLUE, BLUE + 63);
        edges = shown(0, 30, 640, 480, GREEN + 63, GREEN + 63);
    });
    hold(5, DIK_UP, 80);  // 4 a frame, up to the largest size
    for (int f = 60; f <= 90; f += 2)
        at(f, [&] { cut_marks = std::max(cut_marks, shown(100, 6, 300, 18, RED + 63, RED + 63)); });
    ASSERT_EQ(run(drawing_main, "", 90), 0);
    EXPECT_EQ(example_frame(), 90);

    EXPECT_EQ(shown(0, 0, 640, 3, GREY + 10, GREY + 10), 640 * 3);      // rect_fill(0, 0, 640, 24)
    EXPECT_EQ(shown(0, 24, 640, 27, GREEN + 40, GREEN + 40), 640 * 2);  // rows 24 and 25 only
    EXPECT_EQ(gauge_before, 0);
    EXPECT_EQ(shown(620, 380, 632, 395, RED + 40, RED + 40), 12 * 15);
    EXPECT_GT(stars, 100);
    EXPECT_GT(floor, 5000);
    EXPECT_GT(edges, 300);
    EXPECT_GT(cut_marks, 0);
}

TEST_F(DrawingExample, EscapeEndsItEarly) {
    hold(10, DIK_ESCAPE, 5);
    ASSERT_EQ(run(drawing_main, "", 100), 0);
    EXPECT_EQ(example_frame(), 10);
}

}  // namespace
