#pragma once
/// \file
/// The 8-bit display: device, flipping primary surface, off-screen surfaces, palette,
/// clip lists, colour fill, keyed and stretched blits, locking, text.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct PaletteEntry PaletteEntry;
typedef struct PlatRect PlatRect;
typedef struct PlatRegionHeader PlatRegionHeader;
typedef struct PlatDevice PlatDevice;
typedef struct PlatSurface PlatSurface;
typedef struct PlatPalette PlatPalette;
typedef struct PlatClipper PlatClipper;
#endif

/// A palette entry: red, green, blue, flags.
struct PaletteEntry {
    uint8_t peRed;    ///< 0 to 255
    uint8_t peGreen;  ///< 0 to 255
    uint8_t peBlue;   ///< 0 to 255
    uint8_t peFlags;  ///< kept with the entry, not shown (the start-up palette and pictures set 4)
};

/// A rectangle. For blits and fills the right and bottom edges are exclusive.
struct PlatRect {
    int32_t left;    ///< first column
    int32_t top;     ///< first row
    int32_t right;   ///< last column, or the one after it
    int32_t bottom;  ///< last row, or the one after it
};

/// The header of a clip region: 32 bytes, followed in the same block by nCount rectangles.
struct PlatRegionHeader {
    uint32_t dwSize;    ///< 32
    uint32_t iType;     ///< PLAT_REGION_RECTANGLES
    uint32_t nCount;    ///< rectangles that follow
    uint32_t nRgnSize;  ///< 16 * nCount
    PlatRect rcBound;   ///< bounding rectangle of them all
};

/// The region type, a surface placement and a blit flag.
enum {
    PLAT_REGION_RECTANGLES = 1,       ///< the one region type: a list of rectangles
    PLAT_CAPS_SYSTEM_MEMORY = 0x800,  ///< placement hint for off-screen surfaces
    PLAT_BLIT_KEY_SOURCE = 0x1,       ///< skip source pixels inside the source's colour key
};

/// \struct PlatDevice
/// The display device: a handle made by plat_device_create().
struct PlatDevice;
/// \struct PlatSurface
/// An 8-bit surface (the primary, its back surface or an off-screen one): a handle; its pixels
/// are reached by locking it.
struct PlatSurface;
/// \struct PlatPalette
/// A palette of 256 entries: a handle made by plat_palette_create().
struct PlatPalette;
/// \struct PlatClipper
/// A clip list for the blits onto a surface: a handle made by plat_clipper_create().
struct PlatClipper;

/// Opens the display device; an error at once (never a wait) when no display can be had.
int plat_device_create(PlatDevice** out);
/// Takes the screen for the window, full screen and exclusive.
int plat_device_set_exclusive(PlatDevice* device);
/// Sets the display mode; only 8 bits per pixel are offered.
int plat_device_set_mode(PlatDevice* device, int32_t width, int32_t height, int32_t bpp);
/// Returns once a vertical blank begins (or at once where none can be waited for).
int plat_wait_vblank(PlatDevice* device);
/// Gives the device up; surfaces made from it stay valid until they are released.
void plat_device_release(PlatDevice* device);

