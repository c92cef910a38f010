// The sprites' operations for the call-sequence fuzzer: made, cloned, given frames and sequences,
// animated, moved, drawn and tested for overlap.
#include "api.h"

#include <cstdlib>
#include <cstring>

namespace {

void op_bob_create(Input& in) {
    const int32_t i = sprite_index(in);
    const int32_t x = in.value(), y = in.value(), width = in.value(), height = in.value();
    const int32_t frames = in.value(), attributes = in.value();
    const uint32_t caps = in.uvalue();
    if (frames > 0 && frames <= BOB_MAX_FRAMES && width > 0 && height > 0 && width <= 16384 && height <= 16384 &&
        (int64_t{width} + 7) * height * frames > 2 * MAX_AREA)
        return;
    sprite_destroy(i);  // a used record is destroyed before it is made again
    bob_create(&w.sprites[i].bob, x, y, width, height, frames, attributes, caps);
}

void op_bob_destroy(Input& in) { sprite_destroy(sprite_index(in)); }

void op_bob_destroy_null(Input&) { bob_destroy(nullptr); }

void op_bob_clone(Input& in) {
    const int32_t from = sprite_index(in), to = sprite_index(in);
    if (in.pick(8) == 0) {
        bob_clone(in.coin() ? &w.sprites[from].bob : nullptr, nullptr);
        return;
    }
    if (from == to) {
        bob_clone(&w.sprites[from].bob, &w.sprites[to].bob);  // refused
        return;
    }
    sprite_destroy(to);
    // The clone reads what its source holds, borrowed or added by the source itself.
    if (bob_clone(&w.sprites[from].bob, &w.sprites[to].bob)) w.sprites[to].owner = from;
}

void op_bob_load_frame(Input& in) {
    BOB* b = sprite_or_null(in);
    const int32_t p = in.pick(PICTURES + 1);
    const BmpFile* bmp = p == PICTURES ? nullptr : &w.pictures[p];
    const int32_t frame = in.value(), cx = in.value(), cy = in.value(), mode = in.value();
    bob_load_frame(b, bmp, frame, cx, cy, mode);
}

void op_bob_draw(Input& in) {
    BOB* b = sprite_or_null(in);
    PlatSurface* dest = surface_arg(in);
    bob_draw(b, dest);
}

void op_bob_draw_scaled(Input& in) {
    BOB* b = sprite_or_null(in);
    const int32_t width = in.value(), height = in.value();
    PlatSurface* dest = surface_arg(in);
    bob_draw_scaled(b, width, height, dest);
}

void op_bob_animate(Input& in) {
    BOB* b = sprite_or_null(in);
    for (int32_t n = in.pick(8) + 1; n > 0; --n) bob_animate(b);
}

void op_bob_move(Input& in) {
    BOB* b = sprite_or_null(in);
    for (int32_t n = in.pick(8) + 1; n > 0; --n) bob_move(b);
}

void op_bob_add_sequence(Input& in) {
    const int32_t i = in.pick(SPRITES + 1);
    const int32_t slot = in.value();
    int32_t count = in.value();
    int32_t frames[24];
    if (count > 24) count = in.coin() ? 24 : count;  // past 24 the list is not read: refused or huge
    for (int32_t k = 0; k < 24 && k < count; ++k) frames[k] = in.pick(4) ? in.pick(6) : in.value();
    if (count > 24) return;
    if (i == SPRITES) {
        bob_add_sequence(nullptr, slot, count, frames);
        return;
    }
    bob_add_sequence(&w.sprites[i].bob, slot, count, in.pick(8) ? frames : nullptr);
}

void op_bob_select_sequence(Input& in) {
    BOB* b = sprite_or_null(in);
    bob_select_sequence(b, in.pick(4) ? in.pick(4) : in.value());
}

void op_bob_set_anim_speed(Input& in) {
    BOB* b = sprite_or_null(in);
    bob_set_anim_speed(b, in.value());
}

void op_bob_set_velocity(Input& in) {
    BOB* b = sprite_or_null(in);
    const int32_t vx = in.value(), vy = in.value();
    bob_set_velocity(b, vx, vy);
}

void op_bob_set_position(Input& in) {
    BOB* b = sprite_or_null(in);
    const int32_t x = in.value(), y = in.value();
    bob_set_position(b, x, y);
}

void op_bob_hide(Input& in) { bob_hide(sprite_or_null(in)); }
void op_bob_show(Input& in) { bob_show(sprite_or_null(in)); }

void op_bob_collide(Input& in) {
    BOB* a = sprite_or_null(in);
    bob_collide(a, sprite_or_null(in));
}

void op_rect_collide(Input& in) {
    int32_t v[8];
    for (int32_t& x : v) x = in.value();
    rect_collide(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
}

void op_region_has_colour(Input& in) {
    const int32_t x1 = in.value(), y1 = in.value(), x2 = in.value(), y2 = in.value();
    const uint8_t low = in.byte(), high = in.byte();
    const Target t = target_arg(in);
    region_has_colour(x1, y1, x2, y2, low, high, t.pixels, t.pitch);
}

const Op SPRITE_OPS[] = {
    OP(bob_create),        OP(bob_destroy),         OP(bob_destroy_null),
    OP(bob_clone),         OP(bob_load_frame),      OP(bob_draw),
    OP(bob_draw_scaled),   OP(bob_animate),         OP(bob_move),
    OP(bob_add_sequence),  OP(bob_select_sequence), OP(bob_set_anim_speed),
    OP(bob_set_velocity),  OP(bob_set_position),    OP(bob_hide),
    OP(bob_show),          OP(bob_collide),         OP(rect_collide),
    OP(region_has_colour),
};

}  // namespace

const OpTable sprite_ops = SPRITE_OPS;
