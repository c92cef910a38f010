#pragma once
/// \file
/// Sprites (blitter objects): frames on off-screen surfaces drawn with index 0 transparent,
/// animation, motion and overlap tests.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../imaging/bmp.h"
#include "../platform/video.h"

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct BOB BOB;
#endif

/// Attribute bits of a sprite. The animation modes are tried in the order still, cycle, scripted.
enum {
    BOB_STILL = 0x01,      ///< animation: always frame 0
    BOB_CYCLE = 0x02,      ///< animation: frames 0 to frame_count - 1 in turn
    BOB_SCRIPTED = 0x04,   ///< animation: the frames of the selected sequence
    BOB_PLAY_ONCE = 0x08,  ///< a scripted sprite stays on the sequence's last frame and sets anim_done
    BOB_SHOWN = 0x10,      ///< drawn; a sprite without it draws nothing
    BOB_REBOUND = 0x20,    ///< bob_move() turns the velocity at the edges of the clip rectangle
    BOB_WRAPS = 0x40,      ///< bob_move() brings a sprite that left the clip rectangle back at the opposite edge
    BOB_HAS_IMAGE = 0x80,  ///< set once bob_load_frame() has copied pixels into a frame
    BOB_BORROWED = 0x100,  ///< a clone: the frames and sequences are another sprite's (set by bob_clone())
};

/// The most frames and sequence slots a sprite has.
enum {
    BOB_MAX_FRAMES = 64,     ///< frame surfaces
    BOB_MAX_SEQUENCES = 16,  ///< sequence slots
};

/// A sprite: its place and motion, its frames, and where its animation stands.
///
/// Ownership: a sprite owns its frame surfaces and sequence arrays; a clone (BOB_BORROWED) borrows
/// those of the sprite it was copied from, which must outlive it, and owns only the arrays it
/// added itself. An array a sprite replaces in one of its slots may still be read by its clones,
/// so it stays allocated until that sprite is destroyed.
struct BOB {
    int32_t status;                         ///< 1 once created
    int32_t anim_done;                      ///< 1 once a play-once sequence has reached its end
    int32_t attributes;                     ///< BOB_ bits
    int32_t x;                              ///< left column on the surface drawn into
    int32_t y;                              ///< top row
    int32_t vx;                             ///< columns added to x by each bob_move()
    int32_t vy;                             ///< rows added to y by each bob_move()
    int32_t width;                          ///< of a frame, in pixels
    int32_t height;                         ///< of a frame, in pixels
    int32_t row_extra;                      ///< 0..7 so that width + row_extra is a multiple of 8
    int32_t spare_counters[4];              ///< the program's own; bob_create() sets them to 0
    uint8_t spare_block[128];               ///< the program's own; never touched
    int32_t frame;                          ///< the frame drawn
    int32_t frame_count;                    ///< the frames made
    int32_t sequence;                       ///< the selected slot of sequences
    int32_t tick;                           ///< bob_animate() calls since the last step
    int32_t seq_pos;                        ///< the place in the selected sequence
    int32_t ticks_per_step;                 ///< bob_animate() calls from one step to the next
    int32_t* sequences[BOB_MAX_SEQUENCES];  ///< frame indices ended by -1; null for an empty slot
    int32_t left;    ///< x; refreshed by bob_create(), bob_move(), bob_set_position() only, as are the next three
    int32_t right;   ///< x + width
    int32_t top;     ///< y
    int32_t bottom;  ///< y + height
    PlatSurface* frames[BOB_MAX_FRAMES];  ///< the frame surfaces; null where none was made
    /// Bookkeeping, read by no caller: the arrays this sprite replaced in its slots, freed by bob_destroy().
    struct BobRetired* retired;
    /// Bookkeeping, read by no caller: of a borrowing sprite, bit i set when it allocated sequences[i].
    uint32_t own_sequences;
};

/// Sets up the record from scratch (what it held before is not read, so not released; of the
/// attributes all but BOB_BORROWED are kept) and makes frame_count frame surfaces, rows widened
/// to a multiple of 8, index 0 transparent. 1; 0 for a count outside 0..64 or at the first
/// surface refused (the frames made so far stay).
int bob_create(BOB* bob, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frame_count, int32_t attributes,
               uint32_t memory_caps);
