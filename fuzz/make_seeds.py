#!/usr/bin/env python3
"""Writes the fuzzers' seed files into the folder given: for the loaders, BMP, WAV, VOC and
palette files of known bad shapes (cut short, lying about their sizes, outside the supported
profile; the valid seeds come from the test fixtures); for the call-sequence fuzzer, one sequence
per operation after a realistic start-up, and a few whole scenes."""
import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(width, height, bits, image_size=None, compression=0, palette_entries=256, extra=b"", pixels=None):
    bpp = bits // 8
    if pixels is None:
        pixels = bytes((i * 7) & 0xFF for i in range(max(width, 0) * max(height, 0) * max(bpp, 1)))
    size = len(pixels) if image_size is None else image_size
    table = bytes(4 * palette_entries) if bits == 8 else b""
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size, 0, 0, 0, 0)
    body = info + table + extra + pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, 14 + 40 + len(table)) + body


def bmp_laid_out(width, height, bits, compression=0, header=40, colours=None, masks=(), data=None,
                 image_size=None, limit=256):
    """A BMP file in the format's own layout: the headers, the masks behind a 40-byte header,
    the colour table (colours entries, distinct), then from bfOffBits the pixel data (padded
    rows, bottom row first, index values below limit, unless data is given). A negative height
    is a top-down picture; header 12 is the OS/2 header with 3-byte table entries."""
    rows = abs(height)
    if data is None:
        row = (width * bits + 7) // 8
        data = b"".join(bytes((x * 7 + y * 13) % limit for x in range(row)) + bytes(-row % 4) for y in range(rows))
    if colours is None:
        colours = 1 << bits if bits <= 8 else 0
    entry = 3 if header == 12 else 4
    table = b"".join(bytes([(i * 53) & 0xFF, (i * 101 + 40) & 0xFF, (255 - i * 3) & 0xFF, 0])[:entry]
                     for i in range(colours))
    if header == 12:
        info = struct.pack("<IHHHH", 12, width, rows, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression,
                           len(data) if image_size is None else image_size, 2835, 2835, colours, 0)
        info += struct.pack("<%dI" % len(masks), *masks)  # behind a 40-byte header, or inside a longer one
        info += bytes(max(header - len(info), 0))
    body = info + table
    return b"BM" + struct.pack("<IHHI", 14 + len(body) + len(data), 0, 0, 14 + len(body)) + body + data


# Run-length streams of 9 x 4 pictures: runs, stored stretches, a move, ends of line and picture.
RLE8 = bytes([3, 1, 0, 4, 2, 3, 4, 5, 2, 6, 0, 0, 0, 2, 3, 1, 6, 7, 0, 0, 9, 8, 0, 1])
RLE4 = bytes([5, 0x12, 0, 3, 0x34, 0x50, 1, 0x60, 0, 0, 9, 0x77, 0, 0, 0, 2, 2, 1,
              0, 5, 0x12, 0x34, 0x50, 0, 2, 0x89, 0, 1])


