// The sound table on the headless backend: loading WAV and VOC files, the slot rules, the
// refusals, and what the mixer makes of the sounds, read back as sample values.
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

#include "headless_fixture.h"
#include "platform/audio.h"
#include "platform/headless/headless.h"
#include "platform/status.h"
#include "sound/sound.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A RIFF chunk: identifier, size, bytes, and the pad byte when the size is odd.
Bytes chunk(const char* id, const Bytes& data, uint32_t claimed = UINT32_MAX) {
    Bytes b(id, id + 4);
    put32(b, claimed == UINT32_MAX ? uint32_t(data.size()) : claimed);
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1) b.push_back(0);
    return b;
}

Bytes fmt(uint16_t tag, uint16_t channels = 1, uint32_t rate = 11025, uint16_t bits = 8) {
    Bytes b;
    put16(b, tag);
    put16(b, channels);
    put32(b, rate);
    put32(b, rate * channels * bits / 8);
    put16(b, channels * bits / 8);
    put16(b, bits);
    return b;
}

Bytes riff_wave(const std::vector<Bytes>& chunks) {
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return chunk("RIFF", body);
}

// 128 + amp * sin, period samples a cycle.
Bytes sine(size_t n, double period, double amp) {
    Bytes b(n);
    for (size_t k = 0; k < n; ++k)
        b[k] = uint8_t(std::lround(128 + amp * std::sin(2 * std::numbers::pi * double(k) / period)));
    return b;
}

// The files a test process writes carry its id, so that tests running side by side never share
// one, and are removed when the process ends.
struct TempFiles {
    std::vector<std::string> paths;
    ~TempFiles() {
        for (const std::string& p : paths) std::remove(p.c_str());
    }
} temp_files;

std::string write_temp(const char* name, const Bytes& bytes) {
    std::string path = ::testing::TempDir() + "zarn_sound_" + std::to_string(getpid()) + "_" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    temp_files.paths.push_back(path);
    return path;
}

Bytes read_file(const std::string& path) {
    Bytes b;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return b;
    int c;
    while ((c = std::fgetc(f)) != EOF) b.push_back(uint8_t(c));
    std::fclose(f);
    return b;
}

std::string data_path(const char* name) { return std::string(ZARN_TEST_DATA) + "/" + name; }

int load_samples(const Bytes& samples, uint32_t flags = 0xE0, const char* name = "samples.wav") {
    return sound_load_wav(write_temp(name, riff_wave({chunk("fmt ", fmt(1)), chunk("data", samples)})).c_str(), flags);
}

// The bytes a slot's buffer holds.
Bytes buffer_bytes(int id) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    PlatSoundBuffer* b = sound_table[id].buffer;
    if (plat_sound_buffer_lock(b, 0, 0, &p1, &n1, &p2, &n2, PLAT_SOUND_LOCK_ENTIRE) != PLAT_OK) return {};
    Bytes out(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
    plat_sound_buffer_unlock(b, p1, n1, p2, n2);
    return out;
}

// A slot's play position: where a lock of the whole buffer from the write cursor starts.
uint32_t play_position(int id) {
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    PlatSoundBuffer* b = sound_table[id].buffer;
    const int locked =
        plat_sound_buffer_lock(b, 0, 0, &p1, &n1, &p2, &n2, PLAT_SOUND_LOCK_FROM_WRITE_CURSOR | PLAT_SOUND_LOCK_ENTIRE);
    if (locked != PLAT_OK) return UINT32_MAX;
    plat_sound_buffer_unlock(b, p1, n1, p2, n2);
    return n2;  // the bytes before the position come second
}

struct Stereo {
    std::vector<int16_t> left, right;
};

Stereo pull(int32_t frames) {
    std::vector<int16_t> s(2 * size_t(frames));
    headless_audio_pull(s.data(), frames);
    Stereo out;
    for (int32_t i = 0; i < frames; ++i) {
        out.left.push_back(s[2 * size_t(i)]);
        out.right.push_back(s[2 * size_t(i) + 1]);
    }
    return out;
}

int peak(const std::vector<int16_t>& v) {
    int p = 0;
    for (int16_t x : v) p = std::max(p, std::abs(int(x)));
    return p;
}

int crossings(const std::vector<int16_t>& v) {
    int n = 0;
    for (size_t i = 1; i < v.size(); ++i) n += (v[i - 1] < 0) != (v[i] < 0);
    return n;
}

class Sound : public Headless {
protected:
    void SetUp() override {
        Headless::SetUp();
        sound_shutdown();
        headless_audio_set_rate(48000);
        ASSERT_EQ(sound_init(), 1);
    }
    void TearDown() override {
        sound_shutdown();
        headless_audio_set_rate(48000);
        Headless::TearDown();
    }
};

TEST_F(Sound, SlotsFillInOrderAndTheLowestFreeSlotIsTakenFirst) {
    const std::string path = write_temp("one.wav", riff_wave({chunk("fmt ", fmt(1)), chunk("data", Bytes(10, 128))}));
    for (int i = 0; i < SOUND_SLOTS; ++i) ASSERT_EQ(sound_load_wav(path.c_str(), 0), i);
    EXPECT_EQ(sound_load_wav(path.c_str(), 0), -1);
    EXPECT_EQ(sound_load_voc(path.c_str()), -1);
    EXPECT_EQ(sound_replicate(0), -1);
    EXPECT_EQ(sound_delete(10), 1);
    EXPECT_EQ(sound_delete(3), 1);
    EXPECT_EQ(sound_table[3].state, 0);
    EXPECT_EQ(sound_table[3].buffer, nullptr);
    EXPECT_EQ(sound_load_wav(path.c_str(), 0), 3);
    EXPECT_EQ(sound_load_wav(path.c_str(), 0), 10);
    EXPECT_EQ(sound_table[10].rate, 11025);
    EXPECT_EQ(sound_table[10].size, 10);
    EXPECT_EQ(sound_table[10].id, 10);
    EXPECT_EQ(sound_delete_all(), 1);
    for (const SoundSlot& s : sound_table) EXPECT_EQ(s.state, 0);
}

