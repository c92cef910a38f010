// Pictures and sprites against their peers: loading a full-screen 8-bit BMP file against
// SDL_LoadBMP, drawing a full-screen image into the locked back surface against plain row
// copies, and drawing sprites plain and stretched against SDL's keyed blit and its stretcher.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/bob.h"
#include "display/display.h"
#include "imaging/bmp.h"
#include "imaging/image.h"
#include "platform/peer/sdl_peer.h"
#include "platform/status.h"
#include "platform/window.h"
#include "screen.h"

namespace {

uint8_t pattern(int x, int y) { return static_cast<uint8_t>(((x * 7 + y * 13) % 5 == 0) ? 0 : (x ^ y)); }

// A 640 x 480 8-bit file with a full colour table, written once for the run.
struct PictureFile {
    std::string name;
    PictureFile() {
        name = "/tmp/zarn_bench_" + std::to_string(getpid()) + ".bmp";
        const uint32_t w = 640, h = 480, image = w * h, offset = 14 + 40 + 1024;
        std::vector<uint8_t> b(offset + image, 0);
        auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
        b[0] = 'B';
        b[1] = 'M';
        put32(2, static_cast<uint32_t>(b.size()));
        put32(10, offset);
        put32(14, 40);
        put32(18, w);
        put32(22, h);
        b[26] = 1;
        b[28] = 8;
        put32(34, image);
        for (int i = 0; i < 256; ++i) {
            b[54 + 4 * i] = static_cast<uint8_t>(i);
            b[54 + 4 * i + 1] = static_cast<uint8_t>(255 - i);
            b[54 + 4 * i + 2] = static_cast<uint8_t>(i * 3);
        }
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) b[offset + y * w + x] = pattern(static_cast<int>(x), static_cast<int>(y));
        FILE* f = std::fopen(name.c_str(), "wb");
        if (f) {
            std::fwrite(b.data(), 1, b.size(), f);
            std::fclose(f);
        }
    }
    ~PictureFile() { std::remove(name.c_str()); }
};

const std::string& picture_file() {
    static PictureFile f;
    return f.name;
}

void BM_BmpLoad(benchmark::State& state) {
    BmpFile bmp{};
    if (!bmp_load(&bmp, picture_file().c_str())) return state.SkipWithError("cannot load the picture");
    bmp_unload(&bmp);
    for (auto _ : state) {
        bmp_load(&bmp, picture_file().c_str());
        benchmark::DoNotOptimize(bmp.buffer);
        bmp_unload(&bmp);
    }
}

void BM_BmpLoad_SDL(benchmark::State& state) {
    SdlPeerSurface* s = sdl_peer_load_bmp(picture_file().c_str());
    if (!s) return state.SkipWithError("SDL cannot load the picture");
    sdl_peer_free(s);
    for (auto _ : state) {
        s = sdl_peer_load_bmp(picture_file().c_str());
        benchmark::DoNotOptimize(s);
        sdl_peer_free(s);
    }
}

// A full-screen image copied opaquely into the locked back surface, against the same 307,200
// bytes copied row by row with memcpy.
void BM_ImageDraw(benchmark::State& state) {
    if (!bench_screen_ready()) return state.SkipWithError("no display");
    PixelImage image{};
    image_create(&image, 0, 0, 640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) image.buffer[y * 640 + x] = pattern(x, y);
    image.attr |= IMAGE_ATTR_LOADED;
    uint8_t* dest = display_lock_back();
    if (!dest) return state.SkipWithError("cannot lock the back surface");
    for (auto _ : state) {
        image_draw(&image, back_pixels, back_pitch, 0);
        benchmark::ClobberMemory();
    }
    display_unlock_back();
    image_destroy(&image);
}

void BM_ImageDraw_memcpy(benchmark::State& state) {
    if (!bench_screen_ready()) return state.SkipWithError("no display");
    std::vector<uint8_t> source(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) source[y * 640 + x] = pattern(x, y);
    uint8_t* dest = display_lock_back();
    if (!dest) return state.SkipWithError("cannot lock the back surface");
    const int32_t pitch = back_pitch;
    for (auto _ : state) {
        for (int y = 0; y < 480; ++y) std::memcpy(dest + y * pitch, &source[y * 640], 640);
        benchmark::ClobberMemory();
    }
    display_unlock_back();
}

