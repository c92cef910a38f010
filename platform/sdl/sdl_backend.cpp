// The SDL backend: a full-screen desktop window, the 8-bit picture converted through the
// palette and scaled up with nearest-pixel filtering, keys by physical position, SDL's ticks.
#include <SDL.h>
#include <SDL_ttf.h>

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/common/backend.h"
#include "platform/common/convert.h"
#include "platform/common/messages.h"
#include "platform/keys.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/status.h"
#include "platform/ticks.h"
#include "platform/window.h"

namespace {

const char* const kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const int kFontSize = 13;

struct Glyph {
    int w = 0, h = 0, advance = 0;
    std::vector<uint8_t> bits;  // w * h, 1 where the glyph is drawn
};

struct State {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    int vsync = 0;
    SDL_Texture* texture = nullptr;
    int32_t mode_w = 0, mode_h = 0;
    std::vector<uint32_t> frame;
    int frame_w = 0, frame_h = 0;
    uint8_t scancodes[KEY_SCANCODE_COUNT] = {};
    TTF_Font* font = nullptr;
    int font_failed = 0;
    std::array<Glyph, 128> glyphs;
    std::array<uint8_t, 128> glyph_ready{};
    std::string error;
    int32_t mouse_dx = 0, mouse_dy = 0, mouse_dz = 0;  // gathered since the last take
    std::vector<SDL_Joystick*> joysticks;               // open, by SDL's instance id
    int joystick_system = 0;                            // SDL's joystick subsystem is started
    uint64_t refresh_us = 16667;                        // the display's refresh period
    uint64_t present_every_us = 16667;                  // the least time between presents outside flips
    void (*tick_observer)(uint32_t, void*) = nullptr;   // a test's look at each tick reading
    void* tick_context = nullptr;
};

State g;

void set_error(const char* what) {
    g.error = what;
    const char* detail = SDL_GetError();
    if (detail && *detail) {
        g.error += ": ";
        g.error += detail;
    }
}

void refresh_keys() {
    int n = 0;
    const Uint8* keys = SDL_GetKeyboardState(&n);
    for (int sc = 0; sc < KEY_SCANCODE_COUNT; ++sc) g.scancodes[sc] = (keys && sc < n) ? keys[sc] : 0;
}

void show_frame() {
    if (!g.renderer || !g.texture || g.frame.empty()) return;
    SDL_UpdateTexture(g.texture, nullptr, g.frame.data(), g.frame_w * 4);
    SDL_SetRenderDrawColor(g.renderer, 0, 0, 0, 255);
    SDL_RenderClear(g.renderer);
    SDL_RenderCopy(g.renderer, g.texture, nullptr, nullptr);
}

int load_font() {
    if (g.font) return 1;
    if (g.font_failed) return 0;
    if (!TTF_WasInit() && TTF_Init() != 0) {
        set_error("cannot start the text renderer");
        g.font_failed = 1;
        return 0;
    }
    g.font = TTF_OpenFont(kFontPath, kFontSize);
    if (!g.font) {
        set_error("cannot open the font " "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
        g.font_failed = 1;
        return 0;
    }
    TTF_SetFontHinting(g.font, TTF_HINTING_MONO);
    return 1;
}

const Glyph* glyph(unsigned char c) {
    if (c >= 128 || c < 32) c = '?';
    if (g.glyph_ready[c]) return &g.glyphs[c];
    Glyph& gl = g.glyphs[c];
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics(g.font, c, &minx, &maxx, &miny, &maxy, &advance) != 0) advance = kFontSize / 2;
    gl.advance = advance;
    char text[2] = {static_cast<char>(c), 0};
    SDL_Surface* s = (c == ' ') ? nullptr : TTF_RenderUTF8_Solid(g.font, text, SDL_Color{255, 255, 255, 255});
    if (s) {
        if (SDL_LockSurface(s) == 0) {
            gl.w = s->w;
            gl.h = s->h;
            gl.bits.assign(static_cast<size_t>(s->w) * s->h, 0);
            const uint8_t* px = static_cast<const uint8_t*>(s->pixels);
            for (int y = 0; y < s->h; ++y)
                for (int x = 0; x < s->w; ++x) gl.bits[static_cast<size_t>(y) * s->w + x] = px[y * s->pitch + x] ? 1 : 0;
            SDL_UnlockSurface(s);
        }
        SDL_FreeSurface(s);
    }
    g.glyph_ready[c] = 1;
    return &gl;
}

// Gathers mouse motion as the desktop reports it. Installed before the renderer, whose own
// watch rescales motion to the logical picture (and rounds slow motion away), so this one sees
// the events first.
int mouse_watch(void*, SDL_Event* e) {
    if (e->type == SDL_MOUSEMOTION) {
        g.mouse_dx += e->motion.xrel;
        g.mouse_dy += e->motion.yrel;
    } else if (e->type == SDL_MOUSEWHEEL) {
        const int notches = e->wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e->wheel.y : e->wheel.y;
        g.mouse_dz += notches * 120;
    }
    return 1;
}

// SDL's joystick subsystem runs while joysticks are being enumerated or are open.
int joystick_system_up() {
    if (g.joystick_system) return 1;
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return 0;
    g.joystick_system = 1;
    return 1;
}

void joystick_system_idle() {
    if (g.joystick_system && g.joysticks.empty()) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        g.joystick_system = 0;
    }
}

