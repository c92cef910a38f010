#pragma once
/// \file
/// The sound object and its sound buffers, mixed in software and played on the audio output.
/// A sound buffer holds one whole sound: 8-bit unsigned mono samples (128 is silence).
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct PlatAudio PlatAudio;
typedef struct PlatSoundBuffer PlatSoundBuffer;
typedef struct PlatWaveFormat PlatWaveFormat;
#endif

/// \struct PlatAudio
/// The sound object: a handle made by plat_audio_create().
struct PlatAudio;
/// \struct PlatSoundBuffer
/// A sound buffer: a handle made by plat_sound_buffer_create() or plat_sound_buffer_duplicate().
struct PlatSoundBuffer;

/// The format of a buffer's samples. Only PCM, one channel, 8 bits, block alignment 1 is offered;
/// samples_per_sec is the buffer's starting frequency.
struct PlatWaveFormat {
    uint16_t format_tag;         ///< PLAT_WAVE_FORMAT_PCM
    uint16_t channels;           ///< 1
    uint32_t samples_per_sec;    ///< 100 to 100000
    uint32_t avg_bytes_per_sec;  ///< not read
    uint16_t block_align;        ///< 1
    uint16_t bits_per_sample;    ///< 8
    uint16_t extra_size;         ///< 0
};

/// The format tag, the cooperative level, the buffer, lock and play flags, the status bits and the
/// ranges of the controls.
enum {
    PLAT_WAVE_FORMAT_PCM = 1,    ///< the one format tag: PCM samples
    PLAT_AUDIO_COOP_NORMAL = 1,  ///< the only cooperative level offered

    // Buffer flags. Only the three control flags change anything; the others are accepted.
    PLAT_SOUND_STATIC = 0x02,          ///< accepted; changes nothing
    PLAT_SOUND_LOCSOFTWARE = 0x08,     ///< accepted; changes nothing
    PLAT_SOUND_CTRL_FREQUENCY = 0x20,  ///< the frequency may be changed
    PLAT_SOUND_CTRL_PAN = 0x40,        ///< the pan may be changed
    PLAT_SOUND_CTRL_VOLUME = 0x80,     ///< the volume may be changed

    PLAT_SOUND_LOCK_FROM_WRITE_CURSOR = 0x1,  ///< the offset given is ignored
    PLAT_SOUND_LOCK_ENTIRE = 0x2,             ///< the byte count given is ignored
    PLAT_SOUND_PLAY_LOOPING = 0x1,            ///< play until stopped
    PLAT_SOUND_STATUS_PLAYING = 0x1,          ///< the buffer is playing
    PLAT_SOUND_STATUS_LOOPING = 0x4,          ///< and will play again from the start

    PLAT_SOUND_VOLUME_MIN = -10000,        ///< hundredths of a decibel; silent
    PLAT_SOUND_VOLUME_MAX = 0,             ///< full
    PLAT_SOUND_FREQUENCY_MIN = 100,        ///< samples per second
    PLAT_SOUND_FREQUENCY_MAX = 100000,     ///< samples per second
    PLAT_SOUND_FREQUENCY_DEFAULT = 11025,  ///< samples per second (a new buffer takes its format's)
    PLAT_SOUND_PAN_LEFT = -10000,          ///< right side attenuated by 100 dB: left only
    PLAT_SOUND_PAN_RIGHT = 10000,          ///< left side attenuated by 100 dB: right only
};

/// The longest buffer in bytes (one gigabyte): the mixer's 32.32 position never overflows.
static const uint32_t PLAT_SOUND_MAX_LENGTH = 0x40000000u;

/// Opens the audio output; an error at once (never a wait) when no output can be had.
/// Only one sound object lives at a time: a second gives PLAT_ERR_BUSY.
int plat_audio_create(PlatAudio** out);
/// Lets this program play sound (PLAT_AUDIO_COOP_NORMAL); buffers can be made only after it.
int plat_audio_set_cooperative(PlatAudio* audio, uint32_t level);
/// Stops every buffer and closes the output; buffers made from it stay valid to release, but
/// refuse to play. Safe on null.
void plat_audio_release(PlatAudio* audio);

/// A stopped buffer of length bytes (1 to PLAT_SOUND_MAX_LENGTH) at position 0, full volume,
/// centre pan, the format's frequency. It is silent until its first unlock, which makes
/// silence (128) of every byte that unlock was not given.
int plat_sound_buffer_create(PlatAudio* audio, uint32_t flags, uint32_t length, const PlatWaveFormat* format,
                             PlatSoundBuffer** out);
/// Hands out the bytes from offset (or the play position) on, as two regions when they wrap
/// past the end (ptr2 null and length2 0 when they do not). While the data is locked, every
/// buffer sharing it is held silent where it stands. PLAT_ERR_BUSY when already locked.
int plat_sound_buffer_lock(PlatSoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* length1,
                           void** ptr2, uint32_t* length2, uint32_t flags);
/// Ends the lock; the regions must be the ones locked (lengths may be shorter).
int plat_sound_buffer_unlock(PlatSoundBuffer* buffer, void* ptr1, uint32_t length1, void* ptr2, uint32_t length2);
/// Moves the play position to this byte (below the length).
int plat_sound_buffer_set_position(PlatSoundBuffer* buffer, uint32_t offset);
/// Starts playing from the play position, once or (PLAT_SOUND_PLAY_LOOPING) until stopped; a
/// playing buffer goes on from where it is with the new flags. reserved and priority must be 0.
int plat_sound_buffer_play(PlatSoundBuffer* buffer, uint32_t reserved, uint32_t priority, uint32_t flags);
/// Stops where it is. Playing once stops by itself at the end and rewinds to 0.
int plat_sound_buffer_stop(PlatSoundBuffer* buffer);
/// PLAT_SOUND_STATUS_PLAYING, with PLAT_SOUND_STATUS_LOOPING when looping; 0 when stopped.
int plat_sound_buffer_get_status(PlatSoundBuffer* buffer, uint32_t* status);
/// PLAT_SOUND_VOLUME_MIN to _MAX; refused (PLAT_ERR_UNSUPPORTED) without PLAT_SOUND_CTRL_VOLUME.
int plat_sound_buffer_set_volume(PlatSoundBuffer* buffer, int32_t volume);
/// PLAT_SOUND_FREQUENCY_MIN to _MAX; refused without PLAT_SOUND_CTRL_FREQUENCY.
int plat_sound_buffer_set_frequency(PlatSoundBuffer* buffer, int32_t rate);
/// PLAT_SOUND_PAN_LEFT to _RIGHT, the other side attenuated by |pan| hundredths of a decibel;
/// refused without PLAT_SOUND_CTRL_PAN.
int plat_sound_buffer_set_pan(PlatSoundBuffer* buffer, int32_t pan);
/// A second buffer over the same sample data with its own position (0, stopped) and its own
/// controls, starting from the source's flags, volume, frequency and pan.
int plat_sound_buffer_duplicate(PlatAudio* audio, PlatSoundBuffer* source, PlatSoundBuffer** out);
/// Stops and gives the buffer up; the data goes with the last buffer sharing it. Safe on null.
void plat_sound_buffer_release(PlatSoundBuffer* buffer);

#ifdef __cplusplus
}  // extern "C"
#endif
