#!/usr/bin/env python3
"""Writes the fuzzers' seed files of known bad shapes into the folder given: BMP, WAV, VOC and
palette files that are cut short, lie about their sizes or are outside the supported profile.
The valid seeds come from the test fixtures."""
import os
import struct
import sys


def bmp(width, height, bits, image_size=None, compression=0, palette_entries=256, extra=b"", pixels=None):
    bpp = bits // 8
    if pixels is None:
        pixels = bytes((i * 7) & 0xFF for i in range(max(width, 0) * max(height, 0) * max(bpp, 1)))
    size = len(pixels) if image_size is None else image_size
    table = bytes(4 * palette_entries) if bits == 8 else b""
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size, 0, 0, 0, 0)
    body = info + table + extra + pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + 40 + len(table)) + body


def wav(fmt_tag=1, data=b"\x80" * 64, data_size=None, fmt_size=16, extra_chunks=b""):
    fmt = struct.pack("<HHIIHH", fmt_tag, 1, 11025, 11025, 1, 8) + bytes(fmt_size - 16)
    d = struct.pack("<4sI", b"data", len(data) if data_size is None else data_size) + data
    body = b"WAVE" + struct.pack("<4sI", b"fmt ", fmt_size) + fmt + extra_chunks + d
    return b"RIFF" + struct.pack("<I", len(body)) + body


def voc(offset=26, rate_constant=166, length=None, samples=b"\x80" * 100):
    header = b"Creative Voice File\x1a" + struct.pack("<HHH", offset, 0x010A, 0x1129)
    header += bytes(max(offset - len(header), 0))
    l = len(samples) + 2 if length is None else length
    block = bytes([1]) + struct.pack("<I", l)[:3] + bytes([rate_constant, 0]) + samples
    return header[:offset] + block


SEEDS = {
    "bmp": {
        "ok8.bmp": bmp(8, 4, 8),
        "ok24.bmp": bmp(4, 4, 24),
        "ok16.bmp": bmp(4, 4, 16),
        "depth32.bmp": bmp(4, 4, 32),
        "compressed.bmp": bmp(4, 4, 8, compression=1),
        "zero_width.bmp": bmp(0, 4, 8),
        "negative_height.bmp": bmp(4, -4, 8),
        "size_zero.bmp": bmp(4, 4, 8, image_size=0),
        "size_small.bmp": bmp(4, 4, 8, image_size=3),
        "size_large.bmp": bmp(4, 4, 8, image_size=1 << 30),
        "short_table.bmp": bmp(4, 4, 8)[:14 + 40 + 100],
        "short_header.bmp": bmp(4, 4, 8)[:30],
        "huge.bmp": bmp(0x40000000, 0x40000000, 24, pixels=b""),
    },
    "wav": {
        "ok.wav": wav(),
        "odd_chunk.wav": wav(extra_chunks=struct.pack("<4sI", b"LIST", 3) + b"abc\x00"),
        "not_pcm.wav": wav(fmt_tag=3),
        "data_too_long.wav": wav(data_size=100000),
        "fmt_short.wav": wav()[:30],
        "no_data.wav": wav()[:36],
    },
    "voc": {
        "ok.voc": voc(),
        "low_byte_offset.voc": voc(offset=0x011A),
        "short.voc": voc()[:28],
        "length_small.voc": voc(length=4),
        "length_large.voc": voc(length=0xFFFFFF),
    },
    "palette": {
        "ok.pal": "".join("\n%d %d %d %d" % (i, 255 - i, i // 2, 4) for i in range(256)).encode(),
        "one_line.pal": " ".join("1 2 3 4" for _ in range(256)).encode(),
        "short.pal": "".join("\n%d %d %d %d" % (i, i, i, 4) for i in range(10)).encode(),
        "out_of_range.pal": b"\n300 -1 99999999999999999999 -99999999999999999999",
        "garbage.pal": b"\n12 x 7 \x00\xff 4",
    },
}


def main():
    root = sys.argv[1]
    for target, files in SEEDS.items():
        folder = os.path.join(root, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
