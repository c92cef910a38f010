// The sound object and sound buffers over the software mixer, shared by every backend. The
// backend supplies the output that pulls mixed frames and the lock that keeps it away while
// a voice changes.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/audio.h"
#include "platform/common/backend.h"
#include "platform/common/mixer.h"
#include "platform/status.h"

struct PlatAudio {
    int cooperative = 0;
};

struct PlatSoundBuffer {
    MixVoice voice;
    uint32_t flags = 0;
    uint32_t generation = 0;  // of the sound object it was made from
    int32_t volume = 0;
    int32_t pan = 0;
    int32_t frequency = PLAT_SOUND_FREQUENCY_DEFAULT;
    int lock_held = 0;  // this buffer handed out the regions below
    uint8_t* lock_ptr1 = nullptr;
    uint8_t* lock_ptr2 = nullptr;
    uint32_t lock_len1 = 0, lock_len2 = 0;
};

namespace {

PlatAudio* g_audio = nullptr;
uint32_t g_generation = 0;  // moves on with every sound object opened
Mixer g_mixer;

// Holds the output away from the mixer for one short change.
struct OutputGuard {
    OutputGuard() { backend_audio_lock(); }
    ~OutputGuard() { backend_audio_unlock(); }
    OutputGuard(const OutputGuard&) = delete;
    OutputGuard& operator=(const OutputGuard&) = delete;
};

int current(const PlatSoundBuffer* b) { return g_audio && b->generation == g_generation; }

// What every control asks before it changes anything: a buffer made with the control's flag, a
// value in its range, and the backend's leave.
int control_allowed(const PlatSoundBuffer* buffer, uint32_t control, int32_t value, int32_t min, int32_t max,
                    const char* request) {
    if (!buffer) return PLAT_ERR_INVALID;
    if (!(buffer->flags & control)) return PLAT_ERR_UNSUPPORTED;
    if (value < min || value > max) return PLAT_ERR_INVALID;
    return backend_allows(request) ? PLAT_OK : PLAT_ERR_REFUSED;
}

int usable_audio(const PlatAudio* audio) {
    if (!audio || audio != g_audio) return PLAT_ERR_INVALID;
    return audio->cooperative ? PLAT_OK : PLAT_ERR_REFUSED;
}

PlatSoundBuffer* new_buffer(uint32_t flags, int32_t frequency) {
    PlatSoundBuffer* b = new (std::nothrow) PlatSoundBuffer;
    if (!b) return nullptr;
    b->flags = flags;
    b->generation = g_generation;
    b->frequency = frequency;
    b->voice.step = mixer_step(frequency, g_mixer.device_rate);
    return b;
}

}  // namespace

void mixer_output(int16_t* stereo, int32_t frames) { mixer_render(&g_mixer, stereo, frames); }
int32_t mixer_output_voices() { return g_mixer.voices; }

int plat_audio_create(PlatAudio** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (g_audio) return PLAT_ERR_BUSY;
    if (!backend_allows("sound")) return PLAT_ERR_REFUSED;
    PlatAudio* a = new (std::nothrow) PlatAudio;
    if (!a) return PLAT_ERR_NO_MEMORY;
    // No output is open and nothing plays, so the mixer can start afresh without the lock;
    // the output may pull silence from it as soon as it opens.
    g_mixer = Mixer{};
    int32_t rate = 0;
    const int r = backend_audio_open(&rate);
    if (r != PLAT_OK) {
        delete a;
        return r;
    }
    {
        OutputGuard guard;
        g_mixer.device_rate = rate;
    }
    ++g_generation;
    g_audio = a;
    *out = a;
    return PLAT_OK;
}

int plat_audio_set_cooperative(PlatAudio* audio, uint32_t level) {
    if (!audio || audio != g_audio || level != PLAT_AUDIO_COOP_NORMAL) return PLAT_ERR_INVALID;
    if (!backend_allows("sound_cooperative")) return PLAT_ERR_REFUSED;
    audio->cooperative = 1;
    return PLAT_OK;
}

void plat_audio_release(PlatAudio* audio) {
    if (!audio || audio != g_audio) return;
    {
        OutputGuard guard;
        mixer_stop_all(&g_mixer);
    }
    backend_audio_close();
    g_audio = nullptr;
    delete audio;
}

