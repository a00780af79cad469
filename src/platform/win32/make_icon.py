#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico file.

    python3 make_icon.py OUTPUT.ico

The picture: a rounded square in the station's blue, lighter at the top,
holding a white screen on a small stand, with a blue play triangle in the
middle of the screen. Each size is drawn on its own (shapes are scaled, not
pixels) with 4 x 4 supersampling for smooth edges. Sizes 16, 24, 32, 48 and
64 are 32-bit BMP entries (with the 1-bit mask older systems read); 256 is a
PNG entry, as Windows Vista and later expect for the large size. Python
standard library only, and the same bytes on every run.
"""

import struct
import sys
import zlib

BMP_SIZES = (16, 24, 32, 48, 64)
PNG_SIZE = 256
SUPERSAMPLE = 4

TOP_BLUE = (0x3A, 0xA8, 0xFF)
BOTTOM_BLUE = (0x00, 0x6C, 0xD8)
WHITE = (0xFF, 0xFF, 0xFF)
PLAY_BLUE = (0x00, 0x88, 0xFF)


def inside_rounded_rect(x, y, left, top, right, bottom, radius):
    if x < left or x >= right or y < top or y >= bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    d1, d2, d3 = side(a, b), side(b, c), side(c, a)
    has_negative = d1 < 0 or d2 < 0 or d3 < 0
    has_positive = d1 > 0 or d2 > 0 or d3 > 0
    return not (has_negative and has_positive)


def colour_at(u, v):
    """The picture at (u, v) in the unit square: (r, g, b, alpha 0..1)."""
    if not inside_rounded_rect(u, v, 0.02, 0.02, 0.98, 0.98, 0.2):
        return (0, 0, 0, 0.0)
    # the screen with its frame, then the stand below it
    if inside_rounded_rect(u, v, 0.16, 0.2, 0.84, 0.7, 0.07):
        if inside_triangle(u, v, (0.42, 0.31), (0.42, 0.59), (0.64, 0.45)):
            return PLAY_BLUE + (1.0,)
        return WHITE + (1.0,)
    if inside_rounded_rect(u, v, 0.45, 0.7, 0.55, 0.78, 0.0) or \
            inside_rounded_rect(u, v, 0.3, 0.77, 0.7, 0.83, 0.03):
        return WHITE + (1.0,)
    t = min(max(v, 0.0), 1.0)
    return tuple(round(a + (b - a) * t) for a, b in zip(TOP_BLUE, BOTTOM_BLUE)) + (1.0,)


def render(size):
    """Rows top to bottom of (r, g, b, a) bytes, premultiplied edges resolved."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                for sx in range(n):
                    u = (px + (sx + 0.5) / n) / size
                    v = (py + (sy + 0.5) / n) / size
                    cr, cg, cb, ca = colour_at(u, v)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / (n * n))))
        rows.append(row)
    return rows


def bmp_entry(size, rows):
    """A BITMAPINFOHEADER of double height, BGRA rows bottom up, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png_entry(size, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for pixel in row:
            raw += bytes(pixel)
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def make_icon():
    entries = [(size, bmp_entry(size, render(size))) for size in BMP_SIZES]
    entries.append((PNG_SIZE, png_entry(PNG_SIZE, render(PNG_SIZE))))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        dim = 0 if size >= 256 else size  # 0 stands for 256
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    return bytes(out)


def main(argv):
    if len(argv) != 2:
        print("usage: make_icon.py OUTPUT.ico", file=sys.stderr)
        return 2
    data = make_icon()
    with open(argv[1], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
