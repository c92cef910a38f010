// The sound board on the headless backend: the five sounds in rows, played once and looping,
// stopped, duplicated and deleted, with volume, pan and frequency changed by keys; each row's
// status as sound_status gives it, and the looping sound heard in the mixed output; without its
// sounds it stops with 1.
#define main sound_board_main
#include "examples/sound_board/main.cpp"
#undef main

#include "example_run.h"

namespace {

using SoundBoardExample = ExampleRun;

int32_t status_at(int row) { return headless_visible_index(203, 88 + row * 26); }

TEST_F(SoundBoardExample, EveryKeyDoesWhatTheBoardSays) {
    int32_t looping = -1, playing = -1, pan_mark = -1, bar_385 = -1, bar_395 = -1, voices = 0, loudest = 0;
    hold(2, KEY_L, 2);  // row 0, the chime, loops
    at(6, [&] {
        looping = status_at(0);
        voices = headless_audio_voices();
        int16_t out[2 * 512];
        headless_audio_pull(out, 512);
        for (int16_t v : out) loudest = std::max(loudest, std::abs(int(v)));
    });
    hold(8, DIK_DOWN, 2);  // row 1, the drum
    hold(12, DIK_SPACE, 2);
    at(16, [&] { playing = status_at(1); });
    hold(18, KEY_PAGE_UP, 1);  // one frame: held on, a setting steps again every sixth frame
    hold(22, DIK_LEFT, 1);
    hold(26, DIK_Z, 1);
    at(30, [&] {
        pan_mark = headless_visible_index(475, 110);
        bar_385 = headless_visible_index(385, 110);
        bar_395 = headless_visible_index(395, 110);
    });
    hold(32, KEY_D, 2);
    at(36, [&] { EXPECT_EQ(sound_table[5].state, 1); });
    hold(38, KEY_DELETE, 2);
    hold(42, DIK_UP, 2);
    hold(46, KEY_S, 2);
    ASSERT_EQ(run(sound_board_main, "sound-board", 52), 0);

    EXPECT_EQ(looping, BLUE + 63);
    EXPECT_GE(voices, 1);
    EXPECT_GT(loudest, 1000);
    EXPECT_EQ(playing, GREEN + 63);
    EXPECT_TRUE(drawn("11681 Hz", true));  // 11025 a semitone up
    EXPECT_EQ(pan_mark, GREY + 63);        // a tenth of the way to the left
    EXPECT_EQ(bar_385, GREEN + 50);        // 90 of 100: the bar ends at 390
    EXPECT_EQ(bar_395, GREY + 12);
    EXPECT_TRUE(drawn("drum.wav copy"));
    EXPECT_EQ(status_at(0), GREY + 24);  // the chime stopped
    EXPECT_EQ(sound_table[1].state, 0);  // the drum's slot, deleted, is free again
    EXPECT_EQ(sound_table[1].buffer, nullptr);
}

// Without a sound device it runs silently; without its sounds (the data folder holds none) it
// stops with 1, with or without a device.
TEST_F(SoundBoardExample, WithoutADeviceItRunsSilentlyWithoutItsSoundsItStops) {
    const struct {
        const char* folder;
        bool device;
        int code;
    } cases[] = {{"sound-board", false, 0}, {"", true, 1}, {"", false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + (c.device ? " with a device" : " without a device"));
        reset_all();
        if (!c.device) headless_refuse("sound", -1);
        ASSERT_EQ(run(sound_board_main, c.folder, 5), c.code);
        EXPECT_EQ(drawn("no sound device"), c.code == 0);
        EXPECT_FALSE(drawn("chime.wav"));
    }
}

}  // namespace
