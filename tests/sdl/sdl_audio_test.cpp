// The sound table on SDL's audio output: mixed on SDL's own thread, written by the disk driver,
// and refused at once where there is no audio output at all.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_backend.h"
#include "platform/status.h"
#include "sound/sound.h"

namespace {

using Clock = std::chrono::steady_clock;

const char* env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The files a test process writes carry its id, so that tests running side by side never share
// one, and are removed when the process ends.
struct TempFiles {
    std::vector<std::string> paths;
    ~TempFiles() {
        for (const std::string& p : paths) std::remove(p.c_str());
    }
} temp_files;

// An 8-bit mono WAV file of these samples, in the test's temporary directory.
std::string write_wav(const char* name, const std::vector<uint8_t>& samples) {
    auto put32 = [](std::vector<uint8_t>& b, uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
    };
    std::vector<uint8_t> f{'R', 'I', 'F', 'F'};
    put32(f, uint32_t(36 + samples.size() + (samples.size() & 1)));
    const uint8_t fmt[] = {'W',  'A',  'V', 'E', 'f',  'm',  't', ' ', 16, 0, 0, 0, 1,   0,   1,   0,
                           0x11, 0x2B, 0,   0,   0x11, 0x2B, 0,   0,   1,  0, 8, 0, 'd', 'a', 't', 'a'};
    f.insert(f.end(), fmt, fmt + sizeof fmt);
    put32(f, uint32_t(samples.size()));
    f.insert(f.end(), samples.begin(), samples.end());
    if (samples.size() & 1) f.push_back(0);
    const std::string path = ::testing::TempDir() + "zarn_sdl_" + std::to_string(getpid()) + "_" + name;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out) {
        std::fwrite(f.data(), 1, f.size(), out);
        std::fclose(out);
    }
    temp_files.paths.push_back(path);
    return path;
}

std::vector<uint8_t> cosine(size_t n, double period) {
    std::vector<uint8_t> b(n);
    for (size_t k = 0; k < n; ++k)
        b[k] = uint8_t(std::lround(128 + 90 * std::cos(2 * std::numbers::pi * double(k) / period)));
    return b;
}

