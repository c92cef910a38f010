// The 256 colours of the display. The set operations write both the screen's palette and the
// table palette_entries, so that the table always mirrors what is shown; the reads read the table.
#include "imaging/palette.h"

#include <cstdio>
#include <cstring>

#include "display/display.h"

namespace {

bool valid_index(int32_t index) { return index >= 0 && index <= 255; }

// Reads one decimal integer the way "%d" does (leading white space, an optional sign, digits)
// and keeps its low 8 bits, however long the number is. 0 at the end of the file or at anything
// that is not a number; the offending character stays unread, so every later read fails too.
int read_byte_number(std::FILE* f, uint8_t* out) {
    int c;
    do c = std::fgetc(f);
    while (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f');
    int negative = 0;
    if (c == '-' || c == '+') {
        negative = c == '-';
        int next = std::fgetc(f);
        if (next < '0' || next > '9') {
            if (next != EOF) std::ungetc(next, f);
            return 0;
        }
        c = next;
    }
    if (c < '0' || c > '9') {
        if (c != EOF) std::ungetc(c, f);
        return 0;
    }
    unsigned value = 0;  // arithmetic modulo 2^N keeps the low bits exact
    while (c >= '0' && c <= '9') {
        value = value * 10u + static_cast<unsigned>(c - '0');
        c = std::fgetc(f);
    }
    if (c != EOF) std::ungetc(c, f);
    if (negative) value = 0u - value;
    *out = static_cast<uint8_t>(value & 0xFFu);
    return 1;
}

}  // namespace

int palette_set_entry(int32_t index, const PaletteEntry* entry) {
    if (!entry || !valid_index(index)) return 0;
    const PaletteEntry e = *entry;
    plat_palette_set_entries(display_palette, index, 1, &e);
    palette_entries[index] = e;
    return 1;
}

int palette_get_entry(int32_t index, PaletteEntry* entry) {
    if (!entry || !valid_index(index)) return 0;
    *entry = palette_entries[index];
    return 1;
}

int palette_copy_out(PaletteEntry* entries) {
    if (!entries) return 0;
    std::memmove(entries, palette_entries, sizeof palette_entries);
    return 1;
}

int palette_set_all(const PaletteEntry* entries) {
    if (!entries) return 0;
    std::memmove(palette_entries, entries, sizeof palette_entries);
    plat_palette_set_entries(display_palette, 0, 256, palette_entries);
    return 1;
}

int palette_rotate(int32_t first, int32_t count) {
    if (first < 0 || count < 2 || count > 256 || first > 256 - count) return 0;
    PaletteEntry work_pal[256] = {};
    plat_palette_get_entries(display_palette, first, count, work_pal);
    plat_palette_set_entries(display_palette, first + 1, count - 1, work_pal);
    plat_palette_set_entries(display_palette, first, 1, &work_pal[count - 1]);
    plat_palette_get_entries(display_palette, 0, 256, palette_entries);
    return 1;
}

int palette_load_file(const char* name, PaletteEntry* entries) {
    if (!name || !entries) return 0;
    // Read as bytes on every system: line ends, whichever they are, are white space.
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return 0;
    // Numbers are taken in order whatever the line structure; once the file runs out or holds
    // something else, the components not yet read keep what the array held.
    int reading = 1;
    for (int i = 0; i < 256 && reading; ++i) {
        uint8_t* fields[4] = {&entries[i].peRed, &entries[i].peGreen, &entries[i].peBlue, &entries[i].peFlags};
        for (uint8_t* field : fields)
            if (!(reading = read_byte_number(f, field))) break;
    }
    std::fclose(f);
    return 1;
}

int palette_save_file(const char* name, const PaletteEntry* entries) {
    if (!name || !entries) return 0;
    std::FILE* f = std::fopen(name, "wb");  // the same bytes on every system, "\n" line ends
    if (!f) return 0;
    int ok = 1;
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = entries[i];
        if (std::fprintf(f, "\n%u %u %u %u", unsigned(e.peRed), unsigned(e.peGreen), unsigned(e.peBlue),
                         unsigned(e.peFlags)) < 0)
            ok = 0;
    }
    // A file that could not be written whole is not reported as saved.
    if (std::fclose(f) != 0) ok = 0;
    return ok;
}
