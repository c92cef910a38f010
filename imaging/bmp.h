#pragma once
/// \file
/// BMP files loaded into one of two shapes, top row first: 8-bit palette indices (from 1-, 4- and
/// 8-bit files, run-length coded or not) or 16-bit 5-5-5 words (from 16-, 24- and 32-bit files).
#ifdef __cplusplus  // the same names, in std:: as well
#include <cstdint>
#else
#include <stdint.h>
#endif

#include "../platform/video.h"

#ifdef __cplusplus
extern "C" {
#else  // C names the records without `struct`, as C++ does
typedef struct BitmapFileHeader BitmapFileHeader;
typedef struct BitmapInfoHeader BitmapInfoHeader;
typedef struct BmpFile BmpFile;
#endif

#pragma pack(push, 1)
/// The 14-byte file header, as stored.
struct BitmapFileHeader {
    uint16_t bfType;       ///< 0x4D42, "BM"
    uint32_t bfSize;       ///< the file's length in bytes, as stated
    uint16_t bfReserved1;  ///< 0
    uint16_t bfReserved2;  ///< 0
    uint32_t bfOffBits;    ///< where the pixels begin, in bytes from the start of the file
};

/// The 40-byte info header, as stored (the first 40 bytes of a longer one; an OS/2 header's four
/// fields in their places). After a load biBitCount is the picture's depth, 8 or 16, and
/// biHeight its count of rows, positive also for a top-down file.
struct BitmapInfoHeader {
    uint32_t biSize;          ///< the header's length: 12 (OS/2), 40, 52, 56, 108 or 124
    int32_t biWidth;          ///< columns
    int32_t biHeight;         ///< rows; negative in a file stored top row first
    uint16_t biPlanes;        ///< 1
    uint16_t biBitCount;      ///< bits a pixel: 1, 4, 8, 16, 24 or 32
    uint32_t biCompression;   ///< 0 none, 1 8-bit runs, 2 4-bit runs, 3 colour masks
    uint32_t biSizeImage;     ///< bytes of pixel data, as stated (0 is allowed when uncompressed)
    int32_t biXPelsPerMeter;  ///< not used
    int32_t biYPelsPerMeter;  ///< not used
    uint32_t biClrUsed;       ///< entries of the colour table; 0 for as many as the depth has
    uint32_t biClrImportant;  ///< not used
};
#pragma pack(pop)

/// A loaded picture; one record serves in turn as the staging area for every picture.
struct BmpFile {
    BitmapFileHeader file_header;  ///< as read
    BitmapInfoHeader info_header;  ///< as read, but for the depth and rows of the picture held
    PaletteEntry palette[256];     ///< from 8-bit files only
    uint8_t* buffer;               ///< the pixels, top row first; null when none are held
};

/// Reads the file: 1 when its pixels are in buffer (the old ones released), 0 when it cannot be
/// opened or its picture cannot be decoded right; the record is then left as it was (but for
/// file_header after a file not starting "BM").
int bmp_load(BmpFile* bmp, const char* name);
/// Releases buffer; headers and palette stay. 1.
int bmp_unload(BmpFile* bmp);
/// Reverses the order of the rows in place; 1, or 0 when the arguments are unusable.
int bmp_flip_rows(uint8_t* image, int32_t bytes_per_line, int32_t height);

#ifdef __cplusplus
}  // extern "C"
#endif
