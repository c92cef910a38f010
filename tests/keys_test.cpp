// The keyboard table, checked by its invariants rather than copied out.
#include <gtest/gtest.h>

#include <set>

#include "platform/keys.h"

TEST(KeyTable, CodesAreUniqueAndTheInverseRoundTrips) {
    std::set<int> seen;
    int mapped = 0;
    for (int sc = 0; sc < KEY_SCANCODE_COUNT; ++sc) {
        const KeyInfo& k = key_info(sc);
        if (!k.key_code) continue;
        ++mapped;
        EXPECT_TRUE(seen.insert(k.key_code).second) << "key code used twice: " << int(k.key_code);
        EXPECT_EQ(key_scancode_of_code(k.key_code), sc);
    }
    // A 105-key keyboard: letters, digits, F-keys, punctuation, navigation, keypad, modifiers.
    EXPECT_GE(mapped, 105);
    for (int code = 0; code < 256; ++code) {
        int sc = key_scancode_of_code(code);
        if (sc >= 0) {
            EXPECT_EQ(key_info(sc).key_code, code);
        }
    }
}

TEST(KeyTable, ExtendedKeysCarryTheHighBit) {
    for (int sc = 0; sc < KEY_SCANCODE_COUNT; ++sc) {
        const KeyInfo& k = key_info(sc);
        if (!k.key_code || sc == 0x48) continue;  // Pause has its own prefix but a high code
        EXPECT_EQ(k.extended, (k.key_code & 0x80) ? 1 : 0) << "scancode " << sc;
    }
    // Physical positions, as SDL numbers them: the arrows, the keys the game reads, and keys
    // whose code no other key wants.
    const struct {
        int scancode, key_code;
    } spots[] = {
        // clang-format off
        {0x52, 0xC8},  // Up, not 0x48
        {0x51, 0xD0},  // Down
        {0x50, 0xCB},  // Left
        {0x4F, 0xCD},  // Right
        {0x04, 0x1E},  // A
        {0x1D, 0x2C},  // Z
        {0x58, 0x9C},  // keypad Enter
        {0x48, 0xC5},  // Pause
        {0x7F, 0xA0},  // Mute
        {0x80, 0xB0},  // Volume Up
        {0x81, 0xAE},  // Volume Down
        // clang-format on
    };
    for (const auto& s : spots) EXPECT_EQ(key_info(s.scancode).key_code, s.key_code) << "scancode " << s.scancode;
}

TEST(KeyTable, OutsideTheTable) {
    EXPECT_EQ(key_scancode_of_code(0), -1);  // 0 is no key's code
    EXPECT_EQ(key_info(-1).key_code, 0);
    EXPECT_EQ(key_info(4096).key_code, 0);
    EXPECT_EQ(key_scancode_of_code(300), -1);
}
