#!/usr/bin/env python3
"""Draws the demo station's advert picture: an animated 256 x 56 GIF.

The banner is a blue gradient with a small "play" triangle on the left, a row
of equaliser bars whose heights change from frame to frame, a light bar that
sweeps across the banner and a row of dots that light up one after another.
No text: the picture only has to be a real animated GIF of the size the
client's picture box expects.

Python standard library only: the GIF89a writer (LZW compression, NETSCAPE2.0
loop extension, graphic control extension with frame delays) is below.

    python3 demo-station/make_advert_gif.py [OUTPUT]

OUTPUT defaults to demo-station/site/bofang/ad/ad256-56.gif.
"""

import math
import os
import sys

WIDTH = 256
HEIGHT = 56
FRAMES = 8
DELAY_CS = 15  # per frame, in hundredths of a second

DEFAULT_OUTPUT = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                              "site", "bofang", "ad", "ad256-56.gif")

# 16-colour palette (r, g, b)
PALETTE = [
    (0x06, 0x1A, 0x40),  # 0  gradient, darkest
    (0x08, 0x22, 0x52),  # 1
    (0x0A, 0x2A, 0x64),  # 2
    (0x0C, 0x33, 0x76),  # 3
    (0x0E, 0x3C, 0x88),  # 4
    (0x10, 0x45, 0x9A),  # 5  gradient, lightest
    (0xFF, 0xFF, 0xFF),  # 6  white
    (0xFA, 0x1F, 0x56),  # 7  red (play triangle)
    (0x00, 0x88, 0xFF),  # 8  station blue (frame)
    (0x3C, 0xD0, 0x70),  # 9  bar green
    (0xF0, 0xD0, 0x30),  # 10 bar yellow
    (0xF0, 0x70, 0x30),  # 11 bar orange
    (0x60, 0x80, 0xC0),  # 12 sweep, faint
    (0x90, 0xB0, 0xE8),  # 13 sweep, bright
    (0x30, 0x40, 0x60),  # 14 unlit dot
    (0xFF, 0xE0, 0x80),  # 15 lit dot
]


# ----------------------------------------------------------------- drawing

def draw_frame(index):
    """Returns the frame's pixels: HEIGHT rows of WIDTH palette indices."""
    rows = []
    for y in range(HEIGHT):
        shade = min(5, y * 6 // HEIGHT)
        rows.append([shade] * WIDTH)

    def put(x, y, colour):
        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
            rows[y][x] = colour

    # light bar sweeping left to right, slanted
    sweep = index * (WIDTH + 40) // FRAMES - 20
    for y in range(HEIGHT):
        for dx in range(-6, 7):
            put(sweep + dx + (HEIGHT - y) // 4, y, 13 if abs(dx) <= 2 else 12)

    # frame in the station's blue
    for x in range(WIDTH):
        put(x, 0, 8)
        put(x, HEIGHT - 1, 8)
    for y in range(HEIGHT):
        put(0, y, 8)
        put(WIDTH - 1, y, 8)

    # play triangle
    for y in range(12, 44):
        half = min(y - 12, 43 - y)
        for x in range(14, 14 + half + 1):
            put(x, y, 7)

    # equaliser: 24 bars, heights from two sines moving with the frame
    for bar in range(24):
        phase = 2 * math.pi * index / FRAMES
        level = 0.5 + 0.3 * math.sin(bar * 0.7 + phase) + 0.2 * math.sin(bar * 1.9 - 2 * phase)
        height = max(3, min(36, int(level * 36)))
        left = 46 + bar * 8
        for y in range(46 - height, 46):
            colour = 9 if y >= 34 else (10 if y >= 22 else 11)
            for x in range(left, left + 5):
                put(x, y, colour)

    # dots lighting one after another
    for dot in range(FRAMES):
        colour = 15 if dot == index else 14
        cx = 46 + dot * 24 + 2
        for y in range(49, 52):
            for x in range(cx, cx + 3):
                put(x, y, colour)
    return rows


# ----------------------------------------------------------------- GIF writer

def lzw_compress(pixels, min_code_size):
    """GIF-flavoured LZW: variable code width, least significant bit first."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bit_buffer = 0
    bit_count = 0

    def emit(code, width):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    width = min_code_size + 1
    next_code = end + 1
    table = {}
    emit(clear, width)
    if not pixels:
        emit(end, width)
    else:
        prefix = pixels[0]
        for k in pixels[1:]:
            key = (prefix, k)
            code = table.get(key)
            if code is not None:
                prefix = code
                continue
            emit(prefix, width)
            if next_code == 4096:
                # table full: start over
                emit(clear, width)
                table.clear()
                width = min_code_size + 1
                next_code = end + 1
            else:
                table[key] = next_code
                if next_code == (1 << width):
                    width += 1
                next_code += 1
            prefix = k
        emit(prefix, width)
        emit(end, width)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def sub_blocks(data):
    """Splits data into GIF data sub-blocks and adds the terminator."""
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def encode_gif(width, height, palette, frames, delay_cs, loop=0):
    """Returns the bytes of an animated GIF89a.

    palette: list of (r, g, b), at most 256 entries; frames: list of frames,
    each a list of rows of palette indices covering the whole picture.
    """
    if not 1 <= len(palette) <= 256:
        raise ValueError("palette needs 1 to 256 colours")
    size_field = max(0, (len(palette) - 1).bit_length() - 1)
    table_len = 2 << size_field
    colours = list(palette) + [(0, 0, 0)] * (table_len - len(palette))
    min_code_size = max(2, size_field + 1)

    out = bytearray(b"GIF89a")
    out += width.to_bytes(2, "little") + height.to_bytes(2, "little")
    out.append(0x80 | (size_field << 4) | size_field)  # global table, resolution
    out += bytes([0, 0])  # background colour index, aspect ratio
    for r, g, b in colours:
        out += bytes([r, g, b])
    # NETSCAPE2.0: loop count (0 = forever)
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + loop.to_bytes(2, "little") + b"\x00"
    for rows in frames:
        if len(rows) != height or any(len(r) != width for r in rows):
            raise ValueError("frame size differs from the picture size")
        # graphic control: disposal 1 (leave in place), no transparency
        out += b"\x21\xF9\x04" + bytes([1 << 2]) + delay_cs.to_bytes(2, "little") + b"\x00\x00"
        out += b"\x2C" + bytes(4) + width.to_bytes(2, "little") + height.to_bytes(2, "little") + b"\x00"
        pixels = [p for row in rows for p in row]
        out.append(min_code_size)
        out += sub_blocks(lzw_compress(pixels, min_code_size))
    out.append(0x3B)
    return bytes(out)


def make_advert_gif():
    return encode_gif(WIDTH, HEIGHT, PALETTE, [draw_frame(i) for i in range(FRAMES)], DELAY_CS)


def main(argv):
    output = argv[1] if len(argv) > 1 else DEFAULT_OUTPUT
    data = make_advert_gif()
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with open(output, "wb") as f:
        f.write(data)
    print(f"wrote {output} ({len(data)} bytes, {FRAMES} frames of {WIDTH}x{HEIGHT})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
