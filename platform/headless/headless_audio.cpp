// The headless audio output: nothing plays by itself; a test pulls the mixed frames.
#include <algorithm>

#include "platform/common/backend.h"
#include "platform/common/mixer.h"
#include "platform/headless/headless.h"
#include "platform/status.h"

namespace {

int32_t g_next_rate = 48000;
int32_t g_open_rate = 0;  // 0 while closed

}  // namespace

void headless_audio_set_rate(int32_t rate) {
    if (rate == 44100 || rate == 48000) g_next_rate = rate;
}

int32_t headless_audio_rate() { return g_open_rate; }

int32_t headless_audio_pull(int16_t* stereo, int32_t frames) {
    if (!stereo || frames <= 0) return 0;
    if (!g_open_rate) {
        std::fill(stereo, stereo + 2 * static_cast<int64_t>(frames), int16_t{0});
        return 0;
    }
    mixer_output(stereo, frames);
    return frames;
}

int32_t headless_audio_voices() { return g_open_rate ? mixer_output_voices() : 0; }

int backend_audio_open(int32_t* rate) {
    g_open_rate = g_next_rate;
    *rate = g_open_rate;
    return PLAT_OK;
}

void backend_audio_close() { g_open_rate = 0; }
void backend_audio_lock() {}
void backend_audio_unlock() {}
