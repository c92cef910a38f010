#pragma once
// The input object and the devices made from it.
#include <cstdint>

struct PlatInput;
struct PlatInputDevice;

enum PlatInputKind {
    PLAT_INPUT_KEYBOARD = 1,
    PLAT_INPUT_MOUSE = 2,
    PLAT_INPUT_JOYSTICK = 3,
};

enum {
    PLAT_COOP_NONEXCLUSIVE = 0x02,
    PLAT_COOP_BACKGROUND = 0x08,
};

int plat_input_create(PlatInput** out);
//   The input object; every device is made from it.
void plat_input_release(PlatInput* input);
//   Gives the input object up; devices made from it stay valid until they are released.
int plat_input_device_create(PlatInput* input, int32_t kind, PlatInputDevice** out);
//   A device of the given PlatInputKind.
int plat_input_device_set_cooperative(PlatInputDevice* device, uint32_t flags);
//   Shares the device with other programs (non-exclusive) and reads it in the background.
int plat_input_device_set_format(PlatInputDevice* device, int32_t kind);
//   Sets the state layout to the one of the given kind (the keyboard's: 256 bytes).
int plat_input_device_acquire(PlatInputDevice* device);
//   Reads may begin.
int plat_input_device_unacquire(PlatInputDevice* device);
void plat_input_device_release(PlatInputDevice* device);
int plat_input_device_get_state(PlatInputDevice* device, void* state, uint32_t size);
//   Fills the state: for the keyboard, size 256, one byte per key code, 0x80 down, 0 up.
//   Refused when the device is not acquired or the size is not its layout's.
