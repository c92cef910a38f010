// Call sequences over the whole public surface: the support layer (display, sprites, imaging,
// sound, input) and the platform layer beneath it, on the headless backend. This file drives
// them; api_*.cpp hold the operations, one table per subsystem, and api.h says how an input
// reads.
//
// The target keeps to the contract a careful caller keeps (handles used only while they live, a
// clone destroyed before its owner, buffers as long as the sizes given), and within it calls
// anything in any order, with platform refusals injected at random. Every input ends with a full
// shutdown, so the leak checker sees whatever was left behind.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "api.h"
#include "fuzz_api_files.h"

namespace {

// The tables in the order the operation byte counts through them. make_seeds.py reads this list
// and each table's names in its file, in this order, to write one seed per operation; a saved
// input keeps calling the same operations as long as the order stays.
const OpTable TABLES[] = {
    display_ops, sprite_ops,  picture_ops, sample_ops, palette_ops, drawing_ops,
    text_ops,    surface_ops, sound_ops,   input_ops,  window_ops,  script_ops,
};

// Every operation, numbered: the tables one after the other.
std::vector<Op> ops;

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
    for (OpTable table : TABLES) ops.insert(ops.end(), table.begin(), table.end());
    if (ops.empty() || ops.size() > 256) std::abort();  // one operation byte names every operation
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
        const Op& op = ops[in.byte() % ops.size()];
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
