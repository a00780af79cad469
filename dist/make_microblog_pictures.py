#!/usr/bin/env python3
"""Draws the two pictures of the settings window's microblog button.

    python3 dist/make_microblog_pictures.py [OUTPUT_DIR]

writes OUTPUT_DIR/sinaweibo1.gif (normal) and OUTPUT_DIR/sinaweibo2.gif (hot,
a brighter variant); OUTPUT_DIR defaults to dist/img beside this script.

Each is a 48 x 48 still GIF: a round red speech bubble with a small tail and
an eye in it (white, orange iris, dark pupil, a glint). Everything else is
#80E000, the button's transparent colour, so the button leaves those pixels
out. Edges are hard on purpose: a blended edge pixel would be neither the
transparent colour nor the emblem's and would show as a green fringe.

Python standard library only; the small GIF writer is below.
"""

import os
import sys

SIZE = 48
KEY = (0x80, 0xE0, 0x00)  # the button's transparent colour

NORMAL = {
    "outline": (0xB0, 0x10, 0x1F),
    "bubble": (0xE6, 0x16, 0x2D),
    "white": (0xFF, 0xFF, 0xFF),
    "iris": (0xFF, 0x8C, 0x00),
    "pupil": (0x3A, 0x1A, 0x00),
}
HOT = {
    "outline": (0xE8, 0x30, 0x40),
    "bubble": (0xFF, 0x50, 0x60),
    "white": (0xFF, 0xFF, 0xFF),
    "iris": (0xFF, 0xB8, 0x40),
    "pupil": (0x6A, 0x36, 0x08),
}
ORDER = ["key", "outline", "bubble", "white", "iris", "pupil"]


# ----------------------------------------------------------------- drawing

def inside_ellipse(x, y, cx, cy, rx, ry):
    # sampled at the pixel's centre
    dx = (x + 0.5 - cx) / rx
    dy = (y + 0.5 - cy) / ry
    return dx * dx + dy * dy <= 1.0


def inside_triangle(x, y, a, b, c):
    px, py = x + 0.5, y + 0.5

    def side(p, q):
        return (q[0] - p[0]) * (py - p[1]) - (q[1] - p[1]) * (px - p[0])

    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def draw_emblem():
    """Returns SIZE rows of SIZE colour names."""
    tail = ((13.0, 33.0), (23.0, 39.0), (6.0, 46.0))
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            colour = "key"
            body = inside_ellipse(x, y, 24, 21.5, 20, 19) or inside_triangle(x, y, *tail)
            inner = inside_ellipse(x, y, 24, 21.5, 18.6, 17.6)
            if body:
                colour = "outline"
            if inner:
                colour = "bubble"
            if inside_ellipse(x, y, 24, 21.5, 14, 8.5):
                colour = "white"
            if inside_ellipse(x, y, 24, 21.5, 6.5, 6.5):
                colour = "iris"
            if inside_ellipse(x, y, 24, 21.5, 3.2, 3.2):
                colour = "pupil"
            if inside_ellipse(x, y, 26.5, 19.0, 1.6, 1.6):
                colour = "white"  # the glint
            row.append(colour)
        rows.append(row)
    # The tail's inside in the bubble colour, its edge left as outline.
    for y in range(SIZE):
        for x in range(SIZE):
            if rows[y][x] == "outline" and inside_triangle(x, y, (14.5, 33.5), (21.0, 37.5), (9.0, 43.5)):
                rows[y][x] = "bubble"
    return rows


# ----------------------------------------------------------------- GIF writer

def lzw_compress(indices, min_code_size):
    """GIF LZW: variable code width, least significant bit first."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    state = {"buffer": 0, "count": 0, "width": min_code_size + 1}

    def emit(code):
        state["buffer"] |= code << state["count"]
        state["count"] += state["width"]
        while state["count"] >= 8:
            out.append(state["buffer"] & 0xFF)
            state["buffer"] >>= 8
            state["count"] -= 8

    table = {}
    next_code = end + 1
    emit(clear)
    prefix = indices[0]
    for k in indices[1:]:
        code = table.get((prefix, k))
        if code is not None:
            prefix = code
            continue
        emit(prefix)
        if next_code < 4096:
            table[(prefix, k)] = next_code
            if next_code == (1 << state["width"]) and state["width"] < 12:
                state["width"] += 1
            next_code += 1
        else:  # full: start a new table
            emit(clear)
            table.clear()
            state["width"] = min_code_size + 1
            next_code = end + 1
        prefix = k
    emit(prefix)
    emit(end)
    if state["count"]:
        out.append(state["buffer"] & 0xFF)
    return bytes(out)


def encode_gif(rows, palette):
    """A still GIF89a from rows of palette indices; palette of up to 256."""
    height, width = len(rows), len(rows[0])
    field = max(0, (len(palette) - 1).bit_length() - 1)
    colours = list(palette) + [(0, 0, 0)] * ((2 << field) - len(palette))
    min_code_size = max(2, field + 1)
    out = bytearray(b"GIF89a")
    out += width.to_bytes(2, "little") + height.to_bytes(2, "little")
    out += bytes([0x80 | (field << 4) | field, 0, 0])
    for r, g, b in colours:
        out += bytes([r, g, b])
    out += b"\x2C" + bytes(4) + width.to_bytes(2, "little") + height.to_bytes(2, "little") + b"\x00"
    out.append(min_code_size)
    data = lzw_compress([i for row in rows for i in row], min_code_size)
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out += b"\x00\x3B"
    return bytes(out)


def make_picture(colours):
    palette = [KEY] + [colours[name] for name in ORDER[1:]]
    index = {name: i for i, name in enumerate(ORDER)}
    rows = [[index[name] for name in row] for row in draw_emblem()]
    return encode_gif(rows, palette)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    output = argv[1] if len(argv) > 1 else os.path.join(here, "img")
    os.makedirs(output, exist_ok=True)
    for name, colours in (("sinaweibo1.gif", NORMAL), ("sinaweibo2.gif", HOT)):
        path = os.path.join(output, name)
        data = make_picture(colours)
        with open(path, "wb") as f:
            f.write(data)
        print(f"wrote {path} ({len(data)} bytes, {SIZE}x{SIZE})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
