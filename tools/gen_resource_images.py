#!/usr/bin/env python3
"""Draws the application's own playback-button and cursor pictures as small PNG files.

    tools/gen_resource_images.py [OUTPUT_FOLDER]    (default: data/Resources)

Only the standard library is used: shapes are polygons filled at pixel centres with 4x4
supersampling, written as 8-bit RGBA PNG.
"""
import os
import struct
import sys
import zlib


def inside(poly, x, y):
    hit = False
    n = len(poly)
    for i in range(n):
        x0, y0 = poly[i]
        x1, y1 = poly[(i + 1) % n]
        if (y0 > y) != (y1 > y):
            cx = x0 + (y - y0) * (x1 - x0) / (y1 - y0)
            if x < cx:
                hit = not hit
    return hit


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0) for _ in range(w)] for _ in range(h)]

    def fill(self, polys, color):
        r, g, b = color
        for y in range(self.h):
            for x in range(self.w):
                cover = 0
                for sy in range(4):
                    for sx in range(4):
                        px, py = x + (sx + 0.5) / 4, y + (sy + 0.5) / 4
                        if any(inside(p, px, py) for p in polys):
                            cover += 1
                if cover:
                    a = cover * 255 // 16
                    # Over: the new colour on top of what is there.
                    orr, og, ob, oa = self.px[y][x]
                    rest = oa * (255 - a) / 255
                    na = a + rest
                    mix = lambda c, o: min(255, round((c * a + o * rest) / na))
                    self.px[y][x] = (mix(r, orr), mix(g, og), mix(b, ob), min(255, round(na)))

    def png(self, path):
        raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in self.px)
        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
        data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        data += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(data)


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def tri_right(x0, y0, x1, y1):
    return [(x0, y0), (x1, (y0 + y1) / 2), (x0, y1)]


def tri_left(x0, y0, x1, y1):
    return [(x1, y0), (x0, (y0 + y1) / 2), (x1, y1)]


def diamond(cx, cy, r):
    return [(cx, cy - r), (cx + r, cy), (cx, cy + r), (cx - r, cy)]


INK = (44, 52, 64)
RED = (190, 40, 40)

# Buttons: 20 x 18, the shapes between y 4 and 14.
BUTTONS = {
    "play": [tri_right(6, 3.5, 15, 14.5)],
    "stop": [rect(5.5, 4.5, 14.5, 13.5)],
    "rewind": [rect(3, 4, 5, 14), tri_left(5, 4, 11, 14), tri_left(11, 4, 17, 14)],
    "forward": [tri_right(3, 4, 9, 14), tri_right(9, 4, 15, 14), rect(15, 4, 17, 14)],
    "step_back": [rect(5, 4, 7, 14), tri_left(7, 4, 15, 14)],
    "step_forward": [tri_right(5, 4, 13, 14), rect(13, 4, 15, 14)],
    "prev_key": [tri_left(2, 4, 9, 14), diamond(14, 9, 4.5)],
    "next_key": [diamond(6, 9, 4.5), tri_right(11, 4, 18, 14)],
}

SPEAKER = [rect(3, 7, 6, 11), [(6, 7), (11, 3.5), (11, 14.5), (6, 11)]]


def thick_line(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    length = (dx * dx + dy * dy) ** 0.5
    nx, ny = -dy / length * w / 2, dx / length * w / 2
    return [(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]


def arrow_h(cy):
    return [[(1, cy), (5, cy - 4), (5, cy - 1.5), (10, cy - 1.5), (10, cy - 4), (14, cy), (10, cy + 4), (10, cy + 1.5),
             (5, cy + 1.5), (5, cy + 4)]]


def arrow_v(cx):
    return [[(y, x) for (x, y) in arrow_h(cx)[0]]]


def cursor(shapes, path):
    c = Canvas(16, 16)
    # A white rim one pixel wide keeps the cursor visible on dark pictures.
    for ox, oy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
        c.fill([[(x + ox, y + oy) for (x, y) in p] for p in shapes], (255, 255, 255))
    c.fill(shapes, (0, 0, 0))
    c.png(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "Resources")
    os.makedirs(out, exist_ok=True)
    for name, shapes in BUTTONS.items():
        c = Canvas(20, 18)
        c.fill(shapes, INK)
        c.png(os.path.join(out, name + ".png"))
    c = Canvas(20, 18)
    c.fill(SPEAKER + [thick_line(13, 6.5, 13.5, 11.5, 1.5), thick_line(15.5, 4.5, 16.5, 13.5, 1.5)], INK)
    c.png(os.path.join(out, "nomute.png"))
    c = Canvas(20, 18)
    c.fill(SPEAKER, INK)
    c.fill([thick_line(12.5, 6, 17.5, 12, 1.8), thick_line(17.5, 6, 12.5, 12, 1.8)], RED)
    c.png(os.path.join(out, "mute.png"))
    # Cursors: 16 x 16, hot spot at (7, 7), the pixel whose centre is (7.5, 7.5).
    cursor([rect(7, 1, 8, 6), rect(7, 9, 8, 14), rect(1, 7, 6, 8), rect(9, 7, 14, 8)],
           os.path.join(out, "curs_crosshair.png"))
    cursor(arrow_h(7.5) + arrow_v(7.5), os.path.join(out, "curs_resize.png"))
    cursor(arrow_h(7.5), os.path.join(out, "curs_hresize.png"))
    cursor(arrow_v(7.5), os.path.join(out, "curs_vresize.png"))


if __name__ == "__main__":
    main()
