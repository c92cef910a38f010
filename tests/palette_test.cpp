// The palette: single entries, the whole table, rotation, palette files.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "headless_fixture.h"
#include "imaging/palette.h"
#include "platform/status.h"

namespace {

using Palette = Headless;

std::string temp_path(const char* leaf) {
    return ::testing::TempDir() + "zarn_palette_" + std::to_string(getpid()) + "_" + leaf;
}

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_all(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

void fill_pattern(PaletteEntry* p) {
    for (int i = 0; i < 256; ++i) p[i] = PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7), uint8_t(i % 5)};
}

TEST_F(Palette, FileRoundTripAndLayout) {
    PaletteEntry out[256];
    fill_pattern(out);
    out[0] = PaletteEntry{1, 2, 3, 4};
    const std::string path = temp_path("round.pal");
    ASSERT_EQ(palette_save_file(path.c_str(), out), 1);
    const std::string text = read_all(path);
    // An empty first line, then one line of four numbers per entry, no break after the last.
    EXPECT_EQ(text.rfind("\n1 2 3 4\n", 0), 0u);
    EXPECT_NE(text.back(), '\n');
    size_t breaks = 0;
    for (char c : text) breaks += c == '\n';
    EXPECT_EQ(breaks, 256u);
    EXPECT_NE(text.find("\n255 0 249 0"), std::string::npos);  // 255*7 low byte is 249

    PaletteEntry in[256];
    std::memset(in, 0xEE, sizeof in);
    ASSERT_EQ(palette_load_file(path.c_str(), in), 1);
    EXPECT_EQ(0, std::memcmp(in, out, sizeof in));

    // All 1024 numbers on one line, or the lines ended as Windows ends text, load the same.
    for (const char* line_end : {" ", "\r\n"}) {
        std::string other;
        for (char c : text) other += c == '\n' ? std::string(line_end) : std::string(1, c);
        write_all(path, other);
        std::memset(in, 0, sizeof in);
        ASSERT_EQ(palette_load_file(path.c_str(), in), 1);
        EXPECT_EQ(0, std::memcmp(in, out, sizeof in)) << "lines ended by " << (line_end[0] == ' ' ? "spaces" : "CR LF");
    }
    std::remove(path.c_str());
}

TEST_F(Palette, ShortFilesAndOutOfRangeNumbers) {
    const std::string path = temp_path("short.pal");
    std::string text;
    for (int i = 0; i < 10; ++i) text += std::to_string(i) + " 1 2 3\n";
    write_all(path, text);
    PaletteEntry p[256];
    std::memset(p, 0x5A, sizeof p);
    EXPECT_EQ(palette_load_file(path.c_str(), p), 1);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(p[i].peRed, i);
        EXPECT_EQ(p[i].peFlags, 3);
    }
    for (int i = 10; i < 256; ++i) EXPECT_EQ(p[i].peRed, 0x5A) << i;

    // Low 8 bits of each number, however large; a stray word stops the reading there.
    write_all(path, "300 -1 256 +7\n99999999999999999999 -257 12x 5 6 7 8");
    std::memset(p, 0x11, sizeof p);
    EXPECT_EQ(palette_load_file(path.c_str(), p), 1);
    EXPECT_EQ(p[0].peRed, 44);
    EXPECT_EQ(p[0].peGreen, 255);
    EXPECT_EQ(p[0].peBlue, 0);
    EXPECT_EQ(p[0].peFlags, 7);
    EXPECT_EQ(p[1].peRed, 255);    // 10^20 - 1, and 10^20 is a multiple of 256
    EXPECT_EQ(p[1].peGreen, 255);  // -257 is ...FEFF
    EXPECT_EQ(p[1].peBlue, 12);
    EXPECT_EQ(p[1].peFlags, 0x11);  // "x" is not a number
    EXPECT_EQ(p[2].peRed, 0x11);

    EXPECT_EQ(palette_load_file(temp_path("no/such/dir.pal").c_str(), p), 0);
    EXPECT_EQ(palette_save_file(temp_path("no/such/dir.pal").c_str(), p), 0);
    EXPECT_EQ(palette_load_file(nullptr, p), 0);
    EXPECT_EQ(palette_load_file(path.c_str(), nullptr), 0);
    // A device that takes no bytes: the file opens but the palette was never saved.
    EXPECT_EQ(palette_save_file("/dev/full", p), 0);
    std::remove(path.c_str());
}

