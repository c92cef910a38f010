#pragma once
/// \file
/// The sound table: 64 slots, each holding one whole sound; WAV and VOC loading; play, stop,
/// volume, frequency, pan, duplicate, status, delete.
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/audio.h"

#ifdef __cplusplus
extern "C" {
/// An argument C++ may leave out, taking this value; C passes every argument.
#define SOUND_OPTIONAL(value) = value
#else  // C names the records without `struct`, as C++ does
typedef struct SoundSlot SoundSlot;
#define SOUND_OPTIONAL(value)
#endif

/// The table's size, the flags a sound is loaded with, the play flag and the status bits.
enum {
    SOUND_SLOTS = 64,              ///< slots in the sound table
    DSBCAPS_STATIC = 0x02,         ///< accepted; changes nothing
    DSBCAPS_LOCSOFTWARE = 0x08,    ///< accepted; changes nothing
    DSBCAPS_CTRLFREQUENCY = 0x20,  ///< the sound takes sound_set_frequency()
    DSBCAPS_CTRLPAN = 0x40,        ///< the sound takes sound_set_pan()
    DSBCAPS_CTRLVOLUME = 0x80,     ///< the sound takes sound_set_volume()
    DSBPLAY_LOOPING = 0x1,         ///< sound_play(): until stopped
    DSBSTATUS_PLAYING = 0x1,       ///< sound_status(): playing
    DSBSTATUS_LOOPING = 0x4,       ///< sound_status(): and looping
};

/// A slot of the sound table.
struct SoundSlot {
    PlatSoundBuffer* buffer;  ///< null when the slot holds no sound
    int32_t state;            ///< 0 free, 1 loaded
    int32_t rate;             ///< samples per second as the file states
    int32_t size;             ///< data length in bytes as the file states
    int32_t id;               ///< the slot's own index
};

extern SoundSlot sound_table[SOUND_SLOTS];  ///< a sound's id is its slot's index
extern PlatAudio* sound_object;             ///< made by the first sound_init(), released by sound_shutdown()
extern int32_t sound_first_init;            ///< 1 until sound_init() has tried to make sound_object

/// The first call after program start or sound_shutdown() makes the sound object; when the
/// platform refuses it the result is 0, the table is left all zero and later calls do not try
/// again until sound_shutdown(). Otherwise it stops and releases every slot's sound and marks all
/// 64 slots free, each with its own index as id. 1.
int sound_init(void);
/// Stops and releases every sound and the sound object; the next sound_init() makes a new one. 1.
int sound_shutdown(void);
/// Loads a PCM WAV file (format tag 1, any channel count, 1 to 32 bits) into the lowest free
/// slot, converted to 8-bit mono; `rate` and `size` as the file states them. A "data" chunk cut
/// short loads at its stated length with a silent tail. The slot's id, or -1 with the table as
/// it was (also when the platform refuses the buffer, its lock or its unlock).
int sound_load_wav(const char* name, uint32_t control_flags);
/// Loads the first block of a VOC file into the lowest free slot: sound data (L - 6 bytes), or
/// new-format or extended PCM converted to 8-bit mono; any other block, or one reaching past
/// the end of the file, gives -1. The slot's id, or -1 with the table as it was.
int sound_load_voc(const char* name);
/// Copies the slot into the lowest free slot with a second buffer over the same samples (its own
/// position, stopped, and its own volume, frequency and pan, starting from the source's), so
/// one sound can play twice at once. The new slot's id; -1 for an id outside 0..63, no free
/// slot, or an empty or refused source (the slot stays free).
int sound_replicate(int32_t id);
/// DSBSTATUS_PLAYING, with DSBSTATUS_LOOPING when looping, or 0 when stopped; -1 for an id
/// outside 0..63, an empty slot or a refused query.
int sound_status(int32_t id);
/// Plays the slot's sound from its start, once, or until stopped with DSBPLAY_LOOPING; the
/// unused arguments are not read. 1 (nothing played for an id outside 0..63 or an empty slot);
/// 0 when the platform refuses the rewind or the play.
int sound_play(int32_t id, uint32_t flags, int32_t unused1 SOUND_OPTIONAL(0), int32_t unused2 SOUND_OPTIONAL(0),
               int32_t unused3 SOUND_OPTIONAL(0));
/// Stops the sound and rewinds it to its start. 1, also for an id outside 0..63 or an empty slot.
int sound_stop(int32_t id);
/// sound_stop() on every slot. 1.
int sound_stop_all(void);
/// Volume up to 100 (full), set as (100 - volume) x -30 hundredths of a decibel: 0 is 30 dB
/// down. 1; 0 for an id outside 0..63, an empty slot, a sound loaded without
/// DSBCAPS_CTRLVOLUME, or a volume outside -233..100.
int sound_set_volume(int32_t id, int32_t volume);
/// Playback rate in samples per second, 100 to 100000. 1; 0 for an id outside 0..63, an empty
/// slot, a rate out of range or a sound loaded without DSBCAPS_CTRLFREQUENCY.
int sound_set_frequency(int32_t id, int32_t rate);
/// Pan from -10000 (left only) to 10000 (right only), the other side attenuated by |pan|
/// hundredths of a decibel. 1; 0 for an id outside 0..63, an empty slot, a pan out of range or
/// a sound loaded without DSBCAPS_CTRLPAN.
int sound_set_pan(int32_t id, int32_t pan);
/// Stops the sound and frees its slot. 1, also for an id outside 0..63 or an empty slot.
int sound_delete(int32_t id);
/// sound_delete() on every slot. 1.
int sound_delete_all(void);

#ifdef __cplusplus
}  // extern "C"
#endif
