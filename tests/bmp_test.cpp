// BMP loading: files from a standard encoder, files built byte by byte in every shape the loader
// takes and every one it refuses, and the row flip. Files from the tools people use are checked
// against other decoders by pictures/tool_files.sh.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imaging/bmp.h"
#include "picture_files.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizers' allocator statistics (their header is not shipped with every compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

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

    // The encoder pads rows of 6 x 3 bytes to 20; the padding is skipped.
    ASSERT_EQ(bmp_load(&a.bmp, fixture("narrow_24bit.bmp").c_str()), 1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(word_at(a.bmp, x, y), word_555(10 * x, 40 * y, 99)) << x << "," << y;
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

    // 24 bits: (blue FF, green 80, red 08) -> 0x061F; (7, 7, 7) -> 0. Four pixels a row.
    std::vector<uint8_t> px24 = {0xFF, 0x80, 0x08, 7, 7,    7, 0,    0, 0, 0,   0,   0,  // bottom row
                                 0,    0,    0xF8, 0, 0xF8, 0, 0xF8, 0, 0, 255, 255, 255};
    ASSERT_EQ(bmp_load(&a.bmp, dir.write("c.bmp", bmp_bytes(4, 2, 24, px24)).c_str()), 1);
    EXPECT_EQ(word_at(a.bmp, 0, 1), 0x061F);
    EXPECT_EQ(word_at(a.bmp, 1, 1), 0);
    EXPECT_EQ(word_at(a.bmp, 0, 0), 0x7C00);
    EXPECT_EQ(word_at(a.bmp, 3, 0), 0x7FFF);
    EXPECT_EQ(+a.bmp.info_header.biSizeImage, 24u);
    EXPECT_EQ(a.bmp.palette[9].peGreen, 20);  // still what the last 8-bit file left

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
    EXPECT_EQ(bmp_load(&a.bmp, (dir.path / "none.bmp").string().c_str()), 0);
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

// The palette entry that bmp_laid_out and bmp_bytes store for index i, as the record holds it.
PaletteEntry stored_entry(int i) {
    return PaletteEntry{static_cast<uint8_t>(i / 2), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i), 4};
}

std::vector<uint8_t> words(std::initializer_list<uint16_t> list) {
    std::vector<uint8_t> b;
    for (uint16_t w : list) b.insert(b.end(), {static_cast<uint8_t>(w), static_cast<uint8_t>(w >> 8)});
    return b;
}

std::vector<uint8_t> with32(std::vector<uint8_t> b, size_t at, uint32_t v) {
    put32(b, at, v);
    return b;
}

