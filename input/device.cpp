// Setting up, reading and giving up a device of the input object, the same for the keyboard, the
// mouse and the joystick.
#include "input/device.h"

#include <cstring>

#include "input/keyboard.h"
#include "platform/status.h"

int input_device_open(int32_t kind, PlatInputDevice** device) {
    if (plat_input_device_create(input_object, kind, device) != PLAT_OK) return 0;
    if (!input_device_configure(*device, kind)) return 0;
    return plat_input_device_acquire(*device) == PLAT_OK ? 1 : 0;
}

int input_device_configure(PlatInputDevice* device, int32_t kind) {
    if (plat_input_device_set_cooperative(device, PLAT_COOP_NONEXCLUSIVE | PLAT_COOP_BACKGROUND) != PLAT_OK) return 0;
    return plat_input_device_set_format(device, kind) == PLAT_OK ? 1 : 0;
}

int input_device_read(PlatInputDevice* device, void* state, uint32_t size) {
    if (!device) {
        std::memset(state, 0, size);
        return 0;
    }
    // Read into a scratch copy so that a refused read leaves the last snapshot whole.
    union {
        uint8_t keys[256];
        PlatMouseState mouse;
        PlatJoyState joystick;
    } fresh;
    if (size > sizeof fresh || plat_input_device_get_state(device, &fresh, size) != PLAT_OK) return 0;
    std::memcpy(state, &fresh, size);
    return 1;
}

void input_device_close(PlatInputDevice** device) {
    if (!*device) return;
    plat_input_device_unacquire(*device);
    plat_input_device_release(*device);
    *device = nullptr;
}
