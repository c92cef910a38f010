// The input object, the keyboard snapshot and its refusals.
#include <cstring>

#include "headless_fixture.h"

namespace {

using Keyboard = Headless;

bool all_zero() {
    for (uint8_t b : keyboard_state)
        if (b) return false;
    return true;
}

TEST_F(Keyboard, SnapshotFollowsHeldKeysAtExtendedCodes) {
    EXPECT_TRUE(all_zero());
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    headless_key_set(DIK_A, 1);
    headless_scancode_set(0x52, 1);  // the Up arrow's position
    for (int frame = 0; frame < 3; ++frame) {
        ASSERT_EQ(keyboard_read(), 1);
        EXPECT_NE(keyboard_state[DIK_A], 0);
        EXPECT_NE(keyboard_state[DIK_UP], 0);
        EXPECT_EQ(keyboard_state[0x48], 0);  // not the keypad 8
    }
    // A press and release between two reads never shows.
    headless_key_set(DIK_P, 1);
    headless_key_set(DIK_P, 0);
    headless_key_set(DIK_A, 0);
    ASSERT_EQ(keyboard_read(), 1);
    EXPECT_EQ(keyboard_state[DIK_P], 0);
    EXPECT_EQ(keyboard_state[DIK_A], 0);
    EXPECT_NE(keyboard_state[DIK_UP], 0);
}

TEST_F(Keyboard, FailedReadKeepsTheLastSnapshot) {
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    headless_key_set(DIK_SPACE, 1);
    ASSERT_EQ(keyboard_read(), 1);
    headless_key_set(DIK_SPACE, 0);
    headless_refuse("keyboard_read", 1);
    EXPECT_EQ(keyboard_read(), 0);
    EXPECT_NE(keyboard_state[DIK_SPACE], 0);
    EXPECT_EQ(keyboard_read(), 1);
    EXPECT_EQ(keyboard_state[DIK_SPACE], 0);
}

TEST_F(Keyboard, NoDeviceReadsAsAllKeysUp) {
    std::memset(keyboard_state, 0x80, sizeof keyboard_state);
    EXPECT_EQ(keyboard_read(), 0);
    EXPECT_TRUE(all_zero());
}

TEST_F(Keyboard, ReleaseAndShutdownForgetTheDevice) {
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    headless_key_set(DIK_Z, 1);
    keyboard_release();
    EXPECT_EQ(keyboard_device, nullptr);
    EXPECT_EQ(keyboard_read(), 0);
    EXPECT_TRUE(all_zero());
    ASSERT_EQ(keyboard_init(), 1);
    ASSERT_EQ(keyboard_read(), 1);
    EXPECT_NE(keyboard_state[DIK_Z], 0);
    input_shutdown();
    EXPECT_EQ(input_object, nullptr);
    EXPECT_EQ(keyboard_device, nullptr);
    EXPECT_EQ(keyboard_read(), 0);
    keyboard_release();  // harmless twice
    input_shutdown();
}

TEST_F(Keyboard, TheInputObjectIsMadeOnceAndCanBeRefused) {
    headless_refuse("input", 1);
    EXPECT_EQ(input_init(), 0);
    EXPECT_EQ(input_object, nullptr);
    ASSERT_EQ(input_init(), 1);
    PlatInput* const object = input_object;
    EXPECT_EQ(input_init(), 1);  // the one object is kept, not made again
    EXPECT_EQ(input_object, object);
    EXPECT_EQ(headless_request_count("input"), 2);
}

TEST_F(Keyboard, TwoKeysAtOnce) {
    ASSERT_EQ(input_init(), 1);
    ASSERT_EQ(keyboard_init(), 1);
    headless_key_set(DIK_A, 1);
    headless_key_set(DIK_DOWN, 1);
    ASSERT_EQ(keyboard_read(), 1);
    EXPECT_NE(keyboard_state[DIK_A], 0);
    EXPECT_NE(keyboard_state[DIK_DOWN], 0);
    int down = 0;
    for (uint8_t b : keyboard_state) down += b != 0;
    EXPECT_EQ(down, 2);
}

}  // namespace