/// The visible surface at the mode's size, with exactly one back surface behind it.
int plat_primary_create(PlatDevice* device, PlatSurface** out);
/// The back surface of the chain; a flip exchanges the pictures, the handle stays the back.
int plat_primary_back(PlatSurface* primary, PlatSurface** out);
/// An off-screen 8-bit surface; its pitch is the width rounded up to a multiple of 8.
int plat_surface_create(PlatDevice* device, int32_t width, int32_t height, uint32_t caps, PlatSurface** out);
/// Drops this handle; the pixels go when the last holder lets go.
void plat_surface_release(PlatSurface* surface);
/// The surface's width and height in pixels.
int plat_surface_size(const PlatSurface* surface, int32_t* width, int32_t* height);
/// Source pixels from low to high are skipped by keyed blits from this surface.
int plat_surface_set_color_key(PlatSurface* surface, uint8_t low, uint8_t high);
/// Locks the whole surface: first pixel and pitch. PLAT_ERR_BUSY when already locked.
int plat_surface_lock(PlatSurface* surface, uint8_t** pixels, int32_t* pitch);
/// Ends the lock that gave these pixels. On the primary, what was written shows now when a
/// refresh period has passed since the last picture, else at the program's next look at its
/// messages, keys or clock.
int plat_surface_unlock(PlatSurface* surface, uint8_t* pixels);
/// When the pointer lies inside the pixels of a surface locked now: PLAT_OK with the columns
/// and rows that remain of that surface from the pointer (width 0 when it points past the end
/// of a row) and the surface's pitch. PLAT_ERR_INVALID otherwise. Never allocates.
int plat_locked_bounds(const uint8_t* pointer, int32_t* width, int32_t* height, int32_t* pitch);
/// Copies width x height pixels between two buffers (a locked surface's or ordinary memory),
/// row by row, each at its own pitch; with transparent non-zero a source pixel of index 0
/// leaves the destination's as it was. The caller keeps both inside their buffers, which must
/// not overlap. Nothing for a null buffer or a width or height below 1.
void plat_pixels_copy(uint8_t* dest, int32_t dest_pitch, const uint8_t* source, int32_t source_pitch, int32_t width,
                      int32_t height, int transparent);
/// Fills the rectangle (null: the whole surface), cut to the surface; refused while locked.
int plat_surface_fill(PlatSurface* surface, const PlatRect* rect, uint8_t colour);
/// Copies source_rect to dest_rect (null: whole surfaces), stretching by nearest pixel when the
/// sizes differ, keyed by the source's colour key with PLAT_BLIT_KEY_SOURCE. With a clipper on
/// the destination the blit is cut to its clip list; without one a destination rectangle outside
/// the surface is refused. A source rectangle outside the source is refused, so is a locked surface.
/// Within one surface, overlapping rectangles copy as from the picture before the blit.
int plat_surface_blit(PlatSurface* dest, const PlatRect* dest_rect, PlatSurface* source, const PlatRect* source_rect,
                      uint32_t flags);
/// Exchanges the pictures of the primary and its back surface and shows the new one.
/// PLAT_ERR_BUSY while either is locked.
int plat_flip(PlatSurface* primary);

/// A 256-entry palette, all entries usable.
int plat_palette_create(PlatDevice* device, const PaletteEntry entries[256], PlatPalette** out);
/// Drops this handle; the entries go when the last holder (a surface showing them) lets go.
void plat_palette_release(PlatPalette* palette);
/// Changes entries first..first+count-1; on the primary the change shows at once, without a flip.
int plat_palette_set_entries(PlatPalette* palette, int32_t first, int32_t count, const PaletteEntry* entries);
/// Reads entries first..first+count-1.
int plat_palette_get_entries(PlatPalette* palette, int32_t first, int32_t count, PaletteEntry* entries);
/// The primary surface shows through this palette from now on.
int plat_surface_set_palette(PlatSurface* primary, PlatPalette* palette);

/// A clipper with an empty clip list.
int plat_clipper_create(PlatDevice* device, PlatClipper** out);
/// Drops this handle; the clipper goes when the last holder (a surface it is attached to) lets go.
void plat_clipper_release(PlatClipper* clipper);
/// Takes the clip list from a region block (header, then nCount rectangles); the block is copied.
int plat_clipper_set_region(PlatClipper* clipper, const PlatRegionHeader* region);
/// Blits onto the surface are cut to the clipper's list from now on.
int plat_surface_set_clipper(PlatSurface* surface, PlatClipper* clipper);

/// Draws the text with its top-left corner at (x, y) in the palette entry nearest to the colour,
/// leaving the pixels between the strokes as they were. Refused while the surface is locked.
int plat_text_draw(PlatSurface* surface, int32_t x, int32_t y, const char* text, uint8_t red, uint8_t green,
                   uint8_t blue);

#ifdef __cplusplus
}  // extern "C"
#endif