TEST_F(Sound, FixturesLoadWithTheirRatesAndSizes) {
    // 8-bit mono: the data chunk's bytes, the rate the file states.
    const int mono = sound_load_wav(data_path("tone_u8_mono.wav").c_str(), 0);
    ASSERT_EQ(mono, 0);
    Bytes file = read_file(data_path("tone_u8_mono.wav"));
    EXPECT_EQ(sound_table[mono].rate, 11025);
    EXPECT_EQ(sound_table[mono].size, 1103);
    EXPECT_EQ(buffer_bytes(mono), Bytes(file.begin() + 44, file.begin() + 44 + 1103));

    // 16-bit stereo: `size` is the data chunk's, the buffer one byte a frame.
    const int stereo = sound_load_wav(data_path("tone_s16_stereo.wav").c_str(), 0);
    ASSERT_EQ(stereo, 1);
    file = read_file(data_path("tone_s16_stereo.wav"));
    EXPECT_EQ(sound_table[stereo].rate, 22050);
    EXPECT_EQ(sound_table[stereo].size, int32_t(file.size() - 44));
    EXPECT_EQ(buffer_bytes(stereo).size(), (file.size() - 44) / 4);

    // A LIST chunk of odd size, with its pad byte, between "fmt " and "data".
    const int listed = sound_load_wav(data_path("tone_u8_list.wav").c_str(), 0);
    ASSERT_EQ(listed, 2);
    EXPECT_EQ(sound_table[listed].size, 1103);
    EXPECT_EQ(buffer_bytes(listed), buffer_bytes(mono));

    // A-law is not PCM: refused, nothing changed.
    SoundSlot before[SOUND_SLOTS];
    std::memcpy(before, sound_table, sizeof before);
    EXPECT_EQ(sound_load_wav(data_path("tone_alaw.wav").c_str(), 0), -1);
    EXPECT_EQ(std::memcmp(before, sound_table, sizeof before), 0);

    // VOC: rate from the time constant 131, L - 6 bytes from the block's sample bytes on.
    const int voc = sound_load_voc(data_path("tone_u8.voc").c_str());
    ASSERT_EQ(voc, 3);
    file = read_file(data_path("tone_u8.voc"));
    const uint32_t l = file[27] | file[28] << 8 | file[29] << 16;
    EXPECT_EQ(sound_table[voc].rate, 8000);
    EXPECT_EQ(sound_table[voc].size, int32_t(l));
    EXPECT_EQ(buffer_bytes(voc), Bytes(file.begin() + 32, file.begin() + 32 + (l - 6)));
}

