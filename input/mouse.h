#pragma once
/// \file
/// The mouse, read once a frame as a 16-byte snapshot of relative motion, wheel and buttons.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/input.h"

#ifdef __cplusplus
extern "C" {
#endif

extern PlatInputDevice* mouse_device;  ///< made by mouse_init()
extern PlatMouseState mouse_state;     ///< motion since the previous read; buttons 0x80 while down

/// 1 when the mouse is created from input_object, set to non-exclusive background use and the
/// mouse layout, and acquired; else 0 (a device made before the failing step stays in
/// mouse_device, neither acquired nor released).
int mouse_init(void);
/// 1 when mouse_state holds a fresh snapshot. With no device all 16 bytes become 0 and the
/// result is 0; a refused read leaves the snapshot as it was and gives 0.
int mouse_read(void);
/// Unacquires and releases the mouse; later reads take the no-device path.
void mouse_release(void);

#ifdef __cplusplus
}  // extern "C"
#endif
