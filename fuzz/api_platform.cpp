// The platform's own operations for the call-sequence fuzzer: raw surfaces, devices and clippers,
// the window, its messages and the key table, and the headless script's refusals.
#include "api.h"

#include <cstdlib>
#include <cstring>

#include "platform/keys.h"
#include "platform/status.h"
#include "platform/window.h"

namespace {

// ---- raw surfaces, devices and clippers ----

void op_plat_device_create(Input& in) {
    PlatDevice*& slot = empty_slot(pick_slot(in, w.devices), plat_device_release);
    plat_device_create(in.pick(16) ? &slot : nullptr);
}

void op_plat_device_release(Input& in) { empty_slot(pick_slot(in, w.devices), plat_device_release); }

void op_plat_device_calls(Input& in) {
    PlatDevice* d = device_arg(in);
    switch (in.pick(3)) {
        case 0: plat_device_set_exclusive(d); break;
        case 1: plat_wait_vblank(d); break;
        default: {
            const Mode m = mode_arg(in);
            plat_device_set_mode(d, m.width, m.height, m.bpp);
            break;
        }
    }
}

void op_plat_primary_create(Input& in) {
    PlatDevice* d = device_arg(in);
    PlatSurface*& slot = empty_slot(pick_slot(in, w.surfaces), plat_surface_release);
    plat_primary_create(d, in.pick(16) ? &slot : nullptr);
}

void op_plat_primary_back(Input& in) {
    PlatSurface* s = surface_arg(in);
    PlatSurface*& slot = pick_slot(in, w.surfaces);
    if (slot == s) return;  // its own handle is not given up before it is asked for its back
    empty_slot(slot, plat_surface_release);
    plat_primary_back(s, in.pick(16) ? &slot : nullptr);
}

void op_plat_surface_create(Input& in) {
    PlatDevice* d = device_arg(in);
    const int32_t width = in.value(), height = in.value();
    const uint32_t caps = in.uvalue();
    if (area_too_big(width, height) && width <= 16384 && height <= 16384) return;
    PlatSurface*& slot = empty_slot(pick_slot(in, w.surfaces), plat_surface_release);
    plat_surface_create(d, width, height, caps, in.pick(16) ? &slot : nullptr);
}

void op_plat_surface_release(Input& in) { empty_slot(pick_slot(in, w.surfaces), plat_surface_release); }

void op_plat_surface_size(Input& in) {
    PlatSurface* s = surface_arg(in);
    int32_t width = -1, height = -1;
    plat_surface_size(s, in.coin() ? &width : nullptr, in.coin() ? &height : nullptr);
}

void op_plat_surface_set_color_key(Input& in) {
    PlatSurface* s = surface_arg(in);
    const uint8_t low = in.byte(), high = in.byte();
    plat_surface_set_color_key(s, low, high);
}

void op_plat_surface_lock(Input& in) {
    PlatSurface* s = surface_arg(in);
    if (display_holds(s)) return;
    uint8_t* p = nullptr;
    int32_t pitch = 0;
    const int32_t c = in.pick(8);
    if (plat_surface_lock(s, c == 0 ? nullptr : &p, c == 1 ? nullptr : &pitch) == PLAT_OK)
        w.locks.push_back(SurfaceLock{s, p, pitch});
}

void op_plat_surface_unlock(Input& in) {
    PlatSurface* s = surface_arg(in);
    if (display_holds(s)) return;
    SurfaceLock* l = lock_of(s);
    if (plat_surface_unlock(s, unlock_pointer(in, l)) == PLAT_OK)
        std::erase_if(w.locks, [s](const SurfaceLock& x) { return x.surface == s; });
}

void op_plat_surface_fill(Input& in) {
    PlatSurface* s = surface_arg(in);
    const PlatRect r = rect_arg(in);
    plat_surface_fill(s, in.pick(4) ? &r : nullptr, in.byte());
}

void op_plat_surface_blit(Input& in) {
    PlatSurface* dest = surface_arg(in);
    PlatSurface* source = surface_arg(in);
    const PlatRect d = rect_arg(in), s = rect_arg(in);
    const bool use_d = in.pick(4) != 0, use_s = in.pick(4) != 0;
    const uint32_t flags = in.pick(4) ? PLAT_BLIT_KEY_SOURCE * in.pick(2) : in.uvalue();
    plat_surface_blit(dest, use_d ? &d : nullptr, source, use_s ? &s : nullptr, flags);
}

void op_plat_flip(Input& in) { plat_flip(surface_arg(in)); }

void op_plat_clipper_create(Input& in) {
    PlatDevice* d = device_arg(in);
    PlatClipper*& slot = empty_slot(pick_slot(in, w.clippers), plat_clipper_release);
    plat_clipper_create(d, in.pick(16) ? &slot : nullptr);
}

void op_plat_clipper_release(Input& in) { empty_slot(pick_slot(in, w.clippers), plat_clipper_release); }

void op_plat_clipper_set_region(Input& in) {
    PlatClipper* c = clipper_arg(in);
    // A region block of up to eight rectangles whose header may lie about them (but never claims
    // more than the block holds).
    struct {
        PlatRegionHeader header;
        PlatRect rects[8];
    } block{};
    const uint32_t count = static_cast<uint32_t>(in.pick(9));
    for (uint32_t i = 0; i < count; ++i) block.rects[i] = rect_arg(in);
    block.header.dwSize = sizeof(PlatRegionHeader);
    block.header.iType = PLAT_REGION_RECTANGLES;
    block.header.nCount = count;
    block.header.nRgnSize = count * sizeof(PlatRect);
    switch (in.pick(6)) {
        case 0: block.header.dwSize = in.uvalue(); break;
        case 1: block.header.iType = in.uvalue(); break;
        case 2: block.header.nRgnSize = in.uvalue(); break;
        case 3: {
            const uint32_t n = in.uvalue();
            if (n > 4096 || n <= count) block.header.nCount = n;
            break;
        }
        default: break;
    }
    plat_clipper_set_region(c, in.pick(16) ? &block.header : nullptr);
}

void op_plat_surface_set_clipper(Input& in) {
    PlatSurface* s = surface_arg(in);
    plat_surface_set_clipper(s, clipper_arg(in));
}

// ---- window, messages and keys ----

void op_plat_window(Input& in) {
    switch (in.pick(3)) {
        case 0: plat_window_create(in.pick(8) ? "Zarn" : nullptr); break;
        case 1: plat_window_destroy(); break;
        default: headless_window_open(); break;
    }
}

void op_plat_messages(Input& in) {
    switch (in.pick(4)) {
        case 0: {
            PlatMessage m{};
            plat_message_take(in.pick(8) ? &m : nullptr);
            break;
        }
        case 1: {
            const int32_t kind = in.pick(2) ? in.pick(6) : in.value();
            const int32_t param = in.value();
            for (int32_t n = in.pick(4) == 0 ? 70 : 1; n > 0; --n) plat_message_post(kind, param);
            break;
        }
        case 2: plat_post_quit(in.value()); break;
        default: {
            plat_cursor_show(in.value());
            headless_cursor_shown();
            break;
        }
    }
}

void op_keys(Input& in) {
    const int32_t a = in.pick(2) ? in.byte() : in.value();
    switch (in.pick(4)) {
        case 0: key_info(a); break;
        case 1: key_scancode_of_code(a); break;
        case 2: keyboard_key_down_now(a); break;
        default: plat_key_down_now(a); break;
    }
}

// ---- the headless script ----

void op_headless_refuse(Input& in) {
    const char* name = request_name(in);
    const int32_t times = in.pick(4) ? in.pick(4) : in.value();
    if (in.pick(3)) {
        headless_refuse(name, times);
    } else {
        const int32_t passing = in.pick(2) ? in.pick(8) : in.value();
        headless_refuse_after(name, passing, times);
    }
}

void op_headless_allow(Input& in) {
    const char* name = request_name(in);
    if (in.pick(2)) headless_allow(name);
    else headless_request_count(name);
}

void op_headless_reset(Input&) {
    headless_reset();
    start_clock();
}

void op_headless_visible(Input& in) {
    int32_t width = 0, height = 0;
    headless_visible_size(in.coin() ? &width : nullptr, in.coin() ? &height : nullptr);
    const int32_t x = in.value(), y = in.value();
    headless_visible_index(x, y);
    headless_visible_rgb(x, y);
    headless_present_count();
    headless_device_open();
}

const Op SURFACE_OPS[] = {
    OP(plat_device_create),         OP(plat_device_release),
    OP(plat_device_calls),          OP(plat_primary_create),
    OP(plat_primary_back),          OP(plat_surface_create),
    OP(plat_surface_release),       OP(plat_surface_size),
    OP(plat_surface_set_color_key), OP(plat_surface_lock),
    OP(plat_surface_unlock),        OP(plat_surface_fill),
    OP(plat_surface_blit),          OP(plat_flip),
    OP(plat_clipper_create),        OP(plat_clipper_release),
    OP(plat_clipper_set_region),    OP(plat_surface_set_clipper),
};

const Op WINDOW_OPS[] = {
    OP(plat_window),
    OP(plat_messages),
    OP(keys),
};

const Op SCRIPT_OPS[] = {
    OP(headless_refuse),
    OP(headless_allow),
    OP(headless_reset),
    OP(headless_visible),
};

}  // namespace

const OpTable surface_ops = SURFACE_OPS;
const OpTable window_ops = WINDOW_OPS;
const OpTable script_ops = SCRIPT_OPS;
