// Memory surfaces, palettes and clippers, shared by every backend. The backend only shows
// the primary surface's picture through its palette and draws glyphs.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/common/backend.h"
#include "platform/common/blit.h"
#include "platform/status.h"
#include "platform/video.h"

struct PlatDevice {
    int open = 0;
};

struct PlatPalette {
    int refs = 1;
    PaletteEntry entries[256]{};
    PlatSurface* shown_on = nullptr;  // the primary that shows through it (not a reference)
};

struct PlatClipper {
    int refs = 1;
    std::vector<PlatRect> rects;
    int has_list = 0;
};

struct PlatSurface {
    int refs = 1;
    int32_t width = 0, height = 0, pitch = 0;
    std::vector<uint8_t> pixels;
    int locked = 0;
    int has_key = 0;
    uint8_t key_low = 0, key_high = 0;
    PlatClipper* clipper = nullptr;  // a reference
    PlatPalette* palette = nullptr;  // a reference (primary only)
    PlatSurface* back = nullptr;     // a reference (primary only)
    PlatSurface* front = nullptr;    // the primary it belongs to (back only, not a reference)
    int is_primary = 0;
    PlatSurface* next_locked = nullptr;  // the next surface locked now (while this one is)
};

namespace {

int32_t g_mode_w = 0, g_mode_h = 0;
int g_devices_open = 0;
PlatSurface* g_visible = nullptr;  // the live primary surface, if any
// The primary shows what is written into it, as video memory would: a lock, fill, blit or text
// on it since the picture was last shown leaves it to be shown again, at its unlock or when the
// backend next reads its clock or pumps its events (backend.h).
int g_primary_written = 0;
int g_shown_since_check = 0;      // a picture was shown since the last video_present_primary_if_changed
uint64_t g_last_shown_us = 0;     // when video_present_primary_if_changed last knew one was shown
PlatSurface* g_locked = nullptr;  // the surfaces locked now, linked through next_locked

void forget_lock(PlatSurface* surface) {
    for (PlatSurface** p = &g_locked; *p; p = &(*p)->next_locked)
        if (*p == surface) {
            *p = surface->next_locked;
            surface->next_locked = nullptr;
            return;
        }
}

int allowed(const char* request) { return backend_allows(request); }

// A flip's picture waits for the display's refresh; a palette change or pixels written outside a
// flip show at once, since a fade changes the palette and a wipe the pixels every few
// milliseconds and must not be held to the refresh rate.
enum PresentCause { PRESENT_FLIP = 1, PRESENT_PALETTE = 0, PRESENT_WRITTEN = 0 };

void present(PlatSurface* primary, PresentCause cause) {
    if (!primary || primary != g_visible || g_devices_open == 0) return;
    backend_present(primary->pixels.data(), primary->pitch, primary->width, primary->height,
                    primary->palette ? primary->palette->entries : nullptr, cause == PRESENT_FLIP);
    g_primary_written = primary->locked;  // while still locked it may be written on
    g_shown_since_check = 1;
}

void note_written(const PlatSurface* surface) {
    if (surface == g_visible) g_primary_written = 1;
}

int make_surface(int32_t w, int32_t h, PlatSurface** out) {
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return PLAT_ERR_INVALID;
    PlatSurface* s = new (std::nothrow) PlatSurface;
    if (!s) return PLAT_ERR_NO_MEMORY;
    s->width = w;
    s->height = h;
    s->pitch = (w + 7) & ~7;
    try {
        s->pixels.assign(static_cast<size_t>(s->pitch) * static_cast<size_t>(h), 0);
    } catch (const std::bad_alloc&) {
        delete s;
        return PLAT_ERR_NO_MEMORY;
    }
    *out = s;
    return PLAT_OK;
}

PlatRect intersect(const PlatRect& a, const PlatRect& b) {
    return PlatRect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}

bool empty(const PlatRect& r) { return r.right <= r.left || r.bottom <= r.top; }

// Entries first..first+count-1 lie in the 256 (worked out so that no sum can overflow).
bool palette_range(int32_t first, int32_t count) { return first >= 0 && count >= 0 && count <= 256 - first; }

}  // namespace

// ---- device ----

