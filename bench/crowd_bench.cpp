// The library's scaling benchmark: the sprites example's crowd of animated, moving, keyed 32 x 32
// sprites, drawn into the back surface a frame at a time, against the same scene drawn with SDL's
// own keyed blits between 8-bit surfaces. Each row reports "sprites_in_5ms": how many sprites a
// frame holds in a quarter of the 20 ms frame (the count measured, scaled to 5 ms of drawing).
// Measured with 16,000 sprites, about what 5 ms holds, and with 1,000, where clearing the surface
// weighs more.
#include <benchmark/benchmark.h>

#include <cstring>

#include "examples/sprites/crowd.h"
#include "platform/peer/sdl_peer.h"
#include "screen.h"

namespace {

// The crowd with `count` members on a fresh display, its frames cut from the example's sheet.
bool make_crowd(Crowd* crowd, int32_t count) {
    if (!bench_screen_ready()) return false;
    BmpFile sheet{};
    const bool ok = bmp_load(&sheet, ZARN_EXAMPLES_DATA "/sprites/creatures.bmp") && crowd_load(crowd, &sheet);
    bmp_unload(&sheet);
    if (ok) crowd_add(crowd, count);
    return ok;
}

// A frame's worth of the counter: the members drawn, scaled to 5 ms of the frame's time.
void report(benchmark::State& state, int32_t count) {
    state.counters["sprites_in_5ms"] = benchmark::Counter(count * 0.005, benchmark::Counter::kIsIterationInvariantRate);
}

// A frame: the back surface cleared, every sprite animated and moved, every sprite drawn.
void BM_SpriteCrowd(benchmark::State& state) {
    const int32_t count = static_cast<int32_t>(state.range(0));
    Crowd crowd{};
    if (!make_crowd(&crowd, count)) {
        crowd_release(&crowd);
        return state.SkipWithError("no display or no sprite sheet");
    }
    for (auto _ : state) {
        display_fill_surface(display_back, 0);
        crowd_move(&crowd);
        crowd_draw(&crowd, display_back);
        benchmark::ClobberMemory();
    }
    report(state, count);
    crowd_release(&crowd);
}

// The same frame with SDL: the owners' frames copied into 8-bit SDL surfaces keyed on index 0
// (with the screen's palette, so that SDL copies indices unchanged), each member's current frame
// blitted onto an 8-bit 640 x 480 surface. Like bob_draw, 31 x 31 pixels of each.
void BM_SpriteCrowd_SDL(benchmark::State& state) {
    const int32_t count = static_cast<int32_t>(state.range(0));
    Crowd crowd{};
    SdlPeerSurface* frames[CROWD_KINDS][CROWD_FRAMES] = {};
    SdlPeerSurface* back = sdl_peer_index8(640, 480, palette_entries);
    bool ok = make_crowd(&crowd, count) && back;
    for (int k = 0; ok && k < CROWD_KINDS; ++k)
        for (int f = 0; ok && f < CROWD_FRAMES; ++f) {
            frames[k][f] = sdl_peer_index8(CROWD_SIZE, CROWD_SIZE, palette_entries);
            int32_t from_pitch = 0, to_pitch = 0;
            uint8_t* from = display_lock_surface(crowd.owners[k].frames[f], &from_pitch);
            uint8_t* to = sdl_peer_pixels(frames[k][f], &to_pitch);
            ok = from && to && sdl_peer_set_color_key(frames[k][f], 0) == 0;
            for (int y = 0; ok && y < CROWD_SIZE; ++y)
                std::memcpy(to + y * to_pitch, from + y * from_pitch, CROWD_SIZE);
            display_unlock_surface(crowd.owners[k].frames[f], from);
        }
    if (!ok) state.SkipWithError("no display, no sprite sheet or no SDL surfaces");
    const PlatRect source{0, 0, CROWD_SIZE - 1, CROWD_SIZE - 1};
    for (auto _ : state) {
        if (!ok) break;
        sdl_peer_fill(back, 0);
        crowd_move(&crowd);
        for (size_t i = 0; i < crowd.members.size(); ++i) {
            const BOB& m = crowd.members[i];
            const PlatRect to{m.x, m.y, m.x + CROWD_SIZE - 1, m.y + CROWD_SIZE - 1};
            sdl_peer_blit(frames[crowd.kind[i]][m.frame], &source, back, &to);
        }
        benchmark::ClobberMemory();
    }
    if (ok) report(state, count);
    for (auto& kind : frames)
        for (SdlPeerSurface* s : kind) sdl_peer_free(s);
    sdl_peer_free(back);
    crowd_release(&crowd);
}

}  // namespace

BENCHMARK(BM_SpriteCrowd)->Arg(1000)->Arg(16000);
BENCHMARK(BM_SpriteCrowd_SDL)->Arg(1000)->Arg(16000);
