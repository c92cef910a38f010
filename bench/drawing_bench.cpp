// The dissolve (1,228,801 random pixels on 640 x 480, two rand() calls each) and clipped lines.
// The dissolve's floor is the generator itself: BM_Dissolve_RandOnly makes the same calls and
// writes nothing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "display/display.h"
#include "imaging/draw.h"
#include "imaging/transition.h"

namespace {

void BM_Dissolve(benchmark::State& state) {
    display_width = 640;
    display_height = 480;
    std::vector<uint8_t> screen(640 * 480, 7);
    std::srand(1);
    for (auto _ : state) {
        screen_transition(TRANSITION_DISSOLVE, screen.data(), 640);
        benchmark::ClobberMemory();
    }
    state.counters["pixels"] = 4.0 * 640 * 480 + 1;
}
BENCHMARK(BM_Dissolve)->Unit(benchmark::kMillisecond);

void BM_Dissolve_RandOnly(benchmark::State& state) {
    std::srand(1);
    for (auto _ : state) {
        int sum = 0;
        for (int64_t i = 0; i <= 4LL * 640 * 480; ++i) sum += std::rand() % 480 + std::rand() % 640;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_Dissolve_RandOnly)->Unit(benchmark::kMillisecond);

void BM_LineDrawClipped_Diagonal(benchmark::State& state) {
    display_width = 640;
    display_height = 480;
    std::vector<uint8_t> screen(640 * 480, 7);
    for (auto _ : state) {
        line_draw_clipped(0, 0, 639, 479, 1, screen.data(), 640);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LineDrawClipped_Diagonal);

void BM_LineDrawClipped_DiagonalCut(benchmark::State& state) {
    display_width = 640;
    display_height = 480;
    std::vector<uint8_t> screen(640 * 480, 7);
    for (auto _ : state) {
        line_draw_clipped(-200, -150, 839, 629, 1, screen.data(), 640);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LineDrawClipped_DiagonalCut);

}  // namespace
