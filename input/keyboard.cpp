#include "input/keyboard.h"

#include <cstring>

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
    if (plat_input_device_create(input_object, PLAT_INPUT_KEYBOARD, &keyboard_device) != PLAT_OK) return 0;
    if (plat_input_device_set_cooperative(keyboard_device, PLAT_COOP_NONEXCLUSIVE | PLAT_COOP_BACKGROUND) != PLAT_OK)
        return 0;
    if (plat_input_device_set_format(keyboard_device, PLAT_INPUT_KEYBOARD) != PLAT_OK) return 0;
    if (plat_input_device_acquire(keyboard_device) != PLAT_OK) return 0;
    return 1;
}

int keyboard_read() {
    if (!keyboard_device) {
        std::memset(keyboard_state, 0, sizeof keyboard_state);
        return 0;
    }
    // Read into a scratch copy so that a refused read leaves the last snapshot whole.
    uint8_t fresh[256];
    if (plat_input_device_get_state(keyboard_device, fresh, sizeof fresh) != PLAT_OK) return 0;
    std::memcpy(keyboard_state, fresh, sizeof keyboard_state);
    return 1;
}

void keyboard_release() {
    if (!keyboard_device) return;
    plat_input_device_unacquire(keyboard_device);
    plat_input_device_release(keyboard_device);
    keyboard_device = nullptr;
}

int keyboard_key_down_now(int32_t key_code) { return plat_key_down_now(key_code); }