int plat_device_create(PlatDevice** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!allowed("device")) return PLAT_ERR_REFUSED;
    if (g_devices_open == 0) {
        int r = backend_device_open();
        if (r != PLAT_OK) return r;
    }
    PlatDevice* d = new (std::nothrow) PlatDevice;
    if (!d) {
        if (g_devices_open == 0) backend_device_close();
        return PLAT_ERR_NO_MEMORY;
    }
    d->open = 1;
    ++g_devices_open;
    *out = d;
    return PLAT_OK;
}

int plat_device_set_exclusive(PlatDevice* device) {
    if (!device) return PLAT_ERR_INVALID;
    return allowed("cooperative") ? PLAT_OK : PLAT_ERR_REFUSED;
}

int plat_device_set_mode(PlatDevice* device, int32_t width, int32_t height, int32_t bpp) {
    if (!device) return PLAT_ERR_INVALID;
    if (!allowed("mode")) return PLAT_ERR_REFUSED;
    if (bpp != 8 || width <= 0 || height <= 0 || width > 4096 || height > 4096) return PLAT_ERR_UNSUPPORTED;
    int r = backend_set_mode(width, height, bpp);
    if (r != PLAT_OK) return r;
    g_mode_w = width;
    g_mode_h = height;
    return PLAT_OK;
}

int plat_wait_vblank(PlatDevice* device) {
    if (!device) return PLAT_ERR_INVALID;
    backend_wait_vblank();
    return PLAT_OK;
}

void plat_device_release(PlatDevice* device) {
    if (!device) return;
    delete device;
    if (g_devices_open > 0 && --g_devices_open == 0) {
        backend_device_close();
        g_mode_w = g_mode_h = 0;
    }
}

// ---- surfaces ----

int plat_primary_create(PlatDevice* device, PlatSurface** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!device) return PLAT_ERR_INVALID;
    if (!allowed("primary")) return PLAT_ERR_REFUSED;
    if (g_mode_w <= 0 || g_visible) return PLAT_ERR_REFUSED;
    PlatSurface* front = nullptr;
    PlatSurface* back = nullptr;
    int r = make_surface(g_mode_w, g_mode_h, &front);
    if (r != PLAT_OK) return r;
    r = make_surface(g_mode_w, g_mode_h, &back);
    if (r != PLAT_OK) {
        delete front;
        return r;
    }
    front->is_primary = 1;
    front->back = back;
    back->front = front;
    g_visible = front;
    *out = front;
    return PLAT_OK;
}

int plat_primary_back(PlatSurface* primary, PlatSurface** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!primary || !primary->is_primary || !primary->back) return PLAT_ERR_INVALID;
    if (!allowed("back")) return PLAT_ERR_REFUSED;
    ++primary->back->refs;
    *out = primary->back;
    return PLAT_OK;
}

int plat_surface_create(PlatDevice* device, int32_t width, int32_t height, uint32_t caps, PlatSurface** out) {
    (void)caps;  // every surface lives in ordinary memory
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!device) return PLAT_ERR_INVALID;
    if (!allowed("surface")) return PLAT_ERR_REFUSED;
    return make_surface(width, height, out);
}

void plat_surface_release(PlatSurface* surface) {
    if (!surface || --surface->refs > 0) return;
    if (surface == g_visible) {
        g_visible = nullptr;
        g_primary_written = 0;
    }
    if (surface->locked) forget_lock(surface);
    if (surface->clipper) plat_clipper_release(surface->clipper);
    if (surface->palette) {
        if (surface->palette->shown_on == surface) surface->palette->shown_on = nullptr;
        plat_palette_release(surface->palette);
    }
    if (surface->back) {
        surface->back->front = nullptr;
        plat_surface_release(surface->back);
    }
    delete surface;
}

int plat_surface_size(const PlatSurface* surface, int32_t* width, int32_t* height) {
    if (!surface) return PLAT_ERR_INVALID;
    if (width) *width = surface->width;
    if (height) *height = surface->height;
    return PLAT_OK;
}

int plat_surface_set_color_key(PlatSurface* surface, uint8_t low, uint8_t high) {
    if (!surface || low > high) return PLAT_ERR_INVALID;
    if (!allowed("color_key")) return PLAT_ERR_REFUSED;
    surface->has_key = 1;
    surface->key_low = low;
    surface->key_high = high;
    return PLAT_OK;
}

