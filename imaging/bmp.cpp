// BMP file loading: the headers tell where the pixels lie and how they are stored; the decoders
// (bmp_decode.cpp) turn them into the record's two shapes, 8-bit indices or 16-bit 5-5-5 words.
//
// Files of the classic shape (a 40-byte info header, 8, 16 or 24 bits, uncompressed, bottom row
// first, biSizeImage of exactly the unpadded rows) are read as they always were, whatever
// bfOffBits and biClrUsed say: the colour table is the 1024 bytes behind the info header and the
// pixels are the last biSizeImage bytes of the file. Only where the rows from bfOffBits, padded
// to 4 bytes, fill the file exactly is that reading taken instead (writers that leave the padding
// out of biSizeImage). Every other file is read from bfOffBits, its rows padded to 4 bytes, as
// the format has it. Nothing is put in the record until the pixels are decoded whole; a file
// that cannot be decoded right gives 0.
#include "imaging/bmp.h"

#include <bit>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imaging/bmp_decode.h"

namespace {

constexpr uint16_t BMP_SIGNATURE = 0x4D42;  // "BM"
constexpr uint32_t CORE_HEADER_SIZE = 12;   // the OS/2 header: width, height, planes, depth in 16 bits
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr uint32_t LARGEST_HEADER_SIZE = 124;
constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr int64_t CLASSIC_TABLE_SIZE = 256 * 4;
constexpr int64_t LARGEST_RUN_LENGTH_PICTURE = int64_t{1} << 26;  // pixels: the stream can be tiny
constexpr uint8_t PC_NOCOLLAPSE = 4;

struct FileCloser {
    FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

bool read_exact(FILE* file, void* dest, size_t bytes) { return std::fread(dest, 1, bytes, file) == bytes; }

bool read_at(FILE* file, int64_t at, void* dest, size_t bytes) {
    return std::fseek(file, static_cast<long>(at), SEEK_SET) == 0 && read_exact(file, dest, bytes);
}

// The size of the file in bytes, or -1.
int64_t file_size(FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file);
    return size < 0 ? -1 : static_cast<int64_t>(size);
}

uint32_t load32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// The info header that follows the file header, as the record keeps it (an OS/2 header's four
// fields put in their places, the rest 0), and the colour masks of the bit-field files.
bool read_info_header(FILE* file, BitmapInfoHeader& info, uint32_t masks[3]) {
    uint8_t header[LARGEST_HEADER_SIZE + 12];
    if (!read_exact(file, header, 4)) return false;
    const uint32_t size = load32(header);
    if (size != CORE_HEADER_SIZE && size != 40 && size != 52 && size != 56 && size != 108 && size != 124) return false;
    if (!read_exact(file, header + 4, size - 4)) return false;
    info = BitmapInfoHeader{};
    if (size == CORE_HEADER_SIZE) {
        uint16_t core[4];
        std::memcpy(core, header + 4, sizeof core);
        info.biSize = size;
        info.biWidth = core[0];
        info.biHeight = core[1];
        info.biPlanes = core[2];
        info.biBitCount = core[3];
        return true;
    }
    std::memcpy(&info, header, sizeof info);
    if (info.biCompression == BI_BITFIELDS) {
        // Behind a 40-byte header the masks follow it; the longer headers hold them.
        if (size == INFO_HEADER_SIZE && !read_exact(file, header + 40, 12)) return false;
        for (int i = 0; i < 3; ++i) masks[i] = load32(header + 40 + 4 * i);
    }
    return true;
}

// Masks of 5 to 8 contiguous bits that do not overlap. Narrower channels are refused: decoders
// disagree on how to widen them (a 4-bit 8 is 128 to some, 136 to others).
bool usable_masks(const uint32_t masks[3]) {
    for (int i = 0; i < 3; ++i) {
        const uint32_t m = masks[i];
        const int bits = std::popcount(m);
        if (bits < 5 || bits > 8 || !std::has_single_bit((m >> std::countr_zero(m)) + 1)) return false;
    }
    return !(masks[0] & masks[1]) && !(masks[0] & masks[2]) && !(masks[1] & masks[2]);
}

// How the file's depth and compression store the pixels; false for a kind not read.
bool storage_of(const BitmapInfoHeader& info, const uint32_t masks[3], BmpStorage& storage) {
    const uint32_t compression = info.biCompression;
    const bool plain = compression == BI_RGB, fields = compression == BI_BITFIELDS && usable_masks(masks);
    const bool core = info.biSize == CORE_HEADER_SIZE;
    switch (info.biBitCount) {
        case 1: storage = BMP_INDEX1; return plain;
        case 4: storage = compression == BI_RLE4 ? BMP_RLE4 : BMP_INDEX4; return plain || compression == BI_RLE4;
        case 8: storage = compression == BI_RLE8 ? BMP_RLE8 : BMP_INDEX8; return plain || compression == BI_RLE8;
        case 16: storage = plain ? BMP_WORDS : BMP_MASKED16; return !core && (plain || fields);
        case 24: storage = BMP_BGR24; return plain;
        case 32: {
            const bool bgrx = plain || (fields && masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF);
            storage = bgrx ? BMP_BGRX32 : BMP_MASKED32;
            return !core && (plain || fields);
        }
        default: return false;
    }
}

// Where and how a file holds its picture.
struct Layout {
    BmpPixels pixels;
    int64_t data_at, data_size;
    int64_t table_at;
    int32_t table_entries;
    int entry_size;  // 4 bytes (blue, green, red, spare), 3 behind an OS/2 header
};

// Works out the layout from the headers and the size of the file; false for a file whose
// pixels cannot all be found in it.
bool plan_layout(const BitmapFileHeader& file_header, const BitmapInfoHeader& info, const uint32_t masks[3],
                 int64_t size, Layout& layout) {
    BmpStorage storage;
    if (!storage_of(info, masks, storage)) return false;
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == INT32_MIN) return false;
    const bool run_length = storage == BMP_RLE8 || storage == BMP_RLE4;
    const bool top_down = info.biHeight < 0;
    const int32_t width = info.biWidth, height = top_down ? -info.biHeight : info.biHeight;
    if (top_down && run_length) return false;
    const int64_t pixels = int64_t{width} * height;
    if (pixels * (bmp_picture_depth(storage) / 8) > INT32_MAX) return false;  // buffer offsets stay in int32
    if (run_length && pixels > LARGEST_RUN_LENGTH_PICTURE) return false;

