#pragma once
/// \file
/// The input object and the devices made from it.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct PlatInput PlatInput;
typedef struct PlatInputDevice PlatInputDevice;
typedef struct PlatGuid PlatGuid;
typedef struct PlatMouseState PlatMouseState;
typedef struct PlatJoyState PlatJoyState;
typedef struct PlatDeviceInstance PlatDeviceInstance;
typedef struct PlatAxisRange PlatAxisRange;
#endif

/// \struct PlatInput
/// The input object: a handle made by plat_input_create().
struct PlatInput;
/// \struct PlatInputDevice
/// An input device: a handle made by plat_input_device_create() or
/// plat_input_device_create_instance().
struct PlatInputDevice;

/// The kinds of input device.
enum PlatInputKind {
    PLAT_INPUT_KEYBOARD = 1,  ///< the keyboard
    PLAT_INPUT_MOUSE = 2,     ///< the mouse
    PLAT_INPUT_JOYSTICK = 3,  ///< a joystick
};
#ifndef __cplusplus  // C names the enumeration without `enum`, as C++ does
typedef enum PlatInputKind PlatInputKind;
#endif

/// How a device is shared, for plat_input_device_set_cooperative().
enum {
    PLAT_COOP_NONEXCLUSIVE = 0x02,  ///< other programs may read it too
    PLAT_COOP_BACKGROUND = 0x08,    ///< read also while the window is not in front
};

/// A 16-byte identifier of one attached device.
struct PlatGuid {
    uint8_t data[16];  ///< its bytes
};

/// The mouse's state: motion since the previous read (relative axes) and the buttons.
struct PlatMouseState {
    int32_t lX;             ///< along x
    int32_t lY;             ///< along y, downwards
    int32_t lZ;             ///< the wheel: 120 a notch, positive away from the user
    uint8_t rgbButtons[4];  ///< left, right, middle, fourth; 0x80 while down
};

/// The joystick's state: absolute axes, point-of-view hats and buttons.
struct PlatJoyState {
    int32_t lX;              ///< x axis, in the range set (0..65535 until one is set)
    int32_t lY;              ///< y axis, likewise
    int32_t lZ;              ///< z axis, likewise
    int32_t lRx;             ///< rotation about x, likewise
    int32_t lRy;             ///< rotation about y, likewise
    int32_t lRz;             ///< rotation about z, likewise
    int32_t rglSlider[2];    ///< sliders
    uint32_t rgdwPOV[4];     ///< hats in hundredths of degrees clockwise from up; 0xFFFFFFFF centred
    uint8_t rgbButtons[32];  ///< 0x80 while down
};

/// What joystick enumeration tells about one attached joystick.
struct PlatDeviceInstance {
    PlatGuid guidInstance;     ///< its identifier, for plat_input_device_create_instance()
    char tszProductName[260];  ///< always ends in a null
};

/// The value range of one axis, named by its byte offset in PlatJoyState.
struct PlatAxisRange {
    uint32_t dwSize;        ///< 24
    uint32_t dwHeaderSize;  ///< 16
    uint32_t dwObj;         ///< the axis's offset: PLAT_AXIS_X, PLAT_AXIS_Y, ...
    uint32_t dwHow;         ///< PLAT_PROPERTY_BY_OFFSET
    int32_t lMin;           ///< the lowest value the axis reports
    int32_t lMax;           ///< the highest
};

/// Axis offsets, the range record's addressing mode and the enumeration callback's answers.
enum {
    PLAT_AXIS_X = 0,              ///< the offset of lX in PlatJoyState
    PLAT_AXIS_Y = 4,              ///< the offset of lY
    PLAT_PROPERTY_BY_OFFSET = 1,  ///< the axis is named by its offset
    PLAT_ENUM_STOP = 0,           ///< no further joystick
    PLAT_ENUM_CONTINUE = 1,       ///< on to the next joystick
};

/// Called by plat_input_enum_joysticks() with one attached joystick and the reference it was given;
/// answers PLAT_ENUM_STOP or PLAT_ENUM_CONTINUE.
typedef int (*PlatEnumCallback)(const PlatDeviceInstance* instance, void* reference);

/// The input object; every device is made from it.
int plat_input_create(PlatInput** out);
/// Gives the input object up; devices made from it stay valid until they are released.
void plat_input_release(PlatInput* input);
/// A device of the given PlatInputKind: the keyboard, the mouse, or the first attached joystick
/// (refused when none is attached).
int plat_input_device_create(PlatInput* input, int32_t kind, PlatInputDevice** out);
/// Calls back once for each attached joystick, in order, until the callback gives PLAT_ENUM_STOP.
int plat_input_enum_joysticks(PlatInput* input, PlatEnumCallback callback, void* reference);
/// The attached joystick with this identifier; refused when none has it.
int plat_input_device_create_instance(PlatInput* input, const PlatGuid* guid, PlatInputDevice** out);
/// Shares the device with other programs (non-exclusive) and reads it in the background.
int plat_input_device_set_cooperative(PlatInputDevice* device, uint32_t flags);
/// Sets the state layout to the one of the given kind: 256 bytes for the keyboard,
/// PlatMouseState for the mouse, PlatJoyState for a joystick.
int plat_input_device_set_format(PlatInputDevice* device, int32_t kind);
/// The values a joystick axis reports, from lMin to lMax. Refused for a record of the wrong
/// size, an offset that is not one of the eight axes, or lMin above lMax.
int plat_input_device_set_range(PlatInputDevice* device, const PlatAxisRange* range);
/// Brings a joystick's state up to date; refused when not acquired or when it is gone.
int plat_input_device_poll(PlatInputDevice* device);
/// Reads may begin.
int plat_input_device_acquire(PlatInputDevice* device);
/// Reads are refused until the device is acquired again.
int plat_input_device_unacquire(PlatInputDevice* device);
/// Gives the device up. Safe on null.
void plat_input_device_release(PlatInputDevice* device);
/// Fills the state: for the keyboard, size 256, one byte per key code, 0x80 down, 0 up; for the
/// mouse and a joystick their layouts. Refused when the device is not acquired, the size is not
/// its layout's, or the joystick is gone.
int plat_input_device_get_state(PlatInputDevice* device, void* state, uint32_t size);

#ifdef __cplusplus
}  // extern "C"

/// The layouts the devices fill, checked where the library is built.
static_assert(sizeof(PlatMouseState) == 16, "the mouse layout is 16 bytes");
static_assert(sizeof(PlatJoyState) == 80, "the joystick layout is 80 bytes");
static_assert(sizeof(PlatAxisRange) == 24, "the range record is 24 bytes");
#endif
