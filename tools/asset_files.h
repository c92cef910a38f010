#pragma once
/// \file
/// What the asset generators share: an 8-bit picture in memory, sheets of cells, uncompressed
/// 8-bit BMP and 8-bit mono PCM WAV files, and a few pieces of sound synthesis.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    uint8_t r, g, b;
};

/// A picture of palette indices, top row first; writes outside it are dropped, reads give 0.
struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> px;
    Picture(int width, int height, uint8_t fill = 0) : w(width), h(height), px(size_t(width) * height, fill) {}
    /// Sets the pixel at (x, y) to colour c; outside the picture, nothing.
    void set(int x, int y, uint8_t c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[size_t(y) * w + x] = c;
    }
    /// The pixel at (x, y); 0 outside the picture.
    uint8_t get(int x, int y) const { return (x >= 0 && y >= 0 && x < w && y < h) ? px[size_t(y) * w + x] : 0; }
    /// Fills the pixels from (x0, y0) up to but not including (x1, y1) with colour c.
    void rect(int x0, int y0, int x1, int y1, uint8_t c) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) set(x, y, c);
    }
};

/// The width of a sheet holding that many columns of cells `cell_w` wide with their borders,
/// rounded up to whole 4-byte rows: the pictures are stored without row padding.
int sheet_width(int cell_w, int columns = 1);
/// Frames the picture as a sheet of cells: a one-pixel border line round every cell (and over
/// the columns that round the sheet's width up), in the colour `border`.
void draw_cell_borders(Picture& p, int cell_w, int cell_h, uint8_t border);
/// Whether (x, y) lies inside the box [0, w) x [0, h) with corner radius r.
bool in_round_rect(double x, double y, double w, double h, double r);

/// Writes the bytes; false (with a line on stderr) when the file cannot be made or written.
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes);
/// Appends the low 16 bits of the value little-endian.
void put16(std::vector<uint8_t>& b, uint32_t v);
/// Appends the value little-endian.
void put32(std::vector<uint8_t>& b, uint32_t v);
/// An uncompressed 8-bit BMP with the 256 colours of `pal`, bottom row first; every picture
/// written is a whole number of 4-byte rows wide, so rows follow each other without padding.
bool write_bmp(const std::string& path, const Picture& p, const std::vector<Rgb>& pal);
/// Samples in -1..1 as an 8-bit unsigned mono PCM WAV at `rate` samples per second.
bool write_wav(const std::string& path, const std::vector<double>& s, int rate);
/// A sample in -1..1 as the unsigned byte the WAV writer stores.
uint8_t sample_byte(double v);

/// Ramps the first and last samples in and out so that the sound starts and ends at silence.
void fade_edges(std::vector<double>& s, int rate, double in_ms, double out_ms);

/// Deterministic noise in -1..1.
struct Noise {
    uint32_t state = 0x12345678u;
    /// The next value in -1..1.
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state / 4294967295.0) * 2 - 1;
    }
};

/// Adds one bell-like note at `start` seconds: a fundamental with two soft overtones, struck and
/// dying away, ending at silence after `length` seconds.
void add_note(std::vector<double>& s, int rate, double start, double length, double freq, double gain);
/// Notes (frequency, length as a multiple of note_len; frequency 0 is a rest) one `step` apart.
std::vector<double> tune(int rate, const std::vector<std::pair<double, double>>& notes, double note_len, double step,
                         double gain);
/// The frequency of the note that many semitones from A4 (440 Hz).
double note(int semitones_from_a4);
