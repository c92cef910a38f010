// The display's operations for the call-sequence fuzzer: starting and stopping it, clippers and
// regions, surfaces made, filled, locked and unlocked, flips.
#include "api.h"

#include <cstdlib>

namespace {

void op_display_init(Input& in) {
    const Mode m = mode_arg(in);
    // Once started the display is shut down before it starts again.
    if (display_device || display_primary || display_back || display_palette || display_clipper) display_shutdown();
    forget_dead_locks();
    display_init(m.width, m.height, m.bpp);
}

void op_display_shutdown(Input&) {
    display_shutdown();
    forget_dead_locks();
}

void op_display_attach_clipper(Input& in) {
    PlatSurface* s = surface_arg(in);
    PlatRect rects[8];
    const int32_t count = rects_arg(in, rects);
    PlatClipper* c = display_attach_clipper(s, count, rects);
    if (!c) return;
    if (!display_clipper && in.coin()) {
        display_clipper = c;  // as the program keeps it, for display_shutdown
        return;
    }
    empty_slot(pick_slot(in, w.clippers), plat_clipper_release) = c;
}

void op_display_make_region(Input& in) {
    PlatRect rects[8];
    const int32_t count = rects_arg(in, rects);
    PlatRegionHeader* region = display_make_region(count, in.pick(8) ? rects : nullptr);
    if (region && in.coin()) plat_clipper_set_region(clipper_arg(in), region);
    std::free(region);
}

void op_display_create_surface(Input& in) {
    const int32_t width = in.value(), height = in.value();
    const uint32_t caps = in.uvalue();
    if (area_too_big(width, height) && width <= 16384 && height <= 16384) return;
    PlatSurface*& slot = empty_slot(pick_slot(in, w.surfaces), plat_surface_release);
    slot = display_create_surface(width, height, caps);
}

void op_display_flip(Input&) { display_flip(); }
void op_display_wait_vblank(Input&) { display_wait_vblank(); }

void op_display_fill_surface(Input& in) {
    PlatSurface* s = surface_arg(in);
    display_fill_surface(s, in.value());
}

void op_display_lock_surface(Input& in) {
    PlatSurface* s = surface_arg(in);
    if (display_holds(s)) return;
    int32_t pitch = -5;
    const bool ask_pitch = in.pick(4) != 0;
    uint8_t* p = display_lock_surface(s, ask_pitch ? &pitch : nullptr);
    if (p) w.locks.push_back(SurfaceLock{s, p, display_desc.lPitch});
}

void op_display_unlock_surface(Input& in) {
    PlatSurface* s = surface_arg(in);
    if (display_holds(s)) return;
    SurfaceLock* l = lock_of(s);
    uint8_t* p = unlock_pointer(in, l);
    display_unlock_surface(s, p);
    if (l && (!p || p == l->pixels)) std::erase_if(w.locks, [s](const SurfaceLock& x) { return x.surface == s; });
}

void op_display_lock_primary(Input&) {
    if (!lock_of(display_primary)) display_lock_primary();
}
void op_display_unlock_primary(Input&) { display_unlock_primary(); }
void op_display_lock_back(Input&) {
    if (!lock_of(display_back)) display_lock_back();
}
void op_display_unlock_back(Input&) { display_unlock_back(); }

// Byte 0, the commonest in mutated inputs, names a cheap call; starting the display again
// (two screen-sized surfaces) is kept off the small bytes.
const Op DISPLAY_OPS[] = {
    OP(display_wait_vblank),    OP(display_flip),           OP(display_attach_clipper), OP(display_make_region),
    OP(display_create_surface), OP(display_fill_surface),   OP(display_lock_surface),   OP(display_unlock_surface),
    OP(display_lock_primary),   OP(display_unlock_primary), OP(display_lock_back),      OP(display_unlock_back),
    OP(display_init),           OP(display_shutdown),
};

}  // namespace

const OpTable display_ops = DISPLAY_OPS;
