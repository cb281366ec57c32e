#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the entry-type icon strip res/entry_types.png: eleven 14x14 icons side by side.

Every icon is a white page with its top-right corner folded; icons 1 to 8 carry an emblem
at the lower left. Magenta (255, 0, 255) is the transparent colour. The image is a
16-colour palette PNG written with zlib and struct only, so the script needs nothing
beyond Python 3.

    python3 res/tools/make_entry_types.py [output.png]
"""
import os
import struct
import sys
import zlib

# The sixteen classic colours; a letter names each in the drawings below.
PALETTE = {
    "k": (0, 0, 0),        # black
    "M": (128, 0, 0),      # maroon
    "G": (0, 128, 0),      # green
    "o": (128, 128, 0),    # olive
    "n": (0, 0, 128),      # navy
    "p": (128, 0, 128),    # purple
    "t": (0, 128, 128),    # teal
    "s": (192, 192, 192),  # silver
    "g": (128, 128, 128),  # grey
    "r": (255, 0, 0),      # red
    "l": (0, 255, 0),      # lime
    "y": (255, 255, 0),    # yellow
    "b": (0, 0, 255),      # blue
    "m": (255, 0, 255),    # magenta: transparent
    "a": (0, 255, 255),    # aqua
    "w": (255, 255, 255),  # white
}

SIZE = 14
COUNT = 11

PAGE = [
    "mkkkkkkkkmmmmm",
    "mkwwwwwwkkmmmm",
    "mkwwwwwwkskmmm",
    "mkwwwwwwksskmm",
    "mkwwwwwwkkkkkm",
    "mkwwwwwwwwwwkm",
    "mkwwwwwwwwwwkm",
    "mkwwwwwwwwwwkm",
    "mkwwwwwwwwwwkm",
    "mkwwwwwwwwwwkm",
    "mkwwwwwwwwwwkm",
    "mkwwwwwwwwwwkm",
    "mkwwwwwwwwwwkm",
    "mkkkkkkkkkkkkm",
]

# Emblems are 7x7 and sit at x = 2, y = 6; '.' leaves the page showing.
EMBLEM_X = 2
EMBLEM_Y = 6
EMBLEMS = {
    1: [  # chequered picture
        "kkkkkkk",
        "kbybybk",
        "kybybyk",
        "kbybybk",
        "kybybyk",
        "kbybybk",
        "kkkkkkk",
    ],
    2: [  # camera
        ".kk....",
        "kkkkkkk",
        "kgkkkgk",
        "kgkakgk",
        "kgkkkgk",
        "kkkkkkk",
        ".......",
    ],
    3: [  # globe
        "..bbb..",
        ".bllbb.",
        "bllbbbb",
        "bblbblb",
        "bbbbllb",
        ".bbblb.",
        "..bbb..",
    ],
    4: [  # grey solid
        "..kkkkk",
        ".kssskk",
        "kkkkkgk",
        "kgggkgk",
        "kgggkgk",
        "kgggkk.",
        "kkkkk..",
    ],
    5: [  # musical note
        "...kk..",
        "...k.k.",
        "...k..k",
        "...k...",
        ".kkk...",
        "kkkk...",
        ".kk....",
    ],
    6: [  # lines of text
        "kkkkkk.",
        ".......",
        "kkkkk..",
        ".......",
        "kkkkkk.",
        ".......",
        "kkkk...",
    ],
    7: [  # clapperboard
        "kwwkwwk",
        "kkkkkkk",
        "kwwkwwk",
        "kkkkkkk",
        "kgggggk",
        "kgggggk",
        "kkkkkkk",
    ],
    8: [  # light bulb
        "..kkk..",
        ".kyyyk.",
        "kyyyyyk",
        "kyyyyyk",
        ".kyyyk.",
        "..sss..",
        "..kkk..",
    ],
}


def draw_icon(number):
    rows = [list(line) for line in PAGE]
    for dy, line in enumerate(EMBLEMS.get(number, [])):
        for dx, ch in enumerate(line):
            if ch != ".":
                rows[EMBLEM_Y + dy][EMBLEM_X + dx] = ch
    return rows


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path, pixels, width, height):
    letters = list(PALETTE)
    index = {ch: i for i, ch in enumerate(letters)}
    raw = bytearray()
    for y in range(height):
        raw.append(0)  # no filter
        raw.extend(index[ch] for ch in pixels[y])
    header = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
    plte = b"".join(bytes(PALETTE[ch]) for ch in letters)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"PLTE", plte)
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


# Outlines must stay unbroken when a picture is enlarged: where neighbours disagree,
# black wins, then the first of them.
def pick(*colours):
    if "k" in colours:
        return "k"
    return max(colours, key=colours.count) if len(set(colours)) < len(colours) else colours[0]


def scale2x(rows):
    """EPX: each pixel becomes 2x2; a corner takes the colour of the two neighbours
    that meet there when they agree, so diagonals stay lines, not staircases."""
    h, w = len(rows), len(rows[0])
    at = lambda x, y: rows[min(max(y, 0), h - 1)][min(max(x, 0), w - 1)]
    out = [[None] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p, a, b, c, d = at(x, y), at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            out[2 * y][2 * x] = a if c == a and c != d and a != b else p
            out[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            out[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            out[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return out


def scale3of2(rows):
    """1.5x: every 2x2 block becomes 3x3, the new middle pixels taken from the block's
    own pixels (see pick)."""
    h, w = len(rows), len(rows[0])
    out = [[None] * (w * 3 // 2) for _ in range(h * 3 // 2)]
    for y in range(0, h, 2):
        for x in range(0, w, 2):
            a, b, c, d = rows[y][x], rows[y][x + 1], rows[y + 1][x], rows[y + 1][x + 1]
            block = [[a, pick(a, b), b], [pick(a, c), pick(a, b, c, d), pick(b, d)],
                     [c, pick(c, d), d]]
            for dy in range(3):
                for dx in range(3):
                    out[y * 3 // 2 + dy][x * 3 // 2 + dx] = block[dy][dx]
    return out


def write_strip(path, icons):
    size = len(icons[0])
    strip = [sum((icon[y] for icon in icons), []) for y in range(size)]
    write_png(path, strip, size * len(icons), size)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "entry_types.png")
    icons = [draw_icon(n) for n in range(COUNT)]
    write_strip(path, icons)
    # The same pictures for screens scaled to 150 % and 200 %, beside the 1x strip.
    base = path[:-len(".png")]
    write_strip(base + "@1.5x.png", [scale3of2(icon) for icon in icons])
    write_strip(base + "@2x.png", [scale2x(icon) for icon in icons])


if __name__ == "__main__":
    main()
