#include "fuzz_api_files.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string g_folder;
std::vector<std::string> g_names;    // what the loaders are given
std::vector<std::string> g_targets;  // what the writers are given

// Files an input may write; removed before every input.
const char* const WRITTEN[] = {"saved.pal", "log1.txt", "log2.txt"};

void put(Bytes& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void append(Bytes& b, const char* text) {
    for (const char* c = text; *c; ++c) b.push_back(static_cast<uint8_t>(*c));
}

// An uncompressed BMP file: 8-bit with a grey colour table, or 16 or 24 bits; rows unpadded,
// bottom row first, pixel (x, y) made from its place so that frames and cells differ.
Bytes bmp(int32_t width, int32_t height, int bits) {
    const int32_t bytes_per_pixel = bits / 8;
    Bytes pixels;
    for (int32_t y = height - 1; y >= 0; --y)
        for (int32_t x = 0; x < width; ++x)
            for (int32_t k = 0; k < bytes_per_pixel; ++k)
                pixels.push_back(static_cast<uint8_t>((x % 7 == 0 || y % 5 == 0) ? 0 : (x * 3 + y * 5 + k) & 0xFF));
    const uint32_t table = bits == 8 ? 1024 : 0;
    Bytes b;
    append(b, "BM");
    put(b, 14 + 40 + table + static_cast<uint32_t>(pixels.size()), 4);
    put(b, 0, 4);
    put(b, 14 + 40 + table, 4);
    put(b, 40, 4);
    put(b, static_cast<uint32_t>(width), 4);
    put(b, static_cast<uint32_t>(height), 4);
    put(b, 1, 2);
    put(b, static_cast<uint32_t>(bits), 2);
    put(b, 0, 4);
    put(b, static_cast<uint32_t>(pixels.size()), 4);
    for (int i = 0; i < 4; ++i) put(b, 0, 4);
    for (uint32_t i = 0; i < table / 4; ++i) put(b, (i << 16) | ((255 - i) << 8) | (i / 2), 4);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// A RIFF WAVE file with one format chunk (format tag, channels, bits) and one data chunk.
Bytes wav(uint32_t data_bytes, uint16_t format_tag = 1, uint16_t channels = 1, uint16_t bits = 8,
          bool odd_chunk_first = false) {
    Bytes body;
    append(body, "WAVE");
    if (odd_chunk_first) {
        append(body, "LIST");
        put(body, 3, 4);
        append(body, "abc");
        body.push_back(0);  // the pad byte of an odd-sized chunk
    }
    append(body, "fmt ");
    put(body, 16, 4);
    put(body, format_tag, 2);
    put(body, channels, 2);
    put(body, 11025, 4);
    put(body, 11025u * channels * bits / 8, 4);
    put(body, static_cast<uint32_t>(channels * bits / 8), 2);
    put(body, bits, 2);
    append(body, "data");
    put(body, data_bytes, 4);
    for (uint32_t i = 0; i < data_bytes; ++i) body.push_back(static_cast<uint8_t>(128 + ((i & 8) ? 40 : -40)));
    Bytes b;
    append(b, "RIFF");
    put(b, static_cast<uint32_t>(body.size()), 4);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// A VOC file whose first block holds the samples (time constant 166: 11111 per second).
Bytes voc(uint32_t samples) {
    Bytes b;
    append(b, "Creative Voice File\x1a");
    put(b, 26, 2);
    put(b, 0x010A, 2);
    put(b, 0x1129, 2);
    b.push_back(1);
    put(b, samples + 2, 3);
    b.push_back(166);
    b.push_back(0);
    for (uint32_t i = 0; i < samples; ++i) b.push_back(static_cast<uint8_t>(128 + ((i & 4) ? 30 : -30)));
    return b;
}

Bytes palette_text(int entries) {
    std::string text;
    for (int i = 0; i < entries; ++i)
        text += "\n" + std::to_string(i) + " " + std::to_string(255 - i) + " " + std::to_string(i / 3) + " 4";
    return Bytes(text.begin(), text.end());
}

Bytes cut(Bytes b, size_t keep) {
    b.resize(keep < b.size() ? keep : b.size());
    return b;
}

void write(const std::string& name, const Bytes& bytes) {
    const std::string path = g_folder + "/" + name;
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    g_names.push_back(path);
}

void remove_folder() {
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

}  // namespace

void fuzz_files_make() {
    if (!g_folder.empty()) return;
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    g_folder = std::string(base) + "/zarn-fuzz-api-" + std::to_string(getpid());
    std::error_code ignored;
    std::filesystem::create_directories(g_folder, ignored);
    std::atexit(remove_folder);

    write("screen.bmp", bmp(640, 480, 8));
    write("cells.bmp", bmp(100, 67, 8));  // three by two cells of 32 x 32 inside one-pixel lines
    write("odd.bmp", bmp(33, 17, 8));
    write("dot.bmp", bmp(1, 1, 8));
    write("wide.bmp", bmp(700, 3, 8));
    write("deep24.bmp", bmp(4, 4, 24));
    write("deep16.bmp", bmp(6, 2, 16));
    write("cut.bmp", cut(bmp(64, 64, 8), 2000));
    write("tone.wav", wav(64));
    write("one.wav", wav(1));
    write("empty.wav", wav(0));
    write("list.wav", wav(33, 1, 1, 8, true));
    write("stereo16.wav", wav(200, 1, 2, 16));
    write("float.wav", wav(64, 3));
    write("cut.wav", cut(wav(64), 50));
    write("tone.voc", voc(100));
    write("tiny.voc", voc(5));
    write("cut.voc", cut(voc(100), 40));
    write("ramp.pal", palette_text(256));
    write("short.pal", palette_text(10));
    for (const char* name : WRITTEN) g_names.push_back(g_folder + "/" + name);
    g_names.push_back(g_folder + "/missing.bmp");
    g_names.push_back(g_folder);
    g_names.push_back("");

    for (const char* name : WRITTEN) g_targets.push_back(g_folder + "/" + name);
    g_targets.push_back(g_folder);
    g_targets.push_back(g_folder + "/no-such-folder/file.txt");
    g_targets.push_back("");
}

void fuzz_files_reset() {
    for (const char* name : WRITTEN) unlink((g_folder + "/" + name).c_str());
}

int32_t fuzz_file_count() { return static_cast<int32_t>(g_names.size()); }

const char* fuzz_file_name(int32_t index) { return g_names[static_cast<size_t>(index) % g_names.size()].c_str(); }

int32_t fuzz_target_count() { return static_cast<int32_t>(g_targets.size()); }

const char* fuzz_target_name(int32_t index) { return g_targets[static_cast<size_t>(index) % g_targets.size()].c_str(); }