    const int64_t row = bmp_stored_row_bytes(storage, width);
    const int64_t stride = (row + 3) & ~int64_t{3};
    const int bits = info.biBitCount;
    const uint32_t colours_used = info.biClrUsed;
    layout.entry_size = info.biSize == CORE_HEADER_SIZE ? 3 : 4;
    layout.table_at =
        14 + int64_t{info.biSize} + (info.biSize == INFO_HEADER_SIZE && info.biCompression == BI_BITFIELDS ? 12 : 0);
    layout.pixels = BmpPixels{storage, width, height, top_down, stride, {masks[0], masks[1], masks[2]}, 256};

    // The classic layout: the last biSizeImage bytes, rows without padding behind a full table
    // (biClrUsed not looked at: the table is the 1024 bytes the file holds there).
    const int64_t image_size = info.biSizeImage, offset = file_header.bfOffBits;
    const bool classic = info.biSize == INFO_HEADER_SIZE && info.biCompression == BI_RGB && !top_down &&
                         (bits == 8 || bits == 16 || bits == 24);
    const int64_t classic_headers = 14 + 40 + (bits == 8 ? CLASSIC_TABLE_SIZE : 0);
    const bool from_end = classic && image_size >= row * height && image_size <= INT32_MAX &&
                          image_size <= size - classic_headers && !(stride != row && image_size >= stride * height);
    // The format's layout: from bfOffBits, rows padded to 4 bytes (the last one may lack its padding).
    const int64_t after_offset = size - offset;
    const bool from_offset =
        offset >= layout.table_at && offset < size && (run_length || stride * (height - 1) + row <= after_offset);
    const bool padded_to_the_end = after_offset == stride * height || after_offset == stride * (height - 1) + row;
    // Where both could hold the picture, the end decides unless the offset shows it wrong: padded
    // rows that fill the file from bfOffBits behind a biSizeImage that leaves the padding out, or
    // a biSizeImage that is not the rows'. Spare bytes before the pixels, or a bfOffBits left
    // pointing at the table, do not move them.
    if (from_end &&
        (offset == size - image_size || !from_offset || (image_size == row * height && !padded_to_the_end))) {
        layout.pixels.stride = row;
        layout.data_at = size - image_size;
        layout.data_size = image_size;
        layout.table_at = 14 + 40;
        layout.table_entries = bits == 8 ? 256 : 0;
        return true;
    }
    if (!from_offset) return false;
    layout.data_at = offset;
    layout.data_size = !run_length                                    ? stride * (height - 1) + row
                       : image_size > 0 && image_size < size - offset ? image_size
                                                                      : size - offset;
    layout.table_entries = 0;
    if (bits <= 8) {
        // biClrUsed 0 stands for the full table; no more entries than the room before the pixels.
        const int64_t full = int64_t{1} << bits, room = (offset - layout.table_at) / layout.entry_size;
        int64_t entries =
            colours_used == 0 || info.biSize == CORE_HEADER_SIZE || colours_used > full ? full : colours_used;
        entries = entries < room ? entries : room;
        layout.table_entries = static_cast<int32_t>(entries);
        layout.pixels.colours = entries < full ? layout.table_entries : 256;
    }
    return true;
}

