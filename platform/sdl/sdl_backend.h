#pragma once
/// \file
/// What the SDL backend shows, for its own tests and tools.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

/// The last picture shown, as 0xAARRGGBB pixels, width x height; 1 when one was shown at that size.
int sdl_backend_read_frame(uint32_t* out, int32_t width, int32_t height);
/// Draws the last picture again and reads the renderer's output back at the window's size
/// (width x height must match it); 1 when the renderer could read it.
int sdl_backend_read_renderer(uint32_t* out, int32_t width, int32_t height);
/// The window's drawable size in pixels; 0 when there is no window.
int sdl_backend_window_size(int32_t* width, int32_t* height);
/// The SDL video driver in use, or "".
const char* sdl_backend_video_driver(void);
/// The SDL audio driver of the open audio output, or "".
const char* sdl_backend_audio_driver(void);

/// Calls the observer at every reading of the millisecond counter, with the value read (null:
/// no observer), after anything written into the primary surface has been shown. Lets a test
/// look at the screen while an operation paces itself by the clock.
void sdl_backend_on_tick(void (*observer)(uint32_t now, void* context), void* context);

#ifdef __cplusplus
}  // extern "C"
#endif
