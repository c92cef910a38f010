#pragma once
/// \file
/// What the keyboard, the mouse and the joystick share: setting up a device made from the input
/// object, reading its snapshot and giving it up. Internal to the input layer.
#include <cstdint>

#include "platform/input.h"

/// Creates the keyboard or the mouse (a PlatInputKind) from input_object into *device, sets it up
/// (input_device_configure()) and acquires it. 1; 0 at the first refused step, a device made
/// before it staying in *device, neither acquired nor released.
int input_device_open(int32_t kind, PlatInputDevice** device);
/// Sets non-exclusive background use, then the state layout of the kind. 1; 0 at the first
/// refusal.
int input_device_configure(PlatInputDevice* device, int32_t kind);
/// Reads a fresh snapshot of the device's size-byte layout into state: 1. With no device every
/// byte of state becomes 0 and the result is 0; a refused read leaves state as it was and gives 0.
int input_device_read(PlatInputDevice* device, void* state, uint32_t size);
/// Unacquires and releases the device and forgets it; nothing when *device is null.
void input_device_close(PlatInputDevice** device);
