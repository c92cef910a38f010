#pragma once
// The sound table: 64 slots, each holding one whole sound; WAV and VOC loading; play, stop,
// volume, frequency, pan, duplicate, status, delete.
#include <cstdint>

#include "platform/audio.h"

enum {
    SOUND_SLOTS = 64,
    DSBCAPS_STATIC = 0x02,
    DSBCAPS_LOCSOFTWARE = 0x08,
    DSBCAPS_CTRLFREQUENCY = 0x20,
    DSBCAPS_CTRLPAN = 0x40,
    DSBCAPS_CTRLVOLUME = 0x80,
    DSBPLAY_LOOPING = 0x1,
    DSBSTATUS_PLAYING = 0x1,
    DSBSTATUS_LOOPING = 0x4,
};

struct SoundSlot {
    PlatSoundBuffer* buffer;  // null when the slot holds no sound
    int32_t state;            // 0 free, 1 loaded
    int32_t rate;             // samples per second as the file states
    int32_t size;             // data length in bytes as the file states
    int32_t id;               // the slot's own index
};

extern SoundSlot sound_table[SOUND_SLOTS];
extern PlatAudio* sound_object;
extern int32_t sound_first_init;

int sound_init();
int sound_shutdown();
int sound_load_wav(const char* name, uint32_t control_flags);
//   Loads a PCM WAV file (format tag 1, any channel count, 1 to 32 bits) into the lowest free
//   slot, converted to 8-bit mono; `rate` and `size` as the file states them. A "data" chunk cut
//   short loads at its stated length with a silent tail. The slot's id, or -1 (nothing changed,
//   or the slot free again when the platform refused the buffer).
int sound_load_voc(const char* name);
//   Loads the first block of a VOC file into the lowest free slot: sound data (L - 6 bytes), or
//   new-format or extended PCM converted to 8-bit mono; any other block, or one reaching past
//   the end of the file, gives -1. The slot's id, or -1.
int sound_replicate(int32_t id);
int sound_status(int32_t id);
int sound_play(int32_t id, uint32_t flags, int32_t unused1 = 0, int32_t unused2 = 0, int32_t unused3 = 0);
int sound_stop(int32_t id);
int sound_stop_all();
int sound_set_volume(int32_t id, int32_t volume);
int sound_set_frequency(int32_t id, int32_t rate);
int sound_set_pan(int32_t id, int32_t pan);
int sound_delete(int32_t id);
int sound_delete_all();
