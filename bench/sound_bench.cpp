// The mixer's cost as a share of real time (counter "realtime_pct": per cent of one core for
// the output's own duration), and WAV loading against SDL's own loader followed by SDL's own
// conversion to the buffers' unsigned 8-bit mono.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/common/mixer.h"
#include "platform/peer/sdl_peer.h"
#include "sound/sound.h"

namespace {

constexpr int32_t kRate = 48000;

// Voices of one second of noisy tone each, at frequencies from 8000 to 22050, looping, with
// gains of every kind, as a game's sounds would be.
struct Voices {
    std::vector<uint8_t> data;
    std::vector<MixSamples> samples;
    std::vector<MixVoice> voices;
    Mixer mixer;
    explicit Voices(int n) : data(11025), samples(size_t(n)), voices(size_t(n)) {
        uint32_t seed = 12345;
        for (size_t k = 0; k < data.size(); ++k) {
            seed = seed * 1103515245u + 12345u;
            data[k] = uint8_t(128 + 60 * std::sin(double(k) / 4) + ((seed >> 16) & 31) - 16);
        }
        mixer.device_rate = kRate;
        for (int i = 0; i < n; ++i) {
            samples[size_t(i)].bytes = data.data();
            samples[size_t(i)].length = uint32_t(data.size());
            samples[size_t(i)].fresh = 0;
            samples[size_t(i)].locked = 0;
            MixVoice& v = voices[size_t(i)];
            v.samples = &samples[size_t(i)];
            v.step = mixer_step(8000 + (14050 * i) / (n > 1 ? n - 1 : 1), kRate);
            v.position = uint64_t(i * 97) << 32;
            mixer_gains(-(i * 150) % 3000, (i % 9 - 4) * 1200, &v.gain_left, &v.gain_right);
            mixer_start(&mixer, &v, 1);
        }
    }
};

void mix(benchmark::State& state, int voices, int32_t frames) {
    Voices v(voices);
    std::vector<int16_t> out(2 * size_t(frames));
    for (auto _ : state) {
        mixer_render(&v.mixer, out.data(), frames);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    // Per cent of the output's own duration spent mixing it.
    const double seconds = double(frames) / kRate;
    state.counters["realtime_pct"] =
        benchmark::Counter(seconds / 100, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Mix4VoicesOneSecond(benchmark::State& state) { mix(state, 4, kRate); }
void BM_Mix64VoicesOneSecond(benchmark::State& state) { mix(state, 64, kRate); }
void BM_Mix8VoicesOneDeviceBuffer(benchmark::State& state) { mix(state, 8, 512); }
BENCHMARK(BM_Mix4VoicesOneSecond)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mix64VoicesOneSecond)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Mix8VoicesOneDeviceBuffer)->Unit(benchmark::kMicrosecond);

// One-second WAV files, written once.
std::string wav_file(const char* name, uint32_t rate, uint16_t channels, uint16_t bits) {
    const std::string path = std::string("/tmp/zarn_bench_") + name;
    const uint32_t size = rate * channels * bits / 8;
    std::vector<uint8_t> f;
    auto put = [&f](uint32_t v, int n) {
        for (int i = 0; i < n; ++i) f.push_back(uint8_t(v >> (8 * i)));
    };
    for (char c : std::string("RIFF")) f.push_back(uint8_t(c));
    put(36 + size, 4);
    for (char c : std::string("WAVEfmt ")) f.push_back(uint8_t(c));
    put(16, 4);
    put(1, 2);
    put(channels, 2);
    put(rate, 4);
    put(size, 4);
    put(channels * bits / 8, 2);
    put(bits, 2);
    for (char c : std::string("data")) f.push_back(uint8_t(c));
    put(size, 4);
    for (uint32_t i = 0; i < size; ++i) f.push_back(uint8_t(i * 31));
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out) {
        std::fwrite(f.data(), 1, f.size(), out);
        std::fclose(out);
    }
    return path;
}

struct SoundSetup {
    bool ok = false;
    std::string mono, stereo;
    SoundSetup() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ok = sound_init() == 1;
        mono = wav_file("mono8.wav", 11025, 1, 8);
        stereo = wav_file("stereo16.wav", 44100, 2, 16);
    }
};

SoundSetup& sound_setup() {
    static SoundSetup s;
    return s;
}

void load(benchmark::State& state, const std::string& path) {
    if (!sound_setup().ok) {
        state.SkipWithError("no audio output");
        return;
    }
    for (auto _ : state) {
        const int id = sound_load_wav(path.c_str(), 0xE0);
        if (id < 0) {
            state.SkipWithError("load failed");
            break;
        }
        sound_delete(id);
    }
}

void load_sdl(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        if (sdl_peer_load_wav(path.c_str()) <= 0) {
            state.SkipWithError("SDL_LoadWAV failed");
            break;
        }
    }
}

void BM_LoadWavMono8(benchmark::State& state) { load(state, sound_setup().mono); }
void BM_LoadWavMono8_SDL(benchmark::State& state) { load_sdl(state, sound_setup().mono); }
void BM_LoadWavStereo16(benchmark::State& state) { load(state, sound_setup().stereo); }
void BM_LoadWavStereo16_SDL(benchmark::State& state) { load_sdl(state, sound_setup().stereo); }
BENCHMARK(BM_LoadWavMono8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadWavMono8_SDL)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadWavStereo16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadWavStereo16_SDL)->Unit(benchmark::kMicrosecond);

}  // namespace
