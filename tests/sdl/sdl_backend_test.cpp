// The SDL backend on a real SDL video driver: the picture presented through the palette,
// text in the chosen entry, palette changes and drawing into the primary shown without a flip,
// and no display at all.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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
    EXPECT_GT(text_pixels, 40);                        // glyphs drawn in entry 255 ...
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
    // Each move is made once the X server has moved the pointer (--sync), so its motion is on
    // its way to the program when xdotool returns; on a loaded machine it may still take a while.
    ASSERT_EQ(std::system("xdotool mousemove --sync 200 200"), 0);
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(mouse_init(), 1);
    for (int quiet = 0, i = 0; quiet < 20 && i < 1000; ++i) {  // read the absolute move away
        ASSERT_EQ(mouse_read(), 1);
        quiet = (mouse_state.lX || mouse_state.lY) ? 0 : quiet + 1;
        pause_ms(10);
    }
    ASSERT_EQ(std::system("xdotool mousemove_relative --sync -- 30 -20"), 0);
    int32_t dx = 0, dy = 0;
    for (int i = 0; i < 1000 && (dx != 30 || dy != -20); ++i) {
        ASSERT_EQ(mouse_read(), 1);
        dx += mouse_state.lX;
        dy += mouse_state.lY;
        pause_ms(10);
    }
    EXPECT_EQ(dx, 30);
    EXPECT_EQ(dy, -20);
    input_shutdown();
}

// A screenshot of the whole X screen, taken by ImageMagick's import, as RGB bytes.
struct Screenshot {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
};

bool take_screenshot(const std::string& path, Screenshot* shot) {
    if (std::system(("import -window root -depth 8 ppm:" + path).c_str()) != 0) return false;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int max = 0;
    in >> magic >> shot->w >> shot->h >> max;
    in.get();
    if (!in || magic != "P6" || max != 255 || shot->w <= 0 || shot->h <= 0) return false;
    shot->rgb.resize(static_cast<size_t>(shot->w) * shot->h * 3);
    in.read(reinterpret_cast<char*>(shot->rgb.data()), static_cast<std::streamsize>(shot->rgb.size()));
    return static_cast<bool>(in);
}

