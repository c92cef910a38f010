#pragma once
/// \file
/// The headless backend's script: what a test sets and reads back. Memory only.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct HeadlessText HeadlessText;
#endif

/// Back to the start: no refusals, every key up, ticks at 0 stepping by 1, text log empty,
/// the mouse still with no button down, no joystick attached.
void headless_reset(void);
/// The next `times` requests of this name are refused (times < 0: until allowed again).
/// Names: `window`, `device`, `cooperative`, `mode`, `primary`, `back`, `palette`,
/// `palette_attach`, `palette_set`, `clipper`, `clip_list`, `clipper_attach`, `surface`,
/// `color_key`, `lock`, `fill`, `blit`, `flip`, `text`, `input`, `keyboard`,
/// `keyboard_cooperative`, `keyboard_format`, `keyboard_acquire`, `keyboard_read`, `mouse`,
/// `mouse_cooperative`, `mouse_format`, `mouse_acquire`, `mouse_read`, `joystick_enum`, `joystick`,
/// `joystick_cooperative`, `joystick_format`, `joystick_range`, `joystick_acquire`,
/// `joystick_poll`, `joystick_read`, `sound`, `sound_cooperative`, `sound_buffer`, `sound_lock`,
/// `sound_unlock`, `sound_position`, `sound_play`, `sound_stop`, `sound_status`, `sound_volume`,
/// `sound_frequency`, `sound_pan`, `sound_duplicate`.
/// Any other name (a misspelt one would refuse nothing) prints it on stderr and aborts; so do
/// the three calls below.
void headless_refuse(const char* request, int32_t times);
/// As headless_refuse(), once `passing` more requests of this name have gone through.
void headless_refuse_after(const char* request, int32_t passing, int32_t times);
/// Ends the refusals of this request.
void headless_allow(const char* request);
/// How many times the request has been made since the reset, refused ones included.
int32_t headless_request_count(const char* request);
/// The names above, in that order, followed by a null.
const char* const* headless_request_names(void);

/// The counter's next reading.
void headless_set_ticks(uint32_t now);
/// How far the counter moves after each reading (so that a busy wait ends).
void headless_set_tick_step(uint32_t step);
/// Calls the observer at every reading of the counter, with the value read (null: no observer).
/// Lets a test look at the state of an operation that paces itself by the clock.
void headless_on_tick(void (*observer)(uint32_t now, void* context), void* context);
/// Gives the counter a finer reading (none at the reset): microseconds, the counter times 1000
/// plus a rest within the millisecond, set here to rest_us % 1000. Each fine reading moves the
/// rest on by step_us (at least 1), carrying whole milliseconds into the counter; the counter's
/// own readings leave the rest alone.
void headless_set_fine_ticks(uint32_t rest_us, uint32_t step_us);

/// Holds (down non-zero) or lets go of the key with this key code.
void headless_key_set(int32_t key_code, int down);
/// Holds or lets go of the key at this physical position.
void headless_scancode_set(int32_t scancode, int down);
/// Lets go of every key.
void headless_keys_clear(void);

/// Moves the mouse and turns its wheel (120 a notch); the next mouse read reports the sum,
/// held to the int range.
void headless_mouse_move(int32_t dx, int32_t dy, int32_t wheel);
/// Holds or lets go of mouse button 0 to 3.
void headless_mouse_button(int32_t button, int down);

/// Attaches a joystick after those already attached, centred, hats centred, no button down;
/// returns its number for the calls below. Its axes x, y, z, x rotation, y rotation, z rotation
/// and both sliders are present.
int32_t headless_joystick_attach(const char* product_name);
/// Unplugs it: it is no longer enumerated, and a device open on it can no longer be read.
void headless_joystick_detach(int32_t joystick);
/// Sets axis 0 to 7 (x, y, z, rotations, sliders) to a raw position from -32768 to 32767.
void headless_joystick_axis(int32_t joystick, int32_t axis, int32_t raw);
/// Sets hat 0 to 3 to a point-of-view value (hundredths of degrees; 0xFFFFFFFF centred).
void headless_joystick_pov(int32_t joystick, int32_t hat, uint32_t value);
/// Holds or lets go of button 0 to 31.
void headless_joystick_button(int32_t joystick, int32_t button, int down);
/// Joystick devices open now.
int32_t headless_joystick_open_count(void);

/// 1 while the cursor is shown.
int headless_cursor_shown(void);
/// 1 while the window is open.
int headless_window_open(void);
/// 1 while the display device is open (from the first device made to the last one released).
int headless_device_open(void);

/// From now on each reading of the counter, each look at the messages or keys and each unlock of
/// the primary show what was written into the primary surface since it was last shown, at most
/// once every period_ms (counted on the counter), as the real display does; 0 (as at the reset)
/// shows pictures only at flips and palette changes.
void headless_present_on_tick(uint32_t period_ms);
/// Pictures shown so far (flips and palette changes on the visible surface).
int32_t headless_present_count(void);
/// The size of the picture last shown; 0 when none was.
int headless_visible_size(int32_t* width, int32_t* height);
/// The palette index last shown at (x, y), or -1 outside.
int32_t headless_visible_index(int32_t x, int32_t y);
/// The colour last shown at (x, y) as 0xRRGGBB, through the palette of that moment; 0 outside.
uint32_t headless_visible_rgb(int32_t x, int32_t y);

/// One text draw, as the backend saw it.
struct HeadlessText {
    int32_t x;       ///< left column of the text
    int32_t y;       ///< top row
    uint8_t index;   ///< the palette index it was drawn in
    char text[128];  ///< the text, cut to 127 characters
};
/// How many text draws headless_text_at() holds.
int32_t headless_text_count(void);
/// The text draws since the reset, in order (the last 256 kept); draw i of them, or null outside.
const HeadlessText* headless_text_at(int32_t i);
/// Forgets the text draws.
void headless_text_clear(void);

/// The headless font: each character but space is the outline of a 6 x 10 box in an 8 x 12 cell.
enum {
    HEADLESS_GLYPH_W = 8,   ///< the cell's width
    HEADLESS_GLYPH_H = 12,  ///< the cell's height
};

/// The output's frames per second from the next sound object on: 48000 (at start) or 44100.
void headless_audio_set_rate(int32_t rate);
/// The open output's frames per second; 0 while no sound object is open.
int32_t headless_audio_rate(void);
/// Mixes the next frames as the output would pull them (16-bit, left and right interleaved)
/// and gives how many; 0 and silence while no sound object is open. Nothing mixes otherwise.
int32_t headless_audio_pull(int16_t* stereo, int32_t frames);
/// Buffers playing now.
int32_t headless_audio_voices(void);

#ifdef __cplusplus
}  // extern "C"
#endif