// Every shape beyond the classic one, as small files: the record describes the decoded picture
// (depth 8 or 16, a positive height, the first 40 bytes of a longer header), the buffer holds the
// rows without padding, top row first; an index picture brings its table (the entries past it
// black), a 16-bit picture leaves the palette alone. Where biSizeImage, bfOffBits and biClrUsed
// disagree, a classic file takes its last biSizeImage bytes and its whole table whatever
// bfOffBits and biClrUsed say, unless padded rows from bfOffBits fill the file exactly behind a
// biSizeImage without the padding, or biSizeImage claims more than the rows.
TEST(BmpLoad, EveryShapeLoadsIntoTheRecordsTwoShapes) {
    const std::vector<uint32_t> fields565 = {0xF800, 0x07E0, 0x001F};
    const std::vector<uint32_t> fields_rgba = {0xFF000000, 0xFF0000, 0xFF00};
    const std::vector<uint8_t> rows24 = {0xF8, 0, 0, 0, 0xF8, 0, 0,    0,    0xF8, 0, 0, 0,
                                         0,    0, 0, 8, 8,    8, 0xF8, 0xF8, 0xF8, 0, 0, 0};
    const std::vector<uint8_t> rows8 = {5, 6, 7, 8, 1, 2, 3, 4}, three = {1, 2, 3, 4, 5, 6},
                               top_first = {4, 5, 6, 1, 2, 3};
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int depth;
        uint32_t header;
        int colours;                   // entries the palette takes from the file (index pictures)
        std::vector<uint8_t> picture;  // the expected buffer, top row first
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"1 bit, rows padded", bmp_laid_out({3, 2, 1, 0, 40, 2}, {0xA0, 0, 0, 0, 0x60, 0, 0, 0}), 8, 40, 2,
         {0, 1, 1, 1, 0, 1}},
        {"1 bit, a table of 1", bmp_laid_out({2, 1, 1, 0, 40, 1}, {0, 0, 0, 0}), 8, 40, 1, {0, 0}},
        {"4 bits, a table of 5", bmp_laid_out({3, 2, 4, 0, 40, 5}, {0x12, 0x30, 0, 0, 0x40, 0x10, 0, 0}), 8, 40, 5,
         {4, 0, 1, 1, 2, 3}},
        {"8 bits, rows padded, biSizeImage 0", bmp_laid_out({3, 2, 8, 0, 40, 10, {}, 0}, {7, 8, 9, 0, 1, 2, 3, 0}),
         8, 40, 10, {1, 2, 3, 7, 8, 9}},
        {"8 bits top-down", bmp_laid_out({3, -2, 8, 0, 40, 256}, {1, 2, 3, 0, 7, 8, 9, 0}), 8, 40, 256,
         {1, 2, 3, 7, 8, 9}},
        {"run-length 8 bits", bmp_laid_out({3, 2, 8, 1, 40, 6}, {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}), 8, 40, 6,
         {1, 2, 3, 5, 5, 5}},
        {"run-length 4 bits, a move", bmp_laid_out({3, 2, 4, 2, 40, 16}, {3, 0x12, 0, 0, 0, 2, 1, 0, 2, 0x34, 0, 1}), 8,
         40, 16, {0, 3, 4, 1, 2, 1}},
        {"OS/2 header, 8 bits", bmp_laid_out({2, 1, 8, 0, 12, 256}, {9, 200, 0, 0}), 8, 12, 256, {9, 200}},
        {"124-byte header, 8 bits", bmp_laid_out({2, 1, 8, 0, 124, 256}, {9, 200, 0, 0}), 8, 124, 256, {9, 200}},
        {"24 bits top-down, rows padded", bmp_laid_out({1, -2, 24}, {0xFF, 0x80, 0x08, 0, 7, 7, 7, 0}), 16, 40, 0,
         words({0x061F, 0})},
        {"24 bits, 108-byte header", bmp_laid_out({1, 1, 24, 0, 108}, {0, 0, 0xF8, 0}), 16, 108, 0, words({0x7C00})},
        {"OS/2 header, 24 bits", bmp_laid_out({1, 1, 24, 0, 12}, {0, 0xF8, 0, 0}), 16, 12, 0, words({0x03E0})},
        {"32 bits, the fourth byte dropped", bmp_laid_out({2, 1, 32}, {0x08, 0x80, 0xFF, 0x77, 0xF8, 0, 0, 0xFF}), 16,
         40, 0, words({0x7E01, 0x001F})},
        {"16 bits as stored, rows padded", bmp_laid_out({1, 2, 16}, {1, 0x80, 0, 0, 2, 0, 0, 0}), 16, 40, 0,
         words({0x0002, 0x8001})},
        {"5-6-5 behind a 40-byte header", bmp_laid_out({4, 1, 16, 3, 40, 0, fields565}, words({0xF800, 0x07E0, 0x001F, 0x0841})),
         16, 40, 0, words({0x7C00, 0x03E0, 0x001F, 0x0421})},
        {"5-6-5 in a 124-byte header, top-down", bmp_laid_out({1, -2, 16, 3, 124, 0, fields565}, words({0xFFFF, 0, 0x0020, 0})),
         16, 124, 0, words({0x7FFF, 0})},
        {"32-bit fields, red in the top byte", bmp_laid_out({1, 1, 32, 3, 108, 0, fields_rgba}, {0x55, 0x10, 0x20, 0xF8}),
         16, 108, 0, words({0x7C82})},
        {"24-bit rows padded to 12 bytes, biSizeImage 18", bmp_laid_out({3, 2, 24, 0, 40, 0, {}, 18}, rows24), 16, 40,
         0, words({0, 0x0421, 0x7FFF, 0x001F, 0x03E0, 0x7C00})},
        {"8-bit rows padded to the end, biSizeImage 6",
         with32(bmp_bytes(3, 2, 8, {1, 2, 3, 0, 4, 5, 6, 0}), AT_SIZE_IMAGE, 6), 8, 40, 256, top_first},
        {"8-bit rows padded but the last, biSizeImage 6",
         with32(bmp_bytes(3, 2, 8, {1, 2, 3, 0, 4, 5, 6}), AT_SIZE_IMAGE, 6), 8, 40, 256, top_first},
        {"biSizeImage two bytes over the rows", with32(bmp_bytes(4, 2, 8, rows8), AT_SIZE_IMAGE, 10), 8, 40, 256,
         {1, 2, 3, 4, 5, 6, 7, 8}},
        {"37 spare bytes, bfOffBits at the pixels", bmp_bytes(4, 2, 8, rows8, 37), 8, 40, 256, {1, 2, 3, 4, 5, 6, 7, 8}},
        {"12 spare bytes, bfOffBits at the first", with32(bmp_bytes(4, 2, 8, rows8, 12), 10, 1078), 8, 40, 256,
         {1, 2, 3, 4, 5, 6, 7, 8}},
        {"5 spare bytes, bfOffBits at the first", with32(bmp_bytes(3, 2, 8, three, 5), 10, 1078), 8, 40, 256, top_first},
        {"bfOffBits at the table", with32(bmp_bytes(3, 2, 8, three), 10, 54), 8, 40, 256, top_first},
        {"biClrUsed 16 before the whole table", with32(bmp_bytes(3, 2, 8, {1, 2, 200, 4, 5, 6}), AT_CLR_USED, 16), 8,
         40, 256, {4, 5, 6, 1, 2, 200}},
    };
    // clang-format on
    ScratchDir dir;
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded a;
        for (int i = 0; i < 256; ++i) a.bmp.palette[i] = PaletteEntry{1, 2, 3, 9};
        ASSERT_EQ(bmp_load(&a.bmp, dir.write(std::to_string(n++) + ".bmp", c.file).c_str()), 1);
        const BitmapInfoHeader& info = a.bmp.info_header;
        EXPECT_EQ(+info.biBitCount, c.depth);
        EXPECT_EQ(+info.biSize, c.header);
        ASSERT_EQ(static_cast<size_t>(info.biWidth) * info.biHeight * (c.depth / 8), c.picture.size());
        EXPECT_EQ(std::vector<uint8_t>(a.bmp.buffer, a.bmp.buffer + c.picture.size()), c.picture);
        for (int i = 0; i < 256; ++i) {
            const PaletteEntry want = c.depth == 16   ? PaletteEntry{1, 2, 3, 9}
                                      : i < c.colours ? stored_entry(i)
                                                      : PaletteEntry{0, 0, 0, 4};
            ASSERT_EQ(std::memcmp(&a.bmp.palette[i], &want, sizeof want), 0) << "entry " << i;
        }
    }
}