// The colour table as palette entries: the file's blue, green, red become red, green, blue;
// entries past the table are black; every entry is marked not to be collapsed.
bool read_palette(FILE* file, const Layout& layout, PaletteEntry palette[256]) {
    uint8_t table[256 * 4];
    const size_t bytes = static_cast<size_t>(layout.table_entries) * layout.entry_size;
    if (bytes && !read_at(file, layout.table_at, table, bytes)) return false;
    for (int i = 0; i < 256; ++i) {
        const uint8_t* e = table + i * layout.entry_size;
        palette[i] = i < layout.table_entries ? PaletteEntry{e[2], e[1], e[0], PC_NOCOLLAPSE}
                                              : PaletteEntry{0, 0, 0, PC_NOCOLLAPSE};
    }
    return true;
}

}  // namespace

int bmp_load(BmpFile* bmp, const char* name) {
    if (!bmp || !name) return 0;
    FileCloser file{std::fopen(name, "rb")};
    if (!file.file) return 0;

    BitmapFileHeader file_header;
    if (!read_exact(file.file, &file_header, sizeof file_header)) return 0;
    if (file_header.bfType != BMP_SIGNATURE) {
        bmp->file_header = file_header;
        return 0;
    }
    BitmapInfoHeader info;
    uint32_t masks[3] = {};
    if (!read_info_header(file.file, info, masks)) return 0;
    const int64_t size = file_size(file.file);
    Layout layout;
    if (size < 0 || !plan_layout(file_header, info, masks, size, layout)) return 0;

    const int depth = bmp_picture_depth(layout.pixels.storage);
    PaletteEntry palette[256];
    if (depth == 8 && !read_palette(file.file, layout, palette)) return 0;

    const size_t data_size = static_cast<size_t>(layout.data_size);
    uint8_t* data = static_cast<uint8_t*>(std::malloc(data_size));
    if (!data) return 0;
    if (!read_at(file.file, layout.data_at, data, data_size)) {
        std::free(data);
        return 0;
    }
    uint8_t* picture = bmp_decode(layout.pixels, data, data_size);
    if (!picture) return 0;

    // The record describes the picture: its depth, and its height as a count of rows.
    info.biBitCount = static_cast<uint16_t>(depth);
    info.biHeight = layout.pixels.height;
    std::free(bmp->buffer);
    bmp->buffer = picture;
    bmp->file_header = file_header;
    bmp->info_header = info;
    if (depth == 8) std::memcpy(bmp->palette, palette, sizeof palette);
    return 1;
}

int bmp_unload(BmpFile* bmp) {
    if (bmp && bmp->buffer) {
        std::free(bmp->buffer);
        bmp->buffer = nullptr;
    }
    return 1;
}

int bmp_flip_rows(uint8_t* image, int32_t bytes_per_line, int32_t height) {
    if (bytes_per_line < 0 || height < 0) return 0;
    if (bytes_per_line == 0 || height < 2) return 1;
    if (!image) return 0;
    // Rows are exchanged pairwise from the outside in, through a small block on the stack, so
    // the picture is never copied whole and the flip cannot fail for want of memory.
    constexpr size_t CHUNK = 2048;
    uint8_t hold[CHUNK];
    const size_t line = static_cast<size_t>(bytes_per_line);
    uint8_t* top = image;
    uint8_t* bottom = image + (static_cast<size_t>(height) - 1) * line;
    for (; top < bottom; top += line, bottom -= line) {
        for (size_t done = 0; done < line; done += CHUNK) {
            const size_t n = line - done < CHUNK ? line - done : CHUNK;
            std::memcpy(hold, top + done, n);
            std::memcpy(top + done, bottom + done, n);
            std::memcpy(bottom + done, hold, n);
        }
    }
    return 1;
}
