// Sprites between creation and drawing: animation, motion at the clip rectangle, the setters,
// and the hit tests.
#include "sprites/bob.h"

#include <algorithm>

#include "display/display.h"
#include "imaging/buffer_bounds.h"

namespace {

// Positions move with two's-complement wrap-around, never undefined overflow.
int32_t wrapping(int64_t v) { return static_cast<int32_t>(v); }

void refresh_edges(BOB* bob) {
    bob->left = bob->x;
    bob->right = wrapping(int64_t{bob->x} + bob->width);
    bob->top = bob->y;
    bob->bottom = wrapping(int64_t{bob->y} + bob->height);
}

// Three eighths of a size as the two arithmetic shifts compute it (32 -> 12, 24 -> 9, 104 -> 39).
int64_t half_extent(int32_t size) { return (size >> 1) - (size >> 3); }

int64_t distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

// One step of a scripted sequence. The position moves on before the frame is read, so the
// first step after a sequence is selected shows its second entry.
void step_sequence(BOB* bob, const int32_t* sequence) {
    int32_t next = wrapping(int64_t{bob->seq_pos} + 1);
    // A position that ran past the end marker (a sequence replaced by a shorter one) is taken
    // as standing on the marker, so nothing behind it is read.
    if (next < 0) next = 0;
    for (int32_t i = 0; i < next; ++i)
        if (sequence[i] == -1) {
            next = i;
            break;
        }
    bob->seq_pos = next;
    bob->frame = sequence[next];
    if (bob->frame != -1) return;
    if (bob->attributes & BOB_PLAY_ONCE) {
        // Stays on the sequence's last frame.
        bob->anim_done = 1;
        if (bob->seq_pos > 0) bob->seq_pos -= 1;
        bob->frame = sequence[bob->seq_pos];
    } else {
        bob->seq_pos = 0;
        bob->frame = sequence[0];
    }
}

}  // namespace

int bob_animate(BOB* bob) {
    if (!bob) return 0;
    if (bob->attributes & BOB_STILL) {
        bob->frame = 0;
    } else if (bob->attributes & BOB_CYCLE) {
        if (++bob->tick >= bob->ticks_per_step) {
            bob->tick = 0;
            if (++bob->frame >= bob->frame_count) bob->frame = 0;
        }
    } else if (bob->attributes & BOB_SCRIPTED) {
        if (bob->sequence < 0 || bob->sequence >= BOB_MAX_SEQUENCES || !bob->sequences[bob->sequence]) return 0;
        if (++bob->tick >= bob->ticks_per_step) {
            bob->tick = 0;
            step_sequence(bob, bob->sequences[bob->sequence]);
        }
    }
    return 1;
}

int bob_move(BOB* bob) {
    if (!bob) return 0;
    bob->x = wrapping(int64_t{bob->x} + bob->vx);
    bob->y = wrapping(int64_t{bob->y} + bob->vy);
    const int64_t x = bob->x, y = bob->y;
    if (bob->attributes & BOB_WRAPS) {
        // Only once the sprite has left the rectangle entirely; it comes back from just
        // outside the opposite edge.
        if (x > clip_right) bob->x = wrapping(int64_t{clip_left} - bob->width);
        else if (x < int64_t{clip_left} - bob->width) bob->x = clip_right;
        if (y > clip_bottom) bob->y = wrapping(int64_t{clip_top} - bob->height);
        else if (y < int64_t{clip_top} - bob->height) bob->y = clip_bottom;
    } else if (bob->attributes & BOB_REBOUND) {
        // The velocity turns; the position is left as it is, up to one step beyond the edge.
        if (x > int64_t{clip_right} - bob->width || x < clip_left) bob->vx = wrapping(-int64_t{bob->vx});
        if (y > int64_t{clip_bottom} - bob->height || y < clip_top) bob->vy = wrapping(-int64_t{bob->vy});
    }
    refresh_edges(bob);
    return 1;
}

int bob_select_sequence(BOB* bob, int32_t slot) {
    if (!bob) return 0;
    bob->sequence = slot;
    bob->seq_pos = 0;
    return 1;
}

int bob_set_anim_speed(BOB* bob, int32_t calls_per_step) {
    if (!bob) return 0;
    bob->ticks_per_step = calls_per_step;
    return 1;
}

int bob_set_velocity(BOB* bob, int32_t vx, int32_t vy) {
    if (!bob) return 0;
    bob->vx = vx;
    bob->vy = vy;
    return 1;
}

int bob_set_position(BOB* bob, int32_t x, int32_t y) {
    if (!bob) return 0;
    bob->x = x;
    bob->y = y;
    refresh_edges(bob);
    return 1;
}

int bob_hide(BOB* bob) {
    if (!bob) return 0;
    bob->attributes &= ~BOB_SHOWN;
    return 1;
}

int bob_show(BOB* bob) {
    if (!bob) return 0;
    bob->attributes |= BOB_SHOWN;
    return 1;
}

int rect_collide(int32_t x1, int32_t y1, int32_t width1, int32_t height1, int32_t x2, int32_t y2, int32_t width2,
                 int32_t height2) {
    // Each party counts as a box of about three quarters of its size anchored at its corner;
    // boxes that only touch do not overlap.
    const int64_t hw1 = half_extent(width1), hh1 = half_extent(height1);
    const int64_t hw2 = half_extent(width2), hh2 = half_extent(height2);
    const int64_t dx = distance(x2 + hw2, x1 + hw1);
    const int64_t dy = distance(y2 + hh2, y1 + hh1);
    return dx < hw1 + hw2 && dy < hh1 + hh2 ? 1 : 0;
}

int bob_collide(const BOB* a, const BOB* b) {
    if (!a || !b) return 0;
    return rect_collide(a->x, a->y, a->width, a->height, b->x, b->y, b->width, b->height);
}

int region_has_colour(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t low, uint8_t high, const uint8_t* pixels,
                      int32_t pitch) {
    // Only what the buffer holds is read, as the drawing operations write only there: what
    // remains of a surface locked now, else the display's size, rows no wider than the pitch.
    int32_t held_w = 0, held_h = 0;
    if (!buffer_bounds(pixels, pitch, &held_w, &held_h)) return 0;
    const int32_t width = std::min(display_width, held_w), height = std::min(display_height, held_h);
    if (width <= 0 || height <= 0) return 0;
    auto clamp = [](int32_t v, int32_t limit) { return v >= limit ? limit - 1 : v < 0 ? 0 : v; };
    x1 = clamp(x1, width);
    x2 = clamp(x2, width);
    y1 = clamp(y1, height);
    y2 = clamp(y2, height);
    if (low > high) return 0;  // no value lies in the range
    // One unsigned compare per pixel: value - low <= high - low.
    const uint8_t span = static_cast<uint8_t>(high - low);
    const uint8_t* row = pixels + static_cast<int64_t>(y1) * pitch;
    for (int32_t y = y1; y <= y2; ++y, row += pitch)
        for (int32_t x = x1; x <= x2; ++x)
            if (static_cast<uint8_t>(row[x] - low) <= span) return 1;
    return 0;
}