int plat_surface_lock(PlatSurface* surface, uint8_t** pixels, int32_t* pitch) {
    if (!surface || !pixels || !pitch) return PLAT_ERR_INVALID;
    if (surface->locked) return PLAT_ERR_BUSY;
    if (!allowed("lock")) return PLAT_ERR_REFUSED;
    surface->locked = 1;
    note_written(surface);
    surface->next_locked = g_locked;
    g_locked = surface;
    *pixels = surface->pixels.data();
    *pitch = surface->pitch;
    return PLAT_OK;
}

int plat_surface_unlock(PlatSurface* surface, uint8_t* pixels) {
    if (!surface) return PLAT_ERR_INVALID;
    if (!surface->locked) return PLAT_ERR_INVALID;
    if (pixels && pixels != surface->pixels.data()) return PLAT_ERR_INVALID;
    surface->locked = 0;
    forget_lock(surface);
    if (surface == g_visible && g_primary_written) backend_present_written();
    return PLAT_OK;
}

int plat_locked_bounds(const uint8_t* pointer, int32_t* width, int32_t* height, int32_t* pitch) {
    if (!pointer || !width || !height || !pitch) return PLAT_ERR_INVALID;
    // Compared as addresses: the pointer need not belong to any of these blocks.
    const uintptr_t at = reinterpret_cast<uintptr_t>(pointer);
    for (const PlatSurface* s = g_locked; s; s = s->next_locked) {
        const uintptr_t first = reinterpret_cast<uintptr_t>(s->pixels.data());
        if (at < first || at - first >= s->pixels.size()) continue;
        const size_t offset = at - first, row_pitch = static_cast<size_t>(s->pitch);
        const int32_t column = static_cast<int32_t>(offset % row_pitch);
        *width = column < s->width ? s->width - column : 0;
        *height = s->height - static_cast<int32_t>(offset / row_pitch);
        *pitch = s->pitch;
        return PLAT_OK;
    }
    return PLAT_ERR_INVALID;
}

int plat_surface_fill(PlatSurface* surface, const PlatRect* rect, uint8_t colour) {
    if (!surface) return PLAT_ERR_INVALID;
    if (surface->locked) return PLAT_ERR_BUSY;
    if (!allowed("fill")) return PLAT_ERR_REFUSED;
    PlatRect whole{0, 0, surface->width, surface->height};
    PlatRect r = rect ? intersect(*rect, whole) : whole;
    if (empty(r)) return PLAT_OK;
    note_written(surface);
    const size_t n = static_cast<size_t>(r.right - r.left);
    if (r.left == 0 && r.right == surface->width && surface->pitch == surface->width) {
        std::memset(surface->pixels.data() + static_cast<size_t>(r.top) * surface->pitch, colour,
                    n * static_cast<size_t>(r.bottom - r.top));
        return PLAT_OK;
    }
    for (int32_t y = r.top; y < r.bottom; ++y)
        std::memset(surface->pixels.data() + static_cast<size_t>(y) * surface->pitch + r.left, colour, n);
    return PLAT_OK;
}