int plat_sound_buffer_create(PlatAudio* audio, uint32_t flags, uint32_t length, const PlatWaveFormat* format,
                             PlatSoundBuffer** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (int r = usable_audio(audio); r != PLAT_OK) return r;
    if (!format || length == 0 || length > PLAT_SOUND_MAX_LENGTH) return PLAT_ERR_INVALID;
    if (format->format_tag != PLAT_WAVE_FORMAT_PCM || format->channels != 1 || format->bits_per_sample != 8 ||
        format->block_align != 1)
        return PLAT_ERR_UNSUPPORTED;
    if (format->samples_per_sec < PLAT_SOUND_FREQUENCY_MIN || format->samples_per_sec > PLAT_SOUND_FREQUENCY_MAX)
        return PLAT_ERR_INVALID;
    if (!backend_allows("sound_buffer")) return PLAT_ERR_REFUSED;
    PlatSoundBuffer* b = new_buffer(flags, static_cast<int32_t>(format->samples_per_sec));
    MixSamples* s = new (std::nothrow) MixSamples;
    uint8_t* bytes = new (std::nothrow) uint8_t[length];
    if (!b || !s || !bytes) {
        delete b;
        delete s;
        delete[] bytes;
        return PLAT_ERR_NO_MEMORY;
    }
    // Not filled here: the first unlock makes silence of whatever it was not given (one pass
    // over the bytes fewer when a whole sound is copied in), and nothing is mixed before it.
    s->bytes = bytes;
    s->length = length;
    s->holders = 1;
    b->voice.samples = s;
    *out = b;
    return PLAT_OK;
}

int plat_sound_buffer_lock(PlatSoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** ptr1, uint32_t* length1,
                           void** ptr2, uint32_t* length2, uint32_t flags) {
    if (!buffer || !ptr1 || !length1 || (ptr2 == nullptr) != (length2 == nullptr)) return PLAT_ERR_INVALID;
    *ptr1 = nullptr;
    *length1 = 0;
    if (ptr2) {
        *ptr2 = nullptr;
        *length2 = 0;
    }
    if (!backend_allows("sound_lock")) return PLAT_ERR_REFUSED;
    MixSamples* s = buffer->voice.samples;
    const uint32_t len = s->length;
    if (flags & PLAT_SOUND_LOCK_ENTIRE) bytes = len;
    if (bytes == 0 || bytes > len) return PLAT_ERR_INVALID;
    if (s->held) return PLAT_ERR_BUSY;
    OutputGuard guard;
    const uint32_t start =
        (flags & PLAT_SOUND_LOCK_FROM_WRITE_CURSOR) ? static_cast<uint32_t>(buffer->voice.position >> 32) : offset;
    if (start >= len) return PLAT_ERR_INVALID;
    const uint32_t n1 = std::min(bytes, len - start);
    const uint32_t n2 = bytes - n1;
    if (n2 && !ptr2) return PLAT_ERR_INVALID;
    s->held = 1;
    s->locked = 1;
    buffer->lock_held = 1;
    buffer->lock_ptr1 = s->bytes + start;
    buffer->lock_len1 = n1;
    buffer->lock_ptr2 = n2 ? s->bytes : nullptr;
    buffer->lock_len2 = n2;
    *ptr1 = buffer->lock_ptr1;
    *length1 = n1;
    if (ptr2) {
        *ptr2 = buffer->lock_ptr2;
        *length2 = n2;
    }
    return PLAT_OK;
}

int plat_sound_buffer_unlock(PlatSoundBuffer* buffer, void* ptr1, uint32_t length1, void* ptr2, uint32_t length2) {
    if (!buffer || !buffer->lock_held) return PLAT_ERR_INVALID;
    if (ptr1 != buffer->lock_ptr1 || length1 > buffer->lock_len1 || length2 > buffer->lock_len2 ||
        (length2 > 0 && ptr2 != buffer->lock_ptr2))
        return PLAT_ERR_INVALID;
    if (!backend_allows("sound_unlock")) return PLAT_ERR_REFUSED;
    MixSamples* s = buffer->voice.samples;
    if (s->fresh) {
        // The first unlock: every byte outside what was written becomes silence.
        const uint32_t start = static_cast<uint32_t>(buffer->lock_ptr1 - s->bytes);
        std::memset(s->bytes + length2, 128, start - length2);
        std::memset(s->bytes + start + length1, 128, s->length - start - length1);
        s->fresh = 0;
    }
    OutputGuard guard;
    s->held = 0;
    s->locked = 0;
    buffer->lock_held = 0;
    return PLAT_OK;
}

int plat_sound_buffer_set_position(PlatSoundBuffer* buffer, uint32_t offset) {
    if (!buffer || offset >= buffer->voice.samples->length) return PLAT_ERR_INVALID;
    if (!backend_allows("sound_position")) return PLAT_ERR_REFUSED;
    OutputGuard guard;
    buffer->voice.position = uint64_t(offset) << 32;
    return PLAT_OK;
}

