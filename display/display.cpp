// The display device and its surfaces.
#include "display/display.h"

#include <cstdlib>
#include <cstring>

#include "platform/status.h"

int32_t display_width = 640;
int32_t display_height = 480;
int32_t display_bpp = 8;
int32_t clip_left = 0, clip_top = 0, clip_right = 639, clip_bottom = 479;
PlatDevice* display_device = nullptr;
PlatSurface* display_primary = nullptr;
PlatSurface* display_back = nullptr;
PlatPalette* display_palette = nullptr;
PlatClipper* display_clipper = nullptr;
PaletteEntry palette_entries[256];
uint8_t* primary_pixels = nullptr;
int32_t primary_pitch = 0;
uint8_t* back_pixels = nullptr;
int32_t back_pitch = 0;
SurfaceDesc display_desc = {};

namespace {

const uint8_t PC_NOCOLLAPSE = 4;

void clear_desc() {
    std::memset(&display_desc, 0, sizeof display_desc);
    display_desc.dwSize = 108;
}

// Four ramps of 64 steps of 4: red, green, blue, grey.
void fill_startup_ramps() {
    std::memset(palette_entries, 0, sizeof palette_entries);
    for (int i = 0; i < 256; ++i) {
        uint8_t level = static_cast<uint8_t>(4 * (i % 64));
        PaletteEntry& e = palette_entries[i];
        switch (i / 64) {
            case 0: e.peRed = level; break;
            case 1: e.peGreen = level; break;
            case 2: e.peBlue = level; break;
            default: e.peRed = e.peGreen = e.peBlue = level; break;
        }
        e.peFlags = PC_NOCOLLAPSE;
    }
}

}  // namespace

int display_init(int32_t width, int32_t height, int32_t bpp) {
    if (plat_device_create(&display_device) != PLAT_OK) return 0;
    if (plat_device_set_exclusive(display_device) != PLAT_OK) return 0;
    if (plat_device_set_mode(display_device, width, height, bpp) != PLAT_OK) return 0;
    display_width = width;
    display_height = height;
    display_bpp = bpp;
    clear_desc();
    if (plat_primary_create(display_device, &display_primary) != PLAT_OK) return 0;
    if (plat_primary_back(display_primary, &display_back) != PLAT_OK) return 0;
    fill_startup_ramps();
    if (plat_palette_create(display_device, palette_entries, &display_palette) != PLAT_OK) return 0;
    if (plat_surface_set_palette(display_primary, display_palette) != PLAT_OK) return 0;
    display_fill_surface(display_primary, 0);
    display_fill_surface(display_back, 0);
    return 1;
}

int display_shutdown() {
    // The handles are forgotten as they go, so a second shutdown releases nothing twice.
    if (display_clipper) plat_clipper_release(display_clipper);
    if (display_palette) plat_palette_release(display_palette);
    if (display_back) plat_surface_release(display_back);
    if (display_primary) plat_surface_release(display_primary);
    if (display_device) plat_device_release(display_device);
    display_clipper = nullptr;
    display_palette = nullptr;
    display_back = nullptr;
    display_primary = nullptr;
    display_device = nullptr;
    primary_pixels = back_pixels = nullptr;
    primary_pitch = back_pitch = 0;
    return 1;
}

PlatRegionHeader* display_make_region(int32_t count, const PlatRect* rects) {
    if (count < 0 || count > 4096 || (count > 0 && !rects)) return nullptr;
    const size_t bytes = sizeof(PlatRegionHeader) + sizeof(PlatRect) * static_cast<size_t>(count);
    PlatRegionHeader* header = static_cast<PlatRegionHeader*>(std::malloc(bytes));
    if (!header) return nullptr;
    header->dwSize = sizeof(PlatRegionHeader);
    header->iType = PLAT_REGION_RECTANGLES;
    header->nCount = static_cast<uint32_t>(count);
    header->nRgnSize = static_cast<uint32_t>(sizeof(PlatRect) * static_cast<size_t>(count));
    header->rcBound = PlatRect{64000, 64000, -64000, -64000};
    PlatRect* body = reinterpret_cast<PlatRect*>(header + 1);
    for (int32_t i = 0; i < count; ++i) {
        body[i] = rects[i];
        PlatRect& b = header->rcBound;
        if (rects[i].left < b.left) b.left = rects[i].left;
        if (rects[i].right > b.right) b.right = rects[i].right;
        if (rects[i].top < b.top) b.top = rects[i].top;
        if (rects[i].bottom > b.bottom) b.bottom = rects[i].bottom;
    }
    return header;
}

