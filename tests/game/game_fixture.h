#pragma once
/// \file
/// A fixture that runs the whole game on the headless backend from its generated data folder:
/// window, start-up, frames with scripted keys, then shutdown.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "display/display.h"
#include "game/assets.h"
#include "game/game.h"
#include "game/play.h"
#include "game/states.h"
#include "input/keyboard.h"
#include "platform/headless/headless.h"
#include "platform/window.h"
#include "sound/sound.h"

class GameTest : public ::testing::Test {
protected:
    /// Keeps the working directory, starts clean in the game's data folder and, unless a test
    /// said otherwise by start_game_, opens the window and starts the game.
    void SetUp() override {
        char cwd[PATH_MAX];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        old_cwd_ = cwd;
        reset_all();
        ASSERT_EQ(chdir(ZARN_GAME_DATA), 0);
        if (start_game_) {
            ASSERT_EQ(plat_window_create(GAME_WINDOW_TITLE), 0);
            ASSERT_EQ(game_init(nullptr), 1) << game_startup_error;
        }
    }
    /// Shuts the game down, cleans up and returns to the working directory SetUp found.
    void TearDown() override {
        reset_all();
        ASSERT_EQ(chdir(old_cwd_.c_str()), 0);
    }

    /// Shuts the game and the window down and puts every global back as at program start.
    static void reset_all() {
        game_shutdown(nullptr);
        plat_window_destroy();
        headless_reset();
        game_states_reset();
        // Each test starts the sound system afresh, as a new run of the program would.
        sound_first_init = 1;
        sound_object = nullptr;
        display_width = 640;
        display_height = 480;
        display_bpp = 8;
    }

    /// Runs n whole frames with the keys as they are held.
    static void frames(int n) {
        for (int i = 0; i < n; ++i) game_frame(nullptr);
    }
    /// Holds the key down from the next frame until let_go.
    static void hold(int key) { headless_key_set(key, 1); }
    /// Lets the key go.
    static void let_go(int key) { headless_key_set(key, 0); }
    /// Presses a key for one frame, then lets it go for one frame (which frees its latch).
    static void tap(int key) {
        hold(key);
        frames(1);
        let_go(key);
        frames(1);
    }
    /// From the main menu into a new game: the left player waits to serve.
    static void start_game() {
        tap(DIK_RETURN);
        frames(1);
        ASSERT_EQ(game_state, GAME_LEFT_SERVES);
    }
    /// Puts the ball at (x, y) with its edges brought up to date, moving by (vx, vy).
    static void place_ball(int32_t x, int32_t y, int32_t vx, int32_t vy) {
        bob_set_position(&ball, x, y);
        bob_set_velocity(&ball, vx, vy);
    }

    bool start_game_ = true;
    std::string old_cwd_;
};
