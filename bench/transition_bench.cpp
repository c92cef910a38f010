// A wipe drawn into the locked primary surface, which shows each step on the screen at the
// clock's readings, against the same wipe drawn into the back surface, which shows nothing:
// the time the showing adds to the paced wipe (1.92 s at 640 x 480). Run it under Xvfb
// (tests/sdl/under_xvfb.sh build/bench/zarn_bench --benchmark_filter=Wipe) for the real path.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "display/display.h"
#include "imaging/transition.h"
#include "platform/status.h"
#include "platform/window.h"

namespace {

void wipe(benchmark::State& state, bool on_the_screen) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!display_primary && (plat_window_create("Zarn Game Console") != PLAT_OK || display_init(640, 480, 8) != 1)) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        display_fill_surface(display_back, 63);
        display_flip();
        state.ResumeTiming();
        if (on_the_screen) {
            uint8_t* p = display_lock_primary();
            screen_transition(TRANSITION_CLOSE_SIDES, p, primary_pitch);
            display_unlock_primary();
        } else {
            uint8_t* p = display_lock_back();
            screen_transition(TRANSITION_CLOSE_SIDES, p, back_pitch);
            display_unlock_back();
        }
    }
}

void BM_WipeCloseSides_Shown(benchmark::State& state) { wipe(state, true); }
void BM_WipeCloseSides_Unseen(benchmark::State& state) { wipe(state, false); }

}  // namespace

BENCHMARK(BM_WipeCloseSides_Shown)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WipeCloseSides_Unseen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
