// The game's frame of play and its start-up on the headless backend: the CPU work of the game
// and the support layer alone, without any desktop presentation.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <climits>

#include "display/display.h"
#include "game/assets.h"
#include "game/game.h"
#include "game/states.h"
#include "imaging/image.h"
#include "input/keyboard.h"
#include "platform/headless/headless.h"
#include "platform/window.h"
#include "sound/sound.h"
#include "sprites/bob.h"

namespace {

bool enter_data() { return chdir(ZARN_GAME_DATA) == 0; }

void restart_sound() {
    sound_first_init = 1;
    sound_object = nullptr;
}

void BM_GameFrame_Play_Headless(benchmark::State& state) {
    if (!enter_data() || plat_window_create(GAME_WINDOW_TITLE) != 0 || !game_init(nullptr))
        return state.SkipWithError("no game");
    for (auto _ : state) {
        state.PauseTiming();
        game_state = GAME_PLAYING;
        bob_set_position(&ball, 300, 200);
        bob_set_velocity(&ball, 10, 10);
        state.ResumeTiming();
        game_frame_work();  // game_frame without its 20 ms wait
    }
    game_shutdown(nullptr);
    restart_sound();
    plat_window_destroy();
}

void BM_GameInit_Headless(benchmark::State& state) {
    if (!enter_data() || plat_window_create(GAME_WINDOW_TITLE) != 0) return state.SkipWithError("no window");
    for (auto _ : state) {
        if (!game_init(nullptr)) {
            state.SkipWithError(game_startup_error);
            break;
        }
        state.PauseTiming();
        game_shutdown(nullptr);
        restart_sound();
        state.ResumeTiming();
    }
    plat_window_destroy();
}

}  // namespace

BENCHMARK(BM_GameFrame_Play_Headless)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameInit_Headless)->Unit(benchmark::kMillisecond)->Iterations(20);
