// What the call-sequence fuzzer's operations share: the world of what the calls have made, the
// clock that ends every wait, the lifetimes of handles and locks, and the choice of arguments.
#include "api.h"

#include <vector>

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

// ---- display modes and unlocks ----

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

// The pointer an unlock is given: the lock's own, none, or one the surface never gave.
uint8_t* unlock_pointer(Input& in, const SurfaceLock* l) {
    static uint8_t stray = 0;
    switch (in.pick(4)) {
        case 0: return nullptr;
        case 1: return &stray;
        default: return l ? l->pixels : nullptr;
    }
}
