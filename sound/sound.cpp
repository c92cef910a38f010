// The sound table: 64 slots of whole sounds, start-up and shutdown, filling a slot for the
// loaders, and play, stop, volume, frequency, pan, duplicate, status and delete on one slot or
// all of them.
#include "sound/sound.h"

#include <cstring>

#include "platform/audio.h"
#include "platform/status.h"
#include "sound/pcm_convert.h"
#include "sound/slots.h"

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

void sound_free_slot(SoundSlot& slot) {
    plat_sound_buffer_release(slot.buffer);
    slot.buffer = nullptr;
    slot.state = 0;
}

}  // namespace

int sound_first_free_slot() {
    for (int i = 0; i < SOUND_SLOTS; ++i)
        if (sound_table[i].state == 0) return i;
    return -1;
}

int sound_fill_new_slot(int slot, uint32_t flags, const uint8_t* samples, uint64_t present, uint32_t frames,
                        const PcmLayout& layout, int32_t rate, int32_t size) {
    SoundSlot& s = sound_table[slot];
    const PlatWaveFormat format = fixed_format();
    if (plat_sound_buffer_create(sound_object, flags, frames, &format, &s.buffer) != PLAT_OK) {
        s.buffer = nullptr;
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
    // Recorded only now: a refused load leaves the slot's fields as they were.
    s.rate = rate;
    s.size = size;
    s.state = 1;
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
