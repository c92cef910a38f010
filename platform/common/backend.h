#pragma once
/// \file
/// What each backend supplies to the memory surfaces shared by every backend.
/// Internal to the platform layer.
#include <cstdint>

#include "platform/input.h"
#include "platform/video.h"

/// 0 when the backend refuses this request now (the headless backend's scripted refusals).
int backend_allows(const char* request);
/// Opens whatever shows the picture; PLAT_OK or an error, at once.
int backend_device_open();
/// Closes what backend_device_open() opened; safe when it is not open.
void backend_device_close();
/// PLAT_OK when the mode can be shown.
int backend_set_mode(int32_t width, int32_t height, int32_t bpp);
/// Shows a picture through a palette (palette may be null: black); waits for the display's
/// refresh only when wait_refresh is non-zero.
void backend_present(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, const PaletteEntry* palette,
                     int wait_refresh);
/// Returns at the display's next refresh, or at once where the backend cannot wait for one.
void backend_wait_vblank();
/// Offered by the memory surfaces to the backends: shows the primary's picture again (without
/// waiting for the refresh) when it was locked, filled, blitted or drawn on since it was last
/// shown and at least period_us (the display's refresh period) have passed since a picture was
/// last shown, counted from the first call after a flip or palette change. 1 when shown, else 0.
/// A backend calls it from backend_present_written(). now_us: any microsecond clock that only
/// moves on.
int video_present_primary_if_changed(uint64_t now_us, uint64_t period_us);
/// Shows what was written into the primary surface since it was last shown, through
/// video_present_primary_if_changed() with the backend's clock and refresh period (a backend
/// whose pictures cost more than a refresh may space them further). Called by the memory surfaces
/// when the primary is unlocked, and by the backend at each reading of its tick counter and each
/// pump of its events, so that whatever a program does next, what it wrote shows within a
/// refresh or two, as on a display whose primary surface is video memory. Nothing where the
/// backend shows pictures only at flips and palette changes.
void backend_present_written();
/// Writes the glyphs of the text in this palette index, cut to the buffer; PLAT_OK when drawn.
int backend_text_draw(uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                      const char* text, uint8_t index);

/// Makes the window; PLAT_OK or an error at once when no display can be had.
int backend_window_open(const char* title);
/// Closes the window and whatever shows the picture in it; safe when it is not open.
void backend_window_close();
/// Moves pending desktop events into the message queue (messages.h) and the key state, then
/// shows what was written into the primary (backend_present_written()).
void backend_pump_events();
/// Shows (non-zero) or hides the mouse cursor over the window; nothing where there is none.
void backend_cursor_show(int shown);
/// Shows why the program cannot go on where the player has no terminal (a message box with this
/// title and text, waiting until it is closed); nothing elsewhere, where stderr is read.
void backend_show_error(const char* title, const char* text);
/// KEY_SCANCODE_COUNT bytes, non-zero while the key at that scancode is down now.
const uint8_t* backend_scancode_state();

/// The motion and wheel (120 a notch) gathered since the last take, which starts them again
/// from 0, and the four buttons now (non-zero while down).
void backend_mouse_take(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]);
/// Adds a step to motion or wheel gathered for backend_mouse_take; a sum past the int range
/// stops at its ends.
inline void backend_motion_add(int32_t& sum, int64_t step) {
    const int64_t v = int64_t{sum} + step;
    sum = static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

/// A joystick as the backend sees it: axes from -32768 to 32767 in the order x, y, z, x rotation,
/// y rotation, z rotation, slider, slider (axes past axis_count are absent); hats as
/// point-of-view values; buttons non-zero while down.
struct BackendJoystickRaw {
    int32_t axis_count;
    int32_t axes[8];
    uint32_t pov[4];
    uint8_t buttons[32];
};
/// Joysticks attached now.
int32_t backend_joystick_count();
/// The identifier and product name of the attached joystick at this index; PLAT_OK or an error.
int backend_joystick_info(int32_t index, PlatDeviceInstance* info);
/// Opens the attached joystick with this identifier; PLAT_OK and its handle, or an error.
int backend_joystick_open(const PlatGuid* guid, int32_t* handle);
/// Lets go of the joystick opened with this handle; an unknown handle does nothing.
void backend_joystick_close(int32_t handle);
/// Brings the joystick's state up to date; an error when it is gone.
int backend_joystick_poll(int32_t handle);
/// The joystick's state at the last poll; an error when it is gone.
int backend_joystick_read(int32_t handle, BackendJoystickRaw* raw);

/// Opens the audio output (16-bit stereo), which from then on pulls its frames through
/// mixer_output (mixer.h); PLAT_OK and the output's frames per second, or an error at once.
int backend_audio_open(int32_t* rate);
/// Closes the output; once it returns mixer_output is no longer called. Safe when not open.
void backend_audio_close();
/// Keeps mixer_output from running until backend_audio_unlock. Held briefly, never from
/// inside mixer_output; does nothing while no output is open.
void backend_audio_lock();
/// Lets mixer_output run again after backend_audio_lock(); does nothing while no output is open.
void backend_audio_unlock();