PlatClipper* display_attach_clipper(PlatSurface* surface, int32_t count, const PlatRect* rects) {
    PlatClipper* clipper = nullptr;
    if (plat_clipper_create(display_device, &clipper) != PLAT_OK) return nullptr;
    PlatRegionHeader* region = display_make_region(count, rects);
    if (!region) {
        plat_clipper_release(clipper);
        return nullptr;
    }
    if (plat_clipper_set_region(clipper, region) != PLAT_OK || plat_surface_set_clipper(surface, clipper) != PLAT_OK) {
        std::free(region);
        plat_clipper_release(clipper);
        return nullptr;
    }
    std::free(region);
    return clipper;
}

PlatSurface* display_create_surface(int32_t width, int32_t height, uint32_t caps) {
    PlatSurface* surface = nullptr;
    if (plat_surface_create(display_device, width, height, caps, &surface) != PLAT_OK) return nullptr;
    plat_surface_set_color_key(surface, 0, 0);  // a refused key is not reported
    return surface;
}

int display_flip() {
    if (primary_pixels || back_pixels) return 0;
    for (int attempt = 0; attempt <= DISPLAY_FLIP_RETRIES; ++attempt)
        if (plat_flip(display_primary) == PLAT_OK) return 1;
    return 0;
}

int display_wait_vblank() {
    plat_wait_vblank(display_device);
    return 1;
}

int display_fill_surface(PlatSurface* surface, int32_t colour) {
    plat_surface_fill(surface, nullptr, static_cast<uint8_t>(colour));
    return 1;
}

uint8_t* display_lock_surface(PlatSurface* surface, int32_t* pitch) {
    if (!surface) return nullptr;
    clear_desc();
    if (plat_surface_lock(surface, &display_desc.lpSurface, &display_desc.lPitch) != PLAT_OK) {
        display_desc.lpSurface = nullptr;
        display_desc.lPitch = 0;
    }
    if (pitch) *pitch = display_desc.lPitch;
    return display_desc.lpSurface;
}

int display_unlock_surface(PlatSurface* surface, uint8_t* pixels) {
    if (!surface) return 0;
    plat_surface_unlock(surface, pixels);
    return 1;
}

namespace {

uint8_t* lock_chain_surface(PlatSurface* surface, uint8_t*& pixels, int32_t& pitch) {
    if (pixels) return pixels;
    clear_desc();
    if (plat_surface_lock(surface, &display_desc.lpSurface, &display_desc.lPitch) != PLAT_OK) {
        display_desc.lpSurface = nullptr;
        display_desc.lPitch = 0;
    }
    pixels = display_desc.lpSurface;
    pitch = display_desc.lPitch;
    return pixels;
}

int unlock_chain_surface(PlatSurface* surface, uint8_t*& pixels, int32_t& pitch) {
    if (!pixels) return 0;
    plat_surface_unlock(surface, pixels);
    pixels = nullptr;
    pitch = 0;
    return 1;
}

}  // namespace

uint8_t* display_lock_primary() { return lock_chain_surface(display_primary, primary_pixels, primary_pitch); }
int display_unlock_primary() { return unlock_chain_surface(display_primary, primary_pixels, primary_pitch); }
uint8_t* display_lock_back() { return lock_chain_surface(display_back, back_pixels, back_pitch); }
int display_unlock_back() { return unlock_chain_surface(display_back, back_pixels, back_pitch); }
