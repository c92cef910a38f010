// The SDL backend's display: the renderer over the window, the 8-bit picture converted through
// the palette and scaled up with nearest-pixel filtering. Its text is drawn by sdl_text_*.cpp.
#include <SDL.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <vector>

#include "platform/common/backend.h"
#include "platform/common/convert.h"
#include "platform/sdl/sdl_state.h"
#include "platform/status.h"

void sdl_show_frame() {
    if (!sdl.renderer || !sdl.texture || sdl.frame.empty()) return;
    SDL_UpdateTexture(sdl.texture, nullptr, sdl.frame.data(), sdl.frame_w * 4);
    SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl.renderer);
    SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, nullptr);
}

int backend_allows(const char*) { return 1; }

#ifdef _WIN32
namespace {

// Wine says so through an export of its own in ntdll.
bool under_wine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace
#endif

int backend_device_open() {
    if (!sdl.window) {
        sdl.error = "cannot open the display: there is no window";
        return PLAT_ERR_REFUSED;
    }
#ifdef _WIN32
    // Wine turns Direct3D, SDL's first choice on Windows, into OpenGL calls, at several times the
    // cost of a picture drawn with OpenGL itself: take OpenGL there, as on Linux, unless the
    // player names a renderer (SDL_RENDER_DRIVER).
    if (under_wine()) SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
#endif
    sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    SDL_RendererInfo info{};
    sdl.vsync =
        sdl.renderer && SDL_GetRendererInfo(sdl.renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
    // OpenGL switches the wait for the refresh with a call; Direct3D 9 rebuilds its device for it
    // (a tenth of a second and more under Wine), which twice per palette step made a fade last
    // from 20 s to minutes.
    sdl.vsync_switches = sdl.vsync && info.name && SDL_strncmp(info.name, "opengl", 6) == 0;
    if (!sdl.renderer) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
    if (!sdl.renderer) {
        sdl_set_error("cannot open the display");
        return PLAT_ERR_REFUSED;
    }
    SDL_DisplayMode shown{};
    const int hz = SDL_GetWindowDisplayMode(sdl.window, &shown) == 0 ? shown.refresh_rate : 0;
    sdl.refresh_us = sdl.present_every_us = 1000000u / static_cast<uint64_t>(hz > 0 ? hz : 60);
    return PLAT_OK;
}

void backend_device_close() {
    if (sdl.texture) SDL_DestroyTexture(sdl.texture);
    sdl.texture = nullptr;
    if (sdl.renderer) SDL_DestroyRenderer(sdl.renderer);
    sdl.renderer = nullptr;
    sdl.frame.clear();
    sdl.mode_w = sdl.mode_h = 0;
}

int backend_set_mode(int32_t width, int32_t height, int32_t) {
    if (!sdl.renderer) return PLAT_ERR_REFUSED;
    SDL_Texture* t =
        SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!t) {
        sdl_set_error("cannot set the display mode");
        return PLAT_ERR_UNSUPPORTED;
    }
    if (sdl.texture) SDL_DestroyTexture(sdl.texture);
    sdl.texture = t;
    // 4:3 kept with black borders, scaled by nearest pixel.
    SDL_RenderSetLogicalSize(sdl.renderer, width, height);
    sdl.mode_w = width;
    sdl.mode_h = height;
    return PLAT_OK;
}

void backend_present(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, const PaletteEntry* palette,
                     int wait_refresh) {
    if (!sdl.renderer || !sdl.texture || width != sdl.mode_w || height != sdl.mode_h) return;
    uint32_t lut[256];
    convert_palette_to_argb(palette, lut);
    sdl.frame.resize(static_cast<size_t>(width) * height);
    sdl.frame_w = width;
    sdl.frame_h = height;
    convert_frame(pixels, pitch, width, height, lut, sdl.frame.data(), width * 4);
    sdl_show_frame();
    // Vsync holds a flip to the refresh; a palette step of a fade is shown without that wait where
    // the renderer can drop it cheaply, else it waits for the refresh too.
    const int skip_wait = !wait_refresh && sdl.vsync_switches;
    if (skip_wait) SDL_RenderSetVSync(sdl.renderer, 0);
    SDL_RenderPresent(sdl.renderer);
    if (skip_wait) SDL_RenderSetVSync(sdl.renderer, 1);
}

void backend_wait_vblank() {}
