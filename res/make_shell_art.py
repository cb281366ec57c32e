#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the shell's pictures: tool bar images, the application icon and the
pointing-hand cursor. Each picture is a character grid; every character names a
colour. Run it from anywhere; it rewrites the PNG files next to itself."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

PALETTE = {
    '.': None,                 # transparent
    'k': (0, 0, 0),
    'w': (255, 255, 255),
    'g': (128, 128, 128),
    'l': (192, 192, 192),
    'y': (255, 208, 64),       # folder face
    'o': (200, 144, 24),       # folder edge
    'b': (40, 80, 200),        # blue
    'c': (120, 170, 255),      # light blue
    'r': (200, 40, 40),
    'n': (30, 140, 60),        # green
    'm': (90, 200, 110),
}


def png(width, height, rows):
    raw = b''.join(b'\x00' + bytes(row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def write(name, grids):
    """Writes the grids side by side as one RGBA strip."""
    height = len(grids[0])
    rows = []
    for y in range(height):
        row = []
        for grid in grids:
            line = grid[y]
            for ch in line:
                colour = PALETTE[ch]
                row += [0, 0, 0, 0] if colour is None else [*colour, 255]
        rows.append(row)
    width = len(rows[0]) // 4
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(png(width, height, rows))


# 16 x 15: an opening folder.
OPEN = [
    "................",
    "................",
    "..kkkk..........",
    ".kyyyyk.........",
    "kyyyyyykkkkkkk..",
    "kyyyyyyyyyyyyk..",
    "kyyyyyyyyyyyyk..",
    "kyyykkkkkkkkkkkk",
    "kyykoyyyyyyyyyok",
    "kyykoyyyyyyyyyok",
    "kykooooooooooook",
    "kykooooooooooook",
    "kkooooooooooook.",
    "kkkkkkkkkkkkkk..",
    "................",
]

# 16 x 15: a page with a green plus: put a file into the archive.
INSERT = [
    "..kkkkkkkk......",
    "..kwwwwwwkk.....",
    "..kwwwwwwkwk....",
    "..kwwwwwwkkkk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...",
    "..kwwwwwkkkkkkk.",
    "..kwwwwwknnnnnk.",
    "..kwwwwwknnmnnk.",
    "..kwwwwwknmmmnk.",
    "..kwwwwwknnmnnk.",
    "..kkkkkkknnnnnk.",
    "........kkkkkkk.",
    "................",
]

# 16 x 15: a blue arrow leaving an archive box: take files out.
EXTRACT = [
    "..........k.....",
    ".........kck....",
    "........kcbck...",
    ".......kcbbbck..",
    "......kkkbbbkkk.",
    "........kbbbk...",
    "........kbbbk...",
    ".kkkkkkkkbbbkkk.",
    ".kllllllkbbbkgk.",
    ".kllllllkkkkkgk.",
    ".kkkkkkkkkkkkkk.",
    ".kllllggggllllk.",
    ".kllllgkkgllllk.",
    ".kllllllllllllk.",
    ".kkkkkkkkkkkkkk.",
]

# 32 x 32 application icon: an archive box with a glowing lamp above it.
ICON = [
    "................................",
    "..............kkkk..............",
    "............kkyyyykk............",
    "...........kyywwwyyyk...........",
    "..........kyywwwwyyyyk..........",
    "..........kyywwwyyyyyk..........",
    "..........kyyyyyyyyyyk..........",
    "..........kyyyyyyyyyyk..........",
    "...........kyyyyyyyyk...........",
    "............kyyyyyyk............",
    ".............kggggk.............",
    ".............kllllk.............",
    ".............kggggk.............",
    "..............kkkk..............",
    "................................",
    "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
    "..kccccccccccccccccccccccccccck.",
    "..kcbbbbbbbbbbbbbbbbbbbbbbbbbck.",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkkk.",
    "...kbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "...kbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "...kbbbbbbbbbkkkkkkbbbbbbbbbk...",
    "...kbbbbbbbbbkllllkbbbbbbbbbk...",
    "...kbbbbbbbbbkkkkkkbbbbbbbbbk...",
    "...kbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "...kbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "...kbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "...kbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "...kbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
    "................................",
    "................................",
]

# 32 x 32 pointing hand, black outline on white, fingertip at column 5, row 0.
HAND = [
    ".....k..........................",
    "....kwk.........................",
    "....kwk.........................",
    "....kwk.........................",
    "....kwk.........................",
    "....kwkkk.......................",
    "....kwkwwkkk....................",
    "....kwkwwkwwkk..................",
    "....kwkwwkwwkwk.................",
    "kk..kwwwwwwwkwwk................",
    "kwk.kwwwwwwwwwwk................",
    "kwwkkwwwwwwwwwwk................",
    ".kwwkwwwwwwwwwwk................",
    "..kwwwwwwwwwwwwk................",
    "..kwwwwwwwwwwwwk................",
    "...kwwwwwwwwwwwk................",
    "...kwwwwwwwwwwk.................",
    "....kwwwwwwwwwk.................",
    "....kwwwwwwwwk..................",
    ".....kwwwwwwwk..................",
    ".....kwwwwwwwk..................",
    ".....kkkkkkkkk..................",
] + ["................................"] * 10

if __name__ == '__main__':
    for grid, width in ((OPEN, 16), (INSERT, 16), (EXTRACT, 16), (ICON, 32), (HAND, 32)):
        assert all(len(line) == width for line in grid), grid
    write('toolbar_main.png', [OPEN])
    write('toolbar_archive.png', [INSERT, EXTRACT])
    write('lumo_icon.png', [ICON])
    write('hand_cursor.png', [HAND])
