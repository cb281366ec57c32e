#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws the pictures that must stay sharp at any scale from shapes, not pixels: the
application icon and the archive type icon at the sizes the desktop's icon theme asks
for (16 to 256 px, plus SVG), and the tool bar strips at 1.5x and 2x. The 1x tool bar
strips stay the hand-set pixel grids of make_shell_art.py.

Shapes are drawn in a small unit grid (32 units for icons, 16 x 15 for a tool bar
button) and rasterised with 4 x 4 samples per pixel; outlines stay about one device
pixel wide at small sizes. Needs nothing beyond Python 3.

    python3 res/tools/make_scaled_art.py      # rewrites desktop/icons/ and res/*@*.png
"""
import math
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

COLOURS = {
    'k': (0, 0, 0), 'w': (255, 255, 255), 'g': (128, 128, 128), 'l': (192, 192, 192),
    'y': (255, 208, 64), 'Y': (255, 244, 170), 'o': (200, 144, 24),
    'b': (40, 80, 200), 'c': (120, 170, 255), 'n': (30, 140, 60), 'm': (90, 200, 110),
}


class Rect:
    def __init__(self, x0, y0, x1, y1, colour):
        self.box, self.colour = (x0, y0, x1, y1), colour

    def inset(self, d, colour):
        x0, y0, x1, y1 = self.box
        return Rect(x0 + d, y0 + d, x1 - d, y1 - d, colour)

    def contains(self, x, y):
        x0, y0, x1, y1 = self.box
        return x0 <= x < x1 and y0 <= y < y1

    def svg(self):
        x0, y0, x1, y1 = self.box
        return f'<rect x="{x0:g}" y="{y0:g}" width="{x1 - x0:g}" height="{y1 - y0:g}"'


class Circle:
    def __init__(self, cx, cy, r, colour):
        self.cx, self.cy, self.r, self.colour = cx, cy, r, colour

    def inset(self, d, colour):
        return Circle(self.cx, self.cy, self.r - d, colour)

    def contains(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 < self.r ** 2

    def svg(self):
        return f'<circle cx="{self.cx:g}" cy="{self.cy:g}" r="{self.r:g}"'


class Poly:
    """A convex polygon, corners clockwise on screen."""

    def __init__(self, points, colour):
        self.points, self.colour = points, colour

    def inset(self, d, colour):
        # Good enough for the near-rectangular shapes used here: pull every corner
        # towards the centre by d along each axis.
        cx = sum(p[0] for p in self.points) / len(self.points)
        cy = sum(p[1] for p in self.points) / len(self.points)
        moved = [(x + d * ((cx > x) - (cx < x)), y + d * ((cy > y) - (cy < y)))
                 for x, y in self.points]
        return Poly(moved, colour)

    def contains(self, x, y):
        pts = self.points
        for i, (x0, y0) in enumerate(pts):
            x1, y1 = pts[(i + 1) % len(pts)]
            if (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0) < 0:
                return False
        return True

    def svg(self):
        return '<polygon points="' + ' '.join(f'{x:g},{y:g}' for x, y in self.points) + '"'


def outlined(shape, fill, width):
    """The shape in black with its inside, `width` units in, in the fill colour."""
    shape.colour = 'k'
    return [shape, shape.inset(width, fill)]


def app_icon(w):
    """An archive box with a glowing lamp above it."""
    return (outlined(Circle(16, 8.5, 7.5, None), 'y', w)
            + [Circle(13.5, 6, 2.6, 'Y')]
            + outlined(Rect(12.5, 14, 19.5, 17.5, None), 'l', w)
            + [Rect(12.5, 15.4, 19.5, 15.4 + w, 'g')]
            + outlined(Rect(3.5, 19, 28.5, 31, None), 'b', w)
            + outlined(Rect(2, 16.5, 30, 20.5, None), 'c', w)
            + outlined(Rect(12.5, 22.5, 19.5, 25.5, None), 'l', w))


def archive_type_icon(w):
    """A page with a folded corner holding a small archive box."""
    return (outlined(Poly([(5, 1), (20, 1), (27, 8), (27, 31), (5, 31)], None), 'w', w)
            + outlined(Poly([(20, 1), (27, 8), (20, 8)], None), 'l', w)
            + outlined(Rect(9, 19, 23, 28, None), 'b', w)
            + outlined(Rect(8, 16.5, 24, 20, None), 'c', w)
            + outlined(Rect(13.5, 21.5, 18.5, 24, None), 'l', w))


def open_button(w):
    """An opening folder."""
    return (outlined(Poly([(0.5, 3), (6, 3), (7.5, 4.5), (14, 4.5), (14, 13.5), (0.5, 13.5)],
                          None), 'y', w)
            + outlined(Poly([(3.5, 7.5), (16, 7.5), (13, 13.5), (0.5, 13.5)], None), 'o', w))


def insert_button(w):
    """A page with a green plus: put a file into the archive."""
    return (outlined(Poly([(2, 0), (10, 0), (13, 3), (13, 13), (2, 13)], None), 'w', w)
            + outlined(Poly([(10, 0), (13, 3), (10, 3)], None), 'l', w)
            + outlined(Rect(8, 7, 15, 14, None), 'n', w)
            + [Rect(9.5, 10, 13.5, 11, 'm'), Rect(11, 8.5, 12, 12.5, 'm')])


def extract_button(w):
    """A blue arrow leaving an archive box: take files out."""
    return (outlined(Rect(1, 10, 15, 15, None), 'l', w)
            + outlined(Rect(1, 7, 15, 10.5, None), 'l', w)
            + outlined(Rect(6, 11.5, 10, 13, None), 'g', w)
            + arrow(w))


def arrow(w):
    """An upward arrow: head and shaft outlined together, then filled together, so no
    line runs between them."""
    head = outlined(Poly([(10, 0), (14.5, 4.5), (5.5, 4.5)], None), 'b', w)
    shaft = outlined(Rect(8.5, 4, 11.5, 9.5, None), 'b', w)
    return [head[0], shaft[0], head[1], shaft[1]]


def rasterise(shapes_for, units_w, units_h, px_w, px_h, samples=4):
    scale = px_w / units_w
    shapes = shapes_for(max(1.0, px_w / 40) / scale)
    rows = []
    for py in range(px_h):
        row = []
        for px in range(px_w):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / scale
                    y = (py + (sy + 0.5) / samples) / (px_h / units_h)
                    for shape in reversed(shapes):
                        if shape.contains(x, y):
                            r, g, b = COLOURS[shape.colour]
                            acc = [acc[0] + r, acc[1] + g, acc[2] + b, acc[3] + 1]
                            break
            n = samples * samples
            if acc[3] == 0:
                row += [0, 0, 0, 0]
            else:
                row += [round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]),
                        round(255 * acc[3] / n)]
        rows.append(row)
    return rows


def png_bytes(width, height, rows):
    raw = b''.join(b'\x00' + bytes(row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))

    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def svg(shapes_for, size):
    parts = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
             f'viewBox="0 0 {size} {size}">']
    for shape in shapes_for(1.0):
        r, g, b = COLOURS[shape.colour]
        parts.append(f'  {shape.svg()} fill="#{r:02x}{g:02x}{b:02x}"/>')
    return ('\n'.join(parts) + '\n</svg>\n').encode()


def strip(buttons, scale):
    """Tool bar buttons side by side, each 16 x 15 units at the given scale."""
    # Rounded up, as the screen asks for the size times the scale rounded to nearest.
    w, h = math.ceil(16 * scale), math.ceil(15 * scale)
    images = [rasterise(b, 16, 15, w, h) for b in buttons]
    rows = [sum((img[y] for img in images), []) for y in range(h)]
    return png_bytes(w * len(buttons), h, rows)


if __name__ == '__main__':
    icons = os.path.join(ROOT, 'desktop', 'icons')
    for name, shapes in (('apps/lumo', app_icon), ('mimetypes/application-x-lgp-archive',
                                                    archive_type_icon)):
        for size in (16, 22, 24, 32, 48, 64, 128, 256):
            data = png_bytes(size, size, rasterise(shapes, 32, 32, size, size))
            write(os.path.join(icons, f'{size}x{size}', name + '.png'), data)
        write(os.path.join(icons, 'scalable', name + '.svg'), svg(shapes, 32))
    for scale, suffix in ((1.5, '@1.5x'), (2, '@2x')):
        write(os.path.join(ROOT, 'res', f'toolbar_main{suffix}.png'), strip([open_button], scale))
        write(os.path.join(ROOT, 'res', f'toolbar_archive{suffix}.png'),
              strip([insert_button, extract_button], scale))
