// The game's own costs: the CPU work of one frame of play (everything but the frame wait), the
// same picture drawn with SDL's own surface calls, and start-up with all the art and sounds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <vector>

#include "display/display.h"
#include "game/assets.h"
#include "game/game.h"
#include "game/states.h"
#include "imaging/image.h"
#include "input/keyboard.h"
#include "platform/common/convert.h"
#include "platform/peer/sdl_peer.h"
#include "platform/status.h"
#include "platform/window.h"
#include "sound/sound.h"
#include "sprites/bob.h"

namespace {

// Runs body with the game started from its data folder, then puts the display back as the
// other benchmarks expect it.
template <class Body>
void with_game(benchmark::State& state, Body body) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd) || chdir(ZARN_GAME_DATA) != 0) return state.SkipWithError("no game data");
    plat_window_create(GAME_WINDOW_TITLE);  // already open when another benchmark made it
    display_shutdown();
    if (game_init(nullptr)) body();
    else state.SkipWithError(game_startup_error);
    game_shutdown(nullptr);
    sound_first_init = 1;
    sound_object = nullptr;
    display_init(640, 480, 8);
    if (chdir(cwd) != 0) state.SkipWithError("cannot return to the working directory");
}

// A rally in mid-court, so that the step neither scores nor changes state.
void mid_rally() {
    game_state = GAME_PLAYING;
    bob_set_position(&ball, 300, 200);
    bob_set_velocity(&ball, 10, 10);
}

void BM_GameFrame_Play(benchmark::State& state) {
    with_game(state, [&] {
        for (auto _ : state) {
            state.PauseTiming();
            mid_rally();
            state.ResumeTiming();
            game_frame_work();
        }
    });
}

// The picture of a frame of play: fill, backdrop, ball and racquets keyed, then the 8-bit
// picture turned into 32-bit pixels. The project's surfaces, then SDL's.
void BM_GameFrame_Picture(benchmark::State& state) {
    with_game(state, [&] {
        std::vector<uint32_t> argb(640 * 480);
        uint32_t lut[256];
        convert_palette_to_argb(palette_entries, lut);
        mid_rally();
        for (auto _ : state) {
            display_fill_surface(display_back, 0);
            if (display_lock_back()) {
                image_draw(&court_image, back_pixels, back_pitch, 0);
                display_unlock_back();
            }
            bob_draw(&ball, display_back);
            bob_draw(&left_racquet, display_back);
            bob_draw(&right_racquet, display_back);
            if (display_lock_back()) {
                convert_frame(back_pixels, back_pitch, 640, 480, lut, argb.data(), 640 * 4);
                display_unlock_back();
            }
            benchmark::DoNotOptimize(argb.data());
            benchmark::ClobberMemory();
        }
    });
}

SdlPeerSurface* peer_from(const BOB& bob) {
    SdlPeerSurface* s = sdl_peer_index8(bob.width + bob.row_extra, bob.height, palette_entries);
    uint8_t* from = nullptr;
    int32_t from_pitch = 0, to_pitch = 0;
    uint8_t* to = sdl_peer_pixels(s, &to_pitch);
    if (plat_surface_lock(bob.frames[bob.frame], &from, &from_pitch) == PLAT_OK) {
        for (int32_t y = 0; y < bob.height; ++y)
            for (int32_t x = 0; x < bob.width; ++x) to[y * to_pitch + x] = from[y * from_pitch + x];
        plat_surface_unlock(bob.frames[bob.frame], from);
    }
    sdl_peer_set_color_key(s, 0);
    return s;
}

void BM_GameFrame_Picture_SDL(benchmark::State& state) {
    with_game(state, [&] {
        mid_rally();
        SdlPeerSurface* back = sdl_peer_index8(640, 480, palette_entries);
        SdlPeerSurface* court = sdl_peer_index8(640, 480, palette_entries);
        SdlPeerSurface* argb = sdl_peer_argb(640, 480);
        int32_t pitch = 0;
        uint8_t* px = sdl_peer_pixels(court, &pitch);
        for (int32_t y = 0; y < 480; ++y)
            for (int32_t x = 0; x < 640; ++x) px[y * pitch + x] = court_image.buffer[y * 640 + x];
        const BOB* sprites[] = {&ball, &left_racquet, &right_racquet};
        SdlPeerSurface* peers[3];
        for (int i = 0; i < 3; ++i) peers[i] = peer_from(*sprites[i]);
        for (auto _ : state) {
            sdl_peer_fill(back, 0);
            sdl_peer_blit(court, nullptr, back, nullptr);
            for (int i = 0; i < 3; ++i) {
                const BOB& b = *sprites[i];
                const PlatRect from{0, 0, b.width - 1, b.height - 1};
                const PlatRect to{b.x, b.y, b.x + b.width - 1, b.y + b.height - 1};
                sdl_peer_blit(peers[i], &from, back, &to);
            }
            sdl_peer_blit(back, nullptr, argb, nullptr);
            benchmark::ClobberMemory();
        }
        for (SdlPeerSurface* p : peers) sdl_peer_free(p);
        sdl_peer_free(back);
        sdl_peer_free(court);
        sdl_peer_free(argb);
    });
}

void BM_GameInit(benchmark::State& state) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd) || chdir(ZARN_GAME_DATA) != 0) return state.SkipWithError("no game data");
    plat_window_create(GAME_WINDOW_TITLE);
    display_shutdown();
    for (auto _ : state) {
        if (!game_init(nullptr)) {
            state.SkipWithError(game_startup_error);
            break;
        }
        state.PauseTiming();
        game_shutdown(nullptr);
        sound_first_init = 1;  // the next start-up makes the sound system afresh
        sound_object = nullptr;
        state.ResumeTiming();
    }
    display_init(640, 480, 8);
    if (chdir(cwd) != 0) state.SkipWithError("cannot return to the working directory");
}

// Frame pacing: 500 whole frames of play, each measured from start to start. Run it under Xvfb
// (tests/sdl/under_xvfb.sh build/bench/zarn_bench --benchmark_filter=Pacing) for the real
// desktop path; the counters give the shortest, median and longest frame in milliseconds.
void BM_GameFrame_Pacing(benchmark::State& state) {
    with_game(state, [&] {
        std::vector<double> ms;
        for (auto _ : state) {
            ms.clear();
            auto last = std::chrono::steady_clock::now();
            for (int i = 0; i < 500; ++i) {
                if (game_state != GAME_PLAYING) mid_rally();
                game_frame(nullptr);
                const auto now = std::chrono::steady_clock::now();
                ms.push_back(std::chrono::duration<double, std::milli>(now - last).count());
                last = now;
            }
        }
        std::sort(ms.begin(), ms.end());
        state.counters["min_ms"] = ms.front();
        state.counters["median_ms"] = ms[ms.size() / 2];
        state.counters["max_ms"] = ms.back();
    });
}

}  // namespace

BENCHMARK(BM_GameFrame_Pacing)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_GameFrame_Play)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameFrame_Picture)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameFrame_Picture_SDL)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GameInit)->Unit(benchmark::kMillisecond)->Iterations(20);
