// Any bytes as a BMP file: a clear result, and a loaded picture holds the pixels its header says.
#include <cstdlib>

#include "fuzz_file.h"
#include "imaging/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BmpFile bmp{};
    const int loaded = bmp_load(&bmp, fuzz_write_file(data, size, ".bmp"));
    if (loaded) {
        // Touch every pixel the header promises: the sanitizer reports any that were not allocated.
        const size_t row = static_cast<size_t>(bmp.info_header.biWidth) * (bmp.info_header.biBitCount / 8);
        const size_t total = row * static_cast<size_t>(bmp.info_header.biHeight);
        unsigned sum = 0;
        for (size_t i = 0; i < total; ++i) sum += bmp.buffer[i];
        if (sum == 0xFFFFFFFFu) std::abort();  // keeps the loop from being optimised away
    } else if (bmp.buffer) {
        std::abort();  // a refused file must leave no half-read pixels
    }
    bmp_unload(&bmp);
    return 0;
}
