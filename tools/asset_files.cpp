// What the asset generators share: pictures and sheets of cells, BMP and WAV files, notes.
#include "asset_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

int sheet_width(int cell_w, int columns) { return ((cell_w + 1) * columns + 1 + 3) & ~3; }

void draw_cell_borders(Picture& p, int cell_w, int cell_h, uint8_t border) {
    const int columns = (p.w - 1) / (cell_w + 1);
    for (int x = columns * (cell_w + 1) + 1; x < p.w; ++x)
        for (int y = 0; y < p.h; ++y) p.set(x, y, border);
    for (int x = 0; x < p.w; x += cell_w + 1)
        for (int y = 0; y < p.h; ++y) p.set(x, y, border);
    for (int y = 0; y < p.h; y += cell_h + 1)
        for (int x = 0; x < p.w; ++x) p.set(x, y, border);
}

bool in_round_rect(double x, double y, double w, double h, double r) {
    if (x < 0 || y < 0 || x >= w || y >= h) return false;
    double cx = std::clamp(x, r, w - r), cy = std::clamp(y, r, h - r);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok;
}

bool write_bmp(const std::string& path, const Picture& p, const std::vector<Rgb>& pal) {
    const uint32_t row = (uint32_t(p.w) + 3) & ~3u;
    const uint32_t data = row * uint32_t(p.h), offset = 14 + 40 + 256 * 4;
    std::vector<uint8_t> b;
    b.reserve(offset + data);
    b.push_back('B');
    b.push_back('M');
    put32(b, offset + data);
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, uint32_t(p.w));
    put32(b, uint32_t(p.h));
    put16(b, 1);
    put16(b, 8);
    put32(b, 0);
    put32(b, data);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, 256);
    put32(b, 256);
    for (const Rgb& c : pal) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = p.h - 1; y >= 0; --y) {
        for (int x = 0; x < p.w; ++x) b.push_back(p.px[size_t(y) * p.w + x]);
        for (uint32_t x = uint32_t(p.w); x < row; ++x) b.push_back(0);
    }
    return write_file(path, b);
}

// ---------------------------------------------------------------- sounds

uint8_t sample_byte(double v) { return uint8_t(std::clamp(std::lround(128 + 110 * v), 0L, 255L)); }

bool write_wav(const std::string& path, const std::vector<double>& s, int rate) {
    std::vector<uint8_t> b;
    const uint32_t n = uint32_t(s.size());
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(b, 4 + 8 + 16 + 8 + n + (n & 1));
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1);
    put16(b, 1);
    put32(b, uint32_t(rate));
    put32(b, uint32_t(rate));
    put16(b, 1);
    put16(b, 8);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, n);
    for (double v : s) b.push_back(sample_byte(v));
    if (n & 1) b.push_back(128);
    return write_file(path, b);
}

void fade_edges(std::vector<double>& s, int rate, double in_ms, double out_ms) {
    const size_t in = size_t(rate * in_ms / 1000), out = size_t(rate * out_ms / 1000);
    for (size_t i = 0; i < s.size(); ++i) {
        double g = 1;
        if (i < in) g = std::min(g, double(i) / in);
        if (i + out >= s.size()) g = std::min(g, double(s.size() - 1 - i) / out);
        s[i] *= g;
    }
}

void add_note(std::vector<double>& s, int rate, double start, double length, double freq, double gain) {
    const size_t a = size_t(start * rate), n = size_t(length * rate);
    for (size_t i = 0; i < n && a + i < s.size(); ++i) {
        double t = double(i) / rate;
        double env = std::min(1.0, t / 0.008) * std::exp(-t * 4.5);
        double tail = std::min(1.0, (length - t) / 0.03);  // every note ends at silence
        double v = std::sin(2 * kPi * freq * t) + 0.35 * std::sin(2 * kPi * 2 * freq * t) +
                   0.12 * std::sin(2 * kPi * 3 * freq * t);
        s[a + i] += gain * env * tail * v / 1.47;
    }
}

std::vector<double> tune(int rate, const std::vector<std::pair<double, double>>& notes, double note_len, double step,
                         double gain) {
    std::vector<double> s(size_t(rate * (step * (notes.size() - 1) + note_len + 0.05)), 0.0);
    double at = 0;
    for (const auto& [freq, length] : notes) {
        if (freq > 0) add_note(s, rate, at, note_len * length, freq, gain);
        at += step;
    }
    fade_edges(s, rate, 2, 40);
    return s;
}

double note(int semitones_from_a4) { return 440.0 * std::pow(2.0, semitones_from_a4 / 12.0); }
