// The SDL backend's window and its events: a full-screen desktop window, and the desktop's events
// turned into messages.
#include <SDL.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/common/backend.h"
#include "platform/common/messages.h"
#include "platform/sdl/sdl_state.h"
#include "platform/status.h"
#include "platform/window.h"

namespace {

bool named_driver_is(const char* name) {
    const char* env = std::getenv("SDL_VIDEODRIVER");
    return env && SDL_strcasecmp(env, name) == 0;
}

}  // namespace

// True when nothing says where an X11 or Wayland display would be, and no video driver is named:
// then there is none, and asking SDL would only make its drivers print their own complaints.
static bool no_display_anywhere() {
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v && *v;
    };
    if (set("SDL_VIDEODRIVER") || set("DISPLAY") || set("WAYLAND_DISPLAY")) return false;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return true;
    std::string socket = std::string(runtime) + "/wayland-0";
    return access(socket.c_str(), F_OK) != 0;
}

int backend_window_open(const char* title) {
    if (no_display_anywhere()) {
        sdl.error = "cannot open the display: no X11 or Wayland display is available";
        return PLAT_ERR_REFUSED;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        sdl_set_error("cannot open the display");
        return PLAT_ERR_REFUSED;
    }
    // Drivers that show nothing count as no display unless asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) &&
        !named_driver_is(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        sdl.error = "cannot open the display: no X11 or Wayland display is available";
        return PLAT_ERR_REFUSED;
    }
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    SDL_DisplayMode desktop{};
    int w = 640, h = 480;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        w = desktop.w;
        h = desktop.h;
    }
    // At the desktop's size at (0, 0): covers the screen with or without a window manager. Made
    // for OpenGL where the desktop offers it, as the accelerated renderer wants: a window made
    // without would be destroyed and made anew by that renderer, flashing on the screen.
    const Uint32 flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN;
    sdl.window = SDL_CreateWindow(title, 0, 0, w, h, flags | SDL_WINDOW_OPENGL);
    if (!sdl.window) sdl.window = SDL_CreateWindow(title, 0, 0, w, h, flags);
    if (!sdl.window) {
        sdl_set_error("cannot make the window");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return PLAT_ERR_REFUSED;
    }
    std::memset(sdl.scancodes, 0, sizeof sdl.scancodes);
    sdl.mouse_dx = sdl.mouse_dy = sdl.mouse_dz = 0;
    SDL_AddEventWatch(sdl_mouse_watch, nullptr);
    sdl_pads_open();
    return PLAT_OK;
}

void backend_window_close() {
    backend_device_close();
    sdl_pads_close();
    if (sdl.window) SDL_DelEventWatch(sdl_mouse_watch, nullptr);
    if (sdl.window) SDL_DestroyWindow(sdl.window);
    sdl.window = nullptr;
    sdl_glyphs_release();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void backend_pump_events() {
    if (!sdl.window) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_QUIT: message_queue_push(PLAT_MSG_DESTROY, 0); break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                    message_queue_push(PLAT_MSG_PAINT, 0);
                    if (sdl.renderer) {
                        sdl_show_frame();
                        SDL_RenderPresent(sdl.renderer);
                    }
                } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                    // No key may stay down while another window has the keyboard.
                    SDL_ResetKeyboard();
                    sdl.pads_muted = 1;
                } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
                    sdl.pads_muted = 0;
                }
                break;
            default: sdl_pads_event(e); break;  // pads come and go; nothing else means anything
        }
    }
    sdl_keys_refresh();
    // A program that wrote into the primary and now only looks at its messages or keys sees it.
    backend_present_written();
}

void backend_show_error(const char* title, const char* text) {
#ifdef _WIN32
    // A Windows player starts the program from the desktop and never sees stderr.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr);
#else
    (void)title;
    (void)text;
#endif
}

void backend_cursor_show(int shown) {
    if (sdl.window) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}