// The colour (0xRRGGBB) shown for the picture's pixel (x, y), the 640 x 480 picture being
// scaled onto the screen with its shape kept and centred.
uint32_t shown_at(const Screenshot& s, int x, int y) {
    const double scale = std::min(s.w / 640.0, s.h / 480.0);
    const int sx = static_cast<int>((s.w - 640 * scale) / 2 + (x + 0.5) * scale);
    const int sy = static_cast<int>((s.h - 480 * scale) / 2 + (y + 0.5) * scale);
    const uint8_t* p = &s.rgb[(static_cast<size_t>(sy) * s.w + sx) * 3];
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

bool dark(uint32_t rgb) { return ((rgb >> 16) & 0xFF) < 40 && ((rgb >> 8) & 0xFF) < 40 && (rgb & 0xFF) < 40; }
bool red(uint32_t rgb) { return ((rgb >> 16) & 0xFF) > 200 && ((rgb >> 8) & 0xFF) < 50 && (rgb & 0xFF) < 50; }

// What the wipe's watcher saw: once the picture shown has a band of 100 columns or more (of the
// 320 each side closes), a screenshot is taken at once, from inside the wipe's own wait.
struct WipeWatch {
    std::string path;
    std::vector<uint32_t> frame = std::vector<uint32_t>(640 * 480);
    int band = 0;  // black columns from the left in the picture shown when the screenshot was taken
    int taken = 0;
    Screenshot shot;
};

void watch_wipe(uint32_t, void* context) {
    WipeWatch* w = static_cast<WipeWatch*>(context);
    if (w->taken || !primary_pixels || primary_pixels[240 * primary_pitch + 100] != 0) return;
    if (!sdl_backend_read_frame(w->frame.data(), 640, 480) || w->frame[240 * 640 + 100] != argb(0, 0, 0)) return;
    while (w->band < 640 && w->frame[240 * 640 + w->band] == argb(0, 0, 0)) ++w->band;
    w->taken = take_screenshot(w->path, &w->shot) ? 1 : -1;
}

// The primary surface is the screen: under X, a wipe drawn step by step into the locked primary
// shows on the screen as it goes, and a dissolve drawn into it shows without a flip, also when
// the program then only takes its messages and sleeps, never reading the clock.
TEST_F(SdlDisplay, WipeAndDissolveShowOnTheScreenAsTheyAreDrawn) {
    if (std::string(sdl_backend_video_driver()) != "x11" || std::system("command -v import >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs X11 and ImageMagick's import";
    const std::string stem = ::testing::TempDir() + "zarn_" + std::to_string(getpid());
    display_fill_surface(display_back, 63);  // red
    ASSERT_EQ(display_flip(), 1);
    ASSERT_NE(display_lock_primary(), nullptr);
    WipeWatch watch;
    watch.path = stem + "_wipe_halfway.ppm";
    sdl_backend_on_tick(watch_wipe, &watch);
    screen_transition(TRANSITION_CLOSE_SIDES, primary_pixels, primary_pitch);
    sdl_backend_on_tick(nullptr, nullptr);
    EXPECT_EQ(watch.taken, 1) << "no picture of the wipe a third of the way or more was shown";
    if (watch.taken == 1) {
        EXPECT_GE(watch.band, 100);
        EXPECT_LT(watch.band, 310);
        for (int y : {0, 240, 479}) {
            SCOPED_TRACE(y);
            int left = 0, right = 0;
            while (left < 640 && dark(shown_at(watch.shot, left, y))) ++left;
            while (right < 640 && dark(shown_at(watch.shot, 639 - right, y))) ++right;
            EXPECT_EQ(left, watch.band);
            EXPECT_EQ(right, watch.band);
            int old_picture = 0;
            for (int x = left; x < 640 - right; ++x) old_picture += red(shown_at(watch.shot, x, y));
            EXPECT_EQ(old_picture, 640 - left - right);
        }
    }
    display_unlock_primary();

    display_fill_surface(display_back, 63);
    ASSERT_EQ(display_flip(), 1);
    ASSERT_NE(display_lock_primary(), nullptr);
    std::srand(7);
    screen_transition(TRANSITION_DISSOLVE, primary_pixels, primary_pitch);
    display_unlock_primary();
    // Then only the messages and sleep, never the clock, until the picture is shown (within a
    // refresh; less often where software rendering makes each picture dear).
    int readings = 0;
    sdl_backend_on_tick([](uint32_t, void* n) { ++*static_cast<int*>(n); }, &readings);
    std::vector<uint32_t> frame(640 * 480);
    auto shown_black = [&frame] {
        return sdl_backend_read_frame(frame.data(), 640, 480) ? std::count(frame.begin(), frame.end(), argb(0, 0, 0))
                                                              : 0;
    };
    // On a loaded machine a picture can cost a good part of a second, and the pictures are spaced
    // by their cost: wait by the wall clock, generously.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (PlatMessage m{}; shown_black() < 640 * 480 / 2 && std::chrono::steady_clock::now() < give_up;) {
        while (plat_message_take(&m)) {
        }
        usleep(10000);
    }
    sdl_backend_on_tick(nullptr, nullptr);
    EXPECT_EQ(readings, 0);
    Screenshot last;
    ASSERT_TRUE(take_screenshot(stem + "_dissolve_end.ppm", &last));
    int black = 0, left_red = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            black += dark(shown_at(last, x, y));
            left_red += red(shown_at(last, x, y));
        }
    EXPECT_GT(black, 640 * 480 * 95 / 100);  // about e^-4 of the places are never drawn
    EXPECT_EQ(black + left_red, 640 * 480);
    std::remove(watch.path.c_str());
    std::remove((stem + "_dissolve_end.ppm").c_str());
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