bool make_sprite(BOB* bob, int32_t w, int32_t h) {
    BmpFile bmp{};
    bmp.info_header.biWidth = w;
    bmp.info_header.biHeight = h;
    bmp.info_header.biBitCount = 8;
    bmp.buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(w) * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) bmp.buffer[y * w + x] = pattern(x, y);
    const bool ok = bob_create(bob, 300, 200, w, h, 1, BOB_SHOWN | BOB_CYCLE, DDSCAPS_SYSTEMMEMORY) == 1 &&
                    bob_load_frame(bob, &bmp, 0, 0, 0, LOAD_FROM_PIXEL) == 1;
    bmp_unload(&bmp);
    return ok;
}

// The same pixels as an SDL surface keyed on index 0, and an SDL screen to draw on.
SdlPeerSurface* sdl_sprite(int32_t w, int32_t h) {
    SdlPeerSurface* s = sdl_peer_index8(w, h, palette_entries);
    int32_t pitch = 0;
    uint8_t* p = sdl_peer_pixels(s, &pitch);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p[y * pitch + x] = pattern(x, y);
    sdl_peer_set_color_key(s, 0);
    return s;
}

// bob_draw copies the frame's first 31 x 31 pixels; the peer copies the same.
void BM_BobDraw(benchmark::State& state) {
    if (!bench_screen_ready()) return state.SkipWithError("no display");
    BOB bob{};
    if (!make_sprite(&bob, 32, 32) || bob_draw(&bob, display_back) != 1)
        return state.SkipWithError("cannot draw the sprite");
    for (auto _ : state) {
        bob_draw(&bob, display_back);
        benchmark::ClobberMemory();
    }
    bob_destroy(&bob);
}

void BM_BobDraw_SDL(benchmark::State& state) {
    SdlPeerSurface* sprite = sdl_sprite(32, 32);
    SdlPeerSurface* dest = sdl_peer_index8(640, 480, palette_entries);
    const PlatRect src{0, 0, 31, 31}, dst{300, 200, 331, 231};
    if (sdl_peer_blit(sprite, &src, dest, &dst) != 0) state.SkipWithError("SDL refused the blit");
    for (auto _ : state) {
        sdl_peer_blit(sprite, &src, dest, &dst);
        benchmark::ClobberMemory();
    }
    sdl_peer_free(sprite);
    sdl_peer_free(dest);
}

// 24 x 104 drawn at 20 x 60: 23 x 103 pixels stretched over 19 x 59.
void BM_BobDrawScaled(benchmark::State& state) {
    if (!bench_screen_ready()) return state.SkipWithError("no display");
    BOB bob{};
    if (!make_sprite(&bob, 24, 104) || bob_draw_scaled(&bob, 20, 60, display_back) != 1)
        return state.SkipWithError("cannot draw the sprite");
    for (auto _ : state) {
        bob_draw_scaled(&bob, 20, 60, display_back);
        benchmark::ClobberMemory();
    }
    bob_destroy(&bob);
}

// SDL_BlitScaled refuses 8-bit surfaces; SDL's stretcher for them is SDL_SoftStretch, which
// takes no colour key, so the peer does less work than the keyed stretch it is measured against.
void BM_BobDrawScaled_SDL(benchmark::State& state) {
    SdlPeerSurface* sprite = sdl_sprite(24, 104);
    SdlPeerSurface* dest = sdl_peer_index8(640, 480, palette_entries);
    const PlatRect src{0, 0, 23, 103}, dst{300, 200, 319, 259};
    if (sdl_peer_soft_stretch(sprite, &src, dest, &dst) != 0) state.SkipWithError("SDL refused the stretch");
    for (auto _ : state) {
        sdl_peer_soft_stretch(sprite, &src, dest, &dst);
        benchmark::ClobberMemory();
    }
    sdl_peer_free(sprite);
    sdl_peer_free(dest);
}

}  // namespace

BENCHMARK(BM_BmpLoad);
BENCHMARK(BM_BmpLoad_SDL);
BENCHMARK(BM_ImageDraw);
BENCHMARK(BM_ImageDraw_memcpy);
BENCHMARK(BM_BobDraw);
BENCHMARK(BM_BobDraw_SDL);
BENCHMARK(BM_BobDrawScaled);
BENCHMARK(BM_BobDrawScaled_SDL);