int plat_surface_blit(PlatSurface* dest, const PlatRect* dest_rect, PlatSurface* source, const PlatRect* source_rect,
                      uint32_t flags) {
    if (!dest || !source) return PLAT_ERR_INVALID;
    if (dest->locked || source->locked) return PLAT_ERR_BUSY;
    if (!allowed("blit")) return PLAT_ERR_REFUSED;
    const PlatRect d = dest_rect ? *dest_rect : PlatRect{0, 0, dest->width, dest->height};
    const PlatRect s = source_rect ? *source_rect : PlatRect{0, 0, source->width, source->height};
    if (s.left < 0 || s.top < 0 || s.right > source->width || s.bottom > source->height || s.right < s.left ||
        s.bottom < s.top || d.right < d.left || d.bottom < d.top)
        return PLAT_ERR_INVALID;
    const PlatRect whole{0, 0, dest->width, dest->height};
    if (!dest->clipper && (d.left < 0 || d.top < 0 || d.right > dest->width || d.bottom > dest->height))
        return PLAT_ERR_INVALID;
    if (empty(d) || empty(s)) return PLAT_OK;
    note_written(dest);

    BlitSpan span{};
    span.src = source->pixels.data() + static_cast<size_t>(s.top) * source->pitch + s.left;
    span.src_pitch = source->pitch;
    span.src_w = s.right - s.left;
    span.src_h = s.bottom - s.top;
    // A blit within one surface whose rectangles overlap reads from a copy of the source
    // rectangle, so that every pixel comes from the picture as it was before the blit.
    std::vector<uint8_t> aside;
    if (source == dest && !empty(intersect(d, s))) {
        try {
            aside.resize(static_cast<size_t>(span.src_w) * static_cast<size_t>(span.src_h));
        } catch (const std::bad_alloc&) {
            return PLAT_ERR_NO_MEMORY;
        }
        const size_t row = static_cast<size_t>(span.src_w);
        for (int32_t y = 0; y < span.src_h; ++y)
            std::memcpy(aside.data() + y * row, span.src + static_cast<size_t>(y) * span.src_pitch, row);
        span.src = aside.data();
        span.src_pitch = span.src_w;
    }
    span.dst_pitch = dest->pitch;
    // 64-bit: a rectangle from INT32_MIN to a positive edge is wider than an int32 holds.
    span.dst_w = int64_t{d.right} - d.left;
    span.dst_h = int64_t{d.bottom} - d.top;
    span.keyed = (flags & PLAT_BLIT_KEY_SOURCE) && source->has_key;
    span.key_low = source->key_low;
    span.key_high = source->key_high;
    auto draw_part = [&](const PlatRect& part) {
        if (empty(part)) return;
        BlitSpan b = span;
        b.cx0 = int64_t{part.left} - d.left;
        b.cy0 = int64_t{part.top} - d.top;
        b.cx1 = int64_t{part.right} - d.left;
        b.cy1 = int64_t{part.bottom} - d.top;
        b.dst = dest->pixels.data() + static_cast<size_t>(part.top) * dest->pitch + part.left;
        blit_span(b);
    };
    if (dest->clipper && dest->clipper->has_list) {
        for (const PlatRect& r : dest->clipper->rects) draw_part(intersect(intersect(d, r), whole));
    } else {
        draw_part(intersect(d, whole));
    }
    return PLAT_OK;
}

int plat_flip(PlatSurface* primary) {
    if (!primary || !primary->is_primary || !primary->back) return PLAT_ERR_INVALID;
    if (primary->locked || primary->back->locked) return PLAT_ERR_BUSY;
    if (!allowed("flip")) return PLAT_ERR_REFUSED;
    primary->pixels.swap(primary->back->pixels);
    present(primary, PRESENT_FLIP);
    return PLAT_OK;
}

int video_present_primary_if_changed(uint64_t now_us, uint64_t period_us) {
    if (g_shown_since_check) {  // shown since the last look: count the period from now
        g_shown_since_check = 0;
        g_last_shown_us = now_us;
    }
    if (!g_primary_written || !g_visible || g_devices_open == 0 || now_us - g_last_shown_us < period_us) return 0;
    present(g_visible, PRESENT_WRITTEN);
    g_shown_since_check = 0;
    g_last_shown_us = now_us;
    return 1;
}

// ---- palettes ----

int plat_palette_create(PlatDevice* device, const PaletteEntry entries[256], PlatPalette** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!device || !entries) return PLAT_ERR_INVALID;
    if (!allowed("palette")) return PLAT_ERR_REFUSED;
    PlatPalette* p = new (std::nothrow) PlatPalette;
    if (!p) return PLAT_ERR_NO_MEMORY;
    std::memcpy(p->entries, entries, sizeof p->entries);
    *out = p;
    return PLAT_OK;
}

void plat_palette_release(PlatPalette* palette) {
    if (!palette || --palette->refs > 0) return;
    delete palette;
}

int plat_palette_set_entries(PlatPalette* palette, int32_t first, int32_t count, const PaletteEntry* entries) {
    if (!palette || !entries || !palette_range(first, count)) return PLAT_ERR_INVALID;
    if (!allowed("palette_set")) return PLAT_ERR_REFUSED;
    std::memmove(palette->entries + first, entries, sizeof(PaletteEntry) * static_cast<size_t>(count));
    if (palette->shown_on) present(palette->shown_on, PRESENT_PALETTE);
    return PLAT_OK;
}

