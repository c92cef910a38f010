#pragma once
// BMP files loaded into one of two shapes, top row first: 8-bit palette indices (from 1-, 4- and
// 8-bit files, run-length coded or not) or 16-bit 5-5-5 words (from 16-, 24- and 32-bit files).
#include <cstdint>

#include "platform/video.h"

#pragma pack(push, 1)
// The 14-byte file header, as stored.
struct BitmapFileHeader {
    uint16_t bfType;  // 0x4D42, "BM"
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
};

// The 40-byte info header, as stored (the first 40 bytes of a longer one; an OS/2 header's four
// fields in their places). After a load biBitCount is the picture's depth, 8 or 16, and
// biHeight its count of rows, positive also for a top-down file.
struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};
#pragma pack(pop)

// A loaded picture; one record serves in turn as the staging area for every picture.
struct BmpFile {
    BitmapFileHeader file_header;
    BitmapInfoHeader info_header;
    PaletteEntry palette[256];  // from 8-bit files only
    uint8_t* buffer;            // the pixels, top row first; null when none are held
};

int bmp_load(BmpFile* bmp, const char* name);
//   Reads the file: 1 when its pixels are in buffer (the old ones released), 0 when it cannot be
//   opened or its picture cannot be decoded right; the record is then left as it was (but for
//   file_header after a file not starting "BM").
int bmp_unload(BmpFile* bmp);
//   Releases buffer; headers and palette stay. 1.
int bmp_flip_rows(uint8_t* image, int32_t bytes_per_line, int32_t height);
//   Reverses the order of the rows in place; 1, or 0 when the arguments are unusable.
