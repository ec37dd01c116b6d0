#!/usr/bin/env python3
"""Writes the seed corpus of bmp_decoder_fuzz: one small BMP per depth,
header kind and compression, built byte by byte (run from anywhere)."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "bmp_decoder_fuzz")


def bmp(width, height, bits, data, colors=(), compression=0, core=False, masks=None, file_header=True):
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table = b"".join(struct.pack("<BBB", c & 255, c >> 8 & 255, c >> 16) for c in colors)
    else:
        size_image = len(data) if compression in (1, 2) else 0
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size_image,
                             0, 0, len(colors), 0)
        table = b"".join(struct.pack("<I", c) for c in colors)
    if masks:
        table = struct.pack("<III", *masks) + table
    body = header + table
    if not file_header:
        return body + data
    offset = 14 + len(body)
    return b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset) + body + data


def rows(row_bytes, count):
    padded = row_bytes + b"\0" * (-len(row_bytes) % 4)
    return padded * count


GREYS = [0x010101 * i for i in range(16)]
SEEDS = {
    "1bit.bmp": bmp(9, 3, 1, rows(b"\xa5\x80", 3), [0, 0xFFFFFF]),
    "4bit.bmp": bmp(5, 2, 4, rows(b"\x01\x23\x40", 2), GREYS),
    "8bit_topdown.bmp": bmp(3, -2, 8, rows(b"\x01\x02\x03", 2), GREYS),
    "8bit_core.bmp": bmp(3, 2, 8, rows(b"\x03\x02\x01", 2), GREYS, core=True),
    "16bit_555.bmp": bmp(2, 2, 16, rows(b"\xff\x7f\x1f\x00", 2)),
    "16bit_565.bmp": bmp(2, 2, 16, rows(b"\xff\xff\x00\xf8", 2), compression=3,
                         masks=(0xF800, 0x07E0, 0x001F)),
    "24bit.bmp": bmp(3, 2, 24, rows(bytes(range(9)), 2)),
    "32bit_fields.bmp": bmp(2, 2, 32, rows(bytes(range(8)), 2), compression=3,
                            masks=(0xFF, 0xFF00, 0xFF0000)),
    "rle8.rle": bmp(4, 3, 8, bytes([3, 7, 1, 9, 0, 0, 0, 2, 1, 1, 0, 3, 4, 5, 6, 0, 0, 1]),
                    GREYS, compression=1),
    "rle4.rle": bmp(8, 2, 4, bytes([5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 8, 0x77, 0, 1]),
                    GREYS, compression=2),
    "packed.dib": bmp(3, 2, 8, rows(b"\x01\x02\x03", 2), GREYS, file_header=False),
}

os.makedirs(OUT, exist_ok=True)
for name, content in SEEDS.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(content)
print(f"{len(SEEDS)} seeds in {OUT}")
