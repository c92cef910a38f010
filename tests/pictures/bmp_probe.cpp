// Checks bmp_load against other decoders of the same file, and writes pictures with SDL.
//   bmp_probe compare FILE REFERENCE WIDTH HEIGHT   REFERENCE: red, green, blue bytes, top row first
//   bmp_probe compare-sdl FILE                      against SDL_LoadBMP of the file
//   bmp_probe write-sdl FOLDER                      SDL_SaveBMP of an 8-bit, a 24-bit and a 32-bit picture
// compare prints one word and exits with it: "exact" 0, "wrong" 1, "refused" 2 (bmp_load gave
// 0), "peer-refused" 3 (SDL gave no picture); 4 for bad arguments. A loaded 8-bit picture is
// compared through its palette; a 16-bit one with the reference's colours cut to 5 bits.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/bmp.h"
#include "platform/peer/sdl_peer.h"

namespace {

enum Verdict { EXACT = 0, WRONG = 1, REFUSED = 2, PEER_REFUSED = 3, USAGE = 4 };

int report(Verdict v, const char* detail = "") {
    static const char* const words[] = {"exact", "wrong", "refused", "peer-refused", "usage"};
    std::printf("%s%s\n", words[v], detail);
    return v;
}

Verdict compare(const char* file, const uint8_t* reference, size_t reference_size, int64_t width, int64_t height) {
    BmpFile bmp{};
    if (!bmp_load(&bmp, file)) return REFUSED;
    const BitmapInfoHeader& info = bmp.info_header;
    Verdict verdict = EXACT;
    if (info.biWidth != width || info.biHeight != height || reference_size != static_cast<size_t>(3 * width * height)) {
        std::printf("size %dx%d, the reference %lldx%lld\n", info.biWidth, info.biHeight, static_cast<long long>(width),
                    static_cast<long long>(height));
        verdict = WRONG;
    }
    for (int64_t i = 0; verdict == EXACT && i < width * height; ++i) {
        uint8_t want[3];
        std::memcpy(want, reference + 3 * i, 3);
        int r, g, b;
        if (info.biBitCount == 8) {
            const PaletteEntry& e = bmp.palette[bmp.buffer[i]];
            r = e.peRed, g = e.peGreen, b = e.peBlue;
        } else {
            uint16_t w;
            std::memcpy(&w, bmp.buffer + 2 * i, 2);
            r = (w >> 10) & 31, g = (w >> 5) & 31, b = w & 31;
            for (uint8_t& c : want) c >>= 3;
        }
        if (r != want[0] || g != want[1] || b != want[2]) {
            std::printf("pixel %lld,%lld: %d %d %d, the reference %d %d %d\n", static_cast<long long>(i % width),
                        static_cast<long long>(i / width), r, g, b, want[0], want[1], want[2]);
            verdict = WRONG;
        }
    }
    bmp_unload(&bmp);
    return verdict;
}

// The test picture: every pixel a different mix, so that a shifted row shows.
void colour_at(int x, int y, uint8_t rgb[3]) {
    rgb[0] = static_cast<uint8_t>(x * 37 + y * 3);
    rgb[1] = static_cast<uint8_t>(y * 29 + 7);
    rgb[2] = static_cast<uint8_t>((x * y * 11) ^ 0x5A);
}

int write_sdl(const std::string& folder) {
    const int w = 37, h = 23;
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = PaletteEntry{uint8_t(i * 7), uint8_t(255 - i), uint8_t(i * 13), 0};
    SdlPeerSurface* index8 = sdl_peer_index8(w, h, palette);
    SdlPeerSurface* rgb24 = sdl_peer_rgb24(w, h);
    SdlPeerSurface* argb32 = sdl_peer_argb(w, h);
    int status = index8 && rgb24 && argb32 ? 0 : 1;
    for (int y = 0; status == 0 && y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int32_t pitch;
            uint8_t rgb[3];
            colour_at(x, y, rgb);
            sdl_peer_pixels(index8, &pitch)[y * pitch + x] = static_cast<uint8_t>(x * 5 + y * 11);
            std::memcpy(sdl_peer_pixels(rgb24, &pitch) + y * pitch + 3 * x, rgb, 3);
            const uint32_t argb = (uint32_t(x * 7) << 24) | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
            std::memcpy(sdl_peer_pixels(argb32, &pitch) + y * pitch + 4 * x, &argb, 4);
        }
    if (status == 0)
        status = sdl_peer_save_bmp(index8, (folder + "/sdl_index8.bmp").c_str()) ||
                 sdl_peer_save_bmp(rgb24, (folder + "/sdl_rgb24.bmp").c_str()) ||
                 sdl_peer_save_bmp(argb32, (folder + "/sdl_argb32.bmp").c_str());
    sdl_peer_free(index8);
    sdl_peer_free(rgb24);
    sdl_peer_free(argb32);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "compare" && argc == 6) {
        std::ifstream in(argv[3], std::ios::binary);
        const std::vector<uint8_t> reference{std::istreambuf_iterator<char>(in), {}};
        return report(compare(argv[2], reference.data(), reference.size(), std::atoll(argv[4]), std::atoll(argv[5])));
    }
    if (command == "compare-sdl" && argc == 3) {
        int32_t w = 0, h = 0;
        uint8_t* reference = sdl_peer_decode_bmp(argv[2], &w, &h);
        if (!reference) return report(PEER_REFUSED);
        const Verdict v = compare(argv[2], reference, 3 * size_t(w) * size_t(h), w, h);
        sdl_peer_release(reference);
        return report(v);
    }
    if (command == "write-sdl" && argc == 3) return write_sdl(argv[2]);
    std::fprintf(stderr,
                 "usage: bmp_probe compare FILE REFERENCE WIDTH HEIGHT | compare-sdl FILE | write-sdl FOLDER\n");
    return USAGE;
}
