#pragma once
/// \file
/// The input object and the keyboard, read as a 256-byte snapshot once a frame.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/input.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Key codes of the snapshot (set-1 scan codes, 0x80 added for extended keys).
enum {
    DIK_ESCAPE = 0x01,       ///< Escape
    DIK_P = 0x19,            ///< P
    DIK_RETURN = 0x1C,       ///< Return (Enter on the main keyboard)
    DIK_A = 0x1E,            ///< A
    DIK_Z = 0x2C,            ///< Z
    DIK_SPACE = 0x39,        ///< the space bar
    DIK_NUMPADENTER = 0x9C,  ///< Enter on the numeric keypad
    DIK_UP = 0xC8,           ///< the up arrow
    DIK_LEFT = 0xCB,         ///< the left arrow
    DIK_RIGHT = 0xCD,        ///< the right arrow
    DIK_DOWN = 0xD0,         ///< the down arrow
};

extern PlatInput* input_object;           ///< made by input_init()
extern PlatInputDevice* keyboard_device;  ///< made by keyboard_init()
extern uint8_t keyboard_state[256];       ///< non-zero while the key was down at the last read

/// 1 when the input object was made, else 0.
int input_init(void);
/// Releases the keyboard, mouse and joystick if still held, then the input object; all are
/// forgotten.
void input_shutdown(void);
/// 1 when the keyboard is created, set to non-exclusive background use and the 256-byte layout,
/// and acquired; else 0 (a device made before the failing step stays in keyboard_device).
int keyboard_init(void);
/// 1 when keyboard_state holds a fresh snapshot. With no device every byte becomes 0 and the
/// result is 0; a refused read leaves the snapshot as it was and gives 0.
int keyboard_read(void);
/// Unacquires and releases the keyboard; later reads take the no-device path.
void keyboard_release(void);
/// 1 while the key with this code is down at this very moment, whether or not keyboard_state
/// was read since, and whether or not a keyboard device was made: a program frees its key
/// latches by it, so that a key let go between two snapshots counts as up. 0 when it is up,
/// for a code no key has, and while the program has no window.
int keyboard_key_down_now(int32_t key_code);

#ifdef __cplusplus
}  // extern "C"
#endif
