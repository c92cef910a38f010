#pragma once
// The input object and the keyboard, read as a 256-byte snapshot once a frame.
#include <cstdint>

#include "platform/input.h"

// Key codes of the snapshot (set-1 scan codes, 0x80 added for extended keys).
enum {
    DIK_ESCAPE = 0x01,
    DIK_P = 0x19,
    DIK_RETURN = 0x1C,
    DIK_A = 0x1E,
    DIK_Z = 0x2C,
    DIK_SPACE = 0x39,
    DIK_NUMPADENTER = 0x9C,
    DIK_UP = 0xC8,
    DIK_LEFT = 0xCB,
    DIK_RIGHT = 0xCD,
    DIK_DOWN = 0xD0,
};

extern PlatInput* input_object;           // made by input_init
extern PlatInputDevice* keyboard_device;  // made by keyboard_init
extern uint8_t keyboard_state[256];       // non-zero while the key was down at the last read

int input_init();
//   1 when the input object was made, else 0.
void input_shutdown();
//   Releases the keyboard, mouse and joystick if still held, then the input object; all are
//   forgotten.
int keyboard_init();
//   1 when the keyboard is created, set to non-exclusive background use and the 256-byte layout,
//   and acquired; else 0 (a device made before the failing step stays in keyboard_device).
int keyboard_read();
//   1 when keyboard_state holds a fresh snapshot. With no device every byte becomes 0 and the
//   result is 0; a refused read leaves the snapshot as it was and gives 0.
void keyboard_release();
//   Unacquires and releases the keyboard; later reads take the no-device path.
int keyboard_key_down_now(int32_t key_code);
//   1 while the key with this code is down at this very moment, whether or not keyboard_state
//   was read since, and whether or not a keyboard device was made: a program frees its key
//   latches by it, so that a key let go between two snapshots counts as up. 0 when it is up,
//   for a code no key has, and while the program has no window.
