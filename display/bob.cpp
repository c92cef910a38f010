// Sprites: the record, its frame surfaces, frames cut from 8-bit pictures, and keyed drawing.
#include "display/bob.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "imaging/log.h"
#include "platform/status.h"

namespace {

// Rectangle coordinates are held to this range so that a sprite far off the screen cannot make
// the arithmetic overflow; such a sprite is nowhere near any surface either way.
constexpr int64_t COORD_LIMIT = int64_t{1} << 30;

int32_t held(int64_t v) { return static_cast<int32_t>(v < -COORD_LIMIT ? -COORD_LIMIT : v > COORD_LIMIT ? COORD_LIMIT : v); }

// The keyed blit of the current frame. Right and bottom edges of blit rectangles are exclusive,
// and both rectangles end one pixel short of the size: the frame's last column and row are not
// drawn, and a stretched sprite covers (drawn width - 1) x (drawn height - 1) pixels.
int draw_frame(const BOB* bob, int32_t drawn_width, int32_t drawn_height, PlatSurface* dest) {
    if (!bob) return 0;
    if (!(bob->attributes & BOB_SHOWN)) return 1;
    if (bob->frame < 0 || bob->frame >= BOB_MAX_FRAMES) return 0;
    const PlatRect dest_rect{held(bob->x), held(bob->y), held(int64_t{bob->x} + drawn_width - 1),
                             held(int64_t{bob->y} + drawn_height - 1)};
    const PlatRect source_rect{0, 0, held(int64_t{bob->width} - 1), held(int64_t{bob->height} - 1)};
    return plat_surface_blit(dest, &dest_rect, bob->frames[bob->frame], &source_rect, PLAT_BLIT_KEY_SOURCE) == PLAT_OK
               ? 1
               : 0;
}

}  // namespace

int bob_create(BOB* bob, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frame_count,
               int32_t attributes, uint32_t memory_caps) {
    if (!bob || frame_count < 0 || frame_count > BOB_MAX_FRAMES) return 0;
    bob->status = 1;
    bob->attributes = attributes & ~BOB_BORROWED;  // the frames it makes are its own
    bob->anim_done = 0;
    std::memset(bob->spare_counters, 0, sizeof bob->spare_counters);
    bob->frame = 0;
    bob->frame_count = frame_count;
    bob->sequence = bob->tick = bob->seq_pos = bob->ticks_per_step = 0;
    bob->x = x;
    bob->y = y;
    bob->width = width;
    bob->height = height;
    bob->vx = bob->vy = 0;
    bob->left = x;
    bob->right = static_cast<int32_t>(int64_t{x} + width);
    bob->top = y;
    bob->bottom = static_cast<int32_t>(int64_t{y} + height);
    for (PlatSurface*& f : bob->frames) f = nullptr;
    for (int32_t*& s : bob->sequences) s = nullptr;

    // Frame rows are widened to a multiple of 8 bytes.
    bob->row_extra = width % 8 != 0 ? 8 - width % 8 : 0;
    log_write("\nCreate BOB %d", bob->row_extra);

    const int64_t widened = int64_t{width} + bob->row_extra;
    for (int32_t i = 0; i < frame_count; ++i) {
        PlatSurface* surface = nullptr;
        if (widened > INT32_MAX ||
            plat_surface_create(display_device, static_cast<int32_t>(widened), height, memory_caps, &surface) != PLAT_OK)
            return 0;
        bob->frames[i] = surface;
        plat_surface_set_color_key(surface, 0, 0);  // a refused key is not reported
    }
    return 1;
}

int bob_destroy(BOB* bob) {
    if (!bob) return 0;
    // A borrowing sprite forgets what it shares; an owner releases it. Either way the handles
    // are cleared, so destroying twice releases nothing twice.
    const bool owner = !(bob->attributes & BOB_BORROWED);
    for (PlatSurface*& f : bob->frames) {
        if (f && owner) plat_surface_release(f);
        f = nullptr;
    }
    for (int32_t*& s : bob->sequences) {
        if (owner) std::free(s);
        s = nullptr;
    }
    return 1;
}

int bob_clone(const BOB* source, BOB* dest) {
    if (!source || !dest) return 0;
    if (source != dest) std::memcpy(dest, source, sizeof *dest);
    dest->attributes |= BOB_BORROWED;
    return 1;
}

int bob_load_frame(BOB* bob, const BmpFile* bmp, int32_t frame, int32_t cx, int32_t cy, int32_t mode) {
    if (!bob || frame < 0 || frame >= BOB_MAX_FRAMES || bob->width <= 0 || bob->height <= 0) return 0;
    if (!bmp || !bmp->buffer || bmp->info_header.biBitCount != 8) return 0;
    // Cells are sprite-sized and framed by a one-pixel line; the grid starts at (1, 1).
    int64_t column = cx, row = cy;
    if (mode == 0) {
        column = static_cast<int64_t>(cx) * (int64_t{bob->width} + 1) + 1;
        row = static_cast<int64_t>(cy) * (int64_t{bob->height} + 1) + 1;
    }
    const int64_t picture_stride = bmp->info_header.biWidth;
    if (column < 0 || row < 0 || column + bob->width > picture_stride || row + bob->height > bmp->info_header.biHeight)
        return 0;

    PlatSurface* surface = bob->frames[frame];
    int32_t pitch = 0;
    uint8_t* pixels = display_lock_surface(surface, &pitch);
    if (!pixels) return 0;
    // Rows are written at the widened frame width, which is the surface's row length.
    const int64_t frame_stride = int64_t{bob->width} + bob->row_extra;
    int32_t surface_w = 0, surface_h = 0;
    plat_surface_size(surface, &surface_w, &surface_h);
    if (frame_stride > pitch || bob->width > surface_w || bob->height > surface_h) {
        display_unlock_surface(surface, pixels);
        return 0;
    }
    const uint8_t* source = bmp->buffer + row * picture_stride + column;
    uint8_t* dest = pixels;
    for (int32_t r = 0; r < bob->height; ++r, source += picture_stride, dest += frame_stride)
        std::memcpy(dest, source, static_cast<size_t>(bob->width));
    display_unlock_surface(surface, pixels);
    bob->attributes |= BOB_HAS_IMAGE;
    return 1;
}

int bob_draw(const BOB* bob, PlatSurface* dest) { return bob ? draw_frame(bob, bob->width, bob->height, dest) : 0; }

int bob_draw_scaled(const BOB* bob, int32_t width, int32_t height, PlatSurface* dest) {
    return draw_frame(bob, width, height, dest);
}
