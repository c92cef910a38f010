#pragma once
/// \file
/// The first attached joystick, read once a frame as an 80-byte snapshot of axes, hats and buttons.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/input.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Axis offsets, the range record's addressing mode, the range property and enumeration results.
enum {
    DIJOFS_X = PLAT_AXIS_X,                   ///< the x axis, by its offset in the snapshot
    DIJOFS_Y = PLAT_AXIS_Y,                   ///< the y axis
    DIPH_BYOFFSET = PLAT_PROPERTY_BY_OFFSET,  ///< a range record names its axis by offset
    DIPROP_RANGE = 4,                         ///< the range property of an axis
    DIENUM_STOP = PLAT_ENUM_STOP,             ///< the enumeration callback's answer: no further joystick
    DIENUM_CONTINUE = PLAT_ENUM_CONTINUE,     ///< on to the next joystick
};

/// Bytes of joystick_name, the ending null included.
enum { JOYSTICK_NAME_SIZE = 80 };

extern PlatInputDevice* joystick_device;        ///< made by joystick_init()
extern PlatJoyState joystick_state;             ///< refreshed by joystick_read()
extern PlatGuid joystick_guid;                  ///< the joystick enumeration found; zero until then
extern char joystick_name[JOYSTICK_NAME_SIZE];  ///< its product name, cut to fit, always ended
extern int32_t joystick_found;                  ///< 1 once joystick_init() has succeeded; never cleared
extern PlatAxisRange joy_axis_range;            ///< the record the axis ranges are set with

/// Keeps the device's identifier in *reference (a PlatGuid) and its product name in
/// joystick_name; DIENUM_STOP, so that only the first attached joystick is seen.
int joystick_enum_callback(const PlatDeviceInstance* instance, void* reference);
/// Finds the first attached joystick, creates it from input_object, sets non-exclusive
/// background use, the joystick layout and the x and y ranges, and acquires it; 1, else 0
/// (a device made before the failing step stays in joystick_device).
int joystick_init(int32_t min_x, int32_t max_x, int32_t min_y, int32_t max_y);
/// 1 when joystick_state holds a fresh snapshot. 0 without touching it before a joystick was
/// found, or when the poll or the read is refused; with no device (after a release) all 80 bytes
/// become 0 and the result is 0.
int joystick_read(void);
/// Unacquires and releases the joystick; joystick_found stays as it was.
void joystick_release(void);

#ifdef __cplusplus
}  // extern "C"
#endif
