// Any bytes as a palette text file.
#include "fuzz_file.h"
#include "imaging/palette.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PaletteEntry entries[256] = {};
    palette_load_file(fuzz_write_file(data, size, ".pal"), entries);
    return 0;
}
