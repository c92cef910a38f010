#pragma once
// Sprites (blitter objects): frames on off-screen surfaces drawn with index 0 transparent,
// animation, motion and overlap tests.
#include <cstdint>

#include "imaging/bmp.h"
#include "platform/video.h"

enum {
    BOB_STILL = 0x01,
    BOB_CYCLE = 0x02,
    BOB_SCRIPTED = 0x04,
    BOB_PLAY_ONCE = 0x08,
    BOB_SHOWN = 0x10,
    BOB_REBOUND = 0x20,
    BOB_WRAPS = 0x40,
    BOB_HAS_IMAGE = 0x80,
    BOB_BORROWED = 0x100,
};

enum { BOB_MAX_FRAMES = 64, BOB_MAX_SEQUENCES = 16 };

struct BOB {
    int32_t status;
    int32_t anim_done;
    int32_t attributes;
    int32_t x, y;
    int32_t vx, vy;
    int32_t width, height;
    int32_t row_extra;  // 0..7 so that width + row_extra is a multiple of 8
    int32_t spare_counters[4];
    uint8_t spare_block[128];
    int32_t frame;
    int32_t frame_count;
    int32_t sequence;
    int32_t tick;
    int32_t seq_pos;
    int32_t ticks_per_step;
    int32_t* sequences[BOB_MAX_SEQUENCES];
    int32_t left, right, top, bottom;  // refreshed by bob_create, bob_move, bob_set_position only
    PlatSurface* frames[BOB_MAX_FRAMES];
    // Bookkeeping of the sequence arrays; no caller reads it.
    struct BobRetired* retired;  // arrays this sprite replaced in its slots, freed by bob_destroy
    uint32_t own_sequences;      // of a borrowing sprite: bit i set when it allocated sequences[i]
};

// Ownership: a sprite owns its frame surfaces and sequence arrays; a clone (BOB_BORROWED) borrows
// those of the sprite it was copied from, which must outlive it, and owns only the arrays it
// added itself. An array a sprite replaces in one of its slots may still be read by its clones,
// so it stays allocated until that sprite is destroyed.

int bob_create(BOB* bob, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frame_count, int32_t attributes,
               uint32_t memory_caps);
//   Sets up the record from scratch (what it held before is not read, so not released) and makes
//   frame_count frame surfaces, rows widened to a multiple of 8, index 0 transparent. 1; 0 for a
//   count outside 0..64 or at the first surface refused (the frames made so far stay).
int bob_destroy(BOB* bob);
//   Releases what the sprite owns (see Ownership) and clears every handle, so a second call
//   releases nothing. 1; 0 for a null sprite.
int bob_clone(const BOB* source, BOB* dest);
//   Copies the source over dest (whose former contents are not released) and marks dest as
//   borrowing. 1; 0 when either is null or both are the same record.
int bob_load_frame(BOB* bob, const BmpFile* bmp, int32_t frame, int32_t cx, int32_t cy, int32_t mode);
//   Copies a width x height block of an 8-bit picture into a frame: cell (cx, cy) when mode is 0,
//   else the block at pixel (cx, cy). 0, nothing copied, when the block lies outside the picture,
//   the frame was not made or its lock is refused.
int bob_draw(const BOB* bob, PlatSurface* dest);
//   Keyed blit of the current frame at (x, y), one pixel short in each direction. 1 (also when
//   hidden); 0 for a null sprite or a refused blit.
int bob_draw_scaled(const BOB* bob, int32_t width, int32_t height, PlatSurface* dest);
//   As bob_draw, the frame stretched by nearest pixel over (width - 1) x (height - 1) pixels.

int bob_animate(BOB* bob);
//   Advances frame by the animation mode: BOB_STILL shows frame 0; BOB_CYCLE steps one frame every
//   ticks_per_step calls, back to 0 after the last; BOB_SCRIPTED steps the active sequence the
//   same way, back to its start at its -1, or with BOB_PLAY_ONCE staying on its last frame with
//   anim_done set. 1; 0 for a null sprite or a scripted sprite whose active slot holds no sequence.
int bob_move(BOB* bob);
//   Adds the velocity and refreshes the edges. With BOB_WRAPS a sprite wholly outside the clip
//   rectangle comes back from just outside the opposite edge; with BOB_REBOUND the velocity turns
//   at an edge, the position left up to one step beyond it. 1; 0 for a null sprite.
int bob_add_sequence(BOB* bob, int32_t slot, int32_t count, const int32_t* frames);
//   Stores a copy of the count frame indices, ended by -1, in sequences[slot]; an array the
//   sprite owned there is kept until bob_destroy (see Ownership). 1; 0 for a slot outside 0..15,
//   an empty list or no memory (the slot is then unchanged).
int bob_select_sequence(BOB* bob, int32_t slot);
//   sequence = slot, seq_pos = 0; frame, tick and anim_done stay (the slot is checked by
//   bob_animate). 1; 0 for a null sprite.
int bob_set_anim_speed(BOB* bob, int32_t calls_per_step);
//   ticks_per_step = calls_per_step; tick stays. 1; 0 for a null sprite.
int bob_set_velocity(BOB* bob, int32_t vx, int32_t vy);
//   Sets vx, vy (the edges are not refreshed). 1; 0 for a null sprite.
int bob_set_position(BOB* bob, int32_t x, int32_t y);
//   Sets x, y and refreshes the edges. 1; 0 for a null sprite.
int bob_hide(BOB* bob);
//   Clears BOB_SHOWN: bob_draw then draws nothing. 1; 0 for a null sprite.
int bob_show(BOB* bob);
//   Sets BOB_SHOWN. 1; 0 for a null sprite.
int bob_collide(const BOB* a, const BOB* b);
//   1 when the two sprites overlap by the rule of rect_collide; 0 otherwise or for a null sprite.
int rect_collide(int32_t x1, int32_t y1, int32_t width1, int32_t height1, int32_t x2, int32_t y2, int32_t width2,
                 int32_t height2);
//   1 when boxes of (size >> 1) - (size >> 3) either side, anchored at each corner, overlap
//   (touching is not overlapping).
int region_has_colour(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t low, uint8_t high, const uint8_t* pixels,
                      int32_t pitch);
//   1 when a pixel of the rectangle (corners clamped to the display, not put in order) holds a
//   value from low to high. Reads nothing and gives 0 on a display without pixels, for null
//   pixels or when low is above high.