def wav(fmt_tag=1, data=b"\x80" * 64, data_size=None, fmt_size=16, extra_chunks=b"", channels=1, bits=8):
    align = channels * ((bits + 7) // 8)
    fmt = struct.pack("<HHIIHH", fmt_tag, channels, 11025, 11025 * align, align, bits) + bytes(fmt_size - 16)
    d = struct.pack("<4sI", b"data", len(data) if data_size is None else data_size) + data
    body = b"WAVE" + struct.pack("<4sI", b"fmt ", fmt_size) + fmt + extra_chunks + d
    return b"RIFF" + struct.pack("<I", len(body)) + body


def voc(offset=26, rate_constant=166, length=None, samples=b"\x80" * 100):
    header = b"Creative Voice File\x1a" + struct.pack("<HHH", offset, 0x010A, 0x1129)
    header += bytes(max(offset - len(header), 0))
    l = len(samples) + 2 if length is None else length
    block = bytes([1]) + struct.pack("<I", l)[:3] + bytes([rate_constant, 0]) + samples
    return header[:offset] + block


def voc_blocks(*blocks):
    """A 26-byte VOC header, then blocks of (type, body) or (type, body, stated length)."""
    out = b"Creative Voice File\x1a" + struct.pack("<HHH", 26, 0x0114, 0x111F)
    for b in blocks:
        body = b[1]
        out += bytes([b[0]]) + struct.pack("<I", len(body) if len(b) < 3 else b[2])[:3] + body
    return out


def voc_new(rate=22050, bits=16, channels=2, codec=4, samples=bytes(range(64))):
    return struct.pack("<IBBHI", rate, bits, channels, codec, 0) + samples


def ramp(n, width):
    return b"".join(struct.pack("<i", (i * 0x01234567) & 0x7FFFFFFF)[:width] for i in range(n))


SEEDS = {
    "bmp": {
        "ok8.bmp": bmp(8, 4, 8),
        "ok24.bmp": bmp(4, 4, 24),
        "ok16.bmp": bmp(4, 4, 16),
        "ok_index1.bmp": bmp_laid_out(19, 3, 1),
        "ok_index4_short_table.bmp": bmp_laid_out(9, 3, 4, colours=11, limit=11),
        "ok_index8_padded_short_table.bmp": bmp_laid_out(9, 3, 8, colours=40, limit=40),
        "ok_index8_size_zero.bmp": bmp_laid_out(9, 3, 8, image_size=0),
        "ok_rle8.bmp": bmp_laid_out(9, 4, 8, compression=1, colours=10, data=RLE8),
        "ok_rle4.bmp": bmp_laid_out(9, 4, 4, compression=2, data=RLE4),
        "ok_top_down8.bmp": bmp_laid_out(9, -3, 8),
        "ok_top_down24.bmp": bmp_laid_out(9, -3, 24),
        "ok_top_down_v5_565.bmp": bmp_laid_out(9, -3, 16, compression=3, header=124, masks=(0xF800, 0x7E0, 0x1F)),
        "ok_fields565_behind_40.bmp": bmp_laid_out(9, 3, 16, compression=3, masks=(0xF800, 0x7E0, 0x1F)),
        "fields444.bmp": bmp_laid_out(9, 3, 16, compression=3, masks=(0xF00, 0xF0, 0xF)),
        "ok_fields_rgba_v4.bmp": bmp_laid_out(9, 3, 32, compression=3, header=108,
                                               masks=(0xFF000000, 0xFF0000, 0xFF00)),
        "ok_bgrx32.bmp": bmp_laid_out(9, 3, 32),
        "ok_v3_32.bmp": bmp_laid_out(9, 3, 32, compression=3, header=56, masks=(0xFF0000, 0xFF00, 0xFF)),
        "ok_padded24_size_without_padding.bmp": bmp_laid_out(6, 3, 24, image_size=54),
        "ok_padded8_size_without_padding.bmp": bmp_laid_out(9, 3, 8, image_size=27),
        "ok_size_two_over.bmp": bmp_laid_out(8, 3, 8, image_size=26),
        "ok_os2_8.bmp": bmp_laid_out(9, 3, 8, header=12),
        "ok_os2_24.bmp": bmp_laid_out(9, 3, 24, header=12),
        "depth32.bmp": bmp(4, 4, 32),
        "depth2.bmp": bmp_laid_out(9, 3, 2),
        "compressed.bmp": bmp(4, 4, 8, compression=1),
        "jpeg.bmp": bmp_laid_out(9, 3, 24, compression=4),
        "zero_width.bmp": bmp(0, 4, 8),
        "negative_height.bmp": bmp(4, -4, 8),
        "size_zero.bmp": bmp(4, 4, 8, image_size=0),
        "size_small.bmp": bmp(4, 4, 8, image_size=3),
        "size_large.bmp": bmp(4, 4, 8, image_size=1 << 30),
        "short_table.bmp": bmp(4, 4, 8)[:14 + 40 + 100],
        "short_header.bmp": bmp(4, 4, 8)[:30],
        "huge.bmp": bmp(0x40000000, 0x40000000, 24, pixels=b""),
        "index_past_table.bmp": bmp_laid_out(9, 3, 8, colours=4, limit=40),
        "rle8_run_past_row.bmp": bmp_laid_out(9, 4, 8, compression=1, data=bytes([10, 1, 0, 1])),
        "rle8_no_end.bmp": bmp_laid_out(9, 4, 8, compression=1, data=RLE8[:-2]),
        "rle8_move_outside.bmp": bmp_laid_out(9, 4, 8, compression=1, data=bytes([0, 2, 0, 5, 0, 1])),
        "rle4_top_down.bmp": bmp_laid_out(9, -4, 4, compression=2, data=RLE4),
        "rle8_huge.bmp": bmp_laid_out(0x8000, 0x8000, 8, compression=1, data=bytes([0, 1])),
        "fields_gapped.bmp": bmp_laid_out(9, 3, 16, compression=3, masks=(0xF900, 0x7E0, 0x1F)),
        "fields_overlapping.bmp": bmp_laid_out(9, 3, 16, compression=3, masks=(0xFC00, 0x7E0, 0x1F)),
        "fields_24.bmp": bmp_laid_out(9, 3, 24, compression=3, masks=(0xFF0000, 0xFF00, 0xFF)),
        "header_64.bmp": bmp_laid_out(9, 3, 24, header=64),
        "pixels_cut.bmp": bmp_laid_out(9, 3, 24)[:-12],
    },
    "wav": {
        "ok.wav": wav(),
        "odd_chunk.wav": wav(extra_chunks=struct.pack("<4sI", b"LIST", 3) + b"abc\x00"),
        "not_pcm.wav": wav(fmt_tag=3),
        "data_too_long.wav": wav(data_size=100000),
        "fmt_short.wav": wav()[:30],
        "no_data.wav": wav()[:36],
        "s16_stereo.wav": wav(channels=2, bits=16, data=ramp(64, 2)),
        "u8_stereo.wav": wav(channels=2, bits=8, data=ramp(64, 1)),
        "s24_3ch.wav": wav(channels=3, bits=24, data=ramp(63, 3)),
        "s32_6ch.wav": wav(channels=6, bits=32, data=ramp(60, 4)),
        "s12_mono.wav": wav(bits=12, data=ramp(32, 2)),
        "cut_in_frame.wav": wav(channels=2, bits=16, data=ramp(7, 2) + b"\x01", data_size=4000),
        "data_64mib.wav": wav(channels=2, bits=32, data=ramp(8, 4), data_size=64 << 20),
        "data_absurd.wav": wav(data_size=(64 << 20) + 1),
        "no_channel.wav": wav(channels=0),
        "bits_40.wav": wav(bits=40, data=bytes(50)),
    },
    "voc": {
        "ok.voc": voc(),
        "low_byte_offset.voc": voc(offset=0x011A),
        "short.voc": voc()[:28],
        "length_small.voc": voc(length=4),
        "length_large.voc": voc(length=0xFFFFFF),
        "exact_end.voc": voc(samples=bytes(range(100)), length=106)[:26 + 106],
        "new_s16_stereo.voc": voc_blocks((9, voc_new()), (0, b"")),
        "new_u8_3ch.voc": voc_blocks((9, voc_new(bits=8, channels=3, codec=0, samples=bytes(range(30))))),
        "new_alaw.voc": voc_blocks((9, voc_new(bits=8, channels=1, codec=6))),
        "new_past_end.voc": voc_blocks((9, voc_new(), 200)),
        "extended_stereo.voc": voc_blocks((8, b"\xa6\xd2\x00\x01"), (1, b"\xa5\x00" + bytes(range(40)))),
        "extended_alone.voc": voc_blocks((8, b"\xa6\xd2\x00\x01")),
        "text_first.voc": voc_blocks((5, b"hello\x00"), (1, b"\xa5\x00" + bytes(40))),
    },
    "palette": {
        "ok.pal": "".join("\n%d %d %d %d" % (i, 255 - i, i // 2, 4) for i in range(256)).encode(),
        "one_line.pal": " ".join("1 2 3 4" for _ in range(256)).encode(),
        "short.pal": "".join("\n%d %d %d %d" % (i, i, i, 4) for i in range(10)).encode(),
        "out_of_range.pal": b"\n300 -1 99999999999999999999 -99999999999999999999",
        "garbage.pal": b"\n12 x 7 \x00\xff 4",
    },
}


def value(n):
    """An argument as fuzz_api.cpp reads it: a small number in one byte, anything else raw."""
    return bytes([n + 112]) if -64 <= n <= 127 else b"\xf0" + struct.pack("<i", n)


def api_operations():
    """The call-sequence fuzzer's operations as the operation byte numbers them: the tables in the
    order fuzz_api.cpp lists them, each table's names in the order of its api_*.cpp."""
    with open(os.path.join(HERE, "fuzz_api.cpp")) as f:
        order = re.search(r"const OpTable TABLES\[\] = \{(.*?)\};", f.read(), re.S).group(1)
    tables = {}
    for name in sorted(os.listdir(HERE)):
        if name.startswith("api_") and name.endswith(".cpp"):
            with open(os.path.join(HERE, name)) as f:
                source = f.read()
            for array, body in re.findall(r"^const Op (\w+)\[\] = \{(.*?)^\};", source, re.S | re.M):
                tables[array.lower()] = re.findall(r"\bOP\((\w+)\)", body)
    return [op for table in re.findall(r"\w+", order) for op in tables[table]]


def api_seeds():
    with open(os.path.join(HERE, "fuzz_api_files.cpp")) as f:
        files = re.findall(r'write\("([^"]+)"', f.read())
    ops = api_operations()
    with open(os.path.join(HERE, "..", "platform", "headless", "headless.h")) as f:
        names_block = re.search(r"/// Names: (.*?)\.\n", f.read(), re.S).group(1)
    requests = re.findall(r"\w+", names_block.replace("///", ""))
    code = {name: i for i, name in enumerate(ops)}

    def call(op, *args):
        return bytes([code[op]]) + b"".join(args)

    def b(*picks):
        return bytes(picks)

    def f(name):
        return bytes([files.index(name)])

    v = value
    back, primary = b(3), b(1)  # surface choices
    mode, small_mode = b(0), b(2)  # 640 x 480, 320 x 200
    startup = b"".join([
        call("plat_window", b(0, 1)),
        call("bmp_load", b(0), f("cells.bmp"), b(1)),
        call("bmp_load", b(1), f("odd.bmp"), b(1)),
        call("bob_create", b(0), v(100), v(50), v(32), v(32), v(3), v(0x12), v(0x800)),
        call("bob_load_frame", b(0), b(0), v(0), v(0), v(0), v(0)),
        call("bob_load_frame", b(0), b(0), v(1), v(1), v(0), v(0)),
        call("bob_load_frame", b(0), b(0), v(2), v(2), v(1), v(0)),
        call("bob_clone", b(0), b(1), b(1)),
        call("image_create", b(0), v(300), v(180), v(32), v(16)),
        call("image_load_from_bmp", b(0), b(1), v(0), v(0), b(1), b(1)),
        call("display_attach_clipper", back, v(1), b(1), b(1)),
        call("display_create_surface", v(64), v(48), v(0x800), b(0)),
        call("input_init"),
        call("keyboard_init"),
        call("mouse_init"),
        call("headless_joystick", b(1, 0), b(0), b(2)),
        call("joystick_init", v(0), v(100), v(0), v(100)),
        call("sound_init"),
        call("sound_load_wav", f("tone.wav"), b(1), b(1)),
        call("sound_load_voc", f("tone.voc"), b(1)),
        call("log_open", b(1), b(1)),
    ])
    seeds = {}
    some_args = b(1, 1, 0, 1, 3, 1, 0, 1, 1, 2, 1, 0, 0, 1, 1, 0)
    for op in ops:
        seeds["op_%s" % op] = small_mode + startup + call(op) + some_args
        seeds["op_%s_locked" % op] = mode + startup + call("display_lock_back") + call(op) + some_args
    frame = b"".join([
        call("clock", b(1)),
        call("display_fill_surface", back, v(0)),
        call("display_lock_back"),
        call("image_draw", b(0), b(0), b(1), b(1), b(0)),
        call("display_unlock_back"),
        call("keyboard_read"),
        call("bob_animate", b(0), b(0)),
        call("bob_move", b(0), b(0)),
        call("bob_draw", b(0), back),
        call("bob_draw_scaled", b(1), v(20), v(60), back),
        call("text_draw", b(2), v(10), v(10), v(0xFFFFFF), back),
        call("display_flip"),
        call("clock", b(2), v(20)),
    ])
    seeds["scene_frames"] = mode + startup + call("bob_set_velocity", b(0), v(9), v(-3)) + frame * 3
    for kind in range(9):
        seeds["scene_transition_%d" % kind] = (small_mode + startup + call("display_lock_primary") +
                                               call("screen_transition", b(1), b(kind), b(2), b(1)))
    seeds["scene_sound"] = mode + startup + b"".join([
        call("sound_play", b(0), b(1), b(1), v(0)),
        call("sound_replicate", b(0)),
        call("sound_setters", b(1), v(50), b(0)),
        call("sound_setters", b(1), v(22050), b(1)),
        call("sound_setters", b(2), v(-5000), b(2)),
        call("sound_play", b(2), b(1), b(0), v(0)),
        call("headless_audio", b(0), b(1), b(6)),
        call("sound_status", b(0)),
        call("plat_sound_buffer_lock", b(5), b(1), v(0), v(32), b(1), b(0), b(1)),
        call("headless_audio", b(0), b(1), b(6)),
        call("plat_sound_buffer_unlock", b(0), b(4)),
        call("sound_stop", b(0)),
        call("sound_delete", b(2)),
        call("sound_stop_all"),
        call("sound_shutdown"),
    ])
    seeds["scene_refusals"] = mode + b"".join([
        call("headless_refuse", b(requests.index("lock")), b(1), b(1)),
        call("display_lock_back"),
        call("headless_refuse", b(requests.index("surface")), b(1), b(2)),
        call("bob_create", b(2), v(0), v(0), v(16), v(16), v(4), v(0x14), v(0)),
        call("headless_refuse", b(requests.index("sound_buffer")), b(1), b(1)),
    ]) + startup
    seeds["scene_input"] = mode + startup + b"".join([
        call("headless_keys", b(0), b(1), b(0x1E), b(1)),
        call("keyboard_read"),
        call("headless_mouse", b(1), v(5), v(-3), v(120)),
        call("mouse_read"),
        call("headless_joystick", b(1, 0), b(2), b(1, 0), v(32767)),
        call("joystick_read"),
        call("joystick_release"),
        call("keyboard_release"),
        call("keyboard_read"),
        call("input_shutdown"),
        call("mouse_read"),
    ])
    seeds["scene_sprites"] = mode + startup + b"".join([
        call("bob_create", b(2), v(600), v(400), v(24), v(20), v(3), v(0x14 | 0x20), v(0)),
        call("bob_load_frame", b(2), b(0), v(0), v(0), v(0), v(1)),
        call("bob_add_sequence", b(2), v(0), v(4), b(1, 0), b(1, 1), b(1, 2), b(1, 1), b(1)),
        call("bob_select_sequence", b(2), b(1, 0)),
        call("bob_set_anim_speed", b(2), v(1)),
        call("bob_set_velocity", b(2), v(20), v(20)),
        call("bob_animate", b(2), b(5)),
        call("bob_move", b(2), b(5)),
        call("bob_clone", b(2), b(3), b(1)),
        call("bob_collide", b(2), b(3)),
        call("bob_draw", b(3), back),
        call("bob_destroy", b(3)),
        call("bob_clone", b(0), b(3), b(1)),
        call("bob_destroy", b(0)),
        call("bob_create", b(0), v(-5), v(-5), v(640), v(480), v(1), v(0x11), v(0)),
        call("bob_draw", b(0), back),
    ])
    return seeds


def main():
    root = sys.argv[1]
    SEEDS["api"] = api_seeds()
    for target, files in SEEDS.items():
        folder = os.path.join(root, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
