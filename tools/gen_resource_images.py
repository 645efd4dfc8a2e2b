#!/usr/bin/env python3
"""Draws the application's own button, icon and cursor pictures as small PNG files, and the
colour-picking picture of the Style panel.

    tools/gen_resource_images.py [OUTPUT_FOLDER]    (default: data/Resources; the swatch
                                                     picture goes to its sibling "swatches")

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


def ring(cx, cy, r, n=24):
    import math
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n)) for i in range(n)]


def frame(x0, y0, x1, y1, w):
    return [rect(x0, y0, x1, y0 + w), rect(x0, y1 - w, x1, y1), rect(x0, y0, x0 + w, y1), rect(x1 - w, y0, x1, y1)]


BLUE = (40, 90, 170)

# The Layers panel's buttons: 20 x 18 like the playback buttons.
LAYER_BUTTONS = {
    "layer_new": (frame(3, 3, 13, 15, 1.2), [rect(13, 5, 15, 13), rect(10, 8, 18, 10)]),
    "layer_dup": (frame(3, 2, 12, 12, 1.2) + frame(8, 6, 17, 16, 1.2), []),
    "layer_del": (frame(3, 3, 13, 15, 1.2), [thick_line(10, 6, 18, 14, 2), thick_line(18, 6, 10, 14, 2)]),
    "layer_info": ([ring(10, 9, 7)], []),
}

# Layer kinds, 16 x 16, for the layer tree and the timeline.
TYPE_ICONS = {
    "mesh_type": [[(3, 13), (11, 3), (13.5, 5.5), (5.5, 13.5), (2.5, 14)]],
    "image_type": frame(1.5, 3, 14.5, 13, 1.2) + [[(3, 12), (7, 7), (10, 10), (11.5, 8.5), (13.5, 12)]],
    "group_type": [[(1.5, 4), (6, 4), (7.5, 5.5), (14.5, 5.5), (14.5, 13), (1.5, 13)]],
    "bone_type": [ring(3.5, 4, 2.3, 12), ring(12.5, 12, 2.3, 12), thick_line(4, 4.5, 12, 11.5, 2.2)],
    "switch_type": [[(2, 5), (10, 5), (10, 2.5), (14, 6), (10, 9.5), (10, 7), (2, 7)],
                    [(14, 10), (6, 10), (6, 7.5), (2, 11), (6, 14.5), (6, 12), (14, 12)]],
    "particle_type": [ring(4, 4, 1.6, 10), ring(11, 3.5, 1.3, 10), ring(8, 8, 1.8, 10), ring(3.5, 12, 1.3, 10),
                      ring(12, 11.5, 1.6, 10)],
    "note_type": frame(2.5, 1.5, 13.5, 14.5, 1.2) + [rect(4.5, 5, 11.5, 6), rect(4.5, 8, 11.5, 9),
                                                      rect(4.5, 11, 9, 12)],
    "mesh3d_type": [[(8, 1.5), (14, 4.5), (8, 7.5), (2, 4.5)], [(2, 5.5), (7.5, 8.5), (7.5, 14.5), (2, 11.5)],
                    [(8.5, 8.5), (14, 5.5), (14, 11.5), (8.5, 14.5)]],
    "audio_type": [rect(2, 6, 5, 10), [(5, 6), (10, 2.5), (10, 13.5), (5, 10)], thick_line(12, 5, 12.5, 11, 1.4)],
}


# The timeline's channel rows, which the layers panel reaches too (a layer's channels decide
# whether it is flat and static). Plain stand-ins, one colour per family, drawn only when the
# timeline's own pictures are absent.
CHANNEL_FAMILIES = {
    "audio": (60, 120, 60), "bone": (170, 110, 40), "camera": (90, 90, 150), "curve": (40, 110, 160),
    "fill": (170, 60, 60), "layer": (80, 80, 80), "line": (40, 40, 40), "particle": (140, 60, 140),
    "point": (40, 110, 160), "shapefx": (150, 100, 30), "shapefxxform": (150, 100, 30), "switch": (60, 130, 130),
    "tracking": (120, 60, 60), "width": (60, 60, 60),
}
CHANNEL_ICONS = [
    "audio_jump", "audio_level", "bone", "bone_dynamics", "bone_lock", "bone_s", "bone_sel", "bone_sel_dynamics",
    "bone_sel_lock", "bone_sel_s", "bone_sel_t", "bone_t", "camera_pantilt", "camera_roll", "camera_track",
    "camera_zoom", "curve", "curve_sel", "fill", "fill_sel", "layer_all", "layer_alpha", "layer_ao", "layer_blur",
    "layer_flip_h", "layer_flip_v", "layer_mb", "layer_ordering", "layer_rot_x", "layer_rot_y", "layer_rot_z",
    "layer_s", "layer_sh", "layer_shading", "layer_shadow", "layer_t", "layer_vis", "line", "line_sel", "particle",
    "point", "point_sel", "shapefx", "shapefx_sel", "shapefxxform", "shapefxxform_sel", "switch", "tracking_point",
    "tracking_point_sel", "width", "width_sel",
]


def channel_icon(name, path):
    family = name.split("_")[0]
    if name.startswith("shapefxxform"):
        family = "shapefxxform"
    c = Canvas(16, 16)
    c.fill([diamond(8, 8, 6)], CHANNEL_FAMILIES.get(family, INK))
    if name.endswith("_sel"):
        c.fill([diamond(8, 8, 2.5)], (255, 255, 255))
    c.png(path)


def swatch_picture(path):
    """Hues across, from white at the top through the pure colour to black at the bottom, and a
    grey strip on the right."""
    import colorsys
    w, h, grey = 120, 90, 12
    c = Canvas(w, h)
    for y in range(h):
        light = 1 - y / (h - 1)
        for x in range(w):
            if x >= w - grey:
                v = round(255 * light)
                c.px[y][x] = (v, v, v, 255)
                continue
            r, g, b = colorsys.hls_to_rgb(x / (w - grey), 0.05 + 0.9 * light, 1.0)
            c.px[y][x] = (round(r * 255), round(g * 255), round(b * 255), 255)
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
    for name, (outlines, marks) in LAYER_BUTTONS.items():
        c = Canvas(20, 18)
        if name == "layer_info":
            c.fill(outlines, BLUE)
            c.fill([rect(9, 8, 11, 14), rect(9, 4.5, 11, 6.5)], (255, 255, 255))
        else:
            c.fill(outlines, INK)
            c.fill(marks, RED if name == "layer_del" else INK)
        c.png(os.path.join(out, name + ".png"))
    c = Canvas(16, 10)
    eye = [(1, 5), (4, 2), (8, 1), (12, 2), (15, 5), (12, 8), (8, 9), (4, 8)]
    c.fill([eye], INK)
    c.fill([[(3, 5), (5, 3), (8, 2.4), (11, 3), (13, 5), (11, 7), (8, 7.6), (5, 7)]], (255, 255, 255))
    c.fill([ring(8, 5, 2.2, 12)], INK)
    c.png(os.path.join(out, "visible_icon.png"))
    c = Canvas(10, 10)
    c.fill([[(1, 3), (9, 3), (5, 8)]], INK)
    c.png(os.path.join(out, "expanded.png"))
    c = Canvas(10, 10)
    c.fill([[(3, 1), (8, 5), (3, 9)]], INK)
    c.png(os.path.join(out, "unexpanded.png"))
    for name, shapes in TYPE_ICONS.items():
        path = os.path.join(out, name + ".png")
        # The timeline may have drawn these already; its pictures win.
        if os.path.exists(path):
            continue
        c = Canvas(16, 16)
        c.fill(shapes, INK)
        c.png(path)
    for name in CHANNEL_ICONS:
        path = os.path.join(out, "channel_" + name + ".png")
        if not os.path.exists(path):
            channel_icon(name, path)
    swatches = os.path.join(os.path.dirname(os.path.abspath(out)), "swatches")
    os.makedirs(swatches, exist_ok=True)
    swatch_picture(os.path.join(swatches, "Spectrum.png"))
    # Cursors: 16 x 16, hot spot at (7, 7), the pixel whose centre is (7.5, 7.5).
    cursor([rect(7, 1, 8, 6), rect(7, 9, 8, 14), rect(1, 7, 6, 8), rect(9, 7, 14, 8)],
           os.path.join(out, "curs_crosshair.png"))
    cursor(arrow_h(7.5) + arrow_v(7.5), os.path.join(out, "curs_resize.png"))
    cursor(arrow_h(7.5), os.path.join(out, "curs_hresize.png"))
    cursor(arrow_v(7.5), os.path.join(out, "curs_vresize.png"))


if __name__ == "__main__":
    main()