TEST_F(Sound, RiffReadingFollowsTheChunks) {
    const Bytes data = sine(100, 25, 50);
    auto load = [](const Bytes& file) { return sound_load_wav(write_temp("riff.wav", file).c_str(), 0); };

    // The first subchunk is read as the format whatever its name: refused unless it begins 01 00.
    EXPECT_EQ(load(riff_wave(
                  {chunk("LIST", Bytes{'I', 'N', 'F', 'O', 0, 0, 0, 0}), chunk("fmt ", fmt(1)), chunk("data", data)})),
              -1);
    int id = load(riff_wave({chunk("odd ", fmt(1, 2, 8000, 16)), chunk("data", data)}));
    ASSERT_EQ(id, 0);
    EXPECT_EQ(sound_table[id].rate, 8000);
    // Chunks of odd size are followed by their pad byte; a top-level chunk may come first.
    Bytes file = chunk("JUNK", Bytes(3, 7));
    const Bytes wave = riff_wave({chunk("fmt ", fmt(1)), chunk("abc ", Bytes(5, 'd')), chunk("data", data)});
    file.insert(file.end(), wave.begin(), wave.end());
    id = load(file);
    ASSERT_EQ(id, 1);
    EXPECT_EQ(buffer_bytes(id), data);
    // An 18-byte format chunk (with its extra-size word) loads too.
    Bytes fmt18 = fmt(1);
    put16(fmt18, 0);
    EXPECT_EQ(load(riff_wave({chunk("fmt ", fmt18), chunk("data", data)})), 2);

    SoundSlot before[SOUND_SLOTS];
    std::memcpy(before, sound_table, sizeof before);
    EXPECT_EQ(sound_load_wav(write_temp("missing.wav", {}).c_str(), 0), -1);  // empty file
    EXPECT_EQ(sound_load_wav("no such file.wav", 0), -1);
    EXPECT_EQ(sound_load_wav(nullptr, 0), -1);
    EXPECT_EQ(load(chunk("RIFF", Bytes{'A', 'V', 'I', ' '})), -1);  // not WAVE
    EXPECT_EQ(load(riff_wave({})), -1);                             // no subchunk
    Bytes short_fmt = riff_wave({});
    short_fmt.insert(short_fmt.end(), {'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0});
    EXPECT_EQ(load(short_fmt), -1);                                                       // under 18 bytes
    EXPECT_EQ(load(riff_wave({chunk("fmt ", fmt(1)), chunk("LIST", Bytes(4, 0))})), -1);  // no "data"
    EXPECT_EQ(load(riff_wave({chunk("fmt ", fmt(1), 5000), chunk("data", data)})), -1);   // format past the end
    // Layouts that cannot be decoded: no channel, no bits, more than 32 bits, less than a frame.
    EXPECT_EQ(load(riff_wave({chunk("fmt ", fmt(1, 0, 11025, 8)), chunk("data", data)})), -1);
    EXPECT_EQ(load(riff_wave({chunk("fmt ", fmt(1, 1, 11025, 0)), chunk("data", data)})), -1);
    EXPECT_EQ(load(riff_wave({chunk("fmt ", fmt(1, 1, 11025, 40)), chunk("data", data)})), -1);
    EXPECT_EQ(load(riff_wave({chunk("fmt ", fmt(1, 3, 11025, 32)), chunk("data", Bytes(11, 0))})), -1);
    EXPECT_EQ(std::memcmp(before, sound_table, sizeof before), 0);
    // An empty "data" chunk makes no buffer: the slot is free again.
    EXPECT_EQ(load(riff_wave({chunk("fmt ", fmt(1)), chunk("data", {})})), -1);
    EXPECT_EQ(sound_table[3].state, 0);
    EXPECT_EQ(sound_table[3].buffer, nullptr);
}

// Samples of `bits` bits, each in its whole bytes, little-endian (8-bit ones given unsigned).
Bytes pcm(int bits, std::initializer_list<int64_t> samples) {
    Bytes b;
    for (int64_t v : samples)
        for (int i = 0; i < (bits + 7) / 8; ++i) b.push_back(uint8_t(uint64_t(v) >> (8 * i)));
    return b;
}

TEST_F(Sound, EveryWidthAndChannelCountIsMixedAndRoundedToEightBitMono) {
    // The mean of each frame's channels, to the nearest 8-bit step, halves up, at most 255.
    struct Case {
        int bits, channels;
        Bytes samples, expected;
    };
    const int64_t lo32 = INT32_MIN, hi32 = INT32_MAX;
    // clang-format off
    const Case cases[] = {
        {16, 1, pcm(16, {-32768, -32767, -32641, -32640, -129, -128, 127, 128, 383, 384, 32639, 32640, 32767}),
         {0, 0, 0, 1, 127, 128, 128, 129, 129, 130, 255, 255, 255}},
        {16, 2, pcm(16, {-129, -128, 127, 128, 128, 129, 255, 256, -255, -256, 32767, 32767, -32768, -32768}),
         {127, 128, 129, 129, 127, 255, 0}},
        {24, 1, pcm(24, {-8388608, 8388607, 32767, 32768, -32768, -32769}), {0, 255, 128, 129, 128, 127}},
        {32, 2, pcm(32, {hi32, hi32, lo32, lo32, lo32, hi32, 1 << 23, 1 << 23, 1 << 23, (1 << 23) - 1}),
         {255, 0, 128, 129, 128}},
        {32, 1, pcm(32, {hi32, lo32, 1 << 23, (1 << 23) - 1, -(1 << 23), -(1 << 23) - 1}), {255, 0, 129, 128, 128, 127}},
        {8, 3, pcm(8, {0, 1, 1, 0, 255, 0, 3, 4, 4, 255, 255, 255, 128, 128, 129, 127, 127, 128}),
         {1, 85, 4, 255, 128, 127}},
        {16, 5, pcm(16, {-129, -129, -129, -129, -129, -128, -128, -128, -128, -128, 128, 128, 128, 128, 129, 127, 127,
                         127, 127, 128, -32768, -32768, -32768, -32768, -32768, 32767, 32767, 32767, 32767, 32767}),
         {127, 128, 129, 128, 0, 255}},
        {12, 1, pcm(12, {0x7FF0, 0x0080, -0x0090}), {255, 129, 127}},  // 12 bits in the top of 16
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.channels << " channels");
        const int id = sound_load_wav(
            write_temp("mix.wav", riff_wave({chunk("fmt ", fmt(1, uint16_t(c.channels), 8000, uint16_t(c.bits))),
                                             chunk("data", c.samples)}))
                .c_str(),
            0);
        ASSERT_GE(id, 0);
        EXPECT_EQ(sound_table[id].rate, 8000);
        EXPECT_EQ(sound_table[id].size, int32_t(c.samples.size()));
        EXPECT_EQ(buffer_bytes(id), c.expected);
        sound_delete(id);
    }
}

// Not on Windows: the test drives sox through a POSIX shell, which a Windows program under Wine
// cannot start. The loaders it checks are the same code there, loaded by the other tests here.
#ifndef _WIN32
// Runs a shell command quietly; its exit status.
int shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

TEST_F(Sound, FilesSoxWritesSoundAsSoxDecodesThem) {
    // WAV and VOC files of every width and channel count that sox writes, against sox's own
    // decode of the same file to unsigned 8-bit mono, undithered. Its mixing and rounding are the
    // loader's, so the bytes are equal.
    ASSERT_EQ(shell("command -v sox"), 0) << "sox is needed (tools/deps.sh installs it)";
    struct Case {
        const char* type;
        int bits, channels;
    };
    std::vector<Case> cases;
    for (int bits : {8, 16, 24, 32})
        for (int channels : {1, 2, 3, 4, 6}) cases.push_back({"wavpcm", bits, channels});
    // sox writes 8-bit mono as a sound data block, 8-bit stereo as an extended block before it,
    // and 16 bits as a new-format block; it has no 8-bit VOC beyond two channels.
    for (const Case c :
         {Case{"voc", 8, 1}, Case{"voc", 8, 2}, Case{"voc", 16, 1}, Case{"voc", 16, 2}, Case{"voc", 16, 3}})
        cases.push_back(c);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << c.bits << " bits, " << c.channels << " channels");
        const bool voc = std::string(c.type) == "voc";
        const std::string file = write_temp(voc ? "sox.voc" : "sox.wav", {});
        const std::string raw = write_temp("sox.raw", {});
        ASSERT_EQ(shell("sox -D -R -r 22050 -n -b " + std::to_string(c.bits) + " -c " + std::to_string(c.channels) +
                        " -e " + (c.bits == 8 ? "unsigned-integer" : "signed-integer") + " -t " + c.type + " " + file +
                        " synth 0.2 sine 300 sine 1000 square 210 sine 2500 vol 0.9"),
                  0);
        ASSERT_EQ(shell("sox -D " + file + " -t raw -e unsigned-integer -b 8 -c 1 " + raw), 0);
        const Bytes decoded = read_file(raw);
        ASSERT_GT(decoded.size(), 4000u);
        const int id = voc ? sound_load_voc(file.c_str()) : sound_load_wav(file.c_str(), 0);
        ASSERT_EQ(id, 0);
        const Bytes loaded = buffer_bytes(id);
        if (voc && c.bits == 8 && c.channels == 1) {
            // A first block of sound data loads without its last four samples.
            EXPECT_EQ(loaded, Bytes(decoded.begin(), decoded.end() - 4));
            EXPECT_EQ(sound_table[id].rate, 1000000 / (256 - (256 - 1000000 / 22050)));
        } else {
            EXPECT_EQ(loaded, decoded);
            EXPECT_NEAR(sound_table[id].rate, 22050, voc ? 30 : 0);
        }
        sound_delete(id);
    }
}
#endif

TEST_F(Sound, DataCutShortLoadsItsStatedLengthWithASilentTail) {
    auto load = [](const Bytes& fmt_chunk, const Bytes& present, uint32_t claimed) {
        return sound_load_wav(
            write_temp("cut.wav", riff_wave({chunk("fmt ", fmt_chunk), chunk("data", present, claimed)})).c_str(), 0);
    };
    const Bytes tone = sine(100, 25, 50);
    Bytes tone_then_silence = tone;
    tone_then_silence.resize(130, 128);
    Bytes frames;
    for (int v : {0x4000, 0x4000, -0x4000, -0x4000, 0x7F00, 0x7F00}) put16(frames, uint32_t(v));
    frames.push_back(0x12);
    struct Case {
        const char* what;
        Bytes format, present;
        uint32_t claimed;
        Bytes expected;
    };
    // clang-format off
    const Case cases[] = {
        {"8-bit mono: the bytes there, then silence up to the stated length", fmt(1), tone, 130, tone_then_silence},
        {"16-bit stereo cut inside a frame: the whole frames there, the one cut and the rest silent",
         fmt(1, 2, 44100, 16), frames, 40, {192, 64, 255, 128, 128, 128, 128, 128, 128, 128}},
        {"no byte there at all: only silence", fmt(1), {}, 10, Bytes(10, 128)},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int id = load(c.format, c.present, c.claimed);
        ASSERT_GE(id, 0);
        EXPECT_EQ(sound_table[id].size, int32_t(c.claimed));
        EXPECT_EQ(buffer_bytes(id), c.expected);
    }
    // Up to 64 MiB in the file's own bytes is a length; beyond it, a broken size.
    const int id = load(fmt(1, 2, 44100, 32), frames, 64u << 20);
    ASSERT_EQ(id, 3);
    EXPECT_EQ(sound_table[id].size, 64 << 20);
    const Bytes big = buffer_bytes(id);
    EXPECT_EQ(big.size(), size_t(8) << 20);
    EXPECT_EQ(big.back(), 128);
    EXPECT_EQ(load(fmt(1), tone, (64u << 20) + 1), -1);
    EXPECT_EQ(load(fmt(1, 2, 44100, 16), tone, 0xFFFFFFF0u), -1);
    EXPECT_EQ(sound_table[4].state, 0);
}

