// The input example on the headless backend: the keys held by name, the mouse's pointer, wheel
// and buttons, the joystick's name, stick and buttons; without a joystick it says so; the window
// closed by the desktop ends it.
#define main input_main
#include "examples/input/main.cpp"
#undef main

#include "example_run.h"

namespace {

using InputExample = ExampleRun;

TEST_F(InputExample, KeysMouseAndJoystickShowAsTheyAre) {
    const int32_t pad = headless_joystick_attach("Zarn Test Pad");
    headless_joystick_axis(pad, 0, 32767);  // x fully right
    headless_joystick_button(pad, 3, 1);
    at(2, [] {
        for (int code : {int(DIK_A), 0x2A, int(DIK_UP)}) headless_key_set(code, 1);  // 0x2A: Left Shift
        headless_mouse_move(30, -20, 240);
        headless_mouse_button(1, 1);
    });
    int32_t right_button = -1, left_button = -1, stick = -1, button_3 = -1;
    at(6, [&] {
        right_button = headless_visible_index(96, 216);
        left_button = headless_visible_index(40, 216);
        stick = headless_visible_index(121, 381);
        button_3 = headless_visible_index(249, 352);
    });
    at(8, [] { headless_keys_clear(); });
    ASSERT_EQ(run(input_main, "", 12), 0);

    for (const char* key : {"A", "Left Shift", "Up"}) EXPECT_TRUE(drawn(key, true)) << key;
    EXPECT_TRUE(drawn("pointer 510, 200"));
    EXPECT_TRUE(drawn("wheel 2", true));
    EXPECT_EQ(right_button, GREEN + 63);
    EXPECT_EQ(left_button, GREY + 4);
    EXPECT_TRUE(drawn("Zarn Test Pad   x 100  y 0"));
    EXPECT_EQ(stick, RED + 63);
    EXPECT_EQ(button_3, BLUE + 63);
    EXPECT_TRUE(drawn("(none: hold some keys)"));  // after the keys were let go
    EXPECT_EQ(headless_joystick_open_count(), 0);  // released at the end
}

TEST_F(InputExample, WithoutAJoystickItSaysSoAndTheDesktopCanCloseIt) {
    at(4, [] { plat_message_post(PLAT_MSG_DESTROY, 0); });
    ASSERT_EQ(run(input_main, "", 50), 0);
    EXPECT_EQ(example_frame(), 4);
    EXPECT_TRUE(drawn("none found at start-up"));
}

}  // namespace
