#pragma once
/// \file
/// What the parts of the web backend tell each other, and the page's side of it (web_library.js).
/// Internal to the web backend.
#include <cstdint>

extern "C" {

// ---- the page (web_library.js) ----

/// Starts listening to the keyboard, the page's touch controls and the gamepads, which from then
/// on write 1 (down, while anything holds the key) or 0 (up) into keys at each key's scancode,
/// and to the pointer over the canvas, whose motion, buttons and wheel it passes to
/// web_mouse_event; and painting the canvas at the display's refresh; the page's title becomes the
/// window's. 1, or 0 when the page has no canvas.
int web_js_window_open(uint8_t* keys, const char* title);
/// Stops all three and lets every key and button go; the page tells that the game has ended.
void web_js_window_close();
/// The canvas takes this size in pixels (the page scales it to fit, 4:3 kept).
void web_js_set_mode(int32_t width, int32_t height);
/// Shows (non-zero) or hides the mouse pointer over the canvas.
void web_js_cursor(int shown);
/// Records a moment of the game's pace for the page's statistics: WEB_NOTE_FRAME when a frame
/// starts, WEB_NOTE_FLIP when a flip is shown; at is the page's clock in milliseconds.
void web_js_note(int kind, double at);
/// Makes ready an output of rate frames per second that pulls through web_audio_fill (resampled
/// to the browser's own rate where the browser will not play at this one); it starts at the first
/// key press, click or touch (at once when there was one). 1, or 0 without WebAudio.
int web_js_audio_open(int32_t rate);
/// Stops and closes the output; web_audio_fill is no longer called.
void web_js_audio_close();
/// Returns to the browser and comes back after at least this long (0: as soon as the browser
/// has handled what waits, without a timer's delay). The game's stack is kept meanwhile.
void web_js_pause(int32_t milliseconds);

// ---- called by the page ----

/// The picture last shown as width x height RGBA pixels for the canvas, or null when it has not
/// changed since the last call.
uint8_t* web_paint();
/// The next frames of the mixer's output (left, right interleaved); silence while closed.
void web_audio_fill(int16_t* stereo, int32_t frames);
/// Adds pointer motion over the canvas in the game's pixels and the wheel (120 a notch, positive
/// away from the player) to what backend_mouse_take() gives next, each sum held to the int range;
/// buttons: the ones down now, bit 0 left, 1 right, 2 middle, 3 back. Nothing while no window is
/// open.
void web_mouse_event(int32_t dx, int32_t dy, int32_t dz, int32_t buttons);
/// Takes the mouse as the game's next read would (backend_mouse_take()), for the page's tests:
/// 7 values, the motion x and y, the wheel, then the left, right, middle and back buttons (1 while
/// down). The values stay until the next call.
const int32_t* web_mouse_take();

}  // extern "C"

enum { WEB_NOTE_FRAME = 0, WEB_NOTE_FLIP = 1 };

/// A picture was shown (flip non-zero for a flip, zero for a palette change): the clock readings
/// that follow until anything else happens are a wait.
void web_pace_shown(int flip);
/// The game looked at its events: a wait before this has ended.
void web_pace_events();

/// Records why the backend failed, for plat_error_text().
void web_backend_fail(const char* what);
