#pragma once
// What each backend supplies to the memory surfaces shared by both backends.
// Internal to the platform layer.
#include <cstdint>

#include "platform/input.h"
#include "platform/video.h"

int backend_allows(const char* request);
//   0 when the backend refuses this request now (the headless backend's scripted refusals).
int backend_device_open();
//   Opens whatever shows the picture; PLAT_OK or an error, at once.
void backend_device_close();
int backend_set_mode(int32_t width, int32_t height, int32_t bpp);
//   PLAT_OK when the mode can be shown.
void backend_present(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, const PaletteEntry* palette,
                     int wait_refresh);
//   Shows a picture through a palette (palette may be null: black); waits for the display's
//   refresh only when wait_refresh is non-zero.
void backend_wait_vblank();
int video_present_primary_if_changed(uint64_t now_us, uint64_t period_us);
//   Offered by the memory surfaces to the backends: shows the primary's picture again (without
//   waiting for the refresh) when it was locked, filled, blitted or drawn on since it was last
//   shown and at least period_us (the display's refresh period) have passed since a picture was
//   last shown, counted from the first call after a flip or palette change. 1 when shown, else 0.
//   A backend calls it from its readings of the tick counter, where a program that writes into
//   the primary surface waits, so that the picture shows within a refresh, as on a display
//   whose primary surface is video memory. now_us: any microsecond clock that only moves on.
int backend_text_draw(uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                      const char* text, uint8_t index);
//   Writes the glyphs of the text in this palette index, cut to the buffer; PLAT_OK when drawn.

int backend_window_open(const char* title);
//   Makes the window; PLAT_OK or an error at once when no display can be had.
void backend_window_close();
void backend_pump_events();
//   Moves pending desktop events into the message queue (messages.h) and the key state.
void backend_cursor_show(int shown);
const uint8_t* backend_scancode_state();
//   KEY_SCANCODE_COUNT bytes, non-zero while the key at that scancode is down now.

void backend_mouse_take(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]);
//   The motion and wheel (120 a notch) gathered since the last take, which starts them again
//   from 0, and the four buttons now (non-zero while down).
inline void backend_motion_add(int32_t& sum, int64_t step) {
    const int64_t v = int64_t{sum} + step;
    sum = static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}
//   Adds a step to motion or wheel gathered for backend_mouse_take; a sum past the int range
//   stops at its ends.

// A joystick as the backend sees it: axes from -32768 to 32767 in the order x, y, z, x rotation,
// y rotation, z rotation, slider, slider (axes past axis_count are absent); hats as
// point-of-view values; buttons non-zero while down.
struct BackendJoystickRaw {
    int32_t axis_count;
    int32_t axes[8];
    uint32_t pov[4];
    uint8_t buttons[32];
};
int32_t backend_joystick_count();
//   Joysticks attached now.
int backend_joystick_info(int32_t index, PlatDeviceInstance* info);
//   The identifier and product name of the attached joystick at this index; PLAT_OK or an error.
int backend_joystick_open(const PlatGuid* guid, int32_t* handle);
//   Opens the attached joystick with this identifier; PLAT_OK and its handle, or an error.
void backend_joystick_close(int32_t handle);
int backend_joystick_poll(int32_t handle);
//   Brings the joystick's state up to date; an error when it is gone.
int backend_joystick_read(int32_t handle, BackendJoystickRaw* raw);
//   The joystick's state at the last poll; an error when it is gone.

int backend_audio_open(int32_t* rate);
//   Opens the audio output (16-bit stereo), which from then on pulls its frames through
//   mixer_output (mixer.h); PLAT_OK and the output's frames per second, or an error at once.
void backend_audio_close();
//   Closes the output; once it returns mixer_output is no longer called. Safe when not open.
void backend_audio_lock();
//   Keeps mixer_output from running until backend_audio_unlock. Held briefly, never from
//   inside mixer_output; does nothing while no output is open.
void backend_audio_unlock();
