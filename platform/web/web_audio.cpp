// The web audio output: 48000 frames per second, 16-bit stereo from the mixer, played through the
// page's WebAudio graph. Browsers start sound only after a key press or a click: until then
// nothing pulls from the mixer, so a sound started before it waits where it stands and plays once
// the output runs, neither lost nor played twice.
//
// The page pulls on the same thread as the game, between the game's turns, never while a voice is
// being changed: the output's lock has nothing to keep away.
#include <emscripten.h>

#include <algorithm>

#include "platform/common/backend.h"
#include "platform/common/mixer.h"
#include "platform/status.h"
#include "platform/web/web_backend.h"

namespace {

constexpr int32_t kRate = 48000;

int g_open = 0;

}  // namespace

int backend_audio_open(int32_t* rate) {
    if (g_open) return PLAT_ERR_BUSY;
    if (!web_js_audio_open(kRate)) {
        web_backend_fail("this browser has no WebAudio");
        return PLAT_ERR_REFUSED;
    }
    g_open = 1;
    *rate = kRate;
    return PLAT_OK;
}

void backend_audio_close() {
    if (!g_open) return;
    web_js_audio_close();
    g_open = 0;
}

void backend_audio_lock() {}
void backend_audio_unlock() {}

extern "C" EMSCRIPTEN_KEEPALIVE void web_audio_fill(int16_t* stereo, int32_t frames) {
    if (!stereo || frames <= 0) return;
    if (g_open) mixer_output(stereo, frames);
    else std::fill(stereo, stereo + 2 * static_cast<int64_t>(frames), int16_t{0});
}
