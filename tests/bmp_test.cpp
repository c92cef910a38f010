// BMP loading: files from a standard encoder, files built byte by byte, every refused shape,
// and the row flip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/bmp.h"
#include "picture_files.h"

namespace {

std::string fixture(const char* name) { return std::string(ZARN_TEST_DATA) + "/" + name; }

uint16_t word_555(int r, int g, int b) { return static_cast<uint16_t>((b >> 3) | ((g >> 3) << 5) | ((r >> 3) << 10)); }

uint16_t word_at(const BmpFile& bmp, int x, int y) {
    uint16_t w;
    std::memcpy(&w, bmp.buffer + 2 * (y * bmp.info_header.biWidth + x), 2);
    return w;
}

struct Loaded {
    BmpFile bmp{};
    ~Loaded() { bmp_unload(&bmp); }
};

// The colours given to the encoder by tests/data/make_fixtures.sh.
TEST(BmpLoad, EightBitFilesFromTheEncoderMatchWhatItWasGiven) {
    Loaded a;
    ASSERT_EQ(bmp_load(&a.bmp, fixture("gradient256_8bit.bmp").c_str()), 1);
    ASSERT_EQ(+a.bmp.info_header.biWidth, 16);
    ASSERT_EQ(+a.bmp.info_header.biHeight, 16);
    EXPECT_EQ(+a.bmp.info_header.biBitCount, 8);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const PaletteEntry& e = a.bmp.palette[a.bmp.buffer[y * 16 + x]];
            ASSERT_EQ(e.peRed, (16 * x + 3) % 256) << x << "," << y;
            ASSERT_EQ(e.peGreen, (16 * y + 5) % 256) << x << "," << y;
            ASSERT_EQ(e.peBlue, (7 * x + 11 * y) % 256) << x << "," << y;
            ASSERT_EQ(e.peFlags, 4);
        }

    // A picture of few colours still comes with the full table; loading it replaces the first.
    ASSERT_EQ(bmp_load(&a.bmp, fixture("few_colours_8bit.bmp").c_str()), 1);
    ASSERT_EQ(+a.bmp.info_header.biWidth, 12);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 12; ++x) {
            const PaletteEntry& e = a.bmp.palette[a.bmp.buffer[y * 12 + x]];
            ASSERT_EQ(e.peRed, 2 * (12 * y + x));
            ASSERT_EQ(e.peGreen, 9);
            ASSERT_EQ(e.peBlue, 200);
        }
}

TEST(BmpLoad, TwentyFourBitFilesFromTheEncoderBecome555Words) {
    Loaded a;
    a.bmp.palette[7] = PaletteEntry{1, 2, 3, 4};
    ASSERT_EQ(bmp_load(&a.bmp, fixture("colours_24bit.bmp").c_str()), 1);
    EXPECT_EQ(+a.bmp.info_header.biBitCount, 16);
    EXPECT_EQ(+a.bmp.info_header.biSizeImage, 12u * 5 * 3);  // the file's value
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(word_at(a.bmp, x, y), word_555((20 * x + 7) % 256, (50 * y + 1) % 256, (x * y * 13) % 256))
                << x << "," << y;
    EXPECT_EQ(a.bmp.palette[7].peBlue, 3);  // palette untouched

    // The encoder pads rows of 6 x 3 bytes to 20: rows with gaps are not read.
    uint8_t* held = a.bmp.buffer;
    EXPECT_EQ(bmp_load(&a.bmp, fixture("narrow_24bit.bmp").c_str()), 0);
    EXPECT_EQ(a.bmp.buffer, held);
    EXPECT_EQ(+a.bmp.info_header.biWidth, 12);
}

