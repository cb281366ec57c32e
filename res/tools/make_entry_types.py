#!/usr/bin/env python3
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


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "entry_types.png")
    icons = [draw_icon(n) for n in range(COUNT)]
    strip = [sum((icon[y] for icon in icons), []) for y in range(SIZE)]
    write_png(path, strip, SIZE * COUNT, SIZE)


if __name__ == "__main__":
    main()
