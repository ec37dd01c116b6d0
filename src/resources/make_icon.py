#!/usr/bin/env python3
"""Draws the saver's icon (lumox.ico): a glowing ring of colour bands on a
dark disc, at 16, 32 and 48 pixels, 32-bit with alpha. Run it to remake the
committed icon: python3 make_icon.py lumox.ico
With a size it draws one PNG of that size instead, the desktop icon of the
Linux package: python3 make_icon.py lumox-256.png 256"""
import math
import struct
import sys
import zlib


def pixel(size, x, y):
    c = (size - 1) / 2.0
    dx, dy = (x - c) / c, (y - c) / c
    r = math.hypot(dx, dy)
    if r > 1.0:
        return (0, 0, 0, 0)
    angle = math.atan2(dy, dx)
    # Bands of hue that wind around the centre, brighter towards the ring.
    hue = (angle / (2 * math.pi) + r * 1.5) % 1.0
    glow = max(0.0, 1.0 - abs(r - 0.62) * 3.2)
    red = 0.5 + 0.5 * math.cos(2 * math.pi * hue)
    green = 0.5 + 0.5 * math.cos(2 * math.pi * (hue - 1 / 3))
    blue = 0.5 + 0.5 * math.cos(2 * math.pi * (hue - 2 / 3))
    base = 0.12
    scale = base + (1 - base) * glow
    edge = min(1.0, (1.0 - r) * size / 2.0)  # soft rim
    return (int(blue * scale * 255), int(green * scale * 255), int(red * scale * 255),
            int(255 * edge))


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):  # bottom-up
        rows.append(b"".join(bytes(pixel(size, x, y)) for x in range(size)))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # alpha decides; the AND mask is all zero
    return header + b"".join(rows) + mask


def png(size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    rows = []
    for y in range(size):
        row = bytearray(b"\0")  # filter: none
        for x in range(size):
            b, g, r, a = pixel(size, x, y)
            row += bytes((r, g, b, a))
        rows.append(bytes(row))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main(path):
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    if len(sys.argv) > 2:
        with open(sys.argv[1], "wb") as f:
            f.write(png(int(sys.argv[2])))
    else:
        main(sys.argv[1] if len(sys.argv) > 1 else "lumox.ico")
