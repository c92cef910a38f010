// Sprites: the record, its frame surfaces and sequence arrays, frames cut from 8-bit pictures, and
// keyed drawing.
#include "sprites/bob.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "imaging/bmp_block.h"
#include "imaging/log.h"
#include "platform/status.h"

// A node of a sprite's list of the sequence arrays it replaced.
struct BobRetired {
    int32_t* array;
    BobRetired* next;
};

namespace {

// Blit rectangles are worked out wide and held to the int range. Only an edge more than
// 2^31 - 16384 pixels beyond any surface is moved (surfaces are at most 16384 wide), and a
// stretch so long maps every visible pixel to the same source pixel either way.
int32_t held(int64_t v) { return static_cast<int32_t>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v); }

// The keyed blit of the current frame. Right and bottom edges of blit rectangles are exclusive,
// and both rectangles end one pixel short of the size: the frame's last column and row are not
// drawn, and a stretched sprite covers (drawn width - 1) x (drawn height - 1) pixels.
int draw_frame(const BOB* bob, int32_t drawn_width, int32_t drawn_height, PlatSurface* dest) {
    if (!bob) return 0;
    if (!(bob->attributes & BOB_SHOWN)) return 1;
    if (bob->frame < 0 || bob->frame >= BOB_MAX_FRAMES) return 0;
    const PlatRect dest_rect{bob->x, bob->y, held(int64_t{bob->x} + drawn_width - 1),
                             held(int64_t{bob->y} + drawn_height - 1)};
    const PlatRect source_rect{0, 0, held(int64_t{bob->width} - 1), held(int64_t{bob->height} - 1)};
    return plat_surface_blit(dest, &dest_rect, bob->frames[bob->frame], &source_rect, PLAT_BLIT_KEY_SOURCE) == PLAT_OK
               ? 1
               : 0;
}

}  // namespace

int bob_create(BOB* bob, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frame_count, int32_t attributes,
               uint32_t memory_caps) {
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
    bob->retired = nullptr;
    bob->own_sequences = 0;

    // Frame rows are widened to a multiple of 8 bytes.
    bob->row_extra = width % 8 != 0 ? 8 - width % 8 : 0;
    log_write("\nCreate BOB %d", bob->row_extra);

    const int64_t widened = int64_t{width} + bob->row_extra;
    for (int32_t i = 0; i < frame_count; ++i) {
        PlatSurface* surface = nullptr;
        if (widened > INT32_MAX || plat_surface_create(display_device, static_cast<int32_t>(widened), height,
                                                       memory_caps, &surface) != PLAT_OK)
            return 0;
        bob->frames[i] = surface;
        plat_surface_set_color_key(surface, 0, 0);  // a refused key is not reported
    }
    return 1;
}

int bob_destroy(BOB* bob) {
    if (!bob) return 0;
    // An owner releases its frames and arrays; a borrowing sprite only the arrays it added
    // itself. Either way the handles are cleared, so destroying twice releases nothing twice.
    const bool owner = !(bob->attributes & BOB_BORROWED);
    for (PlatSurface*& f : bob->frames) {
        if (f && owner) plat_surface_release(f);
        f = nullptr;
    }
    for (int32_t i = 0; i < BOB_MAX_SEQUENCES; ++i) {
        if (owner || (bob->own_sequences >> i & 1u)) std::free(bob->sequences[i]);
        bob->sequences[i] = nullptr;
    }
    bob->own_sequences = 0;
    while (BobRetired* node = bob->retired) {
        bob->retired = node->next;
        std::free(node->array);
        std::free(node);
    }
    return 1;
}

int bob_clone(const BOB* source, BOB* dest) {
    // A sprite cloned onto itself would mark itself borrowing and never release its frames.
    if (!source || !dest || source == dest) return 0;
    std::memcpy(dest, source, sizeof *dest);
    dest->attributes |= BOB_BORROWED;
    dest->retired = nullptr;  // the source's to free
    dest->own_sequences = 0;
    return 1;
}

int bob_add_sequence(BOB* bob, int32_t slot, int32_t count, const int32_t* frames) {
    if (!bob || slot < 0 || slot >= BOB_MAX_SEQUENCES || count < 1 || !frames) return 0;
    const uint32_t bit = uint32_t{1} << slot;
    const bool borrowing = bob->attributes & BOB_BORROWED;
    int32_t* const replaced = bob->sequences[slot];
    // An array of this sprite's own that it replaces may still be read by a clone of it, so it
    // goes on the list that bob_destroy frees. A borrowed array is its owner's business.
    const bool keep = replaced && (!borrowing || (bob->own_sequences & bit));
    BobRetired* node = nullptr;
    if (keep && !(node = static_cast<BobRetired*>(std::malloc(sizeof *node)))) return 0;
    int32_t* sequence = static_cast<int32_t*>(std::malloc(sizeof(int32_t) * (static_cast<size_t>(count) + 1)));
    if (!sequence) {
        std::free(node);
        return 0;
    }
    std::memcpy(sequence, frames, sizeof(int32_t) * static_cast<size_t>(count));
    sequence[count] = -1;
    if (node) {
        node->array = replaced;
        node->next = bob->retired;
        bob->retired = node;
    }
    bob->sequences[slot] = sequence;
    if (borrowing) bob->own_sequences |= bit;
    return 1;
}

int bob_load_frame(BOB* bob, const BmpFile* bmp, int32_t frame, int32_t cx, int32_t cy, int32_t mode) {
    if (!bob || frame < 0 || frame >= BOB_MAX_FRAMES || bob->width <= 0 || bob->height <= 0) return 0;
    BmpBlock block;
    if (!bmp_block_find(bmp, bob->width, bob->height, cx, cy, mode, &block)) return 0;

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
    bmp_block_copy(block, bob->width, bob->height, pixels, frame_stride);
    display_unlock_surface(surface, pixels);
    bob->attributes |= BOB_HAS_IMAGE;
    return 1;
}

int bob_draw(const BOB* bob, PlatSurface* dest) { return bob ? draw_frame(bob, bob->width, bob->height, dest) : 0; }

int bob_draw_scaled(const BOB* bob, int32_t width, int32_t height, PlatSurface* dest) {
    return draw_frame(bob, width, height, dest);
}
