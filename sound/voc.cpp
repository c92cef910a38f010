// VOC loading into the sound table: the file's first block, its samples converted to the
// buffers' 8-bit mono.
#include <cstdio>
#include <memory>
#include <new>

#include "sound/pcm_convert.h"
#include "sound/slots.h"
#include "sound/sound.h"

namespace {

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

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t le24(const uint8_t* p) { return le16(p) | uint32_t(p[2]) << 16; }

// The sound of the file's first block as the loader takes it.
struct VocSound {
    const uint8_t* samples = nullptr;
    uint32_t frames = 0;
    PcmLayout layout;
    int32_t rate = 0;
    uint32_t size = 0;  // the stated length of the block that holds the samples
};

// Reads the first block, at b; 0 for a block that is not sound this loader knows or whose
// samples would be read from outside the file.
int voc_first_sound(const uint8_t* d, uint64_t n, uint64_t b, VocSound* out) {
    if (n < b + 4) return 0;
    const uint32_t l = le24(d + b + 1);
    const uint8_t* body = d + b + 4;
    switch (d[b]) {
        case 1:  // time constant, packing, samples: of the L - 2 sample bytes the first L - 6 count
            if (l <= 6 || b + l > n) return 0;
            out->samples = body + 2;
            out->frames = l - 6;
            out->rate = -1000000 / (int32_t(body[0]) - 256);
            out->size = l;
            return 1;
        case 9: {  // rate, bits, channels, codec (0 unsigned 8-bit, 4 signed 16-bit), 4 reserved
            if (l <= 12 || b + 4 + l > n) return 0;
            const uint32_t bits = body[4], codec = le16(body + 6);
            if (!((codec == 0 && bits == 8) || (codec == 4 && bits == 16))) return 0;
            if (!pcm_layout(body[5], bits, &out->layout)) return 0;
            out->samples = body + 12;
            out->frames = (l - 12) / pcm_frame_bytes(out->layout);
            out->rate = static_cast<int32_t>(le16(body) | le16(body + 2) << 16);
            out->size = l;
            return 1;
        }
        case 8: {  // time constant of channels × rate, packing, mode (0 mono, 1 stereo); the samples
                   // are in the type 1 block that follows, whose own constant and packing are not read
            if (l < 4 || b + 4 + l > n) return 0;
            const uint32_t constant = le16(body), packing = body[2], mode = body[3];
            if (packing != 0 || mode > 1) return 0;
            const uint64_t next = b + 4 + l;
            if (n < next + 4 || d[next] != 1) return 0;
            const uint32_t l2 = le24(d + next + 1);
            if (l2 <= 2 || next + 4 + l2 > n) return 0;
            out->layout.channels = mode + 1;
            out->samples = d + next + 6;
            out->frames = (l2 - 2) / out->layout.channels;
            out->rate = static_cast<int32_t>(256000000 / (out->layout.channels * (65536 - constant)));
            out->size = l2;
            return 1;
        }
        default: return 0;
    }
}

}  // namespace

int sound_load_voc(const char* name) {
    const int slot = sound_first_free_slot();
    if (slot < 0 || !name) return -1;
    WholeFile file;
    if (!read_whole(name, &file)) return -1;
    // Only the low byte of the offset of the first data block counts.
    if (file.length < 21) return -1;
    VocSound v;
    if (!voc_first_sound(file.bytes.get(), file.length, file.bytes[20], &v) || v.frames == 0) return -1;

    const uint32_t flags =
        DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY | DSBCAPS_LOCSOFTWARE | DSBCAPS_STATIC;
    return sound_fill_new_slot(slot, flags, v.samples, uint64_t(v.frames) * pcm_frame_bytes(v.layout), v.frames,
                               v.layout, v.rate, static_cast<int32_t>(v.size));
}