// The lowest free file descriptor: a file that a load leaves open takes it, so it changes.
int next_descriptor() {
    std::FILE* f = std::fopen(data_path("tone_u8.voc").c_str(), "rb");
    const int fd = f ? fileno(f) : -1;
    if (f) std::fclose(f);
    return fd;
}

// A name that opens as a file that cannot seek: the read end of a pipe. On Windows each open
// takes one instance of a named pipe, so a new one is made for every name asked for.
class Unseekable {
public:
#ifdef _WIN32
    const char* name() {
        close_instance();
        instance = CreateNamedPipeA(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
        EXPECT_NE(instance, INVALID_HANDLE_VALUE);
        return path.c_str();
    }
    ~Unseekable() { close_instance(); }

private:
    void close_instance() {
        if (instance != INVALID_HANDLE_VALUE) CloseHandle(instance);
        instance = INVALID_HANDLE_VALUE;
    }
    const std::string path = "\\\\.\\pipe\\zarn_sound_" + std::to_string(getpid());
    HANDLE instance = INVALID_HANDLE_VALUE;
#else
    Unseekable() {
        EXPECT_EQ(pipe(ends), 0);
        path = "/proc/self/fd/" + std::to_string(ends[0]);
    }
    ~Unseekable() {
        close(ends[0]);
        close(ends[1]);
    }
    const char* name() const { return path.c_str(); }

private:
    int ends[2] = {-1, -1};
    std::string path;
#endif
};

TEST_F(Sound, RefusedLoadLeavesTheTableAsItWasAndNoFileOpen) {
    // Refused by the platform at the buffer, its lock or its unlock, or by a file that cannot
    // seek (a pipe): -1, every slot's fields as they were and the file closed.
    const Bytes data = sine(50, 25, 50);
    Unseekable unseekable;
    const std::pair<std::string, int (*)(const char*)> loaders[] = {
        {write_temp("refused.wav", riff_wave({chunk("fmt ", fmt(1)), chunk("data", data)})),
         [](const char* name) { return sound_load_wav(name, 0xE0); }},
        {data_path("tone_u8.voc"), sound_load_voc},
    };
    const char* const requests[] = {"sound_buffer", "sound_lock", "sound_unlock", nullptr};  // none: the pipe
    SoundSlot before[SOUND_SLOTS];
    std::memcpy(before, sound_table, sizeof before);
    for (const auto& [file, load] : loaders) {
        for (const char* request : requests) {
            SCOPED_TRACE(testing::Message() << file << ", " << (request ? request : "a pipe"));
            if (request) headless_refuse(request, 1);
            const int free_descriptor = next_descriptor();
            EXPECT_EQ(load(request ? file.c_str() : unseekable.name()), -1);
            EXPECT_EQ(next_descriptor(), free_descriptor);
            EXPECT_EQ(std::memcmp(before, sound_table, sizeof before), 0);
        }
    }
    EXPECT_EQ(load_samples(data), 0);
    EXPECT_EQ(buffer_bytes(0), data);
}

TEST_F(Sound, SecondInitEmptiesTheTableAndKeepsTheSoundObject) {
    ASSERT_EQ(load_samples(Bytes(20, 128)), 0);
    ASSERT_EQ(load_samples(Bytes(20, 128)), 1);
    ASSERT_EQ(sound_play(1, DSBPLAY_LOOPING), 1);
    PlatAudio* object = sound_object;
    const int32_t made = headless_request_count("sound");
    EXPECT_EQ(sound_init(), 1);
    EXPECT_EQ(sound_object, object);
    EXPECT_EQ(headless_request_count("sound"), made);
    EXPECT_EQ(headless_audio_voices(), 0);
    for (int i = 0; i < SOUND_SLOTS; ++i) {
        EXPECT_EQ(sound_table[i].state, 0);
        EXPECT_EQ(sound_table[i].buffer, nullptr);
        EXPECT_EQ(sound_table[i].id, i);
    }
    EXPECT_EQ(load_samples(Bytes(20, 128)), 0);

    // A first start that failed is not tried again: the second gives 1 with no sound object,
    // and every load is then refused at the buffer.
    for (const char* request : {"sound", "sound_cooperative"}) {
        SCOPED_TRACE(request);
        sound_shutdown();
        headless_refuse(request, 1);
        EXPECT_EQ(sound_init(), 0);
        EXPECT_EQ(sound_init(), 1);
        EXPECT_EQ(load_samples(Bytes(20, 128)), -1);
        EXPECT_EQ(sound_load_voc(data_path("tone_u8.voc").c_str()), -1);
        EXPECT_EQ(sound_table[0].state, 0);
        EXPECT_EQ(sound_play(0, 0), 1);
    }
    // After shutdown the table is empty and a new start works.
    EXPECT_EQ(sound_shutdown(), 1);
    EXPECT_EQ(sound_object, nullptr);
    EXPECT_EQ(sound_init(), 1);
    EXPECT_NE(sound_object, nullptr);
    EXPECT_EQ(load_samples(Bytes(20, 128)), 0);
    sound_shutdown();
    EXPECT_EQ(sound_table[0].buffer, nullptr);
    EXPECT_EQ(sound_play(0, 0), 1);  // the released buffer is never touched again
    EXPECT_EQ(sound_stop(0), 1);
}

TEST_F(Sound, IdsOutsideTheTableTouchNothing) {
    ASSERT_EQ(load_samples(Bytes(20, 128)), 0);
    SoundSlot before[SOUND_SLOTS];
    std::memcpy(before, sound_table, sizeof before);
    for (int32_t id : {-1, 64, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(sound_play(id, 0), 1);
        EXPECT_EQ(sound_stop(id), 1);
        EXPECT_EQ(sound_set_volume(id, 100), 0);
        EXPECT_EQ(sound_set_frequency(id, 11025), 0);
        EXPECT_EQ(sound_set_pan(id, 0), 0);
        EXPECT_EQ(sound_delete(id), 1);
        EXPECT_EQ(sound_replicate(id), -1);
        EXPECT_EQ(sound_status(id), -1);
    }
    EXPECT_EQ(std::memcmp(before, sound_table, sizeof before), 0);
    EXPECT_EQ(headless_audio_voices(), 0);
    // A free slot: play does nothing, the setters are refused, status has no answer.
    EXPECT_EQ(sound_play(5, 0), 1);
    EXPECT_EQ(sound_set_volume(5, 100), 0);
    EXPECT_EQ(sound_set_frequency(5, 11025), 0);
    EXPECT_EQ(sound_set_pan(5, 0), 0);
    EXPECT_EQ(sound_status(5), -1);
    EXPECT_EQ(headless_audio_voices(), 0);
}

TEST_F(Sound, SettersPassTheirValuesAndTheRangeIsThePlatforms) {
    const Bytes tone = sine(11025, 25, 100);
    const int full = load_samples(tone);
    const int bare = load_samples(tone, 0, "bare.wav");
    EXPECT_EQ(sound_set_volume(full, 100), 1);   // 0
    EXPECT_EQ(sound_set_volume(full, 0), 1);     // -3000
    EXPECT_EQ(sound_set_volume(full, 101), 0);   // +30: refused
    EXPECT_EQ(sound_set_volume(full, -233), 1);  // -9990
    EXPECT_EQ(sound_set_volume(full, -234), 0);  // -10020: below silence, refused
    EXPECT_EQ(sound_set_volume(full, INT_MIN), 0);
    EXPECT_EQ(sound_set_volume(full, INT_MAX), 0);
    EXPECT_EQ(sound_set_frequency(full, 100), 1);
    EXPECT_EQ(sound_set_frequency(full, 100000), 1);
    EXPECT_EQ(sound_set_frequency(full, 99), 0);
    EXPECT_EQ(sound_set_frequency(full, 100001), 0);
    EXPECT_EQ(sound_set_pan(full, -10000), 1);
    EXPECT_EQ(sound_set_pan(full, 10000), 1);
    EXPECT_EQ(sound_set_pan(full, 10001), 0);
    EXPECT_EQ(sound_set_pan(full, -10001), 0);
    // Without the control flags every setter is refused.
    EXPECT_EQ(sound_set_volume(bare, 100), 0);
    EXPECT_EQ(sound_set_frequency(bare, 11025), 0);
    EXPECT_EQ(sound_set_pan(bare, 0), 0);
    // A platform refusal gives 0 for the setters and play.
    headless_refuse("sound_play", 1);
    EXPECT_EQ(sound_play(full, 0), 0);
    headless_refuse("sound_position", 1);
    EXPECT_EQ(sound_play(full, 0), 0);
    EXPECT_EQ(headless_audio_voices(), 0);

    // Volume 0 passes -3000: about 0.0316 of full amplitude.
    ASSERT_EQ(sound_set_pan(full, 0), 1);
    ASSERT_EQ(sound_set_frequency(full, 11025), 1);
    ASSERT_EQ(sound_set_volume(full, 0), 1);
    ASSERT_EQ(sound_play(full, DSBPLAY_LOOPING), 1);
    EXPECT_NEAR(peak(pull(4800).left), 25600 * 0.0316, 25);
}

TEST_F(Sound, PitchFollowsTheFrequencyAtEitherOutputRate) {
    for (int32_t out_rate : {48000, 44100}) {
        SCOPED_TRACE(out_rate);
        sound_shutdown();
        headless_audio_set_rate(out_rate);
        ASSERT_EQ(sound_init(), 1);
        ASSERT_EQ(headless_audio_rate(), out_rate);
        // 441 cycles of 25 samples: 441 Hz at 11025 samples per second, seamless when looped.
        // The file states 22050; it plays at 11025 until set.
        const int id = sound_load_wav(
            write_temp("pitch.wav", riff_wave({chunk("fmt ", fmt(1, 1, 22050)), chunk("data", sine(11025, 25, 100))}))
                .c_str(),
            0xE0);
        ASSERT_EQ(id, 0);
        ASSERT_EQ(sound_table[id].rate, 22050);
        ASSERT_EQ(sound_play(id, DSBPLAY_LOOPING), 1);
        EXPECT_NEAR(crossings(pull(out_rate).left), 2 * 441, 2);
        for (int32_t rate : {8000, 11025, 18000}) {
            SCOPED_TRACE(rate);
            ASSERT_EQ(sound_set_frequency(id, rate), 1);
            EXPECT_NEAR(crossings(pull(out_rate).left), 2 * 441.0 * rate / 11025, 2);
        }
    }
}

TEST_F(Sound, VolumeAndPanScaleEachSide) {
    const int id = load_samples(sine(11025, 25, 100));
    ASSERT_EQ(sound_play(id, DSBPLAY_LOOPING), 1);
    Stereo s = pull(4800);
    const int full = peak(s.left);
    EXPECT_NEAR(full, 25600, 300);
    EXPECT_EQ(s.left, s.right);

    ASSERT_EQ(sound_set_volume(id, 80), 1);  // -600: about half
    s = pull(4800);
    EXPECT_NEAR(double(peak(s.left)) / full, 0.501, 0.01);
    EXPECT_NEAR(double(peak(s.right)) / full, 0.501, 0.01);

    ASSERT_EQ(sound_set_volume(id, 100), 1);
    ASSERT_EQ(sound_set_pan(id, -10000), 1);  // left only
    s = pull(4800);
    EXPECT_NEAR(peak(s.left), full, 2);
    EXPECT_EQ(peak(s.right), 0);
    ASSERT_EQ(sound_set_pan(id, 10000), 1);  // right only
    s = pull(4800);
    EXPECT_EQ(peak(s.left), 0);
    EXPECT_NEAR(peak(s.right), full, 2);
    ASSERT_EQ(sound_set_pan(id, 600), 1);  // left down 6 dB
    s = pull(4800);
    EXPECT_NEAR(double(peak(s.left)) / full, 0.501, 0.01);
    EXPECT_NEAR(peak(s.right), full, 2);
}

TEST_F(Sound, LoopingWrapsSeamlesslyAndStopSilences) {
    // Ten cycles of a cosine, 25 samples each, at full height where the loop wraps.
    Bytes cosine(250);
    for (size_t k = 0; k < cosine.size(); ++k)
        cosine[k] = uint8_t(std::lround(128 + 100 * std::cos(2 * std::numbers::pi * double(k) / 25)));
    const int id = load_samples(cosine);
    ASSERT_EQ(sound_set_frequency(id, 30000), 1);  // 0.625 samples a frame: 40 frames a cycle
    ASSERT_EQ(sound_play(id, DSBPLAY_LOOPING), 1);
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    const Stereo s = pull(4000);  // ten times round
    // The steepest step of the cosine itself, 25600 * 2 pi / 40, wherever the wrap falls.
    int step = 0;
    for (size_t i = 1; i < s.left.size(); ++i) step = std::max(step, std::abs(s.left[i] - s.left[i - 1]));
    EXPECT_LE(step, 4100);
    EXPECT_EQ(crossings(s.left), 200);
    EXPECT_EQ(s.left[400], s.left[0]);  // one loop is exactly 400 frames
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);

    // Stopping rewinds: the buffer's own position is 0 again, before any play rewinds it.
    pull(130);
    EXPECT_EQ(play_position(id), 81u);  // 130 × 0.625 samples on
    EXPECT_EQ(sound_stop(id), 1);
    EXPECT_EQ(play_position(id), 0u);
    EXPECT_EQ(sound_status(id), 0);
    EXPECT_EQ(peak(pull(500).left), 0);
    headless_refuse("sound_status", 1);
    EXPECT_EQ(sound_status(id), -1);
}

TEST_F(Sound, PlayingOnceEndsByItselfAndPlayRestarts) {
    const Bytes tone = sine(1000, 25, 100);
    const int id = load_samples(tone);
    ASSERT_EQ(sound_set_frequency(id, 48000), 1);
    ASSERT_EQ(sound_play(id, 0), 1);
    EXPECT_EQ(sound_status(id), DSBSTATUS_PLAYING);
    const Stereo first = pull(600);
    // One sample a frame at full volume: the samples themselves, made signed.
    for (int i = 0; i < 600; ++i) ASSERT_EQ(first.left[i], (tone[i] - 128) * 256) << i;
    ASSERT_EQ(sound_play(id, 0), 1);  // playing: starts again from the beginning
    EXPECT_EQ(pull(600).left, first.left);
    Stereo rest = pull(600);
    EXPECT_EQ(rest.left[399], (tone[999] - 128) * 256);
    EXPECT_EQ(peak(std::vector<int16_t>(rest.left.begin() + 400, rest.left.end())), 0);
    EXPECT_EQ(sound_status(id), 0);
    EXPECT_EQ(headless_audio_voices(), 0);
    // Ended at the end, it starts from the beginning again.
    ASSERT_EQ(sound_play(id, 0), 1);
    EXPECT_EQ(pull(600).left, first.left);
}

TEST_F(Sound, SilenceStartsAndStopsWithoutAStep) {
    // Unsigned 128 is silence: a voice of it adds exactly nothing when it starts, plays or stops.
    const int quiet = load_samples(Bytes(4000, 128));
    Bytes ramp(4000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = uint8_t(128 + (i % 40 < 20 ? i % 20 : 20 - i % 20));
    const int soft = load_samples(ramp, 0xE0, "ramp.wav");
    ASSERT_EQ(sound_play(quiet, 0), 1);
    EXPECT_EQ(peak(pull(1000).left), 0);
    ASSERT_EQ(sound_play(soft, 0), 1);
    const Stereo s = pull(1000);
    EXPECT_EQ(s.left[0], 0);
    int step = 0;
    for (size_t i = 1; i < s.left.size(); ++i) step = std::max(step, std::abs(s.left[i] - s.left[i - 1]));
    EXPECT_LE(step, 256);
    sound_stop(soft);
    sound_stop(quiet);
    EXPECT_EQ(peak(pull(100).left), 0);
}

TEST_F(Sound, VocFilesFollowTheirFirstBlock) {
    // Header size 26, T = 166, L = 1006: 1000 bytes from offset 32, rate 11111.
    auto voc = [](uint16_t header, uint8_t t, uint32_t l, size_t total) {
        Bytes f(total, 0);
        const char sig[] = "Creative Voice File\x1A";
        std::memcpy(f.data(), sig, 20);
        f[20] = uint8_t(header);
        f[21] = uint8_t(header >> 8);
        const size_t b = header & 0xFF;
        if (b + 6 <= total) {
            f[b] = 1;
            f[b + 1] = uint8_t(l);
            f[b + 2] = uint8_t(l >> 8);
            f[b + 3] = uint8_t(l >> 16);
            f[b + 4] = t;
        }
        for (size_t i = b + 6; i < total; ++i) f[i] = uint8_t(i * 7);
        return f;
    };
    // A file of exactly B + L bytes: the last byte read is its last.
    Bytes file = voc(26, 166, 1006, 1032);
    int id = sound_load_voc(write_temp("a.voc", file).c_str());
    ASSERT_EQ(id, 0);
    EXPECT_EQ(sound_table[id].rate, 11111);
    EXPECT_EQ(sound_table[id].size, 1006);
    EXPECT_EQ(buffer_bytes(id), Bytes(file.begin() + 32, file.begin() + 1032));
    // It plays at 11025 until its frequency is set, and takes every setter.
    EXPECT_EQ(sound_set_volume(id, 50), 1);
    EXPECT_EQ(sound_set_pan(id, 100), 1);
    EXPECT_EQ(sound_set_frequency(id, 11111), 1);

    // Only the low byte of the header size counts; T = 0 gives 3906.
    file = voc(0x011A, 0, 106, 200);
    id = sound_load_voc(write_temp("b.voc", file).c_str());
    ASSERT_EQ(id, 1);
    EXPECT_EQ(sound_table[id].rate, 3906);
    EXPECT_EQ(buffer_bytes(id), Bytes(file.begin() + 32, file.begin() + 132));

    SoundSlot before[SOUND_SLOTS];
    std::memcpy(before, sound_table, sizeof before);
    EXPECT_EQ(sound_load_voc("no such file.voc"), -1);  // -1, never slot 0's id
    EXPECT_EQ(sound_load_voc(nullptr), -1);
    EXPECT_EQ(sound_load_voc(write_temp("c.voc", Bytes(20, 0)).c_str()), -1);              // no header size
    EXPECT_EQ(sound_load_voc(write_temp("d.voc", voc(200, 166, 100, 205)).c_str()), -1);   // shorter than B + 6
    EXPECT_EQ(sound_load_voc(write_temp("e.voc", voc(26, 166, 6, 100)).c_str()), -1);      // L - 6 is 0
    EXPECT_EQ(sound_load_voc(write_temp("f.voc", voc(26, 166, 2, 100)).c_str()), -1);      // negative
    EXPECT_EQ(sound_load_voc(write_temp("g.voc", voc(26, 166, 1006, 1031)).c_str()), -1);  // past the end
    EXPECT_EQ(sound_load_voc(write_temp("h.voc", voc(26, 166, 0xFFFFFF, 1036)).c_str()), -1);
    EXPECT_EQ(std::memcmp(before, sound_table, sizeof before), 0);
}

// A VOC file of these blocks after a 26-byte header.
Bytes voc_blocks(const std::vector<Bytes>& blocks) {
    Bytes f{'C', 'r', 'e', 'a', 't', 'i', 'v',  'e', ' ', 'V',  'o', 'i',  'c',
            'e', ' ', 'F', 'i', 'l', 'e', 0x1A, 26,  0,   0x14, 1,   0x1F, 0x11};
    for (const Bytes& b : blocks) f.insert(f.end(), b.begin(), b.end());
    return f;
}

Bytes voc_block(uint8_t type, const Bytes& body, uint32_t claimed = UINT32_MAX) {
    const uint32_t l = claimed == UINT32_MAX ? uint32_t(body.size()) : claimed;
    Bytes b(4 + body.size());
    b[0] = type;
    for (int i = 0; i < 3; ++i) b[size_t(1 + i)] = uint8_t(l >> (8 * i));
    std::copy(body.begin(), body.end(), b.begin() + 4);
    return b;
}

// The body of a new-format block: rate, bits, channels, codec, four reserved bytes, samples.
Bytes voc_new_format(uint32_t rate, uint8_t bits, uint8_t channels, uint16_t codec, const Bytes& samples) {
    Bytes b;
    put32(b, rate);
    b.push_back(bits);
    b.push_back(channels);
    put16(b, codec);
    put32(b, 0);
    b.insert(b.end(), samples.begin(), samples.end());
    return b;
}

TEST_F(Sound, VocFirstBlocksOtherThanSoundDataAreDecodedOrRefused) {
    // Decoded to 8-bit mono, every sample of the block (no four left out), mixed and rounded as
    // for WAV; `size` is the stated length of the block that holds the samples.
    const Bytes eight = pcm(8, {0, 1, 1, 0, 255, 0, 200, 201, 201, 7, 7});  // 3 frames and 2 bytes
    const Bytes sixteen = pcm(16, {-32768, 32767, 384, -128, 128});         // 2 stereo frames and a half
    Bytes extended{0xA6, 0xD2, 0, 1};                                       // 11025 stereo
    struct Decoded {
        const char* what;
        Bytes file;
        int32_t rate, size;
        Bytes expected;
    };
    // clang-format off
    const Decoded decoded[] = {
        {"new format, 8-bit, 3 channels", voc_blocks({voc_block(9, voc_new_format(22050, 8, 3, 0, eight)), {0}}),
         22050, 12 + 11, {1, 85, 201}},
        {"new format, 16-bit stereo", voc_blocks({voc_block(9, voc_new_format(44100, 16, 2, 4, sixteen))}), 44100,
         12 + 10, {128, 129}},
        {"extended before sound data", voc_blocks({voc_block(8, extended), voc_block(1, Bytes{0xA5, 0, 10, 20, 30, 40, 50})}),
         11024, 7, {15, 35}},
    };
    // clang-format on
    for (const Decoded& d : decoded) {
        SCOPED_TRACE(d.what);
        const int id = sound_load_voc(write_temp("new.voc", d.file).c_str());
        ASSERT_EQ(id, 0);
        EXPECT_EQ(sound_table[id].rate, d.rate);
        EXPECT_EQ(sound_table[id].size, d.size);
        EXPECT_EQ(buffer_bytes(id), d.expected);
        sound_delete(id);
    }

    // Never a block header loaded as sound: every other first block gives -1, as does a read
    // outside the file.
    const Bytes ok16 = voc_new_format(8000, 16, 1, 4, pcm(16, {1000, 2000}));
    const std::pair<const char*, Bytes> refused[] = {
        {"terminator", voc_blocks({{0}})},
        {"text", voc_blocks({voc_block(5, Bytes{'h', 'i', 0}), voc_block(1, Bytes{0xA5, 0, 1, 2, 3, 4, 5})})},
        {"silence", voc_blocks({voc_block(3, Bytes{100, 0, 0xA5})})},
        {"repeat", voc_blocks({voc_block(6, Bytes{2, 0})})},
        {"continuation", voc_blocks({voc_block(2, Bytes(20, 130))})},
        {"new format, a-law", voc_blocks({voc_block(9, voc_new_format(8000, 8, 1, 6, Bytes(20, 0)))})},
        {"new format, 4-bit ADPCM", voc_blocks({voc_block(9, voc_new_format(8000, 4, 1, 1, Bytes(20, 0)))})},
        {"new format, 16-bit codec with 8 bits",
         voc_blocks({voc_block(9, voc_new_format(8000, 8, 1, 4, Bytes(20, 0)))})},
        {"new format, no channel", voc_blocks({voc_block(9, voc_new_format(8000, 16, 0, 4, Bytes(20, 0)))})},
        {"new format, no whole frame", voc_blocks({voc_block(9, voc_new_format(8000, 16, 2, 4, Bytes(3, 0)))})},
        {"new format, past the end", voc_blocks({voc_block(9, ok16, uint32_t(ok16.size()) + 1)})},
        {"new format, header cut", voc_blocks({voc_block(9, Bytes(ok16.begin(), ok16.begin() + 12))})},
        {"extended, packed", voc_blocks({voc_block(8, Bytes{0xA6, 0xD2, 1, 0}), voc_block(1, Bytes{0xA5, 0, 1, 2})})},
        {"extended, mode 2", voc_blocks({voc_block(8, Bytes{0xA6, 0xD2, 0, 2}), voc_block(1, Bytes{0xA5, 0, 1, 2})})},
        {"extended, then text", voc_blocks({voc_block(8, extended), voc_block(5, Bytes{'h', 'i', 0, 0})})},
        {"extended, at the end", voc_blocks({voc_block(8, extended)})},
        {"extended, data past the end", voc_blocks({voc_block(8, extended), voc_block(1, Bytes{0xA5, 0, 1, 2}, 5)})},
    };
    SoundSlot before[SOUND_SLOTS];
    std::memcpy(before, sound_table, sizeof before);
    for (const auto& [what, file] : refused) {
        SCOPED_TRACE(what);
        EXPECT_EQ(sound_load_voc(write_temp("refused.voc", file).c_str()), -1);
    }
    EXPECT_EQ(std::memcmp(before, sound_table, sizeof before), 0);
}

TEST_F(Sound, ReplicaSharesTheDataAndPlaysOnItsOwn) {
    const Bytes tone = sine(2000, 25, 50);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(load_samples(tone), i);
    ASSERT_EQ(sound_set_frequency(2, 48000), 1);
    ASSERT_EQ(sound_set_volume(2, 90), 1);
    const int copy = sound_replicate(2);
    ASSERT_EQ(copy, 4);
    EXPECT_EQ(sound_table[copy].id, 4);
    EXPECT_EQ(sound_table[copy].size, sound_table[2].size);
    EXPECT_NE(sound_table[copy].buffer, sound_table[2].buffer);

    // The replica starts with its source's frequency and volume.
    ASSERT_EQ(sound_play(2, 0), 1);
    const Stereo alone = pull(500);
    sound_stop(2);
    ASSERT_EQ(sound_play(2, 0), 1);
    ASSERT_EQ(sound_play(copy, 0), 1);
    const Stereo both = pull(500);
    for (int i = 0; i < 500; ++i) ASSERT_EQ(both.left[i], 2 * alone.left[i]) << i;
    // Its own controls: stopping or panning one leaves the other playing as it was.
    ASSERT_EQ(sound_stop(2), 1);
    EXPECT_EQ(sound_status(copy), DSBSTATUS_PLAYING);
    ASSERT_EQ(sound_set_pan(copy, -10000), 1);
    EXPECT_EQ(peak(pull(100).right), 0);
    // It outlives its source.
    ASSERT_EQ(sound_delete(2), 1);
    ASSERT_EQ(sound_play(copy, 0), 1);
    const Stereo after = pull(500);
    EXPECT_EQ(after.left, alone.left);

    // A free source is refused and the slot taken for it is free again with its own id.
    EXPECT_EQ(sound_replicate(2), -1);
    EXPECT_EQ(sound_table[2].state, 0);
    EXPECT_EQ(sound_table[2].id, 2);
    headless_refuse("sound_duplicate", 1);
    EXPECT_EQ(sound_replicate(0), -1);
    EXPECT_EQ(sound_table[2].state, 0);
    EXPECT_EQ(sound_table[2].buffer, nullptr);
    EXPECT_EQ(sound_replicate(0), 2);
}

TEST_F(Sound, BufferIsSilentUntilUnlockedAndUnwrittenBytesAreSilence) {
    const PlatWaveFormat f{PLAT_WAVE_FORMAT_PCM, 1, 48000, 48000, 1, 8, 0};
    PlatSoundBuffer* b = nullptr;
    ASSERT_EQ(plat_sound_buffer_create(sound_object, 0, 100, &f, &b), PLAT_OK);
    ASSERT_EQ(plat_sound_buffer_play(b, 0, 0, PLAT_SOUND_PLAY_LOOPING), PLAT_OK);
    EXPECT_EQ(peak(pull(300).left), 0);  // never unlocked: nothing is mixed
    // Lock 30 bytes from 90: 10 at the end and 20 from the start; write only 5 + 8 of them.
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    ASSERT_EQ(plat_sound_buffer_lock(b, 90, 30, &p1, &n1, &p2, &n2, 0), PLAT_OK);
    ASSERT_EQ(n1, 10u);
    ASSERT_EQ(n2, 20u);
    void* q1 = nullptr;
    uint32_t m1 = 0;
    EXPECT_EQ(plat_sound_buffer_lock(b, 0, 10, &q1, &m1, nullptr, nullptr, 0), PLAT_ERR_BUSY);
    std::memset(p1, 200, 5);
    std::memset(p2, 60, 8);
    EXPECT_EQ(plat_sound_buffer_unlock(b, p2, 5, p1, 8), PLAT_ERR_INVALID);  // not the regions locked
    ASSERT_EQ(plat_sound_buffer_unlock(b, p1, 5, p2, 8), PLAT_OK);
    ASSERT_EQ(plat_sound_buffer_set_position(b, 0), PLAT_OK);
    const Stereo s = pull(100);  // one byte a frame
    for (int i = 0; i < 100; ++i) {
        const int expected = i < 8 ? (60 - 128) * 256 : (i >= 90 && i < 95) ? (200 - 128) * 256 : 0;
        ASSERT_EQ(s.left[i], expected) << i;
    }
    PlatSoundBuffer* copy = nullptr;
    ASSERT_EQ(plat_sound_buffer_duplicate(sound_object, b, &copy), PLAT_OK);
    // Locked data holds every buffer over it silent; releasing the holder ends the lock.
    ASSERT_EQ(plat_sound_buffer_lock(copy, 0, 0, &p1, &n1, &p2, &n2, PLAT_SOUND_LOCK_ENTIRE), PLAT_OK);
    EXPECT_EQ(peak(pull(100).left), 0);
    plat_sound_buffer_release(copy);
    ASSERT_EQ(plat_sound_buffer_set_position(b, 0), PLAT_OK);
    EXPECT_EQ(pull(100).left, s.left);
    // A refused lock leaves nothing in the out-values; the released holder's lock is free again.
    p1 = p2 = &n1;
    n1 = n2 = 77;
    headless_refuse("sound_lock", 1);
    EXPECT_EQ(plat_sound_buffer_lock(b, 0, 0, &p1, &n1, &p2, &n2, PLAT_SOUND_LOCK_ENTIRE), PLAT_ERR_REFUSED);
    EXPECT_EQ(p1, nullptr);
    EXPECT_EQ(p2, nullptr);
    EXPECT_EQ(n1 + n2, 0u);
    ASSERT_EQ(plat_sound_buffer_lock(b, 0, 0, &p1, &n1, &p2, &n2, PLAT_SOUND_LOCK_ENTIRE), PLAT_OK);
    EXPECT_EQ(plat_sound_buffer_unlock(b, p1, n1, p2, n2), PLAT_OK);
    plat_sound_buffer_release(b);
    EXPECT_EQ(headless_audio_voices(), 0);
}

}  // namespace