SDL_Joystick* open_joystick(int32_t handle) {
    for (SDL_Joystick* j : g.joysticks)
        if (SDL_JoystickInstanceID(j) == handle) return j;
    return nullptr;
}

PlatGuid guid_at(int index) {
    const SDL_JoystickGUID sg = SDL_JoystickGetDeviceGUID(index);
    PlatGuid out{};
    static_assert(sizeof sg.data == sizeof out.data, "both identifiers are 16 bytes");
    std::memcpy(out.data, sg.data, sizeof out.data);
    return out;
}

// A hat's directions as hundredths of degrees clockwise from up; centred is 0xFFFFFFFF.
uint32_t pov_of_hat(Uint8 hat) {
    switch (hat) {
        case SDL_HAT_UP: return 0;
        case SDL_HAT_RIGHTUP: return 4500;
        case SDL_HAT_RIGHT: return 9000;
        case SDL_HAT_RIGHTDOWN: return 13500;
        case SDL_HAT_DOWN: return 18000;
        case SDL_HAT_LEFTDOWN: return 22500;
        case SDL_HAT_LEFT: return 27000;
        case SDL_HAT_LEFTUP: return 31500;
        default: return 0xFFFFFFFFu;
    }
}

bool named_driver_is(const char* name) {
    const char* env = std::getenv("SDL_VIDEODRIVER");
    return env && SDL_strcasecmp(env, name) == 0;
}

}  // namespace

const char* plat_error_text() { return g.error.c_str(); }

void sdl_backend_fail(const char* what) { set_error(what); }

// ---- window ----

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
        g.error = "cannot open the display: no X11 or Wayland display is available";
        return PLAT_ERR_REFUSED;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        set_error("cannot open the display");
        return PLAT_ERR_REFUSED;
    }
    // Drivers that show nothing count as no display unless asked for by name.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) &&
        !named_driver_is(driver)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        g.error = "cannot open the display: no X11 or Wayland display is available";
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
    // At the desktop's size at (0, 0): covers the screen with or without a window manager.
    g.window = SDL_CreateWindow(title, 0, 0, w, h, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN);
    if (!g.window) {
        set_error("cannot make the window");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return PLAT_ERR_REFUSED;
    }
    std::memset(g.scancodes, 0, sizeof g.scancodes);
    g.mouse_dx = g.mouse_dy = g.mouse_dz = 0;
    SDL_AddEventWatch(mouse_watch, nullptr);
    return PLAT_OK;
}

