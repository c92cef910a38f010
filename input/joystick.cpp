#include "input/joystick.h"

#include <cstring>

#include "input/device.h"
#include "input/keyboard.h"
#include "platform/status.h"

PlatInputDevice* joystick_device = nullptr;
PlatJoyState joystick_state = {};
PlatGuid joystick_guid = {};
char joystick_name[JOYSTICK_NAME_SIZE] = {};
int32_t joystick_found = 0;
PlatAxisRange joy_axis_range = {};

int joystick_enum_callback(const PlatDeviceInstance* instance, void* reference) {
    if (!instance) return DIENUM_CONTINUE;
    if (reference) std::memcpy(reference, &instance->guidInstance, sizeof(PlatGuid));
    // A longer product name is cut to fit, always ended by a null.
    size_t keep = 0;
    while (keep < JOYSTICK_NAME_SIZE - 1 && keep < sizeof instance->tszProductName && instance->tszProductName[keep])
        ++keep;
    std::memcpy(joystick_name, instance->tszProductName, keep);
    joystick_name[keep] = 0;
    return DIENUM_STOP;
}

namespace {

void set_axis_range(uint32_t axis, int32_t min, int32_t max) {
    joy_axis_range.dwSize = sizeof joy_axis_range;
    joy_axis_range.dwHeaderSize = 16;
    joy_axis_range.dwObj = axis;
    joy_axis_range.dwHow = DIPH_BYOFFSET;
    joy_axis_range.lMin = min;
    joy_axis_range.lMax = max;
    plat_input_device_set_range(joystick_device, &joy_axis_range);
}

}  // namespace

int joystick_init(int32_t min_x, int32_t max_x, int32_t min_y, int32_t max_y) {
    if (!input_object) return 0;
    if (joystick_device) joystick_release();
    plat_input_enum_joysticks(input_object, joystick_enum_callback, &joystick_guid);
    // With none attached the identifier is still all zero and no device has it.
    if (plat_input_device_create_instance(input_object, &joystick_guid, &joystick_device) != PLAT_OK) return 0;
    if (!input_device_configure(joystick_device, PLAT_INPUT_JOYSTICK)) return 0;
    // The ranges are not checked: an axis that refuses keeps its own.
    set_axis_range(DIJOFS_X, min_x, max_x);
    set_axis_range(DIJOFS_Y, min_y, max_y);
    if (plat_input_device_acquire(joystick_device) != PLAT_OK) return 0;
    joystick_found = 1;
    return 1;
}

int joystick_read() {
    if (!joystick_found) return 0;
    if (joystick_device && plat_input_device_poll(joystick_device) != PLAT_OK) return 0;
    return input_device_read(joystick_device, &joystick_state, sizeof joystick_state);
}

void joystick_release() { input_device_close(&joystick_device); }
