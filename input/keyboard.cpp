#include "input/keyboard.h"

#include "input/device.h"
#include "input/joystick.h"
#include "input/mouse.h"
#include "platform/status.h"
#include "platform/window.h"

PlatInput* input_object = nullptr;
PlatInputDevice* keyboard_device = nullptr;
uint8_t keyboard_state[256] = {};

int input_init() {
    if (input_object) return 1;  // one input object for the whole run
    return plat_input_create(&input_object) == PLAT_OK ? 1 : 0;
}

void input_shutdown() {
    // Nothing made from the input object outlives it.
    keyboard_release();
    mouse_release();
    joystick_release();
    if (input_object) plat_input_release(input_object);
    input_object = nullptr;
}

int keyboard_init() {
    if (!input_object) return 0;
    if (keyboard_device) keyboard_release();
    return input_device_open(PLAT_INPUT_KEYBOARD, &keyboard_device);
}

int keyboard_read() { return input_device_read(keyboard_device, keyboard_state, sizeof keyboard_state); }

void keyboard_release() { input_device_close(&keyboard_device); }

int keyboard_key_down_now(int32_t key_code) { return plat_key_down_now(key_code); }
