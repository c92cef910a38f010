#pragma once
/// \file
/// A test fixture that starts every test from a clean headless platform and display.
#include <gtest/gtest.h>

#include "display/display.h"
#include "imaging/log.h"
#include "input/keyboard.h"
#include "platform/headless/headless.h"
#include "platform/window.h"

class Headless : public ::testing::Test {
protected:
    /// Starts from a clean headless platform and display.
    void SetUp() override { reset_all(); }
    /// Leaves a clean headless platform and display for the next test.
    void TearDown() override { reset_all(); }

    /// Shuts the display, input, log and window down, resets the headless backend and puts the
    /// display's size back to 640 x 480 x 8.
    static void reset_all() {
        display_shutdown();
        input_shutdown();
        log_close();
        plat_window_destroy();
        headless_reset();
        display_width = 640;
        display_height = 480;
        display_bpp = 8;
    }

    /// Opens the window and the display as the program does.
    static void open_display() {
        ASSERT_EQ(plat_window_create("Zarn Game Console"), 0);
        ASSERT_EQ(display_init(640, 480, 8), 1);
    }
};