// Every shape the loader does not read, or cannot decode right, gives 0 and leaves the record.
TEST(BmpLoad, EveryBadShapeGivesZeroAndLeavesTheRecord) {
    ScratchDir dir;
    const std::vector<uint8_t> good8 = bmp_bytes(8, 4, 8, numbered_rows(8, 4));
    const std::vector<uint8_t> good24 = bmp_bytes(4, 2, 24, std::vector<uint8_t>(24, 0x40));
    const std::vector<uint8_t> rows16(8, 0x11);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto with16 = [](std::vector<uint8_t> b, size_t at, uint32_t v) {
        put16(b, at, v);
        return b;
    };
    auto cut = [](std::vector<uint8_t> b, size_t size) {
        b.resize(size);
        return b;
    };
    auto rle8 = [](std::vector<uint8_t> stream, int32_t height = 2) {
        return bmp_laid_out({3, height, 8, 1, 40, 256}, stream);
    };
    auto fields = [&](std::vector<uint32_t> masks) { return bmp_laid_out({2, 2, 16, 3, 40, 0, masks}, rows16); };
    for (uint32_t bits : {0u, 2u, 64u}) cases.push_back({"depth", with16(good8, AT_BIT_COUNT, bits)});
    for (uint32_t compression : {4u, 5u, 6u})
        cases.push_back({"compression", with32(good24, AT_COMPRESSION, compression)});
    cases.push_back({"bit fields on 24 bits", with32(good24, AT_COMPRESSION, 3)});
    cases.push_back({"run-length 4 on 8 bits", with32(good8, AT_COMPRESSION, 2)});
    cases.push_back({"masks with a gap", fields({0xF900, 0x07E0, 0x001F})});
    cases.push_back({"masks overlapping", fields({0xFC00, 0x07E0, 0x001F})});
    cases.push_back({"a mask of 4 bits", fields({0xF000, 0x0F00, 0x00F0})});
    cases.push_back({"a mask of 9 bits", bmp_laid_out({1, 1, 32, 3, 40, 0, {0x1FF0000, 0xFF00, 0xFF}}, {0, 0, 0, 0})});
    cases.push_back({"a mask of 0", fields({0x7C00, 0, 0x001F})});
    for (uint32_t size : {16u, 64u, 0u}) cases.push_back({"info header size", with32(good8, AT_BI_SIZE, size)});
    cases.push_back({"width 0", with32(good8, AT_WIDTH, 0)});
    cases.push_back({"width -8", with32(good8, AT_WIDTH, static_cast<uint32_t>(-8))});
    cases.push_back({"height 0", with32(good8, AT_HEIGHT, 0)});
    cases.push_back({"height of the lowest int", with32(good8, AT_HEIGHT, 0x80000000u)});
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
    cases.push_back({"padded rows cut", cut(bmp_laid_out({3, 2, 24}, std::vector<uint8_t>(24, 1)), 14 + 40 + 20)});
    cases.push_back(
        {"pixels offset into the headers", with32(bmp_laid_out({4, 1, 8, 0, 40, 0, {}, 0}, {1, 2, 3, 4}), 10, 40)});
    cases.push_back({"an index past a table of 16", bmp_laid_out({8, 4, 8, 0, 40, 16}, numbered_rows(8, 4))});
    cases.push_back({"a 1-bit index past a table of 1", bmp_laid_out({2, 1, 1, 0, 40, 1}, {0x40, 0, 0, 0})});
    cases.push_back({"a run past the row's padding", rle8({5, 1, 0, 1})});
    cases.push_back({"a stored stretch past the padding", rle8({0, 5, 1, 2, 3, 4, 5, 0, 0, 1})});
    cases.push_back({"a stored stretch cut", rle8({0, 3, 1, 2})});
    cases.push_back({"a run above the top row", rle8({0, 0, 0, 0, 1, 1, 0, 1})});
    cases.push_back({"a move out of the picture", rle8({0, 2, 0, 3, 0, 1})});
    cases.push_back({"no end of the picture", rle8({3, 1, 0, 0, 3, 2, 0, 0})});
    cases.push_back({"an index past the table in a run", bmp_laid_out({3, 1, 8, 1, 40, 4}, {3, 4, 0, 1})});
    cases.push_back({"run-length top-down", rle8({0, 1}, -2)});
    cases.push_back({"run-length of 2^26 + 1 pixels", bmp_laid_out({8193, 8192, 8, 1, 40, 256}, {0, 1})});

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
    // The good shapes the bad ones were made from do load, and so does the largest run-length picture.
    EXPECT_EQ(bmp_load(&bmp, dir.write("good8.bmp", good8).c_str()), 1);
    EXPECT_EQ(bmp_load(&bmp, dir.write("good24.bmp", good24).c_str()), 1);
    EXPECT_EQ(bmp_load(&bmp, dir.write("good16.bmp", fields({0x7C00, 0x03E0, 0x001F})).c_str()), 1);
    EXPECT_EQ(bmp_load(&bmp, dir.write("rle.bmp", bmp_laid_out({8192, 8192, 8, 1, 40, 256}, {0, 1})).c_str()), 1);
    bmp_unload(&bmp);
}

