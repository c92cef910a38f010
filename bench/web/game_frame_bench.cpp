// The game's frame of play in the browser: the same work as the native headless benchmark
// (bench/headless/game_frame_bench.cpp), timed in batches by the page's clock, and the turning of
// a shown picture into the canvas's pixels that the page does at each display refresh. Prints one
// line of JSON: the time a frame and a paint take in the quickest batch, in microseconds. The
// page's clock is coarse (0.1 ms), so a batch holds many frames; the quickest batch is the one
// least disturbed by whatever else the machine runs.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "game/assets.h"
#include "game/game.h"
#include "game/states.h"
#include "platform/web/web_backend.h"
#include "platform/window.h"
#include "sprites/bob.h"

namespace {

constexpr int kBatches = 41;
constexpr int kPerBatch = 100;

template <class Body>
double quickest_us(Body body) {
    std::vector<double> batches;
    for (int b = 0; b < kBatches; ++b) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPerBatch; ++i) body();
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        batches.push_back(spent.count() / kPerBatch);
    }
    return *std::min_element(batches.begin(), batches.end());
}

// A rally in mid-court, so that the step neither scores nor changes state.
void mid_rally_frame() {
    game_state = GAME_PLAYING;
    bob_set_position(&ball, 300, 200);
    bob_set_velocity(&ball, 10, 10);
    game_frame_work();
}

}  // namespace

int main() {
    if (plat_window_create(GAME_WINDOW_TITLE) != 0 || !game_init(nullptr)) {
        std::fprintf(stderr, "game_frame_bench: no game: %s\n", game_startup_error);
        return 1;
    }
    quickest_us(mid_rally_frame);  // warm-up
    const double frame = quickest_us(mid_rally_frame);
    const double paint = quickest_us([] {
                             game_frame_work();
                             web_paint();
                         }) -
                         frame;
    std::printf("{\"frame_us\": %.2f, \"paint_us\": %.2f}\n", frame, paint);
    game_shutdown(nullptr);
    plat_window_destroy();
    return 0;
}