void backend_window_close() {
    backend_device_close();
    if (g.window) SDL_DelEventWatch(mouse_watch, nullptr);
    if (g.window) SDL_DestroyWindow(g.window);
    g.window = nullptr;
    if (g.font) TTF_CloseFont(g.font);
    g.font = nullptr;
    g.glyph_ready.fill(0);
    if (TTF_WasInit()) TTF_Quit();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void backend_pump_events() {
    if (!g.window) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_QUIT:
                message_queue_push(PLAT_MSG_DESTROY, 0);
                break;
            case SDL_WINDOWEVENT:
                if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
                    message_queue_push(PLAT_MSG_PAINT, 0);
                    if (g.renderer) {
                        show_frame();
                        SDL_RenderPresent(g.renderer);
                    }
                } else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
                    // No key may stay down while another window has the keyboard.
                    SDL_ResetKeyboard();
                }
                break;
            default:
                break;  // nothing else means anything to the game
        }
    }
    refresh_keys();
}

void backend_cursor_show(int shown) {
    if (g.window) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

const uint8_t* backend_scancode_state() { return g.scancodes; }

// ---- mouse and joysticks ----

void backend_mouse_take(int32_t* dx, int32_t* dy, int32_t* dz, uint8_t buttons[4]) {
    *dx = g.mouse_dx;
    *dy = g.mouse_dy;
    *dz = g.mouse_dz;
    g.mouse_dx = g.mouse_dy = g.mouse_dz = 0;
    const Uint32 held = g.window ? SDL_GetMouseState(nullptr, nullptr) : 0;
    buttons[0] = (held & SDL_BUTTON_LMASK) ? 1 : 0;
    buttons[1] = (held & SDL_BUTTON_RMASK) ? 1 : 0;
    buttons[2] = (held & SDL_BUTTON_MMASK) ? 1 : 0;
    buttons[3] = (held & SDL_BUTTON_X1MASK) ? 1 : 0;
}

int32_t backend_joystick_count() {
    if (!joystick_system_up()) return 0;
    const int n = SDL_NumJoysticks();
    joystick_system_idle();
    return n > 0 ? n : 0;
}

int backend_joystick_info(int32_t index, PlatDeviceInstance* info) {
    if (!joystick_system_up()) return PLAT_ERR_REFUSED;
    int r = PLAT_ERR_INVALID;
    if (index >= 0 && index < SDL_NumJoysticks()) {
        std::memset(info, 0, sizeof *info);
        info->guidInstance = guid_at(index);
        const char* name = SDL_JoystickNameForIndex(index);
        SDL_strlcpy(info->tszProductName, name ? name : "", sizeof info->tszProductName);
        r = PLAT_OK;
    }
    joystick_system_idle();
    return r;
}

int backend_joystick_open(const PlatGuid* guid, int32_t* handle) {
    if (!joystick_system_up()) return PLAT_ERR_REFUSED;
    const int n = SDL_NumJoysticks();
    for (int i = 0; i < n; ++i) {
        const PlatGuid at = guid_at(i);
        if (std::memcmp(at.data, guid->data, sizeof at.data) != 0) continue;
        SDL_Joystick* j = SDL_JoystickOpen(i);
        if (!j) break;
        g.joysticks.push_back(j);
        *handle = SDL_JoystickInstanceID(j);
        return PLAT_OK;
    }
    joystick_system_idle();
    return PLAT_ERR_REFUSED;
}

void backend_joystick_close(int32_t handle) {
    for (size_t i = 0; i < g.joysticks.size(); ++i)
        if (SDL_JoystickInstanceID(g.joysticks[i]) == handle) {
            SDL_JoystickClose(g.joysticks[i]);
            g.joysticks.erase(g.joysticks.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    joystick_system_idle();
}

int backend_joystick_poll(int32_t handle) {
    SDL_Joystick* j = open_joystick(handle);
    if (!j) return PLAT_ERR_INVALID;
    SDL_JoystickUpdate();
    return SDL_JoystickGetAttached(j) ? PLAT_OK : PLAT_ERR_REFUSED;
}

int backend_joystick_read(int32_t handle, BackendJoystickRaw* raw) {
    SDL_Joystick* j = open_joystick(handle);
    if (!j || !SDL_JoystickGetAttached(j)) return PLAT_ERR_REFUSED;
    std::memset(raw, 0, sizeof *raw);
    const int axes = SDL_JoystickNumAxes(j);
    raw->axis_count = axes < 0 ? 0 : (axes > 8 ? 8 : axes);
    for (int i = 0; i < raw->axis_count; ++i) raw->axes[i] = SDL_JoystickGetAxis(j, i);
    const int hats = SDL_JoystickNumHats(j);
    for (int i = 0; i < 4; ++i) raw->pov[i] = i < hats ? pov_of_hat(SDL_JoystickGetHat(j, i)) : 0xFFFFFFFFu;
    const int buttons = SDL_JoystickNumButtons(j);
    for (int i = 0; i < 32 && i < buttons; ++i) raw->buttons[i] = SDL_JoystickGetButton(j, i) ? 1 : 0;
    return PLAT_OK;
}

namespace {

// Microseconds since the first reading, from the performance counter; the millisecond counter
// is the same clock cut to whole milliseconds, so the two never disagree.
uint64_t fine_now() {
    static const uint64_t freq = SDL_GetPerformanceFrequency();
    static const uint64_t origin = SDL_GetPerformanceCounter();
    const uint64_t t = SDL_GetPerformanceCounter() - origin;
    return (t / freq) * 1000000u + (t % freq) * 1000000u / freq;
}

}  // namespace

// Each reading of the counter also shows what was written into the primary surface since it was
// last shown, at most once a refresh: a program drawing into it waits on the counter. Where
// showing a picture costs more than a refresh allows (software rendering), it is shown less
// often, so that showing takes at most an eighth of the time and a paced drawing keeps its pace.
uint32_t plat_ticks() {
    const uint64_t now = fine_now();
    if (video_present_primary_if_changed(now, g.present_every_us)) {
        const uint64_t cost = fine_now() - now;
        g.present_every_us = cost * 8 > g.refresh_us ? cost * 8 : g.refresh_us;
    }
    const uint32_t ms = static_cast<uint32_t>(now / 1000u);
    if (g.tick_observer) g.tick_observer(ms, g.tick_context);
    return ms;
}

void sdl_backend_on_tick(void (*observer)(uint32_t now, void* context), void* context) {
    g.tick_observer = observer;
    g.tick_context = context;
}

int plat_ticks_fine(uint64_t* microseconds) {
    if (!microseconds) return PLAT_ERR_INVALID;
    *microseconds = fine_now();
    return PLAT_OK;
}

// ---- display ----

int backend_allows(const char*) { return 1; }

int backend_device_open() {
    if (!g.window) {
        g.error = "cannot open the display: there is no window";
        return PLAT_ERR_REFUSED;
    }
    g.renderer = SDL_CreateRenderer(g.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    SDL_RendererInfo info{};
    g.vsync = g.renderer && SDL_GetRendererInfo(g.renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
    if (!g.renderer) g.renderer = SDL_CreateRenderer(g.window, -1, SDL_RENDERER_SOFTWARE);
    if (!g.renderer) {
        set_error("cannot open the display");
        return PLAT_ERR_REFUSED;
    }
    SDL_DisplayMode shown{};
    const int hz = SDL_GetWindowDisplayMode(g.window, &shown) == 0 ? shown.refresh_rate : 0;
    g.refresh_us = g.present_every_us = 1000000u / static_cast<uint64_t>(hz > 0 ? hz : 60);
    return PLAT_OK;
}

void backend_device_close() {
    if (g.texture) SDL_DestroyTexture(g.texture);
    g.texture = nullptr;
    if (g.renderer) SDL_DestroyRenderer(g.renderer);
    g.renderer = nullptr;
    g.frame.clear();
    g.mode_w = g.mode_h = 0;
}

int backend_set_mode(int32_t width, int32_t height, int32_t) {
    if (!g.renderer) return PLAT_ERR_REFUSED;
    SDL_Texture* t = SDL_CreateTexture(g.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!t) {
        set_error("cannot set the display mode");
        return PLAT_ERR_UNSUPPORTED;
    }
    if (g.texture) SDL_DestroyTexture(g.texture);
    g.texture = t;
    // 4:3 kept with black borders, scaled by nearest pixel.
    SDL_RenderSetLogicalSize(g.renderer, width, height);
    g.mode_w = width;
    g.mode_h = height;
    return PLAT_OK;
}

void backend_present(const uint8_t* pixels, int32_t pitch, int32_t width, int32_t height,
                     const PaletteEntry* palette, int wait_refresh) {
    if (!g.renderer || !g.texture || width != g.mode_w || height != g.mode_h) return;
    uint32_t lut[256];
    convert_palette_to_argb(palette, lut);
    g.frame.resize(static_cast<size_t>(width) * height);
    g.frame_w = width;
    g.frame_h = height;
    convert_frame(pixels, pitch, width, height, lut, g.frame.data(), width * 4);
    show_frame();
    // Vsync holds a flip to the refresh; a palette step of a fade is shown without that wait.
    if (!wait_refresh && g.vsync) SDL_RenderSetVSync(g.renderer, 0);
    SDL_RenderPresent(g.renderer);
    if (!wait_refresh && g.vsync) SDL_RenderSetVSync(g.renderer, 1);
}

void backend_wait_vblank() {}

int backend_text_draw(uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                      const char* text, uint8_t index) {
    if (!load_font()) return PLAT_ERR_REFUSED;
    int64_t pen = x;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        const Glyph* gl = glyph(*c);
        for (int gy = 0; gy < gl->h; ++gy) {
            int64_t py = int64_t(y) + gy;
            if (py < 0 || py >= height) continue;
            for (int gx = 0; gx < gl->w; ++gx) {
                int64_t px = pen + gx;
                if (px < 0 || px >= width || !gl->bits[static_cast<size_t>(gy) * gl->w + gx]) continue;
                pixels[py * pitch + px] = index;
            }
        }
        pen += gl->advance;
        if (pen > width) break;
    }
    return PLAT_OK;
}

// ---- readback ----

int sdl_backend_read_frame(uint32_t* out, int32_t width, int32_t height) {
    if (!out || g.frame.empty() || width != g.frame_w || height != g.frame_h) return 0;
    std::memcpy(out, g.frame.data(), g.frame.size() * 4);
    return 1;
}

int sdl_backend_read_renderer(uint32_t* out, int32_t width, int32_t height) {
    int w = 0, h = 0;
    if (!out || !g.renderer || SDL_GetRendererOutputSize(g.renderer, &w, &h) != 0 || w != width || h != height)
        return 0;
    show_frame();
    // The logical size would scale the read rectangle; read the whole output unscaled.
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(g.renderer, &lw, &lh);
    SDL_RenderSetLogicalSize(g.renderer, 0, 0);
    int r = SDL_RenderReadPixels(g.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, out, width * 4);
    SDL_RenderSetLogicalSize(g.renderer, lw, lh);
    return r == 0;
}

int sdl_backend_window_size(int32_t* width, int32_t* height) {
    if (!g.window) return 0;
    int w = 0, h = 0;
    if (g.renderer) SDL_GetRendererOutputSize(g.renderer, &w, &h);
    else SDL_GetWindowSize(g.window, &w, &h);
    if (width) *width = w;
    if (height) *height = h;
    return 1;
}

const char* sdl_backend_video_driver() {
    const char* d = g.window ? SDL_GetCurrentVideoDriver() : nullptr;
    return d ? d : "";
}
