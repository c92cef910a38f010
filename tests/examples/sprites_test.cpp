// The sprites example on the headless backend: the crowd on its backdrop, more and fewer
// creatures by key, startled creatures where they meet, none over the band at the top, a frozen
// picture with its status clear of the help; without its pictures it stops with 1.
#define main sprites_main
#include "examples/sprites/main.cpp"
#undef main

#include "example_run.h"

namespace {

using SpritesExample = ExampleRun;

// Palette indices of the sprites' art (tools/make_example_assets.cpp).
enum { PANEL = 128, GREEN = 80, BLUE = 96, STARTLED = 112 };

TEST_F(SpritesExample, CrowdMovesMeetsAndAnswersTheKeys) {
    int green = 0, blue = 0, startled = 0, in_band = 0;
    std::vector<int32_t> before_freeze, frozen;
    for (int f = 4; f <= 60; f += 4)
        at(f, [&] {
            green = std::max(green, shown(0, 24, 640, 480, GREEN, GREEN + 15, 2));
            blue = std::max(blue, shown(0, 24, 640, 480, BLUE, BLUE + 15, 2));
            startled = std::max(startled, shown(0, 24, 640, 480, STARTLED, STARTLED + 15, 2));
            in_band += shown(0, 18, 640, 24, GREEN, STARTLED + 15);  // below the text
        });
    hold(5, DIK_UP, 10);    // two more a frame
    hold(20, DIK_DOWN, 4);  // two fewer a frame
    hold(40, DIK_SPACE, 3);
    auto picture = [](std::vector<int32_t>& out) {
        for (int32_t y = 0; y < 480; y += 3)
            for (int32_t x = 0; x < 640; x += 3) out.push_back(headless_visible_index(x, y));
    };
    at(50, [&] { picture(before_freeze); });
    at(58, [&] { picture(frozen); });
    ASSERT_EQ(run(sprites_main, "sprites", 60), 0);
    EXPECT_EQ(example_frame(), 60);

    EXPECT_TRUE(drawn("36 creatures"));
    EXPECT_TRUE(drawn("56 creatures"));
    EXPECT_TRUE(drawn("48 creatures") && drawn(", frozen"));
    EXPECT_GT(green, 2000 / 4);  // about 24 x 24 pixels a creature, every 4th counted
    EXPECT_GT(blue, 2000 / 4);
    EXPECT_GT(startled, 0);
    EXPECT_EQ(before_freeze, frozen);
    EXPECT_GT(shown(0, 0, 640, 2, PANEL, PANEL), 500);  // the band behind the text ...
    EXPECT_EQ(in_band, 0);                              // ... stays clear of the creatures
    // The status, frozen, ends before the help begins (8 pixels a character here).
    std::vector<const HeadlessText*> top;
    for (int32_t i = 0; i < headless_text_count(); ++i)
        if (headless_text_at(i)->y < 24) top.push_back(headless_text_at(i));
    ASSERT_GE(top.size(), 2u);
    const HeadlessText* status = top[top.size() - 2];
    EXPECT_NE(std::strstr(status->text, ", frozen"), nullptr);
    EXPECT_LE(status->x + 8 * static_cast<int32_t>(std::strlen(status->text)), top.back()->x);
}

TEST_F(SpritesExample, WithoutItsPicturesItStopsWithOne) {
    EXPECT_EQ(run(sprites_main, "", 5), 1);
    EXPECT_EQ(example_frame(), 0);
}

}  // namespace
