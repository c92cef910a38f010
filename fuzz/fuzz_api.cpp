// Call sequences over the whole public surface: the support layer (display and sprites, imaging,
// sound, input) and the platform layer beneath it, on the headless backend.
//
// An input is a display-mode byte, then up to MAX_CALLS calls: an operation byte (taken modulo
// the number of operations in OPS) followed by that operation's argument bytes. Arguments come
// from value(): a byte below 48 picks an edge value (0, -1, 639, 640, 2^30, INT_MIN, ...), a
// byte from 48 to 239 is a small number (byte - 112), a byte from 240 up is followed by a raw
// little-endian int. Indices of records and handles take one byte each (pick).
//
// The target keeps to the contract a careful caller keeps (handles used only while they live, a
// clone destroyed before its owner, buffers as long as the sizes given), and within it calls
// anything in any order, with platform refusals injected at random. Every input ends with a full
// shutdown, so the leak checker sees whatever was left behind.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <vector>

#include "fuzz_api_files.h"
#include "imaging/bmp_decode.h"
#include "imaging/buffer_bounds.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "platform/status.h"
#include "platform/ticks.h"
#include "platform/window.h"
#include "sound/pcm_convert.h"
#include "zarn/zarn.h"

namespace {

enum {
    MAX_CALLS = 64,
    SPRITES = 6,
    IMAGES = 4,
    PICTURES = 3,
    SURFACES = 6,
    PALETTES = 2,
    CLIPPERS = 3,
    DEVICES = 2,
    BUFFERS = 4,
    INPUTS = 2,
    INPUT_DEVICES = 4,
    MAX_TRANSITIONS = 2,   // the dissolve alone plots four times the screen
    TICK_STEP = 1000,      // each reading of the clock moves it on a second: pauses end at once
    WATCHDOG_READS = 1000  // then every wait ends at the next reading
};

// Pixels of one surface, image or mode: a screen's worth. Larger blocks cost page faults on every
// input without reaching anything new.
constexpr int64_t MAX_AREA = 640 * 480;

constexpr int32_t INTERESTING[] = {
    0,     1,     -1,     2,     -2,    7,      8,       9,          15,        16,        31,    32,
    33,    63,    64,     65,    100,   127,    128,     255,        256,       319,       320,   479,
    480,   481,   639,    640,   641,   1023,   1024,    4096,       10000,     -10000,    11025, 16384,
    16385, 32767, -32768, 65535, 65536, 100000, 1 << 30, -(1 << 30), INT32_MAX, INT32_MIN, -640,  (1 << 30) + 1,
};
static_assert(std::size(INTERESTING) == 48, "one edge value for each of the bytes 0..47");

// ---- reading the input ----

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos;