// Waits up to two seconds for the slot's status to become the one wanted.
bool status_becomes(int id, int wanted) {
    const auto end = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < end) {
        if (sound_status(id) == wanted) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

class SdlAudio : public ::testing::Test {
protected:
    void SetUp() override {
        if (!*env("SDL_AUDIODRIVER")) GTEST_SKIP() << "SDL_AUDIODRIVER names no driver";
        sound_shutdown();
        ASSERT_EQ(sound_init(), 1) << plat_error_text();
    }
    void TearDown() override { sound_shutdown(); }
};

TEST_F(SdlAudio, MixesOnTheAudioThread) {
    EXPECT_STREQ(sdl_backend_audio_driver(), env("SDL_AUDIODRIVER"));
    const int id = sound_load_wav(write_wav("short.wav", cosine(2205, 25)).c_str(), 0xE0);
    ASSERT_EQ(id, 0);
    ASSERT_EQ(sound_play(id, 0), 1);
    EXPECT_TRUE(status_becomes(id, 0));  // 0.2 s, then it ends by itself
    ASSERT_EQ(sound_play(id, DSBPLAY_LOOPING), 1);
    // The game thread keeps changing the voice while SDL's thread mixes it.
    const int copy = sound_replicate(id);
    ASSERT_EQ(copy, 1);
    for (int i = 0; i < 2000; ++i) {
        sound_set_frequency(id, 8000 + 10 * i);
        sound_set_pan(copy, (i % 21 - 10) * 1000);
        sound_set_volume(id, i % 101);
        if (i % 50 == 0) sound_play(copy, i % 100 == 0 ? DSBPLAY_LOOPING : 0);
        if (i % 97 == 0) sound_stop(copy);
    }
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(sound_delete(id), 1);
    EXPECT_EQ(sound_stop_all(), 1);
}

TEST_F(SdlAudio, PlayedSoundReachesTheDiskFile) {
    const std::string file = env("SDL_DISKAUDIOFILE");
    if (std::strcmp(env("SDL_AUDIODRIVER"), "disk") != 0 || file.empty())
        GTEST_SKIP() << "needs SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE";
    // One sample a frame at full volume: the file must hold the samples themselves.
    const std::vector<uint8_t> tone = cosine(4800, 48);
    const int id = sound_load_wav(write_wav("tone.wav", tone).c_str(), 0xE0);
    ASSERT_EQ(id, 0);
    ASSERT_EQ(sound_set_frequency(id, 48000), 1);
    ASSERT_EQ(sound_play(id, 0), 1);
    ASSERT_TRUE(status_becomes(id, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sound_shutdown();  // closes the output and its file

    std::FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<int16_t> s(48000 * 2 * 4);
    s.resize(std::fread(s.data(), sizeof(int16_t), s.size(), f));
    std::fclose(f);
    size_t first = 0;
    while (first < s.size() && s[first] == 0) ++first;
    ASSERT_LT(first + 2 * tone.size(), s.size()) << "the sound is not in the file";
    ASSERT_EQ(first % 2, 0u);
    for (size_t i = 0; i < tone.size(); ++i) {
        ASSERT_EQ(s[first + 2 * i], (tone[i] - 128) * 256) << i;
        ASSERT_EQ(s[first + 2 * i + 1], (tone[i] - 128) * 256) << i;
    }
    for (size_t i = first + 2 * tone.size(); i < s.size(); ++i) ASSERT_EQ(s[i], 0) << i;
}

TEST(NoAudio, OpenRefusesAtOnce) {
    if (*env("SDL_AUDIODRIVER")) GTEST_SKIP() << "SDL_AUDIODRIVER is set";
    sound_shutdown();
    const auto start = Clock::now();
    const int started = sound_init();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    if (started) {
        // A real output after all: never SDL's silent drivers, which only a name picks.
        EXPECT_STRNE(sdl_backend_audio_driver(), "dummy");
        EXPECT_STRNE(sdl_backend_audio_driver(), "disk");
    } else {
        EXPECT_STRNE(plat_error_text(), "");
        EXPECT_EQ(sound_object, nullptr);
        // Everything else goes on harmlessly.
        EXPECT_EQ(sound_init(), 1);
        EXPECT_EQ(sound_load_wav(write_wav("none.wav", cosine(100, 25)).c_str(), 0xE0), -1);
        EXPECT_EQ(sound_play(0, 0), 1);
        EXPECT_EQ(sound_status(0), -1);
        EXPECT_EQ(sound_stop_all(), 1);
    }
    EXPECT_EQ(sound_shutdown(), 1);
}

// SDL's disk driver writing into a full device: the output opens, fails at its first write and
// is gone from then on. Sounds still run their course and end, and shutdown returns at once.
TEST(SdlAudioLost, SoundsStillEndAndShutdownReturns) {
    if (std::strcmp(env("SDL_DISKAUDIOFILE"), "/dev/full") != 0) GTEST_SKIP() << "needs SDL_DISKAUDIOFILE=/dev/full";
    sound_shutdown();
    ASSERT_EQ(sound_init(), 1) << plat_error_text();
    const int id = sound_load_wav(write_wav("lost.wav", cosine(2205, 25)).c_str(), 0xE0);
    ASSERT_EQ(id, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the first writes have failed
    ASSERT_EQ(sound_play(id, 0), 1);
    EXPECT_TRUE(status_becomes(id, 0));
    ASSERT_EQ(sound_play(id, DSBPLAY_LOOPING), 1);
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(sound_replicate(id), 1);
    EXPECT_EQ(sound_play(1, 0), 1);
    const auto start = Clock::now();
    EXPECT_EQ(sound_stop_all(), 1);
    EXPECT_EQ(sound_shutdown(), 1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
}

}  // namespace
