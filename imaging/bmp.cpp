// BMP file loading: 8-bit palettised, 16-bit, and 24-bit turned into 16-bit 5-5-5 words.
//
// The loader takes the pixel data as the last biSizeImage bytes of the file and turns the rows
// so that row 0 of the buffer is the picture's top row. Before it touches the record it checks
// the file against the shapes it knows how to read; a file of any other shape, or one that ends
// before its headers say it should, gives 0 and leaves the record as it was.
#include "imaging/bmp.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint16_t BMP_SIGNATURE = 0x4D42;  // "BM"
constexpr uint32_t INFO_HEADER_SIZE = 40;
constexpr int64_t HEADERS_SIZE = 14 + 40;
constexpr int64_t COLOUR_TABLE_SIZE = 256 * 4;
constexpr uint8_t PC_NOCOLLAPSE = 4;

struct FileCloser {
    FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

bool read_exact(FILE* file, void* dest, size_t bytes) { return std::fread(dest, 1, bytes, file) == bytes; }

// The size of the file in bytes, or -1.
int64_t file_size(FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    long size = std::ftell(file);
    return size < 0 ? -1 : static_cast<int64_t>(size);
}

// Whether the headers describe a picture this loader reads, in a file of this size: 8, 16 or
// 24 bits, uncompressed, a 40-byte info header, a positive size, rows without padding, and
// pixel data that lies behind the headers (and the full 256-entry colour table of 8-bit files).
bool readable_shape(const BitmapInfoHeader& info, int64_t size) {
    if (info.biSize != INFO_HEADER_SIZE) return false;
    if (info.biBitCount != 8 && info.biBitCount != 16 && info.biBitCount != 24) return false;
    if (info.biCompression != 0) return false;
    if (info.biWidth <= 0 || info.biHeight <= 0) return false;

    const int64_t bytes_per_pixel = info.biBitCount / 8;
    const int64_t row = static_cast<int64_t>(info.biWidth) * bytes_per_pixel;
    if (row > INT32_MAX) return false;
    const int64_t pixels_bytes = row * info.biHeight;  // below 2^62: no overflow
    if (pixels_bytes > INT32_MAX) return false;        // buffer offsets stay in int32

    const int64_t image_size = info.biSizeImage;
    if (image_size == 0 || image_size < pixels_bytes || image_size > INT32_MAX) return false;
    // Rows padded to 4 bytes, as standard encoders store rows whose length is not a multiple
    // of 4: the rows would not follow each other without gaps.
    const int64_t padded_row = (row + 3) & ~int64_t{3};
    if (padded_row != row && image_size >= padded_row * info.biHeight) return false;

    int64_t headers = HEADERS_SIZE;
    if (info.biBitCount == 8) {
        // biClrUsed 0 stands for the full table; fewer entries means a table cut short.
        if (info.biClrUsed != 0 && info.biClrUsed < 256) return false;
        headers += COLOUR_TABLE_SIZE;
    }
    return image_size <= size - headers;
}

// 24-bit blue, green, red triples to 5-5-5 words: blue in bits 0-4, green 5-9, red 10-14.
void convert_24_to_555(const uint8_t* source, uint16_t* dest, int64_t pixels) {
    for (int64_t i = 0; i < pixels; ++i) {
        const uint8_t* p = source + 3 * i;
        dest[i] = static_cast<uint16_t>((p[0] >> 3) | ((p[1] >> 3) << 5) | ((p[2] >> 3) << 10));
    }
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
    if (!read_exact(file.file, &info, sizeof info)) return 0;
    const int64_t size = file_size(file.file);
    if (size < 0 || !readable_shape(info, size)) return 0;

    // The colour table lies directly behind the info header; the file's blue, green, red
    // become red, green, blue, and every entry is marked not to be collapsed.
    PaletteEntry palette[256];
    if (info.biBitCount == 8) {
        uint8_t table[COLOUR_TABLE_SIZE];
        if (std::fseek(file.file, HEADERS_SIZE, SEEK_SET) != 0 || !read_exact(file.file, table, sizeof table))
            return 0;
        for (int i = 0; i < 256; ++i)
            palette[i] = PaletteEntry{table[4 * i + 2], table[4 * i + 1], table[4 * i], PC_NOCOLLAPSE};
    }

    // The pixel data is the last biSizeImage bytes of the file.
    const size_t image_size = info.biSizeImage;
    if (std::fseek(file.file, -static_cast<long>(image_size), SEEK_END) != 0) return 0;
    uint8_t* pixels = nullptr;
    if (info.biBitCount == 8 || info.biBitCount == 16) {
        pixels = static_cast<uint8_t*>(std::malloc(image_size));
        if (!pixels) return 0;
        if (!read_exact(file.file, pixels, image_size)) {
            std::free(pixels);
            return 0;
        }
    } else {
        const int64_t count = static_cast<int64_t>(info.biWidth) * info.biHeight;
        uint8_t* triples = static_cast<uint8_t*>(std::malloc(image_size));
        if (!triples) return 0;
        pixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(2 * count)));
        if (!pixels || !read_exact(file.file, triples, image_size)) {
            std::free(triples);
            std::free(pixels);
            return 0;
        }
        convert_24_to_555(triples, reinterpret_cast<uint16_t*>(pixels), count);
        std::free(triples);
        info.biBitCount = 16;  // biSizeImage keeps the file's value
    }

    std::free(bmp->buffer);
    bmp->buffer = pixels;
    bmp->file_header = file_header;
    bmp->info_header = info;
    if (info.biBitCount == 8) std::memcpy(bmp->palette, palette, sizeof palette);
    bmp_flip_rows(bmp->buffer, (info.biBitCount / 8) * info.biWidth, info.biHeight);
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
