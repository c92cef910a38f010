#pragma once
// A test fixture that starts every test from a clean headless platform and display.
#include <gtest/gtest.h>

#include "display/display.h"
#include "imaging/log.h"
#include "input/keyboard.h"
#include "platform/headless/headless.h"
#include "platform/window.h"

class Headless : public ::testing::Test {
protected:
    void SetUp() override { reset_all(); }
    void TearDown() override { reset_all(); }

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

    // Opens the window and the display as the program does.
    static void open_display() {
        ASSERT_EQ(plat_window_create("Zarn Game Console"), 0);
        ASSERT_EQ(display_init(640, 480, 8), 1);
    }
};
