// VOC loading, duplication of a slot, and the playback status of a slot, on the sound table.
#include <cstdio>
#include <memory>
#include <new>

#include "platform/audio.h"
#include "platform/status.h"
#include "sound/sound.h"

// The table's own helpers (sound.cpp).
int sound_first_free_slot();
int sound_fill_new_slot(int slot, uint32_t flags, const uint8_t* bytes, uint32_t length);

namespace {

int valid_id(int32_t id) { return id >= 0 && id < SOUND_SLOTS; }

// The whole file in memory; the length is what was actually read.
struct WholeFile {
    std::unique_ptr<uint8_t[]> bytes;
    uint64_t length = 0;
};

// 0 when the file cannot be opened or its length taken.
int read_whole(const char* name, WholeFile* out) {
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return 0;
    long end = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) end = std::ftell(f);
    if (end < 0 || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        return 0;
    }
    out->bytes.reset(new (std::nothrow) uint8_t[end > 0 ? end : 1]);
    if (out->bytes) out->length = std::fread(out->bytes.get(), 1, static_cast<size_t>(end), f);
    std::fclose(f);
    return out->bytes != nullptr;
}

}  // namespace

int sound_load_voc(const char* name) {
    const int slot = sound_first_free_slot();
    if (slot < 0 || !name) return -1;
    WholeFile file;
    if (!read_whole(name, &file)) return -1;
    const uint8_t* d = file.bytes.get();
    const uint64_t n = file.length;
    // Only the low byte of the offset of the first data block counts.
    if (n < 21) return -1;
    const uint64_t b = d[20];
    if (n < b + 6) return -1;
    const int32_t t = d[b + 4];
    const uint32_t l = (uint32_t(d[b]) | uint32_t(d[b + 1]) << 8 | uint32_t(d[b + 2]) << 16 |
                        uint32_t(d[b + 3]) << 24) >> 8;
    // The block must hold some sound and lie inside the file.
    if (l <= 6 || b + 4 + l > n) return -1;

    SoundSlot& s = sound_table[slot];
    s.rate = -1000000 / (t - 256);
    s.size = static_cast<int32_t>(l);
    s.state = 1;
    // Of the L - 2 sample bytes only the first L - 6 are loaded.
    const uint32_t flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_LOCSOFTWARE |
                           DSBCAPS_STATIC;
    return sound_fill_new_slot(slot, flags, d + b + 6, l - 6);
}

int sound_replicate(int32_t id) {
    if (!valid_id(id)) return -1;
    const int slot = sound_first_free_slot();
    if (slot < 0) return -1;
    SoundSlot& s = sound_table[slot];
    s = sound_table[id];
    s.buffer = nullptr;
    if (plat_sound_buffer_duplicate(sound_object, sound_table[id].buffer, &s.buffer) != PLAT_OK) {
        s.buffer = nullptr;
        s.state = 0;
        s.id = slot;  // a free slot keeps its own index
        return -1;
    }
    s.id = slot;
    return slot;
}

int sound_status(int32_t id) {
    if (!valid_id(id) || !sound_table[id].buffer) return -1;
    uint32_t status = 0;
    // A refused query gives the same answer as no sound, never a made-up "stopped".
    if (plat_sound_buffer_get_status(sound_table[id].buffer, &status) != PLAT_OK) return -1;
    return static_cast<int>(status);
}