    bool more() const { return pos < size; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    int32_t pick(int32_t n) { return static_cast<int32_t>(byte() % n); }
    bool coin() { return (byte() & 1) != 0; }
    int32_t value() {
        const uint8_t b = byte();
        if (b < 48) return INTERESTING[b];
        if (b < 240) return b - 112;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(byte()) << (8 * i);
        return static_cast<int32_t>(v);
    }
    uint32_t uvalue() { return static_cast<uint32_t>(value()); }
};

// ---- what the calls have made ----

struct Sprite {
    BOB bob;
    int32_t owner;  // for a clone, the sprite it was cloned from (which must outlive it); else -1
};

struct SurfaceLock {
    PlatSurface* surface;
    uint8_t* pixels;
    int32_t pitch;
};

struct SoundLock {
    PlatSoundBuffer* buffer;
    void* p1;
    uint32_t n1;
    void* p2;
    uint32_t n2;
};

struct World {
    Sprite sprites[SPRITES];
    PixelImage images[IMAGES];
    BmpFile pictures[PICTURES];
    PlatSurface* surfaces[SURFACES];
    PlatPalette* palettes[PALETTES];
    PlatClipper* clippers[CLIPPERS];
    PlatDevice* devices[DEVICES];
    PlatAudio* audio;
    PlatSoundBuffer* buffers[BUFFERS];
    PlatInput* inputs[INPUTS];
    PlatInputDevice* input_devices[INPUT_DEVICES];
    std::vector<SurfaceLock> locks;      // plain locks (the display's own are in its globals)
    std::vector<SoundLock> sound_locks;  // held sound-buffer locks
    std::vector<uint8_t> scratch;        // a buffer of the display's size outside any surface
    PaletteEntry palette[256];
    int32_t transitions;
};

World w;
int32_t g_reads = 0;  // clock readings in the current call

// ---- the clock: every wait ends ----

void watchdog(uint32_t, void*) {
    if (++g_reads > WATCHDOG_READS) headless_set_ticks(clock_start_count - 1u);  // all the time there is
}

void start_clock() {
    headless_set_tick_step(TICK_STEP);
    headless_on_tick(watchdog, nullptr);
}

// ---- keeping track of lifetimes ----

bool surface_alive(const PlatSurface* s) {
    if (!s) return false;
    if (s == display_primary || s == display_back) return true;
    for (PlatSurface* own : w.surfaces)
        if (own == s) return true;
    for (const Sprite& sp : w.sprites)
        for (PlatSurface* f : sp.bob.frames)
            if (f == s) return true;
    return false;
}

bool buffer_alive(const PlatSoundBuffer* b) {
    if (!b) return false;
    for (PlatSoundBuffer* own : w.buffers)
        if (own == b) return true;
    for (const SoundSlot& s : sound_table)
        if (s.buffer == b) return true;
    return false;
}

// Forgets the locks of surfaces and sound buffers that may be gone. A lock forgotten while its
// surface lives on only stops being drawn through.
void forget_dead_locks() {
    std::erase_if(w.locks, [](const SurfaceLock& l) { return !surface_alive(l.surface); });
    std::erase_if(w.sound_locks, [](const SoundLock& l) { return !buffer_alive(l.buffer); });
}

SurfaceLock* lock_of(const PlatSurface* s) {
    for (SurfaceLock& l : w.locks)
        if (l.surface == s) return &l;
    return nullptr;
}

// The display keeps its own lock of these two; a lock or unlock past it would confuse it.
bool display_holds(const PlatSurface* s) {
    return s && ((s == display_primary && primary_pixels) || (s == display_back && back_pixels));
}

// The slot of the target's own handles that a call makes its handle into or releases.
template <typename T, size_t N>
T*& pick_slot(Input& in, T* (&slots)[N]) {
    return slots[in.pick(static_cast<int32_t>(N))];
}

// Gives up the handle in the slot and empties it (a surface or a sound buffer may be gone with it).
template <typename T>
T*& empty_slot(T*& slot, void (*release)(T*)) {
    release(slot);
    slot = nullptr;
    forget_dead_locks();
    return slot;
}

// Destroys the sprite, and first its clones: a clone lives no longer than what it borrows.
void sprite_destroy(int32_t i) {
    for (int32_t j = 0; j < SPRITES; ++j)
        if (w.sprites[j].owner == i) sprite_destroy(j);
    bob_destroy(&w.sprites[i].bob);
    w.sprites[i].owner = -1;
    forget_dead_locks();
}

// ---- choosing arguments ----

int32_t sprite_index(Input& in) { return in.pick(SPRITES); }

BOB* sprite_or_null(Input& in) {
    const int32_t i = in.pick(SPRITES + 1);
    return i == SPRITES ? nullptr : &w.sprites[i].bob;
}

// Any surface a call may be given: none, the display's two, the target's own, a sprite frame.
PlatSurface* surface_arg(Input& in) {
    const int32_t c = in.pick(16);
    if (c == 0) return nullptr;
    if (c <= 2) return display_primary;
    if (c <= 5) return display_back;
    if (c <= 11) return w.surfaces[c - 6];
    const Sprite& s = w.sprites[in.pick(SPRITES)];
    return s.bob.frames[in.pick(4)];
}

// A handle a call may be given: none, the one the library keeps, or one of the target's own.
template <typename T, size_t N>
T* handle_arg(Input& in, T* kept, T* (&own)[N]) {
    const int32_t c = in.pick(static_cast<int32_t>(N) + 2);
    return c == 0 ? nullptr : c == 1 ? kept : own[c - 2];
}

PlatPalette* palette_arg(Input& in) { return handle_arg(in, display_palette, w.palettes); }
PlatClipper* clipper_arg(Input& in) { return handle_arg(in, display_clipper, w.clippers); }
PlatDevice* device_arg(Input& in) { return handle_arg(in, display_device, w.devices); }
PlatInput* input_arg(Input& in) { return handle_arg(in, input_object, w.inputs); }

PlatInputDevice* input_device_arg(Input& in) {
    const int32_t c = in.pick(8);
    switch (c) {
        case 0: return nullptr;
        case 1: return keyboard_device;
        case 2: return mouse_device;
        case 3: return joystick_device;
        default: return w.input_devices[c - 4];
    }
}

// A sound id: mostly one of the first slots, sometimes an edge value.
int32_t sound_id(Input& in) {
    const uint8_t b = in.byte();
    return b < 224 ? b % 8 : in.value();
}

PlatSoundBuffer* buffer_arg(Input& in) {
    const int32_t c = in.pick(6);
    if (c == 0) return nullptr;
    if (c <= BUFFERS) return w.buffers[c - 1];
    const int32_t id = sound_id(in);
    return id >= 0 && id < SOUND_SLOTS ? sound_table[id].buffer : nullptr;
}

PlatAudio* audio_arg(Input& in) {
    const int32_t c = in.pick(3);
    return c == 0 ? nullptr : c == 1 ? sound_object : w.audio;
}

const char* text_arg(Input& in) {
    static const char* const TEXTS[] = {
        "",
        "A",
        "PLAYER 1: 10",
        "%s%n%d %%",
        "\x01\x7f\x80\xff",
        "The quick brown fox jumps over the lazy dog. The quick brown fox jumps over the lazy dog. "
        "The quick brown fox jumps over the lazy dog. The quick brown fox jumps over the lazy dog!",
        nullptr,
    };
    return TEXTS[in.pick(static_cast<int32_t>(std::size(TEXTS)))];
}

// Any request the headless backend can refuse (it knows no others).
const char* request_name(Input& in) {
    static const char* const* const names = headless_request_names();
    static const int32_t count = [] {
        int32_t n = 0;
        while (names[n]) ++n;
        return n;
    }();
    return names[in.pick(count)];
}

PlatRect rect_arg(Input& in) {
    switch (in.pick(8)) {
        case 0: return PlatRect{0, 0, 640, 480};
        case 1: return PlatRect{0, 0, display_width, display_height};
        case 2: return PlatRect{-10, -10, 10, 10};
        case 3: return PlatRect{100, 100, 50, 50};
        case 4: return PlatRect{630, 470, 650, 490};
        case 5: return PlatRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
        default: {
            PlatRect r;
            r.left = in.value();
            r.top = in.value();
            r.right = in.value();
            r.bottom = in.value();
            return r;
        }
    }
}

// Up to eight rectangles and a count that never makes a call read past them.
int32_t rects_arg(Input& in, PlatRect (&rects)[8]) {
    int32_t count = in.value();
    if (count > 8 && count <= 4096) count = 8;
    for (int32_t i = 0; i < 8 && i < count; ++i) rects[i] = rect_arg(in);
    return count;
}

// A pixel buffer to draw into and its pitch: a place inside a locked surface (the display's or a
// plain lock) with any pitch, a buffer outside every surface holding the display's rows at the
// pitch given, or none.
struct Target {
    uint8_t* pixels;
    int32_t pitch;
};

Target target_arg(Input& in) {
    PlatSurface* surface = nullptr;
    uint8_t* base = nullptr;
    int32_t pitch = 0;
    switch (in.pick(7)) {
        case 0:
        case 1: surface = display_back, base = back_pixels, pitch = back_pitch; break;
        case 2: surface = display_primary, base = primary_pixels, pitch = primary_pitch; break;
        case 3:
        case 4:
            if (!w.locks.empty()) {
                const SurfaceLock& l = w.locks[in.pick(static_cast<int32_t>(w.locks.size()))];
                surface = l.surface, base = l.pixels, pitch = l.pitch;
            }
            break;
        case 5: {
            // Outside every surface a buffer is taken to hold the display's rows at its pitch.
            const int32_t p = in.pick(2) ? display_width : in.value();
            if (p <= 0 || display_width <= 0 || display_height <= 0) return Target{nullptr, p};
            if (int64_t{p} * display_height > 4 * MAX_AREA) return Target{nullptr, 0};
            w.scratch.assign(static_cast<size_t>(p) * static_cast<size_t>(display_height), 7);
            return Target{w.scratch.data(), p};
        }
        default: return Target{nullptr, in.value()};
    }
    if (!base) return Target{nullptr, in.value()};
    // Mostly the surface's first pixel at its pitch; else any pixel of it, at any pitch.
    if (in.pick(4) == 0) {
        int32_t width = 0, height = 0;
        plat_surface_size(surface, &width, &height);
        const int64_t row = (int64_t{in.byte()} * height) >> 8;  // 0 .. height - 1
        base += row * pitch + in.byte() % pitch;
    }
    if (in.pick(4) == 0) pitch = in.value();
    return Target{base, pitch};
}

bool area_too_big(int64_t width, int64_t height) { return width > 0 && height > 0 && width * height > MAX_AREA; }

// ---- display ----

struct Mode {
    int32_t width, height, bpp;
};

Mode mode_arg(Input& in) {
    // The game's mode first; small modes are cheap (and leave the fixed clip rectangle larger
    // than the screen).
    static const Mode MODES[] = {{640, 480, 8},  {640, 480, 8}, {320, 200, 8}, {320, 200, 8},
                                 {320, 200, 8},  {800, 600, 8}, {1, 1, 8},     {64, 48, 8},
                                 {640, 480, 16}, {0, 480, 8},   {4097, 8, 8}};
    const int32_t c = in.pick(static_cast<int32_t>(std::size(MODES)) + 1);
    if (c < static_cast<int32_t>(std::size(MODES))) return MODES[c];
    Mode m{in.value(), in.value(), in.value()};
    if (area_too_big(m.width, m.height) && m.width <= 4096 && m.height <= 4096) m = MODES[0];
    return m;
}

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

// The pointer an unlock is given: the lock's own, none, or one the surface never gave.
uint8_t* unlock_pointer(Input& in, const SurfaceLock* l) {
    static uint8_t stray = 0;
    switch (in.pick(4)) {
        case 0: return nullptr;
        case 1: return &stray;
        default: return l ? l->pixels : nullptr;
    }
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

// ---- sprites ----

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

// ---- pictures and images ----

void op_bmp_load(Input& in) {
    const int32_t p = in.pick(PICTURES + 1);
    const char* name = fuzz_file_name(in.byte());
    bmp_load(p == PICTURES ? nullptr : &w.pictures[p], in.pick(16) ? name : nullptr);
}

void op_bmp_unload(Input& in) {
    const int32_t p = in.pick(PICTURES + 1);
    bmp_unload(p == PICTURES ? nullptr : &w.pictures[p]);
}

void op_bmp_flip_rows(Input& in) {
    BmpFile& b = w.pictures[in.pick(PICTURES)];
    const int32_t line = (b.info_header.biBitCount / 8) * b.info_header.biWidth;
    const int32_t rows = b.info_header.biHeight;
    switch (in.pick(4)) {
        case 0:
            if (b.buffer) bmp_flip_rows(b.buffer, line, rows);
            break;
        case 1: {
            // Any part of the picture, or sizes that are refused before anything is read.
            const int32_t l = in.value(), r = in.value();
            if (l < 0 || r < 0 || (b.buffer && int64_t{l} * r <= int64_t{line} * rows)) bmp_flip_rows(b.buffer, l, r);
            break;
        }
        default: {
            const int32_t l = in.value(), r = in.value();
            bmp_flip_rows(nullptr, l, r);
            break;
        }
    }
}

void op_image_create(Input& in) {
    const int32_t i = in.pick(IMAGES);
    const int32_t x = in.value(), y = in.value(), width = in.value(), height = in.value();
    if (area_too_big(width, height) && int64_t{width} * height <= INT32_MAX) return;
    image_destroy(&w.images[i]);  // a used record is emptied before it is made again
    image_create(&w.images[i], x, y, width, height);
}

void op_image_create_null(Input& in) {
    const int32_t x = in.value(), y = in.value();
    image_create(nullptr, x, y, 4, 4);
    image_destroy(nullptr);
    image_draw(nullptr, nullptr, 0, 0);
}

void op_image_destroy(Input& in) { image_destroy(&w.images[in.pick(IMAGES)]); }

void op_image_place(Input& in) {
    PixelImage& im = w.images[in.pick(IMAGES)];
    im.x = in.value();
    im.y = in.value();
}

void op_image_load_from_bmp(Input& in) {
    const int32_t i = in.pick(IMAGES + 1);
    const int32_t p = in.pick(PICTURES + 1);
    const int32_t cx = in.value(), cy = in.value(), mode = in.pick(3) ? in.pick(2) : in.value();
    image_load_from_bmp(i == IMAGES ? nullptr : &w.images[i], p == PICTURES ? nullptr : &w.pictures[p], cx, cy, mode);
}

void op_image_draw(Input& in) {
    const PixelImage& im = w.images[in.pick(IMAGES)];
    const Target t = target_arg(in);
    const int32_t transparent = in.pick(3) ? in.pick(2) : in.value();
    image_draw(&im, t.pixels, t.pitch, transparent);
}

// The decoder behind bmp_load, given stored pixels as the loader hands them over: rows at least
// a stored row apart in a block that holds them all, masks of 5 to 8 contiguous bits.
void op_bmp_decode(Input& in) {
    static const BmpStorage STORAGES[] = {BMP_INDEX1, BMP_INDEX4, BMP_INDEX8,   BMP_WORDS, BMP_MASKED16,
                                          BMP_BGR24,  BMP_BGRX32, BMP_MASKED32, BMP_RLE8,  BMP_RLE4};
    static const uint32_t MASKS[][3] = {{0x7C00, 0x03E0, 0x001F}, {0xF800, 0x07E0, 0x001F}, {0xFF0000, 0xFF00, 0xFF}};
    BmpPixels px{};
    px.storage = STORAGES[in.pick(static_cast<int32_t>(std::size(STORAGES)))];
    px.width = in.pick(64) + 1;
    px.height = in.pick(16) + 1;
    px.top_down = in.coin();
    const int64_t row = bmp_stored_row_bytes(px.storage, px.width);
    px.stride = row + in.pick(5);
    std::memcpy(px.masks, MASKS[in.pick(3)], sizeof px.masks);
    px.colours = in.pick(2) ? 256 : in.value();
    const bool run_length = px.storage == BMP_RLE8 || px.storage == BMP_RLE4;
    const size_t size = run_length ? static_cast<size_t>(in.pick(64)) + (in.coin() ? 1 : 0)
                                   : static_cast<size_t>(px.stride * (px.height - 1) + row);
    uint8_t* data = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!data) return;
    for (size_t i = 0; i < size; ++i) data[i] = in.pick(4) ? in.byte() : static_cast<uint8_t>(i & 3);
    bmp_picture_depth(px.storage);
    std::free(bmp_decode(px, data, size));
}

// The conversion of file samples into the buffers' 8-bit mono, for layouts pcm_layout gives.
void op_pcm_convert(Input& in) {
    const uint32_t channels = in.pick(2) ? static_cast<uint32_t>(in.pick(8)) + 1 : in.uvalue();
    const uint32_t bits = in.pick(2) ? static_cast<uint32_t>(in.pick(33)) : in.uvalue();
    PcmLayout layout;
    if (!pcm_layout(channels, bits, &layout) || layout.channels > 8) return;
    const uint32_t frames = static_cast<uint32_t>(in.pick(33));
    uint8_t source[8 * 4 * 32];
    uint8_t mono[32];
    for (uint32_t i = 0; i < frames * pcm_frame_bytes(layout); ++i) source[i] = in.byte();
    pcm_to_u8_mono(source, frames, layout, mono);
}

// ---- palette ----

PaletteEntry entry_arg(Input& in) {
    PaletteEntry e;
    e.peRed = in.byte();
    e.peGreen = in.byte();
    e.peBlue = in.byte();
    e.peFlags = in.byte();
    return e;
}

int32_t index_arg(Input& in) { return in.pick(4) ? in.byte() : in.value(); }

void op_palette_set_entry(Input& in) {
    const int32_t index = index_arg(in);
    const PaletteEntry e = entry_arg(in);
    palette_set_entry(index, in.pick(16) ? &e : nullptr);
}

void op_palette_get_entry(Input& in) {
    const int32_t index = index_arg(in);
    PaletteEntry e{};
    palette_get_entry(index, in.pick(16) ? &e : nullptr);
}

void op_palette_copy_out(Input& in) { palette_copy_out(in.pick(16) ? w.palette : nullptr); }

void op_palette_set_all(Input& in) {
    switch (in.pick(5)) {
        case 0: palette_set_all(nullptr); break;
        case 1: palette_set_all(w.pictures[in.pick(PICTURES)].palette); break;
        case 2:
            for (PaletteEntry& e : w.palette)
                e = PaletteEntry{static_cast<uint8_t>(std::rand()), static_cast<uint8_t>(std::rand()),
                                 static_cast<uint8_t>(std::rand()), 4};
            palette_set_all(w.palette);
            break;
        default: palette_set_all(w.palette); break;
    }
}

void op_palette_rotate(Input& in) {
    const int32_t first = in.pick(2) ? in.byte() : in.value();
    const int32_t count = in.pick(2) ? in.byte() : in.value();
    palette_rotate(first, count);
}

void op_palette_load_file(Input& in) {
    const char* name = fuzz_file_name(in.byte());
    palette_load_file(in.pick(16) ? name : nullptr, in.pick(16) ? w.palette : nullptr);
}

void op_palette_save_file(Input& in) {
    const char* name = fuzz_target_name(in.byte());
    palette_save_file(in.pick(16) ? name : nullptr, in.pick(16) ? w.palette : nullptr);
}

void op_plat_palette_create(Input& in) {
    PlatDevice* d = device_arg(in);
    PlatPalette*& slot = empty_slot(pick_slot(in, w.palettes), plat_palette_release);
    plat_palette_create(d, in.pick(8) ? w.palette : nullptr, &slot);
}

void op_plat_palette_release(Input& in) { empty_slot(pick_slot(in, w.palettes), plat_palette_release); }

void op_plat_palette_set_entries(Input& in) {
    PlatPalette* p = palette_arg(in);
    const int32_t first = in.value(), count = in.value();
    plat_palette_set_entries(p, first, count, in.pick(8) ? w.palette : nullptr);
}

void op_plat_palette_get_entries(Input& in) {
    PlatPalette* p = palette_arg(in);
    const int32_t first = in.value(), count = in.value();
    plat_palette_get_entries(p, first, count, in.pick(8) ? w.palette : nullptr);
}

void op_plat_surface_set_palette(Input& in) {
    PlatSurface* s = surface_arg(in);
    plat_surface_set_palette(s, palette_arg(in));
}

// ---- drawing and transitions ----

void op_pixel_plot(Input& in) {
    const int32_t x = in.value(), y = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    pixel_plot(x, y, colour, t.pixels, t.pitch);
}

void op_hline_fill(Input& in) {
    const int32_t x1 = in.value(), x2 = in.value(), y = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    hline_fill(x1, x2, y, colour, t.pixels, t.pitch);
}

void op_vline_fill(Input& in) {
    const int32_t y1 = in.value(), y2 = in.value(), x = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    vline_fill(y1, y2, x, colour, t.pixels, t.pitch);
}

void op_line_clip(Input& in) {
    int32_t x0 = in.value(), y0 = in.value(), x1 = in.value(), y1 = in.value();
    if (!line_clip(x0, y0, x1, y1)) return;
    // What was kept lies on the clip rectangle: draw it when asked.
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    line_draw(x0, y0, x1, y1, colour, t.pixels, t.pitch);
}

void op_line_draw(Input& in) {
    const int32_t x0 = in.value(), y0 = in.value(), x1 = in.value(), y1 = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    line_draw(x0, y0, x1, y1, colour, t.pixels, t.pitch);
}

void op_line_draw_clipped(Input& in) {
    const int32_t x0 = in.value(), y0 = in.value(), x1 = in.value(), y1 = in.value();
    const uint8_t colour = in.byte();
    const Target t = target_arg(in);
    line_draw_clipped(x0, y0, x1, y1, colour, t.pixels, t.pitch);
}

void op_rect_fill(Input& in) {
    const int32_t x1 = in.value(), y1 = in.value(), x2 = in.value(), y2 = in.value();
    const uint32_t colour = in.uvalue();
    rect_fill(x1, y1, x2, y2, colour, surface_arg(in));
}

void op_screen_transition(Input& in) {
    const int32_t kind = in.pick(4) ? in.pick(10) : in.value();
    const Target t = target_arg(in);
    if (w.transitions >= MAX_TRANSITIONS) return;
    ++w.transitions;
    screen_transition(kind, t.pixels, t.pitch);
}

void op_locked_bounds(Input& in) {
    static uint8_t stray = 0;
    Target t = target_arg(in);
    if (in.pick(8) == 0) t.pixels = &stray;  // a pointer into no surface
    int32_t width = -1, height = -1, pitch = -1;
    const int32_t c = in.pick(8);
    plat_locked_bounds(t.pixels, c == 0 ? nullptr : &width, c == 1 ? nullptr : &height, c == 2 ? nullptr : &pitch);
    buffer_bounds(t.pixels, t.pitch, &width, &height);
}

// ---- text, clock and log ----

void op_text_draw(Input& in) {
    const char* text = text_arg(in);
    const int32_t x = in.value(), y = in.value();
    const uint32_t colour = in.uvalue();
    text_draw(text, x, y, colour, surface_arg(in));
}

void op_text_draw_indexed(Input& in) {
    const char* text = text_arg(in);
    const int32_t x = in.value(), y = in.value(), index = index_arg(in);
    text_draw_indexed(text, x, y, index, surface_arg(in));
}

void op_plat_text_draw(Input& in) {
    PlatSurface* s = surface_arg(in);
    const int32_t x = in.value(), y = in.value();
    const char* text = text_arg(in);
    const uint8_t r = in.byte(), g = in.byte(), b = in.byte();
    plat_text_draw(s, x, y, text, r, g, b);
}

void op_headless_texts(Input& in) {
    const int32_t n = headless_text_count();
    const HeadlessText* t = headless_text_at(in.pick(4) ? (n > 0 ? in.pick(n) : 0) : in.value());
    if (t && std::strlen(t->text) >= sizeof t->text) std::abort();
    if (in.pick(4) == 0) headless_text_clear();
}

void op_clock(Input& in) {
    switch (in.pick(4)) {
        case 0: clock_now(); break;
        case 1: clock_start(); break;
        case 2: clock_wait(in.uvalue()); break;
        default: clock_start_count = in.uvalue(); break;  // the stamp is the caller's too
    }
}

void op_ticks(Input& in) {
    switch (in.pick(6)) {
        case 0: plat_ticks(); break;
        case 1: {
            uint64_t fine = 0;
            plat_ticks_fine(&fine);
            break;
        }
        case 2: headless_set_ticks(in.uvalue()); break;
        case 3: {
            const uint32_t rest = in.uvalue(), step = in.uvalue();
            headless_set_fine_ticks(rest, step);
            break;
        }
        case 4: headless_present_on_tick(in.pick(2) ? 16 : in.uvalue()); break;
        default: headless_set_tick_step(in.uvalue()); break;
    }
}

void op_log_open(Input& in) {
    const char* name = fuzz_target_name(in.byte());
    log_open(in.pick(16) ? name : nullptr);
}

void op_log_close(Input&) { log_close(); }

void op_log_write(Input& in) {
    const int32_t v = in.value();
    switch (in.pick(6)) {
        case 0: log_write("\nA line with a number %d", v); break;
        case 1: log_write("\n%s", text_arg(in) ? "text" : ""); break;
        case 2: log_write("\n%x %u %c", static_cast<unsigned>(v), static_cast<unsigned>(v), 'z'); break;
        case 3:
            log_write("\n%s",
                      "A line far longer than one write carries, so that it is cut at the limit and "
                      "nothing beyond the limit reaches the file.");
            break;
        case 4: {
            int (*const write_any)(const char*, ...) = log_write;  // no format check on a null format
            write_any(nullptr);
            break;
        }
        default: log_write("%%d"); break;
    }
}

void op_plat_error_text(Input&) {
    if (!plat_error_text()) std::abort();
}

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

// ---- sound ----

void op_sound_init(Input&) {
    sound_init();
    forget_dead_locks();
}

void op_sound_shutdown(Input&) {
    sound_shutdown();
    forget_dead_locks();
}

void op_sound_load_wav(Input& in) {
    const char* name = fuzz_file_name(in.byte());
    const uint32_t flags = in.pick(2) ? 0xE0u : in.uvalue();
    sound_load_wav(in.pick(16) ? name : nullptr, flags);
}

void op_sound_load_voc(Input& in) {
    const char* name = fuzz_file_name(in.byte());
    sound_load_voc(in.pick(16) ? name : nullptr);
}

void op_sound_replicate(Input& in) { sound_replicate(sound_id(in)); }
void op_sound_status(Input& in) { sound_status(sound_id(in)); }

void op_sound_play(Input& in) {
    const int32_t id = sound_id(in);
    const uint32_t flags = in.pick(2) ? static_cast<uint32_t>(in.pick(2)) : in.uvalue();
    sound_play(id, flags, in.value(), 0, 0);
}

void op_sound_stop(Input& in) { sound_stop(sound_id(in)); }
void op_sound_stop_all(Input&) { sound_stop_all(); }

void op_sound_setters(Input& in) {
    const int32_t id = sound_id(in);
    const int32_t v = in.value();
    switch (in.pick(3)) {
        case 0: sound_set_volume(id, v); break;
        case 1: sound_set_frequency(id, v); break;
        default: sound_set_pan(id, v); break;
    }
}

void op_sound_delete(Input& in) {
    sound_delete(sound_id(in));
    forget_dead_locks();
}

void op_sound_delete_all(Input&) {
    sound_delete_all();
    forget_dead_locks();
}

void op_plat_audio(Input& in) {
    switch (in.pick(3)) {
        case 0:
            if (!w.audio) plat_audio_create(in.pick(16) ? &w.audio : nullptr);
            break;
        case 1: {
            PlatAudio* a = audio_arg(in);
            plat_audio_set_cooperative(a, in.pick(2) ? PLAT_AUDIO_COOP_NORMAL : in.uvalue());
            break;
        }
        default:
            plat_audio_release(w.audio);
            w.audio = nullptr;
            break;
    }
}

void op_plat_sound_buffer_create(Input& in) {
    PlatAudio* a = audio_arg(in);
    const uint32_t flags = in.uvalue();
    uint32_t length = in.uvalue();
    if (length > (1u << 20) && length <= PLAT_SOUND_MAX_LENGTH) length = 1u << 20;
    PlatWaveFormat f{PLAT_WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
    switch (in.pick(6)) {
        case 0: f.samples_per_sec = in.uvalue(); break;
        case 1: f.bits_per_sample = 16; break;
        case 2: f.channels = 2; break;
        case 3: f.format_tag = static_cast<uint16_t>(in.value()); break;
        default: break;
    }
    PlatSoundBuffer*& slot = empty_slot(pick_slot(in, w.buffers), plat_sound_buffer_release);
    plat_sound_buffer_create(a, flags, length, in.pick(16) ? &f : nullptr, in.pick(16) ? &slot : nullptr);
}

void op_plat_sound_buffer_release(Input& in) { empty_slot(pick_slot(in, w.buffers), plat_sound_buffer_release); }

void op_plat_sound_buffer_duplicate(Input& in) {
    PlatAudio* a = audio_arg(in);
    PlatSoundBuffer* source = buffer_arg(in);
    PlatSoundBuffer*& slot = pick_slot(in, w.buffers);
    if (slot == source) return;  // its own handle is not given up before it is copied
    empty_slot(slot, plat_sound_buffer_release);
    plat_sound_buffer_duplicate(a, source, in.pick(16) ? &slot : nullptr);
}

void op_plat_sound_buffer_lock(Input& in) {
    PlatSoundBuffer* b = buffer_arg(in);
    const uint32_t offset = in.uvalue(), bytes = in.uvalue(), flags = in.pick(2) ? in.pick(4) : in.uvalue();
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    const bool second = in.pick(4) != 0;
    if (plat_sound_buffer_lock(b, offset, bytes, &p1, &n1, second ? &p2 : nullptr, second ? &n2 : nullptr, flags) !=
        PLAT_OK)
        return;
    // Write every byte handed out: the sanitizer sees any that do not belong to the buffer.
    std::memset(p1, 0x90, n1);
    if (p2) std::memset(p2, 0x70, n2);
    w.sound_locks.push_back(SoundLock{b, p1, n1, p2, n2});
}

void op_plat_sound_buffer_unlock(Input& in) {
    if (w.sound_locks.empty()) {
        plat_sound_buffer_unlock(buffer_arg(in), nullptr, 0, nullptr, 0);
        return;
    }
    const size_t k = static_cast<size_t>(in.pick(static_cast<int32_t>(w.sound_locks.size())));
    const SoundLock l = w.sound_locks[k];
    uint32_t n1 = l.n1, n2 = l.n2;
    void* p1 = l.p1;
    switch (in.pick(5)) {
        case 0:
            n1 = n1 / 2;
            n2 = 0;
            break;                        // shorter than handed out
        case 1: n1 = in.uvalue(); break;  // perhaps longer
        case 2: p1 = l.p2; break;         // the wrong region
        default: break;
    }
    if (plat_sound_buffer_unlock(l.buffer, p1, n1, l.p2, n2) == PLAT_OK)
        w.sound_locks.erase(w.sound_locks.begin() + static_cast<std::ptrdiff_t>(k));
}

void op_plat_sound_buffer_calls(Input& in) {
    PlatSoundBuffer* b = buffer_arg(in);
    const int32_t v = in.value();
    switch (in.pick(8)) {
        case 0: plat_sound_buffer_set_position(b, static_cast<uint32_t>(v)); break;
        case 1: {
            const uint32_t reserved = in.pick(8) ? 0 : in.uvalue(), priority = in.pick(8) ? 0 : in.uvalue();
            plat_sound_buffer_play(b, reserved, priority, static_cast<uint32_t>(v));
            break;
        }
        case 2: plat_sound_buffer_stop(b); break;
        case 3: {
            uint32_t status = 0;
            plat_sound_buffer_get_status(b, in.pick(8) ? &status : nullptr);
            break;
        }
        case 4: plat_sound_buffer_set_volume(b, v); break;
        case 5: plat_sound_buffer_set_frequency(b, v); break;
        default: plat_sound_buffer_set_pan(b, v); break;
    }
}

void op_headless_audio(Input& in) {
    static int16_t frames[2 * 4096];
    switch (in.pick(4)) {
        case 0: {
            static const int32_t COUNTS[] = {0, 1, 2, 255, 256, 257, 4096, -1};
            headless_audio_pull(in.pick(8) ? frames : nullptr, COUNTS[in.pick(8)]);
            break;
        }
        case 1: headless_audio_voices(); break;
        case 2: headless_audio_set_rate(in.pick(2) ? (in.coin() ? 44100 : 48000) : in.value()); break;
        default: headless_audio_rate(); break;
    }
}

// ---- input ----

void op_input_init(Input&) { input_init(); }
void op_input_shutdown(Input&) { input_shutdown(); }
void op_keyboard_init(Input&) { keyboard_init(); }
void op_keyboard_read(Input&) { keyboard_read(); }
void op_keyboard_release(Input&) { keyboard_release(); }
void op_mouse_init(Input&) { mouse_init(); }
void op_mouse_read(Input&) { mouse_read(); }
void op_mouse_release(Input&) { mouse_release(); }

void op_joystick_init(Input& in) {
    const int32_t a = in.value(), b = in.value(), c = in.value(), d = in.value();
    joystick_init(a, b, c, d);
}

void op_joystick_read(Input&) { joystick_read(); }
void op_joystick_release(Input&) { joystick_release(); }

void op_joystick_enum_callback(Input& in) {
    PlatDeviceInstance instance;
    std::memset(&instance, in.coin() ? 'J' : 0, sizeof instance);  // a name that may have no end
    PlatGuid guid{};
    joystick_enum_callback(in.pick(8) ? &instance : nullptr, in.coin() ? &guid : nullptr);
}

int count_joysticks(const PlatDeviceInstance*, void* reference) {
    int* n = static_cast<int*>(reference);
    return ++*n >= 2 ? PLAT_ENUM_STOP : PLAT_ENUM_CONTINUE;
}

void op_plat_input_create(Input& in) {
    PlatInput*& slot = empty_slot(pick_slot(in, w.inputs), plat_input_release);
    plat_input_create(in.pick(16) ? &slot : nullptr);
}

void op_plat_input_release(Input& in) { empty_slot(pick_slot(in, w.inputs), plat_input_release); }

void op_plat_input_device_create(Input& in) {
    PlatInput* input = input_arg(in);
    const int32_t kind = in.pick(4) ? in.pick(5) : in.value();
    PlatInputDevice*& slot = empty_slot(pick_slot(in, w.input_devices), plat_input_device_release);
    if (in.pick(2)) {
        plat_input_device_create(input, kind, in.pick(16) ? &slot : nullptr);
    } else {
        PlatGuid guid = joystick_guid;
        if (in.pick(4) == 0) guid.data[in.pick(16)] ^= 1;
        plat_input_device_create_instance(input, in.pick(16) ? &guid : nullptr, in.pick(16) ? &slot : nullptr);
    }
}

void op_plat_input_device_release(Input& in) { empty_slot(pick_slot(in, w.input_devices), plat_input_device_release); }

void op_plat_input_enum_joysticks(Input& in) {
    PlatInput* input = input_arg(in);
    int count = 0;
    switch (in.pick(3)) {
        case 0: plat_input_enum_joysticks(input, count_joysticks, &count); break;
        case 1: plat_input_enum_joysticks(input, joystick_enum_callback, &joystick_guid); break;
        default: plat_input_enum_joysticks(input, nullptr, nullptr); break;
    }
}

void op_plat_input_device_calls(Input& in) {
    PlatInputDevice* d = input_device_arg(in);
    switch (in.pick(7)) {
        case 0: plat_input_device_set_cooperative(d, in.pick(2) ? 0x0A : in.uvalue()); break;
        case 1: plat_input_device_set_format(d, in.pick(2) ? in.pick(4) : in.value()); break;
        case 2: {
            PlatAxisRange r{sizeof(PlatAxisRange),   16,         static_cast<uint32_t>(4 * in.pick(9)),
                            PLAT_PROPERTY_BY_OFFSET, in.value(), in.value()};
            switch (in.pick(5)) {
                case 0: r.dwSize = in.uvalue(); break;
                case 1: r.dwObj = in.uvalue(); break;
                case 2: r.dwHow = in.uvalue(); break;
                default: break;
            }
            plat_input_device_set_range(d, in.pick(16) ? &r : nullptr);
            break;
        }
        case 3: plat_input_device_poll(d); break;
        case 4: plat_input_device_acquire(d); break;
        case 5: plat_input_device_unacquire(d); break;
        default: {
            uint8_t state[256];
            static const uint32_t SIZES[] = {256, sizeof(PlatMouseState), sizeof(PlatJoyState), 0, 255, 4};
            plat_input_device_get_state(d, in.pick(16) ? state : nullptr, SIZES[in.pick(6)]);
            break;
        }
    }
}

void op_headless_keys(Input& in) {
    switch (in.pick(3)) {
        case 0: {
            const int32_t code = in.pick(2) ? in.byte() : in.value();
            headless_key_set(code, in.coin());
            break;
        }
        case 1: {
            const int32_t sc = in.pick(2) ? in.byte() : in.value();
            headless_scancode_set(sc, in.coin());
            break;
        }
        default: headless_keys_clear(); break;
    }
}

void op_headless_mouse(Input& in) {
    if (in.pick(3) == 0) {
        const int32_t button = in.pick(2) ? in.pick(4) : in.value();
        headless_mouse_button(button, in.coin());
        return;
    }
    const int32_t dx = in.value(), dy = in.value(), wheel = in.value();
    headless_mouse_move(dx, dy, wheel);
}

void op_headless_joystick(Input& in) {
    static const char LONG_NAME[] =
        "A joystick whose product name runs on far past the length that the snapshot keeps of it, "
        "and then some more, so that every cut on the way is met: enumeration, the name record, "
        "and the backend's own copy of it. Still going, and going, and going, to the very end....";
    const int32_t n = in.pick(3) ? in.pick(3) : in.value();
    switch (in.pick(6)) {
        case 0: {
            const int32_t c = in.pick(4);
            headless_joystick_attach(c == 0 ? nullptr : c == 1 ? LONG_NAME : "Pad");
            break;
        }
        case 1: headless_joystick_detach(n); break;
        case 2: {
            const int32_t axis = in.pick(2) ? in.pick(8) : in.value();
            headless_joystick_axis(n, axis, in.value());
            break;
        }
        case 3: {
            const int32_t hat = in.pick(2) ? in.pick(4) : in.value();
            headless_joystick_pov(n, hat, in.uvalue());
            break;
        }
        case 4: {
            const int32_t button = in.pick(2) ? in.pick(32) : in.value();
            headless_joystick_button(n, button, in.coin());
            break;
        }
        default: headless_joystick_open_count(); break;
    }
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

// ---- the table ----

struct Op {
    const char* name;
    void (*run)(Input&);
};

#define OP(name) \
    { #name, op_##name }

// make_seeds.py reads the names below, in this order, to write one seed per operation.
// Byte 0, the commonest in mutated inputs, names a cheap call; starting the display again
// (two screen-sized surfaces) is kept off the small bytes.
const Op OPS[] = {
    OP(display_wait_vblank),
    OP(display_flip),
    OP(display_attach_clipper),
    OP(display_make_region),
    OP(display_create_surface),
    OP(display_fill_surface),
    OP(display_lock_surface),
    OP(display_unlock_surface),
    OP(display_lock_primary),
    OP(display_unlock_primary),
    OP(display_lock_back),
    OP(display_unlock_back),
    OP(display_init),
    OP(display_shutdown),
    OP(bob_create),
    OP(bob_destroy),
    OP(bob_destroy_null),
    OP(bob_clone),
    OP(bob_load_frame),
    OP(bob_draw),
    OP(bob_draw_scaled),
    OP(bob_animate),
    OP(bob_move),
    OP(bob_add_sequence),
    OP(bob_select_sequence),
    OP(bob_set_anim_speed),
    OP(bob_set_velocity),
    OP(bob_set_position),
    OP(bob_hide),
    OP(bob_show),
    OP(bob_collide),
    OP(rect_collide),
    OP(region_has_colour),
    OP(bmp_load),
    OP(bmp_unload),
    OP(bmp_flip_rows),
    OP(image_create),
    OP(image_create_null),
    OP(image_destroy),
    OP(image_place),
    OP(image_load_from_bmp),
    OP(image_draw),
    OP(bmp_decode),
    OP(pcm_convert),
    OP(palette_set_entry),
    OP(palette_get_entry),
    OP(palette_copy_out),
    OP(palette_set_all),
    OP(palette_rotate),
    OP(palette_load_file),
    OP(palette_save_file),
    OP(plat_palette_create),
    OP(plat_palette_release),
    OP(plat_palette_set_entries),
    OP(plat_palette_get_entries),
    OP(plat_surface_set_palette),
    OP(pixel_plot),
    OP(hline_fill),
    OP(vline_fill),
    OP(line_clip),
    OP(line_draw),
    OP(line_draw_clipped),
    OP(rect_fill),
    OP(screen_transition),
    OP(locked_bounds),
    OP(text_draw),
    OP(text_draw_indexed),
    OP(plat_text_draw),
    OP(headless_texts),
    OP(clock),
    OP(ticks),
    OP(log_open),
    OP(log_close),
    OP(log_write),
    OP(plat_error_text),
    OP(plat_device_create),
    OP(plat_device_release),
    OP(plat_device_calls),
    OP(plat_primary_create),
    OP(plat_primary_back),
    OP(plat_surface_create),
    OP(plat_surface_release),
    OP(plat_surface_size),
    OP(plat_surface_set_color_key),
    OP(plat_surface_lock),
    OP(plat_surface_unlock),
    OP(plat_surface_fill),
    OP(plat_surface_blit),
    OP(plat_flip),
    OP(plat_clipper_create),
    OP(plat_clipper_release),
    OP(plat_clipper_set_region),
    OP(plat_surface_set_clipper),
    OP(sound_init),
    OP(sound_shutdown),
    OP(sound_load_wav),
    OP(sound_load_voc),
    OP(sound_replicate),
    OP(sound_status),
    OP(sound_play),
    OP(sound_stop),
    OP(sound_stop_all),
    OP(sound_setters),
    OP(sound_delete),
    OP(sound_delete_all),
    OP(plat_audio),
    OP(plat_sound_buffer_create),
    OP(plat_sound_buffer_release),
    OP(plat_sound_buffer_duplicate),
    OP(plat_sound_buffer_lock),
    OP(plat_sound_buffer_unlock),
    OP(plat_sound_buffer_calls),
    OP(headless_audio),
    OP(input_init),
    OP(input_shutdown),
    OP(keyboard_init),
    OP(keyboard_read),
    OP(keyboard_release),
    OP(mouse_init),
    OP(mouse_read),
    OP(mouse_release),
    OP(joystick_init),
    OP(joystick_read),
    OP(joystick_release),
    OP(joystick_enum_callback),
    OP(plat_input_create),
    OP(plat_input_release),
    OP(plat_input_device_create),
    OP(plat_input_device_release),
    OP(plat_input_enum_joysticks),
    OP(plat_input_device_calls),
    OP(headless_keys),
    OP(headless_mouse),
    OP(headless_joystick),
    OP(plat_window),
    OP(plat_messages),
    OP(keys),
    OP(headless_refuse),
    OP(headless_allow),
    OP(headless_reset),
    OP(headless_visible),
};

#undef OP

constexpr int32_t OP_COUNT = static_cast<int32_t>(std::size(OPS));
static_assert(OP_COUNT <= 256, "one operation byte names every operation");

// ---- one input from start to full shutdown ----

void start(const uint8_t* data, size_t size) {
    headless_reset();
    start_clock();
    fuzz_files_reset();
    w = World{};
    for (Sprite& s : w.sprites) s.owner = -1;
    // The public globals that outlive a shutdown start from their first values, so that every
    // input runs the same way whatever ran before it.
    display_width = 640;
    display_height = 480;
    display_bpp = 8;
    joystick_found = 0;
    joystick_guid = PlatGuid{};
    std::memset(joystick_name, 0, sizeof joystick_name);
    joystick_state = PlatJoyState{};
    joy_axis_range = PlatAxisRange{};
    mouse_state = PlatMouseState{};
    std::memset(keyboard_state, 0, sizeof keyboard_state);
    clock_start_count = 0;
    uint32_t seed = 2166136261u;
    for (size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 16777619u;
    std::srand(seed);
}

void shut_down_everything() {
    for (int32_t i = 0; i < SPRITES; ++i) sprite_destroy(i);  // each after its clones
    for (PixelImage& im : w.images) image_destroy(&im);
    for (BmpFile& b : w.pictures) bmp_unload(&b);
    for (PlatSurface*& s : w.surfaces) empty_slot(s, plat_surface_release);
    for (PlatClipper*& c : w.clippers) empty_slot(c, plat_clipper_release);
    for (PlatPalette*& p : w.palettes) empty_slot(p, plat_palette_release);
    display_shutdown();
    for (PlatDevice*& d : w.devices) empty_slot(d, plat_device_release);
    for (PlatSoundBuffer*& b : w.buffers) empty_slot(b, plat_sound_buffer_release);
    sound_shutdown();
    plat_audio_release(w.audio);
    w.audio = nullptr;
    for (PlatInputDevice*& d : w.input_devices) empty_slot(d, plat_input_device_release);
    for (PlatInput*& i : w.inputs) empty_slot(i, plat_input_release);
    input_shutdown();
    log_close();
    plat_window_destroy();
    headless_reset();
    w.locks = {};
    w.sound_locks = {};
    w.scratch = {};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_files_make();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    start(data, size);
    Input in{data, size, 0};
    const Mode m = mode_arg(in);
    display_init(m.width, m.height, m.bpp);
    // FUZZ_API_TRACE=1 names each call on stderr, to read a finding by.
    static const bool trace = std::getenv("FUZZ_API_TRACE") != nullptr;
    for (int32_t calls = 0; calls < MAX_CALLS && in.more(); ++calls) {
        g_reads = 0;
        const Op& op = OPS[in.byte() % OP_COUNT];
        if (trace) std::fprintf(stderr, "%s\n", op.name);
        op.run(in);
        forget_dead_locks();
        if (trace)
            std::fprintf(stderr, "  -> display %d, back %p, locks %zu\n", display_device != nullptr,
                         static_cast<void*>(back_pixels), w.locks.size());
    }
    shut_down_everything();
    return 0;
}