// The bytes the allocator has handed out and not had back (the sanitizers' allocator in their
// build, the C runtime's heap on Windows, glibc's otherwise).
size_t heap_in_use() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(_WIN32)
    _HEAPINFO block{};
    size_t used = 0;
    while (_heapwalk(&block) == _HEAPOK)
        if (block._useflag == _USEDENTRY) used += block._size;
    return used;
#else
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
#endif
}

// Loading into a loaded record releases its pixels: forty loads of a 256 KiB picture into one
// record leave the heap as one load does, whichever way the pixels are made.
TEST(BmpLoad, LoadingIntoALoadedRecordReleasesTheOldPixels) {
    ScratchDir dir;
    const std::string classic = dir.write("a.bmp", bmp_bytes(512, 512, 8, std::vector<uint8_t>(512 * 512, 3)));
    const std::string converted = dir.write("b.bmp", bmp_bytes(256, 512, 24, std::vector<uint8_t>(256 * 512 * 3, 3)));
    for (const std::string& file : {classic, converted}) {
        Loaded a;
        ASSERT_EQ(bmp_load(&a.bmp, file.c_str()), 1);
        const size_t after_one = heap_in_use();
        for (int i = 0; i < 40; ++i) ASSERT_EQ(bmp_load(&a.bmp, file.c_str()), 1);
        EXPECT_LT(heap_in_use(), after_one + 256 * 1024) << file;
    }
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
                                  &original[static_cast<size_t>(height - 1 - r) * line], line),
                      0)
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
