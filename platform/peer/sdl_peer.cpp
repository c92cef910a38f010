#include "platform/peer/sdl_peer.h"

#include <SDL.h>

struct SdlPeerSurface {
    SDL_Surface* s;
};

namespace {

SDL_Rect to_sdl(const PlatRect& r) { return SDL_Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}; }

}  // namespace

SdlPeerSurface* sdl_peer_index8(int32_t width, int32_t height, const PaletteEntry* palette) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 8, SDL_PIXELFORMAT_INDEX8);
    if (!s) return nullptr;
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) {
        if (palette) colours[i] = SDL_Color{palette[i].peRed, palette[i].peGreen, palette[i].peBlue, 255};
        else colours[i] = SDL_Color{Uint8(i), Uint8(i), Uint8(i), 255};
    }
    SDL_SetPaletteColors(s->format->palette, colours, 0, 256);
    return new SdlPeerSurface{s};
}

SdlPeerSurface* sdl_peer_argb(int32_t width, int32_t height) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    return s ? new SdlPeerSurface{s} : nullptr;
}

void sdl_peer_free(SdlPeerSurface* surface) {
    if (!surface) return;
    SDL_FreeSurface(surface->s);
    delete surface;
}

uint8_t* sdl_peer_pixels(SdlPeerSurface* surface, int32_t* pitch) {
    if (!surface) return nullptr;
    if (pitch) *pitch = surface->s->pitch;
    return static_cast<uint8_t*>(surface->s->pixels);
}

int sdl_peer_set_color_key(SdlPeerSurface* surface, uint32_t key) {
    return surface ? SDL_SetColorKey(surface->s, SDL_TRUE, key) : -1;
}

int sdl_peer_blit(SdlPeerSurface* src, const PlatRect* src_rect, SdlPeerSurface* dst, const PlatRect* dst_rect) {
    SDL_Rect s, d;
    if (src_rect) s = to_sdl(*src_rect);
    if (dst_rect) d = to_sdl(*dst_rect);
    return SDL_BlitSurface(src->s, src_rect ? &s : nullptr, dst->s, dst_rect ? &d : nullptr);
}

int sdl_peer_blit_scaled(SdlPeerSurface* src, const PlatRect* src_rect, SdlPeerSurface* dst, const PlatRect* dst_rect) {
    SDL_Rect s, d;
    if (src_rect) s = to_sdl(*src_rect);
    if (dst_rect) d = to_sdl(*dst_rect);
    return SDL_BlitScaled(src->s, src_rect ? &s : nullptr, dst->s, dst_rect ? &d : nullptr);
}

int sdl_peer_fill(SdlPeerSurface* dst, uint32_t colour) { return SDL_FillRect(dst->s, nullptr, colour); }

int sdl_peer_soft_stretch(SdlPeerSurface* src, const PlatRect* src_rect, SdlPeerSurface* dst,
                          const PlatRect* dst_rect) {
    SDL_Rect s, d;
    if (src_rect) s = to_sdl(*src_rect);
    if (dst_rect) d = to_sdl(*dst_rect);
    return SDL_SoftStretch(src->s, src_rect ? &s : nullptr, dst->s, dst_rect ? &d : nullptr);
}

int64_t sdl_peer_load_wav(const char* path) {
    SDL_AudioSpec format{};
    Uint8* bytes = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path, &format, &bytes, &length)) return -1;
    SDL_AudioCVT cvt;
    const int needed = SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq, AUDIO_U8, 1, format.freq);
    if (needed < 0) {
        SDL_FreeWAV(bytes);
        return -1;
    }
    int64_t converted = length;
    if (needed > 0) {
        cvt.len = int(length);
        cvt.buf = static_cast<Uint8*>(SDL_malloc(size_t(length) * size_t(cvt.len_mult)));
        if (!cvt.buf) {
            SDL_FreeWAV(bytes);
            return -1;
        }
        SDL_memcpy(cvt.buf, bytes, length);
        converted = SDL_ConvertAudio(&cvt) == 0 ? cvt.len_cvt : -1;
        SDL_free(cvt.buf);
    }
    SDL_FreeWAV(bytes);
    return converted;
}

SdlPeerSurface* sdl_peer_load_bmp(const char* name) {
    SDL_Surface* s = SDL_LoadBMP(name);
    return s ? new SdlPeerSurface{s} : nullptr;
}

SdlPeerSurface* sdl_peer_load_bmp_555(const char* name) {
    SDL_Surface* loaded = SDL_LoadBMP(name);
    if (!loaded) return nullptr;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB555, 0);
    SDL_FreeSurface(loaded);
    return s ? new SdlPeerSurface{s} : nullptr;
}

SdlPeerSurface* sdl_peer_rgb24(int32_t width, int32_t height) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_RGB24);
    return s ? new SdlPeerSurface{s} : nullptr;
}

int sdl_peer_save_bmp(SdlPeerSurface* surface, const char* name) {
    return surface ? SDL_SaveBMP(surface->s, name) : -1;
}

uint8_t* sdl_peer_decode_bmp(const char* name, int32_t* width, int32_t* height) {
    SDL_Surface* loaded = SDL_LoadBMP(name);
    if (!loaded) return nullptr;
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB24, 0);
    SDL_FreeSurface(loaded);
    if (!rgb) return nullptr;
    const size_t row = 3 * static_cast<size_t>(rgb->w);
    uint8_t* out = static_cast<uint8_t*>(SDL_malloc(row * static_cast<size_t>(rgb->h) + 1));
    if (out) {
        for (int y = 0; y < rgb->h; ++y)
            SDL_memcpy(out + y * row, static_cast<const uint8_t*>(rgb->pixels) + y * rgb->pitch, row);
        *width = rgb->w;
        *height = rgb->h;
    }
    SDL_FreeSurface(rgb);
    return out;
}

void sdl_peer_release(void* memory) { SDL_free(memory); }
