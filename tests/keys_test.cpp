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
        EXPECT_EQ(k.extended != 0, (k.key_code & 0x80) != 0) << "scancode " << sc;
    }
    // Physical positions, as SDL numbers them: the arrows and the keys the game reads.
    EXPECT_EQ(key_info(0x52).key_code, 0xC8);  // Up, not 0x48
    EXPECT_EQ(key_info(0x51).key_code, 0xD0);
    EXPECT_EQ(key_info(0x50).key_code, 0xCB);
    EXPECT_EQ(key_info(0x4F).key_code, 0xCD);
    EXPECT_EQ(key_info(0x04).key_code, 0x1E);  // A
    EXPECT_EQ(key_info(0x1D).key_code, 0x2C);  // Z
    EXPECT_EQ(key_info(0x58).key_code, 0x9C);  // keypad Enter
    EXPECT_EQ(key_info(0x48).key_code, 0xC5);  // Pause
}

TEST(KeyTable, OutsideTheTable) {
    EXPECT_EQ(key_scancode_of_code(0), -1);  // 0 is no key's code
    EXPECT_EQ(key_info(-1).key_code, 0);
    EXPECT_EQ(key_info(4096).key_code, 0);
    EXPECT_EQ(key_scancode_of_code(300), -1);
}
