// The software mixer: linear interpolation from each voice's frequency to the output rate,
// gains computed when set, a 32-bit sum and one saturation per output sample.
#include "platform/common/mixer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kChunk = 256;  // frames summed at once; the sum stays on the stack

// Amplitude of an attenuation in hundredths of a decibel, as 16.16; -10000 and below is silence.
int32_t attenuation_gain(int32_t hundredths) {
    if (hundredths <= -10000) return 0;
    if (hundredths >= 0) return 65536;
    return static_cast<int32_t>(std::lround(65536.0 * std::pow(10.0, hundredths / 2000.0)));
}

void unlink(Mixer* m, MixVoice* v) {
    if (v->prev) v->prev->next = v->next;
    else m->head = v->next;
    if (v->next) v->next->prev = v->prev;
    v->prev = v->next = nullptr;
    v->playing = 0;
    --m->voices;
}

// Adds frames of one voice to the sum. The samples are made signed around 128 first, so a
// voice of silence adds exactly nothing and starting or stopping one makes no step.
// Returns 1 when a voice playing once has reached its end.
int mix_voice(MixVoice* v, int32_t* sum, int32_t frames) {
    const uint8_t* d = v->samples->bytes;
    const uint32_t len = v->samples->length;
    const uint64_t end = uint64_t(len) << 32;
    const uint64_t step = v->step;
    const int64_t gl = v->gain_left, gr = v->gain_right;
    // After the last sample comes the first again when looping, silence when not.
    const int32_t after_last = v->looping ? int32_t(d[0]) - 128 : 0;
    uint64_t pos = v->position;
    for (int32_t n = 0; n < frames; ++n) {
        const uint32_t i = static_cast<uint32_t>(pos >> 32);
        const int32_t frac = static_cast<int32_t>((pos >> 16) & 0xFFFF);
        const int32_t s0 = int32_t(d[i]) - 128;
        const int32_t s1 = i + 1 < len ? int32_t(d[i + 1]) - 128 : after_last;
        const int64_t x = s0 * 256 + (((s1 - s0) * frac) >> 8);
        sum[2 * n] += static_cast<int32_t>((x * gl) >> 16);
        sum[2 * n + 1] += static_cast<int32_t>((x * gr) >> 16);
        pos += step;
        if (pos >= end) {
            if (!v->looping) {
                v->position = 0;
                return 1;
            }
            pos %= end;
        }
    }
    v->position = pos;
    return 0;
}

}  // namespace

uint64_t mixer_step(int32_t frequency, int32_t device_rate) {
    if (frequency <= 0 || device_rate <= 0) return 0;
    return (uint64_t(uint32_t(frequency)) << 32) / uint32_t(device_rate);
}

void mixer_gains(int32_t volume, int32_t pan, int32_t* left, int32_t* right) {
    const int64_t v = attenuation_gain(volume);
    const int64_t l = attenuation_gain(pan > 0 ? -pan : 0);
    const int64_t r = attenuation_gain(pan < 0 ? pan : 0);
    *left = static_cast<int32_t>((v * l + 32768) >> 16);
    *right = static_cast<int32_t>((v * r + 32768) >> 16);
}

void mixer_start(Mixer* m, MixVoice* v, int looping) {
    v->looping = looping ? 1 : 0;
    if (v->playing) return;
    v->playing = 1;
    v->prev = nullptr;
    v->next = m->head;
    if (m->head) m->head->prev = v;
    m->head = v;
    ++m->voices;
}

void mixer_stop(Mixer* m, MixVoice* v) {
    if (v->playing) unlink(m, v);
}

void mixer_stop_all(Mixer* m) {
    while (m->head) unlink(m, m->head);
}

void mixer_render(Mixer* m, int16_t* stereo, int32_t frames) {
    int32_t sum[2 * kChunk];
    while (frames > 0) {
        const int32_t n = std::min(frames, kChunk);
        std::fill(sum, sum + 2 * n, 0);
        for (MixVoice* v = m->head; v;) {
            MixVoice* next = v->next;
            // Locked data is being written: the voice waits, silent, where it stands.
            if (!v->samples->locked && mix_voice(v, sum, n)) unlink(m, v);
            v = next;
        }
        for (int32_t k = 0; k < 2 * n; ++k) stereo[k] = static_cast<int16_t>(std::clamp(sum[k], -32768, 32767));
        stereo += 2 * n;
        frames -= n;
    }
}
