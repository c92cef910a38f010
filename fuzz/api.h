#pragma once
/// \file
/// What the call-sequence fuzzer's operations share (fuzz_api.cpp drives them; api_*.cpp hold
/// one table of operations per subsystem): how an input is read, the world of what the calls have
/// made, the lifetimes of handles and locks, the choice of arguments, and the tables.
///
/// An input is a display-mode byte, then up to MAX_CALLS calls: an operation byte (taken modulo
/// the number of operations) followed by that operation's argument bytes. Arguments come from
/// Input::value(): a byte below 48 picks an edge value (0, -1, 639, 640, 2^30, INT_MIN, ...), a
/// byte from 48 to 239 is a small number (byte - 112), a byte from 240 up is followed by a raw
/// little-endian int. Indices of records and handles take one byte each (Input::pick()).
#include <climits>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <vector>

#include "platform/headless/headless.h"
#include "zarn/zarn.h"

/// How much one input may make and call.
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
    MAX_TRANSITIONS = 2,   ///< the dissolve alone plots four times the screen
    TICK_STEP = 1000,      ///< each reading of the clock moves it on a second: pauses end at once
    WATCHDOG_READS = 1000  ///< then every wait ends at the next reading
};

/// Pixels of one surface, image or mode: a screen's worth. Larger blocks cost page faults on every
/// input without reaching anything new.
inline constexpr int64_t MAX_AREA = 640 * 480;

/// The edge values a byte below 48 stands for.
inline constexpr int32_t INTERESTING[] = {
    0,     1,     -1,     2,     -2,    7,      8,       9,          15,        16,        31,    32,
    33,    63,    64,     65,    100,   127,    128,     255,        256,       319,       320,   479,
    480,   481,   639,    640,   641,   1023,   1024,    4096,       10000,     -10000,    11025, 16384,
    16385, 32767, -32768, 65535, 65536, 100000, 1 << 30, -(1 << 30), INT32_MAX, INT32_MIN, -640,  (1 << 30) + 1,
};
static_assert(std::size(INTERESTING) == 48, "one edge value for each of the bytes 0..47");

/// The input being read, from its start: every read past its end gives 0.
struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos;

    /// Whether bytes are left.
    bool more() const { return pos < size; }
    /// The next byte, or 0 past the end.
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    /// A number from 0 to n - 1 (n > 0), from one byte.
    int32_t pick(int32_t n) { return static_cast<int32_t>(byte() % n); }
    /// Heads or tails, from one byte.
    bool coin() { return (byte() & 1) != 0; }
    /// An argument: an edge value, a small number, or a raw int (see the file's entry).
    int32_t value() {
        const uint8_t b = byte();
        if (b < 48) return INTERESTING[b];
        if (b < 240) return b - 112;
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(byte()) << (8 * i);
        return static_cast<int32_t>(v);
    }
    /// value() as unsigned.
    uint32_t uvalue() { return static_cast<uint32_t>(value()); }
};

/// A sprite the calls have made.
struct Sprite {
    BOB bob;
    int32_t owner;  ///< for a clone, the sprite it was cloned from (which must outlive it); else -1
};

/// A surface locked by a plain lock.
struct SurfaceLock {
    PlatSurface* surface;
    uint8_t* pixels;
    int32_t pitch;
};

/// A sound buffer's lock, held.
struct SoundLock {
    PlatSoundBuffer* buffer;
    void* p1;
    uint32_t n1;
    void* p2;
    uint32_t n2;
};

/// Everything the calls have made, for the calls after them and the full shutdown at the end.
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
    std::vector<SurfaceLock> locks;      ///< plain locks (the display's own are in its globals)
    std::vector<SoundLock> sound_locks;  ///< held sound-buffer locks
    std::vector<uint8_t> scratch;        ///< a buffer of the display's size outside any surface
    PaletteEntry palette[256];
    int32_t transitions;
};

/// What the calls of the current input have made.
extern World w;
/// Clock readings in the current call.
extern int32_t g_reads;

/// A pixel buffer to draw into and its pitch: a place inside a locked surface (the display's or a
/// plain lock) with any pitch, a buffer outside every surface holding the display's rows at the
/// pitch given, or none.
struct Target {
    uint8_t* pixels;
    int32_t pitch;
};

/// A display mode.
struct Mode {
    int32_t width, height, bpp;
};

/// One operation: its name, which seeds use to call it, and what it does with the input.
struct Op {
    const char* name;
    void (*run)(Input&);
};
/// A table of operations.
using OpTable = std::span<const Op>;

