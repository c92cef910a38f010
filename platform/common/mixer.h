#pragma once
/// \file
/// The software mixer behind the sound buffers. Internal to the platform layer.
///
/// Every playing buffer is a voice in the mixer's list. The output asks for frames of 16-bit
/// stereo; each voice is resampled from its own frequency to the output rate by linear
/// interpolation, scaled by its two gains, summed in 32 bits and saturated once at the end.
/// Who changes voices or the list on the game thread holds the backend's audio lock.
#include <cstdint>

/// Sample data shared by a buffer and its duplicates.
struct MixSamples {
    uint8_t* bytes = nullptr;  ///< unsigned 8-bit mono, 128 is silence
    uint32_t length = 0;
    int32_t holders = 0;  ///< buffers sharing it (game thread only)
    int32_t held = 0;     ///< handed out for writing by a lock (game thread only)
    int32_t fresh = 1;    ///< never unlocked yet: its bytes may never have been written
    int32_t locked = 1;   ///< held or fresh: voices over it stay silent where they stand
};

struct MixVoice {
    MixSamples* samples = nullptr;
    uint64_t position = 0;      ///< in samples, 32.32 fixed point
    uint64_t step = 0;          ///< samples per output frame, 32.32 fixed point
    int32_t gain_left = 65536;  ///< 16.16 fixed point, 0 to 65536
    int32_t gain_right = 65536;
    int32_t playing = 0;
    int32_t looping = 0;
    MixVoice* prev = nullptr;  ///< in the mixer's list while playing
    MixVoice* next = nullptr;
};

/// Voices that can play at once: their sum can never leave 32 bits.
constexpr int32_t MIXER_MAX_VOICES = 4096;

struct Mixer {
    MixVoice* head = nullptr;
    int32_t device_rate = 48000;
    int32_t voices = 0;
};

/// The 32.32 step that plays frequency samples per second at device_rate frames per second.
uint64_t mixer_step(int32_t frequency, int32_t device_rate);
/// The two 16.16 gains of a volume and a pan in hundredths of a decibel; -10000 is silence.
void mixer_gains(int32_t volume, int32_t pan, int32_t* left, int32_t* right);
/// Puts the voice in the list (once) from its position, looping or not.
void mixer_start(Mixer* mixer, MixVoice* voice, int looping);
/// Takes the voice out of the list; its position stays.
void mixer_stop(Mixer* mixer, MixVoice* voice);
/// Takes every voice out of the list; their positions stay.
void mixer_stop_all(Mixer* mixer);
/// Mixes the next frames (left, right interleaved). Voices playing once that reach their end
/// leave the list at position 0.
void mixer_render(Mixer* mixer, int16_t* stereo, int32_t frames);

/// The one mixer of the open sound object, for the backends' outputs.
/// mixer_render of the open sound object's mixer, or silence when none is open. Called by the
/// output (SDL's callback runs under SDL's own lock) or by a headless test.
void mixer_output(int16_t* stereo, int32_t frames);
/// Voices playing in the open sound object's mixer.
int32_t mixer_output_voices();
