#include "input/mouse.h"

#include "input/device.h"
#include "input/keyboard.h"

PlatInputDevice* mouse_device = nullptr;
PlatMouseState mouse_state = {};

int mouse_init() {
    if (!input_object) return 0;
    if (mouse_device) mouse_release();
    return input_device_open(PLAT_INPUT_MOUSE, &mouse_device);
}

int mouse_read() { return input_device_read(mouse_device, &mouse_state, sizeof mouse_state); }

void mouse_release() { input_device_close(&mouse_device); }
