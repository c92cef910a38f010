// WAV loading into the sound table: the RIFF chunks read in place, the PCM samples converted
// to the buffers' 8-bit mono.
#include <cstdio>
#include <memory>
#include <new>

#include "platform/audio.h"
#include "sound/pcm_convert.h"
#include "sound/slots.h"
#include "sound/sound.h"

namespace {

// The longest "data" chunk loaded, in the file's own bytes: anything longer is taken for a
// broken size, not a sound.
constexpr uint32_t kMaxDataBytes = 64u << 20;

uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t le32(const uint8_t* p) { return le16(p) | le16(p + 2) << 16; }

constexpr uint32_t fourcc(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
           uint32_t(uint8_t(s[3])) << 24;
}

// A RIFF file read in place: a position in the file and the file's length.
struct RiffFile {
    std::FILE* file = nullptr;
    uint64_t length = 0;
    uint64_t pos = 0;
    uint64_t file_pos = UINT64_MAX;  // where the stream stands; seek only when it differs
    ~RiffFile() {
        if (file) std::fclose(file);
    }
};

struct Chunk {
    uint32_t id = 0;
    uint32_t size = 0;  // excluding the 8-byte header
    uint64_t data = 0;  // where the chunk's bytes begin
};

// Reads up to n bytes at the position and moves past them; the count actually read.
size_t riff_read(RiffFile& r, void* dst, size_t n) {
    if (r.pos >= r.length) return 0;
    if (r.file_pos != r.pos) {
        if (std::fseek(r.file, static_cast<long>(r.pos), SEEK_SET) != 0) return 0;
        r.file_pos = r.pos;
    }
    const size_t got = std::fread(dst, 1, n, r.file);
    r.pos += got;
    r.file_pos = got == n ? r.pos : UINT64_MAX;
    return got;
}

// Enters the chunk whose header is at the position.
int riff_enter(RiffFile& r, Chunk* c) {
    uint8_t h[8];
    if (riff_read(r, h, 8) != 8) return 0;
    c->id = le32(h);
    c->size = le32(h + 4);
    c->data = r.pos;
    return 1;
}

// The position just past the chunk and its pad byte when its size is odd.
uint64_t riff_after(const Chunk& c) { return c.data + c.size + (c.size & 1u); }

// Searches the top level from the start of the file for "RIFF" of form "WAVE" and enters it,
// the position then just after the form type.
int riff_find_wave(RiffFile& r, Chunk* parent) {
    r.pos = 0;
    while (r.pos + 12 <= r.length) {
        Chunk c;
        uint8_t form[4];
        if (!riff_enter(r, &c) || riff_read(r, form, 4) != 4) return 0;
        if (c.id == fourcc("RIFF") && le32(form) == fourcc("WAVE")) {
            *parent = c;
            return 1;
        }
        r.pos = riff_after(c);
    }
    return 0;
}

// Searches forward inside the parent for a chunk with this identifier and enters it.
int riff_find_chunk(RiffFile& r, const Chunk& parent, uint32_t id, Chunk* out) {
    const uint64_t parent_end = parent.data + parent.size;
    const uint64_t end = parent_end < r.length ? parent_end : r.length;
    while (r.pos + 8 <= end) {
        Chunk c;
        if (!riff_enter(r, &c)) return 0;
        if (c.id == id) {
            *out = c;
            return 1;
        }
        r.pos = riff_after(c);
    }
    return 0;
}

}  // namespace

int sound_load_wav(const char* name, uint32_t control_flags) {
    const int slot = sound_first_free_slot();
    if (slot < 0 || !name) return -1;
    RiffFile r;
    r.file = std::fopen(name, "rb");
    if (!r.file) return -1;
    if (std::fseek(r.file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(r.file);
    if (end < 0) return -1;
    r.length = static_cast<uint64_t>(end);

    Chunk parent, child, data;
    if (!riff_find_wave(r, &parent)) return -1;
    // The first subchunk is taken for the format whatever its identifier.
    if (!riff_enter(r, &child)) return -1;
    // 18 bytes from its start, even from a 16-byte chunk: the last two are never used.
    uint8_t wfmtx[18];
    if (riff_read(r, wfmtx, sizeof wfmtx) != sizeof wfmtx) return -1;
    if (le16(wfmtx) != PLAT_WAVE_FORMAT_PCM) return -1;
    // Leaving the first subchunk fails when it claims more than the file holds.
    if (child.data + child.size > r.length) return -1;
    r.pos = riff_after(child);
    if (!riff_find_chunk(r, parent, fourcc("data"), &data)) return -1;
    // Any channel count and 8 to 32 bits, converted to the buffer's 8-bit mono below.
    PcmLayout layout;
    if (!pcm_layout(le16(wfmtx + 2), le16(wfmtx + 14), &layout)) return -1;
    if (data.size > kMaxDataBytes) return -1;
    const uint32_t frames = data.size / pcm_frame_bytes(layout);
    if (frames == 0) return -1;
    // A chunk cut short by the end of the file loads at its stated length: the bytes that are
    // there, then silence.
    const uint64_t present = data.size < r.length - data.data ? data.size : r.length - data.data;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[present ? present : 1]);
    if (!block) return -1;
    const size_t got = riff_read(r, block.get(), present);
    std::fclose(r.file);
    r.file = nullptr;

    return sound_fill_new_slot(slot, control_flags | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE, block.get(), got, frames,
                               layout, static_cast<int32_t>(le32(wfmtx + 4)), static_cast<int32_t>(data.size));
}
