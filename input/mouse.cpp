#include "input/mouse.h"

#include <cstring>

#include "input/keyboard.h"
#include "platform/status.h"

PlatInputDevice* mouse_device = nullptr;
PlatMouseState mouse_state = {};

int mouse_init() {
    if (!input_object) return 0;
    if (mouse_device) mouse_release();
    if (plat_input_device_create(input_object, PLAT_INPUT_MOUSE, &mouse_device) != PLAT_OK) return 0;
    if (plat_input_device_set_cooperative(mouse_device, PLAT_COOP_NONEXCLUSIVE | PLAT_COOP_BACKGROUND) != PLAT_OK)
        return 0;
    if (plat_input_device_set_format(mouse_device, PLAT_INPUT_MOUSE) != PLAT_OK) return 0;
    if (plat_input_device_acquire(mouse_device) != PLAT_OK) return 0;
    return 1;
}

int mouse_read() {
    if (!mouse_device) {
        std::memset(&mouse_state, 0, sizeof mouse_state);
        return 0;
    }
    // Read into a scratch copy so that a refused read leaves the last snapshot whole.
    PlatMouseState fresh{};
    if (plat_input_device_get_state(mouse_device, &fresh, sizeof fresh) != PLAT_OK) return 0;
    mouse_state = fresh;
    return 1;
}

void mouse_release() {
    if (!mouse_device) return;
    plat_input_device_unacquire(mouse_device);
    plat_input_device_release(mouse_device);
    mouse_device = nullptr;
}
