// The sound table: 64 slots of whole sounds, start-up and shutdown, WAV loading, and play,
// stop, volume, frequency, pan and delete on one slot or all of them.
#include "sound/sound.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "platform/audio.h"
#include "platform/status.h"
#include "sound/pcm_convert.h"

SoundSlot sound_table[SOUND_SLOTS];
PlatAudio* sound_object = nullptr;
int32_t sound_first_init = 1;

namespace {

// Every buffer holds 8-bit mono at 11025 samples per second, whatever its file held.
PlatWaveFormat fixed_format() {
    PlatWaveFormat f{};
    f.format_tag = PLAT_WAVE_FORMAT_PCM;
    f.channels = 1;
    f.samples_per_sec = 11025;
    f.block_align = 1;
    f.avg_bytes_per_sec = f.block_align * f.samples_per_sec;
    f.bits_per_sample = 8;
    f.extra_size = 0;
    return f;
}

int valid_id(int32_t id) { return id >= 0 && id < SOUND_SLOTS; }

// The longest "data" chunk loaded, in the file's own bytes: anything longer is taken for a
// broken size, not a sound.
constexpr uint32_t kMaxDataBytes = 64u << 20;

}  // namespace

void sound_free_slot(SoundSlot& slot) {
    plat_sound_buffer_release(slot.buffer);
    slot.buffer = nullptr;
    slot.state = 0;
}

namespace {

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
    uint32_t size = 0;   // excluding the 8-byte header
    uint64_t data = 0;   // where the chunk's bytes begin
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

// Shared with the VOC loader and the duplicate (voc.cpp).
int sound_first_free_slot() {
    for (int i = 0; i < SOUND_SLOTS; ++i)
        if (sound_table[i].state == 0) return i;
    return -1;
}

// Fills a new buffer of `frames` bytes in the slot with the samples converted to its format,
// the frames past the `present` bytes silent; the slot's index, or -1 with the slot free again
// when the buffer cannot be made, locked or unlocked.
int sound_fill_new_slot(int slot, uint32_t flags, const uint8_t* samples, uint64_t present, uint32_t frames,
                        const PcmLayout& layout) {
    SoundSlot& s = sound_table[slot];
    const PlatWaveFormat format = fixed_format();
    if (plat_sound_buffer_create(sound_object, flags, frames, &format, &s.buffer) != PLAT_OK) {
        s.buffer = nullptr;
        s.state = 0;
        return -1;
    }
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    if (plat_sound_buffer_lock(s.buffer, 0, frames, &p1, &n1, &p2, &n2, PLAT_SOUND_LOCK_FROM_WRITE_CURSOR) != PLAT_OK) {
        sound_free_slot(s);
        return -1;
    }
    // Two regions, as the platform may hand them out: the frames run on from the first into the
    // second.
    const uint64_t whole = present / pcm_frame_bytes(layout);
    const uint32_t have = whole < frames ? uint32_t(whole) : frames;
    const uint32_t in1 = have < n1 ? have : n1;
    pcm_to_u8_mono(samples, in1, layout, static_cast<uint8_t*>(p1));
    std::memset(static_cast<uint8_t*>(p1) + in1, 128, n1 - in1);
    if (n2) {
        const uint32_t in2 = have - in1;
        pcm_to_u8_mono(samples + uint64_t(in1) * pcm_frame_bytes(layout), in2, layout, static_cast<uint8_t*>(p2));
        std::memset(static_cast<uint8_t*>(p2) + in2, 128, n2 - in2);
    }
    if (plat_sound_buffer_unlock(s.buffer, p1, n1, p2, n2) != PLAT_OK) {
        sound_free_slot(s);
        return -1;
    }
    return slot;
}

int sound_init() {
    if (sound_first_init) {
        std::memset(sound_table, 0, sizeof sound_table);
        // Cleared before the object is made: a failed first start is not tried again.
        sound_first_init = 0;
        if (plat_audio_create(&sound_object) != PLAT_OK) return 0;
        if (plat_audio_set_cooperative(sound_object, PLAT_AUDIO_COOP_NORMAL) != PLAT_OK) return 0;
    }
    for (int i = 0; i < SOUND_SLOTS; ++i) {
        SoundSlot& s = sound_table[i];
        if (s.buffer) {
            plat_sound_buffer_stop(s.buffer);
            plat_sound_buffer_release(s.buffer);
        }
        s = SoundSlot{};
        s.state = 0;
        s.id = i;
    }
    return 1;
}

int sound_shutdown() {
    sound_stop_all();
    for (SoundSlot& s : sound_table) {
        if (s.buffer) sound_free_slot(s);
    }
    plat_audio_release(sound_object);
    sound_object = nullptr;
    // The next start makes a new sound object.
    sound_first_init = 1;
    return 1;
}

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

    SoundSlot& s = sound_table[slot];
    s.rate = static_cast<int32_t>(le32(wfmtx + 4));
    s.size = static_cast<int32_t>(data.size);
    s.state = 1;
    return sound_fill_new_slot(slot, control_flags | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE, block.get(), got, frames,
                               layout);
}

int sound_play(int32_t id, uint32_t flags, int32_t, int32_t, int32_t) {
    if (!valid_id(id) || !sound_table[id].buffer) return 1;
    PlatSoundBuffer* b = sound_table[id].buffer;
    if (plat_sound_buffer_set_position(b, 0) != PLAT_OK) return 0;
    if (plat_sound_buffer_play(b, 0, 0, flags) != PLAT_OK) return 0;
    return 1;
}

int sound_stop(int32_t id) {
    if (!valid_id(id) || !sound_table[id].buffer) return 1;
    plat_sound_buffer_stop(sound_table[id].buffer);
    plat_sound_buffer_set_position(sound_table[id].buffer, 0);
    return 1;
}

int sound_stop_all() {
    for (int i = 0; i < SOUND_SLOTS; ++i) sound_stop(i);
    return 1;
}

int sound_set_volume(int32_t id, int32_t volume) {
    if (!valid_id(id)) return 0;
    // In 64 bits: no volume given can overflow; the platform refuses what is out of range.
    const int64_t hundredths = (100 - int64_t(volume)) * -30;
    if (hundredths < INT32_MIN || hundredths > INT32_MAX) return 0;
    return plat_sound_buffer_set_volume(sound_table[id].buffer, static_cast<int32_t>(hundredths)) == PLAT_OK;
}

int sound_set_frequency(int32_t id, int32_t rate) {
    if (!valid_id(id)) return 0;
    return plat_sound_buffer_set_frequency(sound_table[id].buffer, rate) == PLAT_OK;
}

int sound_set_pan(int32_t id, int32_t pan) {
    if (!valid_id(id)) return 0;
    return plat_sound_buffer_set_pan(sound_table[id].buffer, pan) == PLAT_OK;
}

int sound_delete(int32_t id) {
    if (!valid_id(id)) return 1;
    sound_stop(id);
    sound_free_slot(sound_table[id]);
    return 1;
}

int sound_delete_all() {
    for (int i = 0; i < SOUND_SLOTS; ++i) sound_delete(i);
    return 1;
}
