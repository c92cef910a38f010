// The SDL backend's text on the desktop: a glyph cache of the desktop font, each glyph rendered
// by SDL_ttf as it is first needed.
#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <vector>

#include "platform/common/backend.h"
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

int backend_text_draw(uint8_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                      const char* text, uint8_t index) {
    if (!load_font()) return PLAT_ERR_REFUSED;
    glyph_text_draw(glyph, pixels, pitch, width, height, x, y, text, index);
    return PLAT_OK;
}