int plat_sound_buffer_play(PlatSoundBuffer* buffer, uint32_t reserved, uint32_t priority, uint32_t flags) {
    if (!buffer || reserved != 0 || priority != 0) return PLAT_ERR_INVALID;
    if (!backend_allows("sound_play")) return PLAT_ERR_REFUSED;
    if (!current(buffer)) return PLAT_ERR_REFUSED;  // its sound object is gone
    OutputGuard guard;
    if (!buffer->voice.playing && g_mixer.voices >= MIXER_MAX_VOICES) return PLAT_ERR_BUSY;
    mixer_start(&g_mixer, &buffer->voice, (flags & PLAT_SOUND_PLAY_LOOPING) != 0);
    return PLAT_OK;
}

int plat_sound_buffer_stop(PlatSoundBuffer* buffer) {
    if (!buffer) return PLAT_ERR_INVALID;
    if (!backend_allows("sound_stop")) return PLAT_ERR_REFUSED;
    OutputGuard guard;
    mixer_stop(&g_mixer, &buffer->voice);
    return PLAT_OK;
}

int plat_sound_buffer_get_status(PlatSoundBuffer* buffer, uint32_t* status) {
    if (!buffer || !status) return PLAT_ERR_INVALID;
    if (!backend_allows("sound_status")) return PLAT_ERR_REFUSED;
    OutputGuard guard;
    uint32_t st = 0;
    if (buffer->voice.playing) {
        st = PLAT_SOUND_STATUS_PLAYING;
        if (buffer->voice.looping) st |= PLAT_SOUND_STATUS_LOOPING;
    }
    *status = st;
    return PLAT_OK;
}

int plat_sound_buffer_set_volume(PlatSoundBuffer* buffer, int32_t volume) {
    const int allowed = control_allowed(buffer, PLAT_SOUND_CTRL_VOLUME, volume, PLAT_SOUND_VOLUME_MIN,
                                        PLAT_SOUND_VOLUME_MAX, "sound_volume");
    if (allowed != PLAT_OK) return allowed;
    int32_t left = 0, right = 0;
    mixer_gains(volume, buffer->pan, &left, &right);
    OutputGuard guard;
    buffer->volume = volume;
    buffer->voice.gain_left = left;
    buffer->voice.gain_right = right;
    return PLAT_OK;
}

int plat_sound_buffer_set_frequency(PlatSoundBuffer* buffer, int32_t rate) {
    const int allowed = control_allowed(buffer, PLAT_SOUND_CTRL_FREQUENCY, rate, PLAT_SOUND_FREQUENCY_MIN,
                                        PLAT_SOUND_FREQUENCY_MAX, "sound_frequency");
    if (allowed != PLAT_OK) return allowed;
    OutputGuard guard;
    buffer->frequency = rate;
    buffer->voice.step = mixer_step(rate, g_mixer.device_rate);
    return PLAT_OK;
}

int plat_sound_buffer_set_pan(PlatSoundBuffer* buffer, int32_t pan) {
    const int allowed =
        control_allowed(buffer, PLAT_SOUND_CTRL_PAN, pan, PLAT_SOUND_PAN_LEFT, PLAT_SOUND_PAN_RIGHT, "sound_pan");
    if (allowed != PLAT_OK) return allowed;
    int32_t left = 0, right = 0;
    mixer_gains(buffer->volume, pan, &left, &right);
    OutputGuard guard;
    buffer->pan = pan;
    buffer->voice.gain_left = left;
    buffer->voice.gain_right = right;
    return PLAT_OK;
}

int plat_sound_buffer_duplicate(PlatAudio* audio, PlatSoundBuffer* source, PlatSoundBuffer** out) {
    if (!out) return PLAT_ERR_INVALID;
    *out = nullptr;
    if (int r = usable_audio(audio); r != PLAT_OK) return r;
    if (!source || !current(source)) return PLAT_ERR_INVALID;
    if (!backend_allows("sound_duplicate")) return PLAT_ERR_REFUSED;
    PlatSoundBuffer* b = new_buffer(source->flags, source->frequency);
    if (!b) return PLAT_ERR_NO_MEMORY;
    b->volume = source->volume;
    b->pan = source->pan;
    b->voice.gain_left = source->voice.gain_left;
    b->voice.gain_right = source->voice.gain_right;
    b->voice.samples = source->voice.samples;
    ++b->voice.samples->holders;
    *out = b;
    return PLAT_OK;
}

void plat_sound_buffer_release(PlatSoundBuffer* buffer) {
    if (!buffer) return;
    MixSamples* s = buffer->voice.samples;
    {
        OutputGuard guard;
        mixer_stop(&g_mixer, &buffer->voice);
        if (buffer->lock_held) {
            s->held = 0;
            s->locked = s->fresh;
        }
    }
    if (--s->holders == 0) {
        delete[] s->bytes;
        delete s;
    }
    delete buffer;
}