TEST(BmpLoad, ColourTableRowOrderAndConversionOfBuiltFiles) {
    ScratchDir dir;
    Loaded a;
    // Two rows of 4: the file stores the bottom row (5 6 7 8) first.
    std::vector<uint8_t> f8 = bmp_bytes(4, 2, 8, {5, 6, 7, 8, 1, 2, 3, 4});
    f8[AT_TABLE + 4 * 9] = 10;  // entry 9 stored as blue 10, green 20, red 30, 0
    f8[AT_TABLE + 4 * 9 + 1] = 20;
    f8[AT_TABLE + 4 * 9 + 2] = 30;
    ASSERT_EQ(bmp_load(&a.bmp, dir.write("a.bmp", f8).c_str()), 1);
    EXPECT_EQ(std::memcmp(a.bmp.buffer, "\1\2\3\4\5\6\7\10", 8), 0);
    const PaletteEntry e = a.bmp.palette[9];
    EXPECT_EQ(e.peRed, 30);
    EXPECT_EQ(e.peGreen, 20);
    EXPECT_EQ(e.peBlue, 10);
    EXPECT_EQ(e.peFlags, 4);

    // Spare bytes between the table and the pixels: the pixels are the end of the file.
    ASSERT_EQ(bmp_load(&a.bmp, dir.write("gap.bmp", bmp_bytes(4, 2, 8, {5, 6, 7, 8, 1, 2, 3, 4}, 37)).c_str()), 1);
    EXPECT_EQ(std::memcmp(a.bmp.buffer, "\1\2\3\4\5\6\7\10", 8), 0);

    // 24 bits: (blue FF, green 80, red 08) -> 0x061F; (7, 7, 7) -> 0. Four pixels a row.
    std::vector<uint8_t> px24 = {0xFF, 0x80, 0x08, 7, 7, 7, 0, 0, 0, 0, 0, 0,   // bottom row
                                 0, 0, 0xF8, 0, 0xF8, 0, 0xF8, 0, 0, 255, 255, 255};
    ASSERT_EQ(bmp_load(&a.bmp, dir.write("c.bmp", bmp_bytes(4, 2, 24, px24)).c_str()), 1);
    EXPECT_EQ(word_at(a.bmp, 0, 1), 0x061F);
    EXPECT_EQ(word_at(a.bmp, 1, 1), 0);
    EXPECT_EQ(word_at(a.bmp, 0, 0), 0x7C00);
    EXPECT_EQ(word_at(a.bmp, 3, 0), 0x7FFF);
    EXPECT_EQ(+a.bmp.info_header.biSizeImage, 24u);
    EXPECT_EQ(a.bmp.palette[9].peGreen, 246);  // still what the last 8-bit file left

    // 16 bits: the words as stored, rows turned.
    ASSERT_EQ(bmp_load(&a.bmp, dir.write("d.bmp", bmp_bytes(2, 2, 16, {1, 0, 2, 0, 3, 0, 4, 0})).c_str()), 1);
    EXPECT_EQ(word_at(a.bmp, 0, 0), 3);
    EXPECT_EQ(word_at(a.bmp, 1, 1), 2);

    EXPECT_EQ(bmp_unload(&a.bmp), 1);
    EXPECT_EQ(a.bmp.buffer, nullptr);
    EXPECT_EQ(+a.bmp.info_header.biWidth, 2);  // headers stay
    EXPECT_EQ(bmp_unload(&a.bmp), 1);
    EXPECT_EQ(bmp_unload(nullptr), 1);
}

TEST(BmpLoad, MissingFileAndWrongSignatureKeepThePixels) {
    ScratchDir dir;
    Loaded a;
    ASSERT_EQ(bmp_load(&a.bmp, dir.write("a.bmp", bmp_bytes(4, 1, 8, {1, 2, 3, 4})).c_str()), 1);
    uint8_t* held = a.bmp.buffer;
    EXPECT_EQ(bmp_load(&a.bmp, (dir.path / "none.bmp").c_str()), 0);
    EXPECT_EQ(a.bmp.buffer, held);

    std::vector<uint8_t> ba = bmp_bytes(8, 1, 8, std::vector<uint8_t>(8, 9));
    ba[1] = 'A';
    EXPECT_EQ(bmp_load(&a.bmp, dir.write("ba.bmp", ba).c_str()), 0);
    EXPECT_EQ(+a.bmp.file_header.bfType, 0x4142);  // the 14 bytes read
    EXPECT_EQ(a.bmp.buffer, held);
    EXPECT_EQ(+a.bmp.info_header.biWidth, 4);
    EXPECT_EQ(std::memcmp(a.bmp.buffer, "\1\2\3\4", 4), 0);
    EXPECT_EQ(bmp_load(nullptr, "a.bmp"), 0);
    EXPECT_EQ(bmp_load(&a.bmp, nullptr), 0);
}

bool same_record(const BmpFile& a, const BmpFile& b) {
    return std::memcmp(&a.file_header, &b.file_header, sizeof a.file_header) == 0 &&
           std::memcmp(&a.info_header, &b.info_header, sizeof a.info_header) == 0 &&
           std::memcmp(a.palette, b.palette, sizeof a.palette) == 0 && a.buffer == b.buffer;
}

