// Loads one sound file into the sound table on the headless backend, prints what the slot
// records and writes its buffer's bytes to a file: the loaders seen from outside, for
// tools/measure_real_sounds.sh to compare with another decoder.
#include <cstdio>
#include <cstring>

#include "platform/audio.h"
#include "platform/status.h"
#include "sound/sound.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: sound_probe SOUND_FILE OUT_RAW\n"
                     "  prints: id rate size buffer_length (id -1: refused)\n");
        return 2;
    }
    if (sound_init() != 1) return 1;
    // A VOC file by its signature; anything else goes to the WAV loader.
    char head[19] = {};
    if (std::FILE* f = std::fopen(argv[1], "rb")) {
        if (std::fread(head, 1, sizeof head, f) != sizeof head) head[0] = 0;
        std::fclose(f);
    }
    const int id = std::memcmp(head, "Creative Voice File", sizeof head) == 0 ? sound_load_voc(argv[1])
                                                                              : sound_load_wav(argv[1], 0);
    if (id < 0) {
        std::printf("-1 0 0 0\n");
        sound_shutdown();
        return 0;
    }
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    PlatSoundBuffer* b = sound_table[id].buffer;
    if (plat_sound_buffer_lock(b, 0, 0, &p1, &n1, &p2, &n2, PLAT_SOUND_LOCK_ENTIRE) != PLAT_OK) return 1;
    std::FILE* out = std::fopen(argv[2], "wb");
    const bool written = out && std::fwrite(p1, 1, n1, out) == n1;
    if (out) std::fclose(out);
    plat_sound_buffer_unlock(b, p1, n1, p2, n2);
    std::printf("%d %d %d %u\n", id, sound_table[id].rate, sound_table[id].size, n1);
    sound_shutdown();
    return written ? 0 : 1;
}
