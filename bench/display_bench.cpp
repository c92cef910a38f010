// The display's hot paths against SDL's own: presenting the 8-bit picture as 32-bit pixels,
// filling the back surface, and keyed plain and stretched blits. Ratios are printed as counters
// "ratio" on the project's rows (project time / peer time from the same run).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "display/display.h"
#include "platform/common/convert.h"
#include "platform/peer/sdl_peer.h"
#include "platform/status.h"
#include "platform/window.h"

namespace {

struct Setup {
    bool ok = false;
    Setup() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        ok = plat_window_create("Zarn Game Console") == PLAT_OK && display_init(640, 480, 8) == 1;
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

void fill_pattern(uint8_t* p, int32_t pitch, int w, int h) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p[y * pitch + x] = static_cast<uint8_t>(((x * 7 + y * 13) % 5 == 0) ? 0 : (x ^ y));
}

void BM_Present_Convert(benchmark::State& state) {
    std::vector<uint8_t> src(640 * 480);
    fill_pattern(src.data(), 640, 640, 480);
    std::vector<uint32_t> dst(640 * 480);
    uint32_t lut[256];
    convert_palette_to_argb(palette_entries, lut);
    for (auto _ : state) {
        convert_frame(src.data(), 640, 640, 480, lut, dst.data(), 640 * 4);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}

void BM_Present_Convert_SDL(benchmark::State& state) {
    SdlPeerSurface* src = sdl_peer_index8(640, 480, palette_entries);
    SdlPeerSurface* dst = sdl_peer_argb(640, 480);
    int32_t pitch = 0;
    uint8_t* p = sdl_peer_pixels(src, &pitch);
    fill_pattern(p, pitch, 640, 480);
    for (auto _ : state) {
        sdl_peer_blit(src, nullptr, dst, nullptr);
        benchmark::ClobberMemory();
    }
    sdl_peer_free(src);
    sdl_peer_free(dst);
}

void BM_Fill_Back(benchmark::State& state) {
    if (!setup().ok) return state.SkipWithError("no display");
    for (auto _ : state) {
        display_fill_surface(display_back, 0);
        benchmark::ClobberMemory();
    }
}

void BM_Fill_Back_SDL(benchmark::State& state) {
    SdlPeerSurface* dst = sdl_peer_index8(640, 480, nullptr);
    for (auto _ : state) {
        sdl_peer_fill(dst, 0);
        benchmark::ClobberMemory();
    }
    sdl_peer_free(dst);
}

PlatSurface* keyed_sprite(int w, int h) {
    PlatSurface* s = display_create_surface(w, h, DDSCAPS_SYSTEMMEMORY);
    int32_t pitch = 0;
    uint8_t* p = display_lock_surface(s, &pitch);
    fill_pattern(p, pitch, w, h);
    display_unlock_surface(s, p);
    return s;
}

SdlPeerSurface* sdl_keyed_sprite(int w, int h) {
    SdlPeerSurface* s = sdl_peer_index8(w, h, palette_entries);
    int32_t pitch = 0;
    fill_pattern(sdl_peer_pixels(s, &pitch), pitch, w, h);
    sdl_peer_set_color_key(s, 0);
    return s;
}

void BM_Blit_Keyed32(benchmark::State& state) {
    if (!setup().ok) return state.SkipWithError("no display");
    PlatSurface* s = keyed_sprite(32, 32);
    PlatRect src{0, 0, 32, 32}, dst{300, 200, 332, 232};
    for (auto _ : state) {
        plat_surface_blit(display_back, &dst, s, &src, PLAT_BLIT_KEY_SOURCE);
        benchmark::ClobberMemory();
    }
    plat_surface_release(s);
}

void BM_Blit_Keyed32_SDL(benchmark::State& state) {
    SdlPeerSurface* s = sdl_keyed_sprite(32, 32);
    SdlPeerSurface* dst = sdl_peer_index8(640, 480, palette_entries);
    PlatRect src{0, 0, 32, 32}, d{300, 200, 332, 232};
    if (sdl_peer_blit(s, &src, dst, &d) != 0) state.SkipWithError("SDL refused the blit");
    for (auto _ : state) {
        sdl_peer_blit(s, &src, dst, &d);
        benchmark::ClobberMemory();
    }
    sdl_peer_free(s);
    sdl_peer_free(dst);
}

void BM_Blit_Stretched(benchmark::State& state) {
    if (!setup().ok) return state.SkipWithError("no display");
    PlatSurface* s = keyed_sprite(24, 104);
    PlatRect src{0, 0, 24, 104}, dst{60, 300, 80, 360};
    for (auto _ : state) {
        plat_surface_blit(display_back, &dst, s, &src, PLAT_BLIT_KEY_SOURCE);
        benchmark::ClobberMemory();
    }
    plat_surface_release(s);
}

void BM_Blit_Stretched_Opaque(benchmark::State& state) {
    if (!setup().ok) return state.SkipWithError("no display");
    PlatSurface* s = keyed_sprite(24, 104);
    PlatRect src{0, 0, 24, 104}, dst{60, 300, 80, 360};
    for (auto _ : state) {
        plat_surface_blit(display_back, &dst, s, &src, 0);
        benchmark::ClobberMemory();
    }
    plat_surface_release(s);
}

// SDL_BlitScaled cannot stretch 8-bit surfaces at all ("Blit combination not supported"), keyed
// or not; SDL's own stretcher for them is SDL_SoftStretch, which takes no colour key, so the peer
// does less work than the project's keyed stretch.
void BM_Blit_Stretched_SDL(benchmark::State& state) {
    SdlPeerSurface* s = sdl_peer_index8(24, 104, palette_entries);
    int32_t pitch = 0;
    fill_pattern(sdl_peer_pixels(s, &pitch), pitch, 24, 104);
    SdlPeerSurface* dst = sdl_peer_index8(640, 480, palette_entries);
    PlatRect src{0, 0, 24, 104}, d{60, 300, 80, 360};
    if (sdl_peer_soft_stretch(s, &src, dst, &d) != 0) state.SkipWithError("SDL refused the stretch");
    for (auto _ : state) {
        sdl_peer_soft_stretch(s, &src, dst, &d);
        benchmark::ClobberMemory();
    }
    sdl_peer_free(s);
    sdl_peer_free(dst);
}

}  // namespace

BENCHMARK(BM_Present_Convert);
BENCHMARK(BM_Present_Convert_SDL);
BENCHMARK(BM_Fill_Back);
BENCHMARK(BM_Fill_Back_SDL);
BENCHMARK(BM_Blit_Keyed32);
BENCHMARK(BM_Blit_Keyed32_SDL);
BENCHMARK(BM_Blit_Stretched);
BENCHMARK(BM_Blit_Stretched_SDL);
BENCHMARK(BM_Blit_Stretched_Opaque);
