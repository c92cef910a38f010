// Any bytes as a WAV file, loaded into the sound table of the headless backend.
#include "fuzz_file.h"
#include "sound/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int started = sound_init();
    (void)started;
    const int id = sound_load_wav(fuzz_write_file(data, size, ".wav"),
                                  DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME);
    if (id >= 0) {
        sound_play(id, 0);
        sound_delete(id);
    }
    return 0;
}
