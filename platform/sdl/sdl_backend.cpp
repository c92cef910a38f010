// The SDL backend: a full-screen desktop window, the 8-bit picture converted through the
// palette and scaled up with nearest-pixel filtering, keys by physical position, SDL's ticks.
#include <SDL.h>
#include <SDL_ttf.h>

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

bool named_driver_is(const char* name) {
    const char* env = std::getenv("SDL_VIDEODRIVER");
    return env && SDL_strcasecmp(env, name) == 0;
}

}  // namespace

const char* plat_error_text() { return g.error.c_str(); }

void sdl_backend_fail(const char* what) { set_error(what); }

// ---- window ----

int backend_window_open(const char* title) {
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
    return PLAT_OK;
}

void backend_window_close() {
    backend_device_close();
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

uint32_t plat_ticks() { return SDL_GetTicks(); }

// ---- display ----

int backend_allows(const char*) { return 1; }

int backend_device_open() {
    if (!g.window) {
        g.error = "cannot open the display: there is no window";
        return PLAT_ERR_REFUSED;
    }
    g.renderer = SDL_CreateRenderer(g.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!g.renderer) g.renderer = SDL_CreateRenderer(g.window, -1, SDL_RENDERER_SOFTWARE);
    if (!g.renderer) {
        set_error("cannot open the display");
        return PLAT_ERR_REFUSED;
    }
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
                     const PaletteEntry* palette) {
    if (!g.renderer || !g.texture || width != g.mode_w || height != g.mode_h) return;
    uint32_t lut[256];
    convert_palette_to_argb(palette, lut);
    g.frame.resize(static_cast<size_t>(width) * height);
    g.frame_w = width;
    g.frame_h = height;
    convert_frame(pixels, pitch, width, height, lut, g.frame.data(), width * 4);
    show_frame();
    SDL_RenderPresent(g.renderer);
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
