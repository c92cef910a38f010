// The SDL audio output: 48000 frames per second, 16-bit stereo, 512 frames a device buffer
// (about 11 ms), filled by the mixer on SDL's audio thread.
#include <SDL.h>

#include "platform/common/backend.h"
#include "platform/common/mixer.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_state.h"
#include "platform/status.h"

namespace {

constexpr int kRate = 48000;
constexpr int kFrames = 512;

SDL_AudioDeviceID g_device = 0;

// SDL holds the device's lock around this call.
void SDLCALL fill(void*, Uint8* stream, int len) { mixer_output(reinterpret_cast<int16_t*>(stream), len / 4); }

}  // namespace

int backend_audio_open(int32_t* rate) {
    if (g_device) return PLAT_ERR_BUSY;
    // Without SDL_AUDIODRIVER, SDL tries only real outputs: with no sound server or device
    // this fails at once instead of playing into nothing.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        sdl_set_error("cannot open the audio output");
        return PLAT_ERR_REFUSED;
    }
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kFrames;
    want.callback = fill;
    // No changes allowed: SDL converts to the device's own format if it has to.
    g_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!g_device) {
        sdl_set_error("cannot open the audio output");
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return PLAT_ERR_REFUSED;
    }
    *rate = kRate;
    SDL_PauseAudioDevice(g_device, 0);
    return PLAT_OK;
}

void backend_audio_close() {
    if (!g_device) return;
    SDL_CloseAudioDevice(g_device);  // waits for the audio thread to end
    g_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void backend_audio_lock() {
    if (g_device) SDL_LockAudioDevice(g_device);
}

void backend_audio_unlock() {
    if (g_device) SDL_UnlockAudioDevice(g_device);
}

const char* sdl_backend_audio_driver() {
    const char* d = g_device ? SDL_GetCurrentAudioDriver() : nullptr;
    return d ? d : "";
}