// Every shape outside what the loader reads gives 0 and leaves the record as it was.
TEST(BmpLoad, EveryBadShapeGivesZeroAndLeavesTheRecord) {
    ScratchDir dir;
    const std::vector<uint8_t> good8 = bmp_bytes(8, 4, 8, numbered_rows(8, 4));
    const std::vector<uint8_t> good24 = bmp_bytes(4, 2, 24, std::vector<uint8_t>(24, 0x40));
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto with32 = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
        put32(b, at, v);
        return b;
    };
    auto with16 = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
        put16(b, at, v);
        return b;
    };
    auto cut = [](std::vector<uint8_t> b, size_t size) {
        b.resize(size);
        return b;
    };
    for (uint32_t bits : {0u, 1u, 4u, 32u}) cases.push_back({"depth", with16(good8, AT_BIT_COUNT, bits)});
    cases.push_back({"run-length compressed", with32(good8, AT_COMPRESSION, 1)});
    cases.push_back({"bit fields", with32(good24, AT_COMPRESSION, 3)});
    cases.push_back({"width 0", with32(good8, AT_WIDTH, 0)});
    cases.push_back({"width -8", with32(good8, AT_WIDTH, static_cast<uint32_t>(-8))});
    cases.push_back({"height 0", with32(good8, AT_HEIGHT, 0)});
    cases.push_back({"top-down height -4", with32(good8, AT_HEIGHT, static_cast<uint32_t>(-4))});
    cases.push_back({"size 0", with32(good8, AT_SIZE_IMAGE, 0)});
    cases.push_back({"size too small", with32(good8, AT_SIZE_IMAGE, 31)});
    cases.push_back({"size beyond the file", with32(good8, AT_SIZE_IMAGE, 33)});
    cases.push_back({"size far beyond the file", with32(good8, AT_SIZE_IMAGE, 0xFFFFFFF0u)});
    cases.push_back({"24-bit size too small", with32(good24, AT_SIZE_IMAGE, 23)});
    // 65536 x 65537 wraps to 65536 pixels in 32 bits; the file holds exactly that many bytes.
    {
        std::vector<uint8_t> b = bmp_bytes(256, 256, 8, std::vector<uint8_t>(65536, 1));
        put32(b, AT_WIDTH, 65536);
        put32(b, AT_HEIGHT, 65537);
        cases.push_back({"width x height overflowing", b});
        std::vector<uint8_t> c = b;
        put32(c, AT_WIDTH, 0x7FFFFFFF);
        put32(c, AT_HEIGHT, 0x7FFFFFFF);
        cases.push_back({"largest width and height", c});
        std::vector<uint8_t> d = c;
        put16(d, AT_BIT_COUNT, 24);
        cases.push_back({"largest 24-bit width and height", d});
    }
    cases.push_back({"info header cut", cut(good8, 30)});
    cases.push_back({"file header cut", cut(good8, 10)});
    cases.push_back({"colour table cut", cut(good8, 54 + 500)});
    cases.push_back({"pixels cut", cut(good8, good8.size() - 1)});
    cases.push_back({"table of 16 entries", with32(good8, AT_CLR_USED, 16)});
    cases.push_back({"info header of 124 bytes", with32(good8, AT_BI_SIZE, 124)});
    // Padded rows: 3 pixels of 8 bits stored in 4-byte rows.
    cases.push_back({"padded rows", bmp_bytes(3, 2, 8, {1, 2, 3, 0, 4, 5, 6, 0})});

    BmpFile bmp{};
    ASSERT_EQ(bmp_load(&bmp, dir.write("good.bmp", bmp_bytes(2, 1, 8, {7, 9})).c_str()), 1);
    const BmpFile before = bmp;
    int n = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(bmp_load(&bmp, dir.write("bad" + std::to_string(n++) + ".bmp", c.bytes).c_str()), 0) << c.what;
        EXPECT_TRUE(same_record(bmp, before)) << c.what;
    }
    EXPECT_EQ(bmp.buffer[0], 7);
    EXPECT_EQ(bmp.buffer[1], 9);
    bmp_unload(&bmp);
    // The good shapes the bad ones were made from do load.
    EXPECT_EQ(bmp_load(&bmp, dir.write("good8.bmp", good8).c_str()), 1);
    EXPECT_EQ(bmp_load(&bmp, dir.write("good24.bmp", good24).c_str()), 1);
    bmp_unload(&bmp);
}

TEST(BmpFlip, ReversesRowsInPlaceAtAnyWidthAndRefusesBadArguments) {
    // Rows longer than the exchange block, an odd and an even count of rows.
    for (int32_t height : {1, 2, 5, 6}) {
        const int32_t line = 5000;
        std::vector<uint8_t> image(static_cast<size_t>(line) * height);
        for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i / line * 31 + i % 251);
        const std::vector<uint8_t> original = image;
        ASSERT_EQ(bmp_flip_rows(image.data(), line, height), 1);
        for (int32_t r = 0; r < height; ++r)
            ASSERT_EQ(std::memcmp(&image[static_cast<size_t>(r) * line],
                                  &original[static_cast<size_t>(height - 1 - r) * line], line), 0)
                << height << " rows, row " << r;
    }
    uint8_t one = 3;
    EXPECT_EQ(bmp_flip_rows(&one, 1, 0), 1);
    EXPECT_EQ(bmp_flip_rows(nullptr, 4, 2), 0);
    EXPECT_EQ(bmp_flip_rows(&one, -1, 2), 0);
    EXPECT_EQ(bmp_flip_rows(&one, 1, -1), 0);
    EXPECT_EQ(one, 3);
}

}  // namespace