TEST_F(Palette, EntriesShowOnTheScreenWithoutAFlip) {
    open_display();
    PaletteEntry all[256];
    fill_pattern(all);
    const int32_t presents = headless_present_count();
    ASSERT_EQ(palette_set_all(all), 1);
    EXPECT_EQ(0, std::memcmp(palette_entries, all, sizeof all));
    EXPECT_GT(headless_present_count(), presents);
    // The screen is colour 0 everywhere: it now shows entry 0 of the new palette.
    EXPECT_EQ(headless_visible_rgb(5, 5), 0x00FF00u);

    const PaletteEntry red{200, 10, 20, 4};
    ASSERT_EQ(palette_set_entry(0, &red), 1);
    EXPECT_EQ(headless_visible_rgb(5, 5), 0xC80A14u);
    PaletteEntry got{};
    ASSERT_EQ(palette_get_entry(0, &got), 1);
    EXPECT_EQ(0, std::memcmp(&got, &red, sizeof got));
    PaletteEntry copy[256];
    ASSERT_EQ(palette_copy_out(copy), 1);
    EXPECT_EQ(0, std::memcmp(copy, palette_entries, sizeof copy));

    // Indices outside the table are refused and nothing changes.
    EXPECT_EQ(palette_set_entry(256, &red), 0);
    EXPECT_EQ(palette_set_entry(-1, &red), 0);
    EXPECT_EQ(palette_get_entry(256, &got), 0);
    EXPECT_EQ(palette_get_entry(-1, &got), 0);
    EXPECT_EQ(palette_set_entry(3, nullptr), 0);
    EXPECT_EQ(palette_set_all(nullptr), 0);
    EXPECT_EQ(palette_copy_out(nullptr), 0);
    EXPECT_EQ(0, std::memcmp(copy, palette_entries, sizeof copy));

    // A refused screen change still updates the table.
    headless_refuse("palette_set", 1);
    const PaletteEntry blue{0, 0, 255, 0};
    EXPECT_EQ(palette_set_entry(7, &blue), 1);
    EXPECT_EQ(palette_entries[7].peBlue, 255);
}

TEST_F(Palette, RotateMovesTheRangeUpAndWraps) {
    open_display();
    PaletteEntry all[256];
    fill_pattern(all);
    const PaletteEntry P{10, 0, 0, 4}, Q{0, 20, 0, 4}, R{0, 0, 30, 4};
    all[10] = P;
    all[11] = Q;
    all[12] = R;
    ASSERT_EQ(palette_set_all(all), 1);
    ASSERT_EQ(palette_rotate(10, 3), 1);
    EXPECT_EQ(0, std::memcmp(&palette_entries[10], &R, 4));
    EXPECT_EQ(0, std::memcmp(&palette_entries[11], &P, 4));
    EXPECT_EQ(0, std::memcmp(&palette_entries[12], &Q, 4));
    EXPECT_EQ(0, std::memcmp(&palette_entries[9], &all[9], 4));
    EXPECT_EQ(0, std::memcmp(&palette_entries[13], &all[13], 4));
    PaletteEntry shown[256];
    ASSERT_EQ(plat_palette_get_entries(display_palette, 0, 256, shown), PLAT_OK);
    EXPECT_EQ(0, std::memcmp(shown, palette_entries, sizeof shown));

    // The whole table rotates; ranges that are too short or run past the end are refused.
    ASSERT_EQ(palette_rotate(0, 256), 1);
    EXPECT_EQ(0, std::memcmp(&palette_entries[0], &all[255], 4));
    EXPECT_EQ(0, std::memcmp(&palette_entries[1], &all[0], 4));
    ASSERT_EQ(palette_copy_out(all), 1);
    EXPECT_EQ(palette_rotate(10, 1), 0);
    EXPECT_EQ(palette_rotate(10, 0), 0);
    EXPECT_EQ(palette_rotate(10, -5), 0);
    EXPECT_EQ(palette_rotate(250, 7), 0);
    EXPECT_EQ(palette_rotate(-1, 3), 0);
    EXPECT_EQ(palette_rotate(0x7FFFFFFF, 2), 0);
    EXPECT_EQ(0, std::memcmp(all, palette_entries, sizeof all));
    EXPECT_EQ(palette_rotate(254, 2), 1);
}

}  // namespace
