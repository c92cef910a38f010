#pragma once
/// \file
/// The one full-screen 8-bit display: device, primary surface with one back surface, palette,
/// clipper, flip, fill and locking, and the globals every drawing operation reads.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/video.h"

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct SurfaceDesc SurfaceDesc;
#endif

/// Placement of off-screen surfaces.
enum {
    DDSCAPS_SYSTEMMEMORY = 0x800,  ///< in ordinary memory (where every surface lives)
    DDSCAPS_VIDEOMEMORY = 0x4000,  ///< in display memory: accepted, and taken as ordinary memory
};

/// How many times a failing flip is asked again before the flip gives up.
enum { DISPLAY_FLIP_RETRIES = 16 };

/// The shared scratch record of the lock operations.
struct SurfaceDesc {
    uint32_t dwSize;     ///< 108
    uint8_t* lpSurface;  ///< first pixel of the locked surface
    int32_t lPitch;      ///< bytes from one row to the next
};

extern int32_t display_width;              ///< 640 until a mode is set
extern int32_t display_height;             ///< 480
extern int32_t display_bpp;                ///< 8
extern int32_t clip_left;                  ///< 0: the clip rectangle's left column, inclusive, never changed
extern int32_t clip_top;                   ///< 0: its top row
extern int32_t clip_right;                 ///< 639: its right column
extern int32_t clip_bottom;                ///< 479: its bottom row
extern PlatDevice* display_device;         ///< made by display_init(), null after display_shutdown()
extern PlatSurface* display_primary;       ///< the visible surface
extern PlatSurface* display_back;          ///< the back surface, where a frame is drawn before the flip
extern PlatPalette* display_palette;       ///< the palette the primary surface shows through
extern PlatClipper* display_clipper;       ///< a clipper the program keeps here; display_shutdown() releases it
extern PaletteEntry palette_entries[256];  ///< the colours shown, as last installed
extern uint8_t* primary_pixels;            ///< null while unlocked
extern int32_t primary_pitch;              ///< 0 while unlocked
extern uint8_t* back_pixels;               ///< null while unlocked
extern int32_t back_pitch;                 ///< 0 while unlocked
extern SurfaceDesc display_desc;           ///< filled by the last lock

/// Opens the device, sets the mode, makes the flipping chain and the start-up ramp palette.
/// 1, or 0 at the first failing step (what was made stays for display_shutdown()).
int display_init(int32_t width, int32_t height, int32_t bpp);
/// Releases clipper, palette, back, primary and device, in that order; 1.
int display_shutdown(void);
/// A new clipper holding the rectangles, attached to the surface; null on any refusal.
PlatClipper* display_attach_clipper(PlatSurface* surface, int32_t count, const PlatRect* rects);
/// The region block for a clip list: 32-byte header then the rectangles, with its bound.
/// Allocated with malloc (free it with free); null for a negative count or no memory.
PlatRegionHeader* display_make_region(int32_t count, const PlatRect* rects);
/// An off-screen surface whose colour key makes index 0 transparent; null when refused.
PlatSurface* display_create_surface(int32_t width, int32_t height, uint32_t caps);
/// 1 after a flip; 0 while the primary or back surface is locked, or when every retry failed.
int display_flip(void);
/// 1.
int display_wait_vblank(void);
/// Fills the whole surface with a palette index; 1.
int display_fill_surface(PlatSurface* surface, int32_t colour);
/// Pixel pointer of the locked surface (pitch stored when asked for); null when refused.
uint8_t* display_lock_surface(PlatSurface* surface, int32_t* pitch);
/// 1; 0 for a null surface.
int display_unlock_surface(PlatSurface* surface, uint8_t* pixels);
/// primary_pixels, locking only when not yet locked.
uint8_t* display_lock_primary(void);
/// 1; 0 when the primary surface was not locked.
int display_unlock_primary(void);
/// back_pixels, locking only when not yet locked.
uint8_t* display_lock_back(void);
/// 1; 0 when the back surface was not locked.
int display_unlock_back(void);

#ifdef __cplusplus
}  // extern "C"
#endif
