#pragma once
/// \file
/// SDL's own surfaces, blitters and fills, wrapped so that benchmarks can measure the project's
/// code against them without including SDL themselves. Internal to the tests and benchmarks.
#include <cstdint>

#include "platform/video.h"

struct SdlPeerSurface;

/// An 8-bit palettised SDL surface (palette may be null: grey ramp); null on failure.
SdlPeerSurface* sdl_peer_index8(int32_t width, int32_t height, const PaletteEntry* palette);
/// A 32-bit ARGB8888 SDL surface.
SdlPeerSurface* sdl_peer_argb(int32_t width, int32_t height);
/// A 24-bit RGB24 SDL surface (red, green, blue bytes), no alpha.
SdlPeerSurface* sdl_peer_rgb24(int32_t width, int32_t height);
/// SDL_FreeSurface and the wrapper with it; a null surface does nothing.
void sdl_peer_free(SdlPeerSurface* surface);
/// The surface's pixels and pitch.
uint8_t* sdl_peer_pixels(SdlPeerSurface* surface, int32_t* pitch);
/// SDL_SetColorKey, on: 0 on success, -1 for a null surface or when SDL refuses.
int sdl_peer_set_color_key(SdlPeerSurface* surface, uint32_t key);
/// SDL_BlitSurface; rectangles as left, top, right (exclusive), bottom (exclusive); 0 on success.
int sdl_peer_blit(SdlPeerSurface* src, const PlatRect* src_rect, SdlPeerSurface* dst, const PlatRect* dst_rect);
/// SDL_BlitScaled.
int sdl_peer_blit_scaled(SdlPeerSurface* src, const PlatRect* src_rect, SdlPeerSurface* dst, const PlatRect* dst_rect);
/// SDL_SoftStretch (nearest pixel, same format, no colour key): SDL's stretcher for 8-bit
/// surfaces, which SDL_BlitScaled does not handle.
int sdl_peer_soft_stretch(SdlPeerSurface* src, const PlatRect* src_rect, SdlPeerSurface* dst, const PlatRect* dst_rect);
/// SDL_FillRect of the whole surface.
int sdl_peer_fill(SdlPeerSurface* dst, uint32_t colour);

/// SDL_LoadWAV of the file, then SDL's own conversion to unsigned 8-bit mono at the file's rate
/// (SDL_BuildAudioCVT, SDL_ConvertAudio; none when it is that already), then SDL_FreeWAV: the
/// count of bytes converted, or -1.
int64_t sdl_peer_load_wav(const char* path);
/// SDL_LoadBMP: the file as an SDL surface, or null.
SdlPeerSurface* sdl_peer_load_bmp(const char* name);
/// SDL_LoadBMP, then SDL_ConvertSurfaceFormat to 16-bit RGB555 (the loader's 5-5-5 words), the
/// loaded surface freed: the converted surface, or null when either step fails.
SdlPeerSurface* sdl_peer_load_bmp_555(const char* name);
/// SDL_SaveBMP of the surface; 0 on success.
int sdl_peer_save_bmp(SdlPeerSurface* surface, const char* name);
/// SDL_LoadBMP of the file converted to red, green, blue bytes, top row first, rows without
/// gaps (alpha dropped); null when SDL refuses the file. Release with sdl_peer_release.
uint8_t* sdl_peer_decode_bmp(const char* name, int32_t* width, int32_t* height);
/// SDL_free.
void sdl_peer_release(void* memory);
