// The SDL backend's display: the renderer over the window, the 8-bit picture converted through
// the palette and scaled up with nearest-pixel filtering, and text from a glyph cache of the
// desktop font.
#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <vector>

#include "platform/common/backend.h"
#include "platform/common/convert.h"
#include "platform/common/glyph_text.h"
#include "platform/sdl/sdl_state.h"
#include "platform/status.h"

namespace {

const char* const kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const int kFontSize = 13;

struct Glyph {
    GlyphImage image{};         // what text is drawn from; its bits are the ones below
    std::vector<uint8_t> bits;  // w * h, 1 where the glyph is drawn
};

// The font and the glyphs drawn from it, made at the first text.
struct GlyphCache {
    TTF_Font* font = nullptr;
    int font_failed = 0;
    std::array<Glyph, 128> glyphs;
    std::array<uint8_t, 128> glyph_ready{};
};

GlyphCache cache;

int load_font() {
    if (cache.font) return 1;
    if (cache.font_failed) return 0;
    if (!TTF_WasInit() && TTF_Init() != 0) {
        sdl_set_error("cannot start the text renderer");
        cache.font_failed = 1;
        return 0;
    }
    cache.font = TTF_OpenFont(kFontPath, kFontSize);
    if (!cache.font) {
        sdl_set_error("cannot open the font /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
        cache.font_failed = 1;
        return 0;
    }
    TTF_SetFontHinting(cache.font, TTF_HINTING_MONO);
    return 1;
}

const GlyphImage* glyph(unsigned char c) {
    if (c >= 128 || c < 32) c = '?';
    if (cache.glyph_ready[c]) return &cache.glyphs[c].image;
    Glyph& gl = cache.glyphs[c];
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics(cache.font, c, &minx, &maxx, &miny, &maxy, &advance) != 0) advance = kFontSize / 2;
    gl.image.advance = advance;
    char text[2] = {static_cast<char>(c), 0};
    SDL_Surface* s = (c == ' ') ? nullptr : TTF_RenderUTF8_Solid(cache.font, text, SDL_Color{255, 255, 255, 255});
    if (s) {
        if (SDL_LockSurface(s) == 0) {
            gl.image.w = s->w;
            gl.image.h = s->h;
            gl.bits.assign(static_cast<size_t>(s->w) * s->h, 0);
            gl.image.bits = gl.bits.data();
            const uint8_t* px = static_cast<const uint8_t*>(s->pixels);
            for (int y = 0; y < s->h; ++y)
                for (int x = 0; x < s->w; ++x)
                    gl.bits[static_cast<size_t>(y) * s->w + x] = px[y * s->pitch + x] ? 1 : 0;
            SDL_UnlockSurface(s);
        }
        SDL_FreeSurface(s);
    }
    cache.glyph_ready[c] = 1;
    return &gl.image;
}

}  // namespace

void sdl_glyphs_release() {
    if (cache.font) TTF_CloseFont(cache.font);
    cache.font = nullptr;
    cache.glyph_ready.fill(0);
    if (TTF_WasInit()) TTF_Quit();
}

void sdl_show_frame() {
    if (!sdl.renderer || !sdl.texture || sdl.frame.empty()) return;
    SDL_UpdateTexture(sdl.texture, nullptr, sdl.frame.data(), sdl.frame_w * 4);
    SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl.renderer);
    SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, nullptr);
}

int backend_allows(const char*) { return 1; }

int backend_device_open() {
    if (!sdl.window) {
        sdl.error = "cannot open the display: there is no window";
        return PLAT_ERR_REFUSED;
    }
    sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    SDL_RendererInfo info{};
    sdl.vsync =
        sdl.renderer && SDL_GetRendererInfo(sdl.renderer, &info) == 0 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
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
    // Vsync holds a flip to the refresh; a palette step of a fade is shown without that wait.
    if (!wait_refresh && sdl.vsync) SDL_RenderSetVSync(sdl.renderer, 0);
    SDL_RenderPresent(sdl.renderer);
    if (!wait_refresh && sdl.vsync) SDL_RenderSetVSync(sdl.renderer, 1);
}

void backend_wait_vblank() {}

int backend_text_draw(uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                      const char* text, uint8_t index) {
    if (!load_font()) return PLAT_ERR_REFUSED;
    glyph_text_draw(glyph, pixels, pitch, width, height, x, y, text, index);
    return PLAT_OK;
}
