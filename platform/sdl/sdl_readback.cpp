// The SDL backend's read-back, for its own tests and tools: the last picture shown, the
// renderer's output, the window's size and the video driver.
#include <SDL.h>

#include <cstring>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_state.h"

int sdl_backend_read_frame(uint32_t* out, int32_t width, int32_t height) {
    if (!out || sdl.frame.empty() || width != sdl.frame_w || height != sdl.frame_h) return 0;
    std::memcpy(out, sdl.frame.data(), sdl.frame.size() * 4);
    return 1;
}

int sdl_backend_read_renderer(uint32_t* out, int32_t width, int32_t height) {
    int w = 0, h = 0;
    if (!out || !sdl.renderer || SDL_GetRendererOutputSize(sdl.renderer, &w, &h) != 0 || w != width || h != height)
        return 0;
    sdl_show_frame();
    // The logical size would scale the read rectangle; read the whole output unscaled.
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(sdl.renderer, &lw, &lh);
    SDL_RenderSetLogicalSize(sdl.renderer, 0, 0);
    int r = SDL_RenderReadPixels(sdl.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, out, width * 4);
    SDL_RenderSetLogicalSize(sdl.renderer, lw, lh);
    return r == 0;
}

int sdl_backend_window_size(int32_t* width, int32_t* height) {
    if (!sdl.window) return 0;
    int w = 0, h = 0;
    if (sdl.renderer) SDL_GetRendererOutputSize(sdl.renderer, &w, &h);
    else SDL_GetWindowSize(sdl.window, &w, &h);
    if (width) *width = w;
    if (height) *height = h;
    return 1;
}

const char* sdl_backend_video_driver() {
    const char* d = sdl.window ? SDL_GetCurrentVideoDriver() : nullptr;
    return d ? d : "";
}