/// An Op named as its function op_NAME is.
#define OP(name) \
    { #name, op_##name }

/// The tables, one per subsystem or part of one, each in its api_*.cpp; fuzz_api.cpp puts them
/// in one order, and the operation byte counts through them in it.
extern const OpTable display_ops, sprite_ops, picture_ops, sample_ops, palette_ops, drawing_ops, text_ops, surface_ops,
    sound_ops, input_ops, window_ops, script_ops;

/// Makes every clock reading move the clock on by TICK_STEP, and after WATCHDOG_READS readings in
/// one call to the end of time, so that every wait ends.
void start_clock();

/// Whether the surface is one the calls may still use: the display's two, the target's own, a
/// sprite's frame.
bool surface_alive(const PlatSurface* s);
/// Whether the sound buffer is one the calls may still use: the target's own or a sound's.
bool buffer_alive(const PlatSoundBuffer* b);
/// Forgets the locks of surfaces and sound buffers that may be gone. A lock forgotten while its
/// surface lives on only stops being drawn through.
void forget_dead_locks();
/// The plain lock held on the surface, or null.
SurfaceLock* lock_of(const PlatSurface* s);
/// The display keeps its own lock of these two; a lock or unlock past it would confuse it.
bool display_holds(const PlatSurface* s);

/// The slot of the target's own handles that a call makes its handle into or releases.
template <typename T, size_t N>
T*& pick_slot(Input& in, T* (&slots)[N]) {
    return slots[in.pick(static_cast<int32_t>(N))];
}

/// Gives up the handle in the slot and empties it (a surface or a sound buffer may be gone with it).
template <typename T>
T*& empty_slot(T*& slot, void (*release)(T*)) {
    release(slot);
    slot = nullptr;
    forget_dead_locks();
    return slot;
}

/// Destroys the sprite, and first its clones: a clone lives no longer than what it borrows.
void sprite_destroy(int32_t i);

/// A sprite's index.
int32_t sprite_index(Input& in);
/// One of the sprites, or null.
BOB* sprite_or_null(Input& in);
/// Any surface a call may be given: none, the display's two, the target's own, a sprite frame.
PlatSurface* surface_arg(Input& in);

/// A handle a call may be given: none, the one the library keeps, or one of the target's own.
template <typename T, size_t N>
T* handle_arg(Input& in, T* kept, T* (&own)[N]) {
    const int32_t c = in.pick(static_cast<int32_t>(N) + 2);
    return c == 0 ? nullptr : c == 1 ? kept : own[c - 2];
}

/// A palette a call may be given: none, the display's, or one of the target's own.
PlatPalette* palette_arg(Input& in);
/// A clipper a call may be given: none, the display's, or one of the target's own.
PlatClipper* clipper_arg(Input& in);
/// A device a call may be given: none, the display's, or one of the target's own.
PlatDevice* device_arg(Input& in);
/// An input object a call may be given: none, the library's, or one of the target's own.
PlatInput* input_arg(Input& in);
/// An input device a call may be given: none, the keyboard's, mouse's or joystick's, or one of
/// the target's own.
PlatInputDevice* input_device_arg(Input& in);
/// A sound id: mostly one of the first slots, sometimes an edge value.
int32_t sound_id(Input& in);
/// A sound buffer a call may be given: none, one of the target's own, or a sound's.
PlatSoundBuffer* buffer_arg(Input& in);
/// An audio object a call may be given: none, the sound table's, or the target's own.
PlatAudio* audio_arg(Input& in);
/// A text a call may be given: empty, short, long, with format directives, odd bytes, or null.
const char* text_arg(Input& in);
/// Any request the headless backend can refuse (it knows no others).
const char* request_name(Input& in);
/// A rectangle: the screen's, the display's, some at and past the edges, or any.
PlatRect rect_arg(Input& in);
/// Up to eight rectangles and a count that never makes a call read past them.
int32_t rects_arg(Input& in, PlatRect (&rects)[8]);
/// A pixel buffer to draw into (see Target).
Target target_arg(Input& in);
/// Whether a width x height block is larger than MAX_AREA.
bool area_too_big(int64_t width, int64_t height);
/// A display mode: the game's mostly, small and odd ones, or any.
Mode mode_arg(Input& in);
/// The pointer an unlock is given: the lock's own, none, or one the surface never gave.
uint8_t* unlock_pointer(Input& in, const SurfaceLock* l);
