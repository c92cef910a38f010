#pragma once
// The one full-screen 8-bit display: device, primary surface with one back surface, palette,
// clipper, flip, fill and locking, and the globals every drawing operation reads.
#include <cstdint>

#include "platform/video.h"

// Placement of off-screen surfaces.
enum { DDSCAPS_SYSTEMMEMORY = 0x800, DDSCAPS_VIDEOMEMORY = 0x4000 };

// How many times a failing flip is asked again before the flip gives up.
enum { DISPLAY_FLIP_RETRIES = 16 };

// The shared scratch record of the lock operations.
struct SurfaceDesc {
    uint32_t dwSize;     // 108
    uint8_t* lpSurface;  // first pixel of the locked surface
    int32_t lPitch;      // bytes from one row to the next
};

extern int32_t display_width;                                 // 640 until a mode is set
extern int32_t display_height;                                // 480
extern int32_t display_bpp;                                   // 8
extern int32_t clip_left, clip_top, clip_right, clip_bottom;  // 0, 0, 639, 479: inclusive, never changed
extern PlatDevice* display_device;
extern PlatSurface* display_primary;
extern PlatSurface* display_back;
extern PlatPalette* display_palette;
extern PlatClipper* display_clipper;
extern PaletteEntry palette_entries[256];
extern uint8_t* primary_pixels;  // null while unlocked
extern int32_t primary_pitch;    // 0 while unlocked
extern uint8_t* back_pixels;
extern int32_t back_pitch;
extern SurfaceDesc display_desc;

int display_init(int32_t width, int32_t height, int32_t bpp);
//   Opens the device, sets the mode, makes the flipping chain and the start-up ramp palette.
//   1, or 0 at the first failing step (what was made stays for display_shutdown).
int display_shutdown();
//   Releases clipper, palette, back, primary and device, in that order; 1.
PlatClipper* display_attach_clipper(PlatSurface* surface, int32_t count, const PlatRect* rects);
//   A new clipper holding the rectangles, attached to the surface; null on any refusal.
PlatRegionHeader* display_make_region(int32_t count, const PlatRect* rects);
//   The region block for a clip list: 32-byte header then the rectangles, with its bound.
//   Allocated with malloc (free it with free); null for a negative count or no memory.
PlatSurface* display_create_surface(int32_t width, int32_t height, uint32_t caps);
//   An off-screen surface whose colour key makes index 0 transparent; null when refused.
int display_flip();
//   1 after a flip; 0 while the primary or back surface is locked, or when every retry failed.
int display_wait_vblank();
//   1.
int display_fill_surface(PlatSurface* surface, int32_t colour);
//   Fills the whole surface with a palette index; 1.
uint8_t* display_lock_surface(PlatSurface* surface, int32_t* pitch);
//   Pixel pointer of the locked surface (pitch stored when asked for); null when refused.
int display_unlock_surface(PlatSurface* surface, uint8_t* pixels);
//   1; 0 for a null surface.
uint8_t* display_lock_primary();
//   primary_pixels, locking only when not yet locked.
int display_unlock_primary();
//   1; 0 when the primary surface was not locked.
uint8_t* display_lock_back();
//   back_pixels, locking only when not yet locked.
int display_unlock_back();
//   1; 0 when the back surface was not locked.