int plat_palette_get_entries(PlatPalette* palette, int32_t first, int32_t count, PaletteEntry* entries) {
    if (!palette || !entries || !palette_range(first, count)) return PLAT_ERR_INVALID;
    std::memmove(entries, palette->entries + first, sizeof(PaletteEntry) * static_cast<size_t>(count));
    return PLAT_OK;
}

int plat_surface_set_palette(PlatSurface* primary, PlatPalette* palette) {
    if (!primary || !palette) return PLAT_ERR_INVALID;
    if (!allowed("palette_attach")) return PLAT_ERR_REFUSED;
    ++palette->refs;
    if (primary->palette) {
        if (primary->palette->shown_on == primary) primary->palette->shown_on = nullptr;
        plat_palette_release(primary->palette);
    }
    primary->palette = palette;
    if (primary->is_primary) palette->shown_on = primary;
    present(primary, PRESENT_PALETTE);
    return PLAT_OK;
}

// ---- clippers ----

int plat_clipper_create(PlatDevice* device, PlatClipper** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (!device) return PLAT_ERR_INVALID;
    if (!allowed("clipper")) return PLAT_ERR_REFUSED;
    PlatClipper* c = new (std::nothrow) PlatClipper;
    if (!c) return PLAT_ERR_NO_MEMORY;
    *out = c;
    return PLAT_OK;
}

void plat_clipper_release(PlatClipper* clipper) {
    if (!clipper || --clipper->refs > 0) return;
    delete clipper;
}

int plat_clipper_set_region(PlatClipper* clipper, const PlatRegionHeader* region) {
    if (!clipper || !region) return PLAT_ERR_INVALID;
    if (region->dwSize != sizeof(PlatRegionHeader) || region->iType != PLAT_REGION_RECTANGLES ||
        region->nCount > 4096 || region->nRgnSize != region->nCount * sizeof(PlatRect))
        return PLAT_ERR_INVALID;
    if (!allowed("clip_list")) return PLAT_ERR_REFUSED;
    const PlatRect* rects = reinterpret_cast<const PlatRect*>(region + 1);
    try {
        clipper->rects.assign(rects, rects + region->nCount);
    } catch (const std::bad_alloc&) {
        return PLAT_ERR_NO_MEMORY;
    }
    clipper->has_list = 1;
    return PLAT_OK;
}

int plat_surface_set_clipper(PlatSurface* surface, PlatClipper* clipper) {
    if (!surface || !clipper) return PLAT_ERR_INVALID;
    if (!allowed("clipper_attach")) return PLAT_ERR_REFUSED;
    ++clipper->refs;
    if (surface->clipper) plat_clipper_release(surface->clipper);
    surface->clipper = clipper;
    return PLAT_OK;
}

// ---- text ----

int plat_text_draw(PlatSurface* surface, int32_t x, int32_t y, const char* text, uint8_t red, uint8_t green,
                   uint8_t blue) {
    if (!surface || !text) return PLAT_ERR_INVALID;
    if (surface->locked) return PLAT_ERR_BUSY;
    if (!allowed("text")) return PLAT_ERR_REFUSED;
    // The nearest entry of the palette on the screen; ties go to the lower index.
    const PaletteEntry* pal = (g_visible && g_visible->palette) ? g_visible->palette->entries : nullptr;
    uint8_t index = 0;
    if (pal) {
        long best = -1;
        for (int i = 0; i < 256; ++i) {
            long dr = long(pal[i].peRed) - red, dg = long(pal[i].peGreen) - green, db = long(pal[i].peBlue) - blue;
            long dist = dr * dr + dg * dg + db * db;
            if (best < 0 || dist < best) {
                best = dist;
                index = static_cast<uint8_t>(i);
            }
        }
    } else {
        index = (int(red) + green + blue) > 384 ? 255 : 0;
    }
    note_written(surface);
    return backend_text_draw(surface->pixels.data(), surface->pitch, surface->width, surface->height, x, y, text,
                             index);
}
