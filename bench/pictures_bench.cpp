// Pictures and sprites against their peers: loading full-screen BMP files of every shape that
// SDL_LoadBMP reads against it (pictures in colours also against it followed by SDL's conversion
// to the loader's 5-5-5 words), drawing a full-screen image into the locked back surface against
// plain row copies, and drawing sprites plain and stretched against SDL's keyed blit and its
// stretcher.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/display.h"
#include "imaging/bmp.h"
#include "imaging/image.h"
#include "platform/peer/sdl_peer.h"
#include "platform/status.h"
#include "platform/window.h"
#include "screen.h"
#include "sprites/bob.h"
#include "tests/bmp_bytes.h"

namespace {

uint8_t pattern(int x, int y) { return static_cast<uint8_t>(((x * 7 + y * 13) % 5 == 0) ? 0 : (x ^ y)); }

// A file written into /tmp for the run and removed at its end.
struct PictureFile {
    std::string name;
    PictureFile(const std::string& shape, const std::vector<uint8_t>& bytes) {
        name = "/tmp/zarn_bench_" + std::to_string(getpid()) + "_" + shape + ".bmp";
        FILE* f = std::fopen(name.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    ~PictureFile() { std::remove(name.c_str()); }
};

// A 640 x 480 8-bit file of the classic shape, with a full colour table.
const std::string& picture_file() {
    static const PictureFile f("classic", [] {
        std::vector<uint8_t> rows(640 * 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) rows[(479 - y) * 640 + x] = pattern(x, y);
        return bmp_bytes(640, 480, 8, rows);
    }());
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

// The other shapes SDL_LoadBMP also reads, laid out as the tools write them: full-screen
// pictures (637 pixels wide where the rows are padded) of broad runs of index 0 beside detail,
// in indices and in colours.
uint8_t index_at(int x, int y) { return ((x / 16 + y / 16) & 1) ? static_cast<uint8_t>((x ^ y) & 127) : 0; }

// The stored bytes of pixel (x, y) at a depth: indices for 1 to 8 bits, colours above.
void stored_pixel(int x, int y, int bits, uint8_t* out) {
    const uint8_t r = static_cast<uint8_t>(x * 37 + y * 3), g = static_cast<uint8_t>(y * 29 + 7),
                  b = static_cast<uint8_t>(x * y * 11);
    const uint16_t w565 = static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    switch (bits) {
        case 1: out[0] = index_at(x, y) & 1; break;
        case 4: out[0] = index_at(x, y) & 15; break;
        case 8: out[0] = index_at(x, y); break;
        case 16: std::memcpy(out, &w565, 2); break;
        default: out[0] = b, out[1] = g, out[2] = r, out[3] = 0xFF; break;
    }
}

// Stored rows: bottom row first unless top-down, each padded to 4 bytes.
std::vector<uint8_t> stored_rows(int w, int h, int bits, bool top_down = false) {
    if (w <= 0 || h <= 0) return {};
    const size_t row = (static_cast<size_t>(w) * bits + 7) / 8, stride = (row + 3) & ~size_t{3};
    std::vector<uint8_t> data(stride * h, 0);
    for (int y = 0; y < h; ++y) {
        uint8_t* dest = &data[(top_down ? y : h - 1 - y) * stride];
        for (int x = 0; x < w; ++x) {
            uint8_t px[4];
            stored_pixel(x, y, bits, px);
            if (bits == 1) dest[x / 8] |= px[0] << (7 - x % 8);
            else if (bits == 4) dest[x / 2] |= px[0] << (x % 2 ? 0 : 4);
            else std::memcpy(dest + x * (bits / 8), px, bits / 8);
        }
    }
    return data;
}

// A run-length stream of the picture's indices (4-bit ones when `four`): runs of two or more,
// stretches of three or more stored as they are, an end of line after each row.
std::vector<uint8_t> run_length(int w, int h, bool four) {
    std::vector<uint8_t> out;
    if (w <= 0) return out;
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(w);
        for (int x = 0; x < w; ++x) row[x] = index_at(x, y) & (four ? 15 : 255);
        for (int x = 0; x < w;) {
            int run = 1;
            while (x + run < w && run < 255 && row[x + run] == row[x]) ++run;
            if (run >= 2 || w - x < 3) {
                out.insert(out.end(), {static_cast<uint8_t>(run), static_cast<uint8_t>(four ? row[x] * 17 : row[x])});
                x += run;
                continue;
            }
            int n = 3;
            while (x + n < w && n < 254 && (x + n + 1 >= w || row[x + n] != row[x + n + 1])) ++n;
            out.insert(out.end(), {0, static_cast<uint8_t>(n)});
            const size_t start = out.size();
            for (int i = 0; i < n; ++i) {
                if (!four) out.push_back(row[x + i]);
                else if (i % 2 == 0) out.push_back(static_cast<uint8_t>(row[x + i] << 4));
                else out.back() |= row[x + i];
            }
            if ((out.size() - start) % 2) out.push_back(0);
            x += n;
        }
        out.insert(out.end(), {0, 0});
    }
    out.insert(out.end(), {0, 1});
    return out;
}

struct Shape {
    const char* name;
    std::vector<uint8_t> (*bytes)();
    bool colours = false;  // loaded as 5-5-5 words, which SDL keeps in the file's own format
};

// clang-format off
const Shape SHAPES[] = {
    {"index8_padded_size0", [] { return bmp_laid_out({637, 480, 8, 0, 40, 256, {}, 0}, stored_rows(637, 480, 8)); }},
    {"index8_short_table", [] { return bmp_laid_out({640, 480, 8, 0, 40, 128}, stored_rows(640, 480, 8)); }},
    {"index8_v5_header", [] { return bmp_laid_out({640, 480, 8, 0, 124, 256}, stored_rows(640, 480, 8)); }},
    {"index8_os2_header", [] { return bmp_laid_out({640, 480, 8, 0, 12, 256}, stored_rows(640, 480, 8)); }},
    {"index8_top_down", [] { return bmp_laid_out({640, -480, 8, 0, 40, 256}, stored_rows(640, 480, 8, true)); }},
    {"rle8", [] { return bmp_laid_out({640, 480, 8, 1, 40, 256}, run_length(640, 480, false)); }},
    {"rle4", [] { return bmp_laid_out({640, 480, 4, 2, 40, 16}, run_length(640, 480, true)); }},
    {"index4", [] { return bmp_laid_out({637, 480, 4, 0, 40, 16}, stored_rows(637, 480, 4)); }},
    {"index1", [] { return bmp_laid_out({637, 480, 1, 0, 40, 2}, stored_rows(637, 480, 1)); }},
    {"bgr24_padded", [] { return bmp_laid_out({637, 480, 24}, stored_rows(637, 480, 24)); }, true},
    {"bgr24_top_down", [] { return bmp_laid_out({640, -480, 24}, stored_rows(640, 480, 24, true)); }, true},
    {"bgrx32", [] { return bmp_laid_out({640, 480, 32}, stored_rows(640, 480, 32)); }, true},
    {"fields565_v5_header",
     [] { return bmp_laid_out({640, 480, 16, 3, 124, 0, {0xF800, 0x07E0, 0x001F}}, stored_rows(640, 480, 16)); },
     true},
};
// clang-format on

void load_shape(benchmark::State& state, const Shape* shape) {
    const PictureFile file(shape->name, shape->bytes());
    BmpFile bmp{};
    if (!bmp_load(&bmp, file.name.c_str())) return state.SkipWithError("cannot load the picture");
    bmp_unload(&bmp);
    for (auto _ : state) {
        bmp_load(&bmp, file.name.c_str());
        benchmark::DoNotOptimize(bmp.buffer);
        bmp_unload(&bmp);
    }
}

void load_shape_sdl(benchmark::State& state, const Shape* shape, SdlPeerSurface* (*load)(const char*)) {
    const PictureFile file(shape->name, shape->bytes());
    SdlPeerSurface* s = load(file.name.c_str());
    if (!s) return state.SkipWithError("SDL cannot load the picture");
    sdl_peer_free(s);
    for (auto _ : state) {
        s = load(file.name.c_str());
        benchmark::DoNotOptimize(s);
        sdl_peer_free(s);
    }
}

// Registered as BM_BmpLoad_<shape> and BM_BmpLoad_<shape>_SDL, so that their ratio is printed;
// for a picture in colours also BM_BmpLoad_<shape>_SDL555, SDL's load followed by its conversion
// to 5-5-5 words, the same work as the loader's.
const int shapes_registered = [] {
    for (const Shape& shape : SHAPES) {
        const std::string name = std::string("BM_BmpLoad_") + shape.name;
        benchmark::RegisterBenchmark(name.c_str(), load_shape, &shape);
        benchmark::RegisterBenchmark((name + "_SDL").c_str(), load_shape_sdl, &shape, sdl_peer_load_bmp);
        if (shape.colours)
            benchmark::RegisterBenchmark((name + "_SDL555").c_str(), load_shape_sdl, &shape, sdl_peer_load_bmp_555);
    }
    return 0;
}();

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
