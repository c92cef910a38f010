// The palette example on the headless backend: the spiral's colours turn while its pixels stay,
// Space stops them, and each of the keys 1 to 9 plays its transition, whose end shows on the
// screen before the colours come back.
#define main palette_main
#include "examples/palette/main.cpp"
#undef main

#include "example_run.h"

namespace {

using PaletteExample = ExampleRun;

TEST_F(PaletteExample, ColoursTurnWhileThePixelsStayUntilSpace) {
    int32_t index[4] = {};
    uint32_t rgb[4] = {};
    for (int i = 0; i < 4; ++i)
        at(10 + (i % 2) + (i / 2) * 14, [&, i] {
            index[i] = headless_visible_index(400, 150);
            rgb[i] = headless_visible_rgb(400, 150);
        });
    hold(15, DIK_SPACE, 2);
    ASSERT_EQ(run(palette_main, "palette", 30), 0);
    EXPECT_EQ(index[0], index[1]);  // frames 10 and 11: the same pixel, another colour
    EXPECT_NE(rgb[0], rgb[1]);
    EXPECT_EQ(index[2], index[3]);  // frames 24 and 25, stopped: the same colour
    EXPECT_EQ(rgb[2], rgb[3]);
}

bool near(uint32_t rgb, uint32_t want, int off) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = (rgb >> shift) & 0xFF, b = (want >> shift) & 0xFF;
        if (a - b > off || b - a > off) return false;
    }
    return true;
}

TEST_F(PaletteExample, EachKeyPlaysItsTransitionAndTheColoursComeBack) {
    // What the screen shows at the end of each transition, before the colours come back. The fade
    // to black leaves bright components at up to 15; the dissolve misses about 2 % of the places.
    const struct {
        uint32_t colour;
        int off;
    } ends[9] = {{0x000000, 15}, {0xFFFFFF, 0}, {0x000000, 0}, {0x000000, 0}, {0x000000, 0},
                 {0x000000, 0},  {0x0000FF, 0}, {0xFF0000, 0}, {0x00FF00, 0}};
    for (int kind = 0; kind < 9; ++kind) {
        headless_reset();
        bool ended = false;
        each_reading = [&](uint32_t) {
            int matching = 0;
            for (int32_t y = 30; y < 480; y += 60)
                for (int32_t x = 20; x < 640; x += 80)
                    matching += near(headless_visible_rgb(x, y), ends[kind].colour, ends[kind].off);
            ended = ended || matching >= 60;  // of 64 places
        };
        hold(2, KEY_1 + kind, 2);
        ASSERT_EQ(run(palette_main, "palette", 6), 0);
        EXPECT_TRUE(ended) << kTransitions[kind];
        EXPECT_FALSE(near(headless_visible_rgb(400, 150), ends[kind].colour, 40)) << kTransitions[kind];
        EXPECT_NE(headless_visible_index(400, 150), 0) << kTransitions[kind];
    }
}

}  // namespace
