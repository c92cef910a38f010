// The SDL backend on a real SDL video driver: the picture presented through the palette,
// text in the chosen entry, palette changes shown without a flip, and no display at all.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "display/display.h"
#include "imaging/clock.h"
#include "imaging/text.h"
#include "imaging/transition.h"
#include "input/joystick.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/status.h"
#include "platform/window.h"

namespace {

class SdlDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(plat_window_create("Zarn Game Console"), PLAT_OK) << plat_error_text();
        ASSERT_EQ(display_init(640, 480, 8), 1) << plat_error_text();
    }
    void TearDown() override {
        display_shutdown();
        plat_window_destroy();
    }
};

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t argb(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

TEST_F(SdlDisplay, PresentsThePictureThroughThePalette) {
    uint8_t* p = display_lock_back();
    ASSERT_NE(p, nullptr);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) p[y * back_pitch + x] = static_cast<uint8_t>(x < 320 ? 63 : 191);
    display_unlock_back();
    ASSERT_EQ(text_draw_indexed("SCORE 12", 20, 20, 255, display_back), 1);
    ASSERT_EQ(display_flip(), 1);
    std::vector<uint32_t> frame(640 * 480);
    ASSERT_EQ(sdl_backend_read_frame(frame.data(), 640, 480), 1);
    EXPECT_EQ(frame[100 * 640 + 100], argb(252, 0, 0));
    EXPECT_EQ(frame[100 * 640 + 500], argb(0, 0, 252));
    int text_pixels = 0;
    for (int y = 15; y < 45; ++y)
        for (int x = 15; x < 140; ++x) text_pixels += frame[y * 640 + x] == argb(252, 252, 252);
    EXPECT_GT(text_pixels, 40);  // glyphs drawn in entry 255 ...
    EXPECT_EQ(frame[16 * 640 + 16], argb(252, 0, 0));  // ... and the background left alone

    // What the renderer made of it, scaled to the window with 4:3 kept.
    int32_t w = 0, h = 0;
    ASSERT_EQ(sdl_backend_window_size(&w, &h), 1);
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    if (sdl_backend_read_renderer(out.data(), w, h)) {
        const int32_t scale_w = h * 4 / 3 <= w ? h * 4 / 3 : w;
        const int32_t left = (w - scale_w) / 2;
        EXPECT_EQ(out[static_cast<size_t>(h / 2) * w + left + scale_w / 8] | 0xFF000000u, argb(252, 0, 0));
        EXPECT_EQ(out[static_cast<size_t>(h / 2) * w + left + scale_w * 7 / 8] | 0xFF000000u, argb(0, 0, 252));
        if (left > 0) {
            EXPECT_EQ(out[static_cast<size_t>(h / 2) * w + left / 2] | 0xFF000000u, argb(0, 0, 0));
        }
    }
}

TEST_F(SdlDisplay, PaletteChangeAloneChangesThePresentedPicture) {
    display_fill_surface(display_back, 100);
    ASSERT_EQ(display_flip(), 1);
    std::vector<uint32_t> frame(640 * 480);
    ASSERT_EQ(sdl_backend_read_frame(frame.data(), 640, 480), 1);
    EXPECT_EQ(frame[0], argb(0, 4 * 36, 0));
    PaletteEntry orange{250, 120, 10, 4};
    ASSERT_EQ(plat_palette_set_entries(display_palette, 100, 1, &orange), PLAT_OK);
    ASSERT_EQ(sdl_backend_read_frame(frame.data(), 640, 480), 1);
    EXPECT_EQ(frame[640 * 479 + 639], argb(250, 120, 10));
}

TEST_F(SdlDisplay, KeyboardAndMessagesWork) {
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    EXPECT_EQ(keyboard_read(), 1);
    PlatMessage m{};
    ASSERT_EQ(plat_message_take(&m), 1);
    EXPECT_EQ(m.kind, PLAT_MSG_CREATE);
    plat_post_quit(0);
    while (plat_message_take(&m) && m.kind != PLAT_MSG_QUIT) {
    }
    EXPECT_EQ(m.kind, PLAT_MSG_QUIT);
    plat_cursor_show(0);
    input_shutdown();
}

TEST_F(SdlDisplay, FadeToBlackShowsWithoutAFlip) {
    display_fill_surface(display_back, 100);
    ASSERT_EQ(display_flip(), 1);
    screen_transition(TRANSITION_FADE_TO_BLACK, nullptr, 0);
    std::vector<uint32_t> frame(640 * 480);
    ASSERT_EQ(sdl_backend_read_frame(frame.data(), 640, 480), 1);
    EXPECT_EQ(frame[240 * 640 + 320], argb(0, 0, 0));
    EXPECT_EQ(palette_entries[100].peGreen, 0);
}

TEST_F(SdlDisplay, MouseReadsAndAbsentJoystickIsRefused) {
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(mouse_init(), 1);
    EXPECT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_read(), 1);
    EXPECT_EQ(mouse_state.lZ, 0);
    // No joystick is attached where the tests run (when one is, it must read).
    const int found = joystick_init(-100, 100, -100, 100);
    EXPECT_EQ(joystick_read(), found);
    if (found) {
        EXPECT_GE(joystick_state.lX, -100);
        EXPECT_LE(joystick_state.lX, 100);
    }
    input_shutdown();
    EXPECT_EQ(mouse_device, nullptr);
    EXPECT_EQ(joystick_device, nullptr);
    EXPECT_EQ(mouse_read(), 0);
}

// Under X the pointer is moved by xdotool and the motion read back through the mouse snapshot.
TEST_F(SdlDisplay, MouseMotionFromTheDesktop) {
    const char* driver = sdl_backend_video_driver();
    if (std::string(driver) != "x11" || std::system("command -v xdotool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs X11 and xdotool";
    ASSERT_EQ(std::system("xdotool mousemove 200 200"), 0);
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(mouse_init(), 1);
    for (int i = 0; i < 20; ++i) {  // let the absolute move arrive and be read away
        mouse_read();
        pause_ms(10);
    }
    ASSERT_EQ(std::system("xdotool mousemove_relative -- 30 -20"), 0);
    int32_t dx = 0, dy = 0;
    for (int i = 0; i < 100 && (dx != 30 || dy != -20); ++i) {
        ASSERT_EQ(mouse_read(), 1);
        dx += mouse_state.lX;
        dy += mouse_state.lY;
        pause_ms(10);
    }
    EXPECT_EQ(dx, 30);
    EXPECT_EQ(dy, -20);
    input_shutdown();
}

TEST(NoDisplay, WindowAndDisplayRefuseAtOnce) {
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
        const char* v = std::getenv(var);
        if (v && *v) GTEST_SKIP() << var << " is set";
    }
    auto start = std::chrono::steady_clock::now();
    EXPECT_NE(plat_window_create("Zarn Game Console"), PLAT_OK);
    EXPECT_STRNE(plat_error_text(), "");
    EXPECT_EQ(display_init(640, 480, 8), 0);
    display_shutdown();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace

namespace {

// The frame clock on the real counter: a wait never ends before its time has passed, however
// late in its millisecond the stamp fell.
TEST(SdlClock, WaitNeverEndsEarly) {
    for (int i = 0; i < 15; ++i) {
        const auto start = std::chrono::steady_clock::now();
        clock_start();
        clock_wait(7);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(7));
        // Start the next stamp somewhere else within a millisecond.
        const auto spin = std::chrono::steady_clock::now() + std::chrono::microseconds(137 * (i % 7));
        while (std::chrono::steady_clock::now() < spin) {
        }
    }
}

}  // namespace
