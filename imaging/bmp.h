#pragma once
// BMP files: 8-bit palettised, 16-bit, or 24-bit turned into 16-bit 5-5-5 words, top row first.
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

// The 40-byte info header, as stored (biBitCount becomes 16 after a 24-bit conversion).
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
//   Reads the file: 1 when its pixels are in buffer, 0 when it cannot be opened or is not a
//   picture of the supported kinds (then buffer holds no half-read pixels).
int bmp_unload(BmpFile* bmp);
//   Releases buffer; headers and palette stay. 1.
int bmp_flip_rows(uint8_t* image, int32_t bytes_per_line, int32_t height);
//   Reverses the order of the rows in place; 1, or 0 when the arguments are unusable.