/// Releases what the sprite owns (see Ownership) and clears every handle, so a second call
/// releases nothing. 1; 0 for a null sprite.
int bob_destroy(BOB* bob);
/// Copies the source over dest (whose former contents are not released) and marks dest as
/// borrowing. 1; 0 when either is null or both are the same record.
int bob_clone(const BOB* source, BOB* dest);
/// Copies a width x height block of an 8-bit picture into a frame: cell (cx, cy) when mode is 0,
/// else the block at pixel (cx, cy). 0, nothing copied, when the block lies outside the picture,
/// the frame was not made or its lock is refused.
int bob_load_frame(BOB* bob, const BmpFile* bmp, int32_t frame, int32_t cx, int32_t cy, int32_t mode);
/// Keyed blit of the current frame at (x, y), one pixel short in each direction. 1 (also when
/// hidden); 0 for a null sprite or a refused blit.
int bob_draw(const BOB* bob, PlatSurface* dest);
/// As bob_draw(), the frame stretched by nearest pixel over (width - 1) x (height - 1) pixels.
int bob_draw_scaled(const BOB* bob, int32_t width, int32_t height, PlatSurface* dest);

/// Advances frame by the animation mode: BOB_STILL shows frame 0; BOB_CYCLE steps one frame every
/// ticks_per_step calls, back to 0 after the last; BOB_SCRIPTED steps the active sequence the
/// same way, back to its start at its -1, or with BOB_PLAY_ONCE staying on its last frame with
/// anim_done set. 1; 0 for a null sprite or a scripted sprite whose active slot holds no sequence.
int bob_animate(BOB* bob);
/// Adds the velocity and refreshes the edges. With BOB_WRAPS a sprite wholly outside the clip
/// rectangle comes back from just outside the opposite edge; with BOB_REBOUND the velocity turns
/// at an edge, the position left up to one step beyond it. 1; 0 for a null sprite.
int bob_move(BOB* bob);
/// Stores a copy of the count frame indices, ended by -1, in sequences[slot]; an array the
/// sprite owned there is kept until bob_destroy() (see Ownership). 1; 0 for a slot outside 0..15,
/// an empty list or no memory (the slot is then unchanged).
int bob_add_sequence(BOB* bob, int32_t slot, int32_t count, const int32_t* frames);
/// sequence = slot, seq_pos = 0; frame, tick and anim_done stay (the slot is checked by
/// bob_animate()). 1; 0 for a null sprite.
int bob_select_sequence(BOB* bob, int32_t slot);
/// ticks_per_step = calls_per_step; tick stays. 1; 0 for a null sprite.
int bob_set_anim_speed(BOB* bob, int32_t calls_per_step);
/// Sets vx, vy (the edges are not refreshed). 1; 0 for a null sprite.
int bob_set_velocity(BOB* bob, int32_t vx, int32_t vy);
/// Sets x, y and refreshes the edges. 1; 0 for a null sprite.
int bob_set_position(BOB* bob, int32_t x, int32_t y);
/// Clears BOB_SHOWN: bob_draw() then draws nothing. 1; 0 for a null sprite.
int bob_hide(BOB* bob);
/// Sets BOB_SHOWN. 1; 0 for a null sprite.
int bob_show(BOB* bob);
/// 1 when the two sprites overlap by the rule of rect_collide(); 0 otherwise or for a null sprite.
int bob_collide(const BOB* a, const BOB* b);
/// 1 when boxes of (size >> 1) - (size >> 3) either side, anchored at each corner, overlap
/// (touching is not overlapping).
int rect_collide(int32_t x1, int32_t y1, int32_t width1, int32_t height1, int32_t x2, int32_t y2, int32_t width2,
                 int32_t height2);
/// 1 when a pixel of the rectangle (corners clamped to the display and to what the buffer holds,
/// buffer_bounds(); not put in order) holds a value from low to high. Reads nothing and gives 0
/// on a display without pixels, for null pixels, a pitch below 1 or when low is above high.
int region_has_colour(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t low, uint8_t high, const uint8_t* pixels,
                      int32_t pitch);

#ifdef __cplusplus
}  // extern "C"
#endif
