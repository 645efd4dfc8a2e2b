#!/usr/bin/env python3
"""Draws the application's own interface pictures (playback buttons, cursors, the timeline's key
icons, zoom buttons, layer type and channel icons, the Layers panel's buttons) as small PNG
files, and the colour-picking picture of the Style panel.

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


def circle(cx, cy, r, n=16):
    import math
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n)) for i in range(n)]


def ring(cx, cy, r, w):
    # One polygon around the outside and back around the inside: the crossing test of inside()
    # leaves the middle open.
    outer = circle(cx, cy, r)
    inner = circle(cx, cy, r - w)[::-1]
    return [outer + [outer[0]] + [inner[-1]] + inner]


# Key icons: 7 x 9, centred on the key's frame (x 3.5), one per interpolation kind.
KEY_SHAPES = {
    "keyframe": [circle(3.5, 4.5, 3.4)],
    "keyframe_linear": [diamond(3.5, 4.5, 3.5)],
    "keyframe_ease": [[(0.5, 1.5), (6.5, 1.5), (6.5, 7.5), (0.5, 7.5)], ],
    "keyframe_step": [rect(0.5, 1, 6.5, 8)],
    "keyframe_noisy": [[(3.5, 0), (4.6, 3), (7, 3.2), (5, 5.2), (5.8, 8.5), (3.5, 6.6), (1.2, 8.5), (2, 5.2),
                        (0, 3.2), (2.4, 3)]],
    "keyframe_cycle": ring(3.5, 4.5, 3.5, 1.6),
    "keyframe_ref": [[(0, 1), (7, 1), (3.5, 8.5)]],
    "keyframe_easein": [[(0.5, 1), (3.5, 1), (6.5, 4.5), (3.5, 8), (0.5, 8)]],
    "keyframe_easeout": [[(6.5, 1), (3.5, 1), (0.5, 4.5), (3.5, 8), (6.5, 8)]],
}
KEY_COLOR = (64, 96, 150)
KEY_SELECTED = (215, 40, 40)

LAYER_TYPES = {
    "mesh_type": [[(2, 13), (6, 3), (10, 9), (14, 4), (14, 13)]],
    "image_type": [rect(2, 3, 14, 13), [(3, 12), (7, 7), (10, 10), (11, 9), (13, 12)]],
    "group_type": [rect(2, 3, 10, 10), rect(6, 7, 14, 14)],
    "bone_type": [thick_line(3, 13, 13, 3, 2.5), circle(3.5, 12.5, 2), circle(12.5, 3.5, 2)],
    "switch_type": [rect(2, 4, 14, 12)] + [rect(4, 6, 8, 10)],
    "particle_type": [circle(4, 4, 1.8), circle(11, 5, 1.8), circle(6, 11, 1.8), circle(12, 12, 1.5)],
    "note_type": [[(2, 2), (11, 2), (14, 5), (14, 14), (2, 14)]],
    "mesh3d_type": [[(8, 1), (14, 4.5), (14, 11.5), (8, 15), (2, 11.5), (2, 4.5)]],
    "audio_type": [rect(2, 6, 5, 10), [(5, 6), (10, 2), (10, 14), (5, 10)], rect(12, 5, 13, 11)],
}


def channel_shapes(name):
    """A small glyph per channel family, 20 x 16."""
    base = name.replace("channel_", "").replace("_sel", "")
    glyphs = {
        "layer_t": [thick_line(3, 8, 17, 8, 2), thick_line(10, 2, 10, 14, 2)],
        "layer_s": [rect(3, 6, 9, 12), rect(8, 2, 17, 11)],
        "layer_rot_z": ring(10, 8, 6, 2), "layer_rot_y": ring(10, 8, 6, 1.2), "layer_rot_x": ring(10, 8, 4, 1.5),
        "layer_flip_h": [tri_left(2, 3, 9, 13), tri_right(11, 3, 18, 13)],
        "layer_flip_v": [[(4, 7), (10, 1), (16, 7)], [(4, 9), (10, 15), (16, 9)]],
        "layer_sh": [[(6, 3), (17, 3), (14, 13), (3, 13)]],
        "layer_vis": [circle(10, 8, 6), ],
        "layer_blur": [circle(10, 8, 6, 8)], "layer_alpha": [[(3, 13), (17, 3), (17, 13)]],
        "layer_ao": ring(10, 8, 6, 3), "layer_shadow": [rect(3, 3, 12, 11), rect(7, 7, 17, 14)],
        "layer_shading": [[(3, 3), (17, 3), (3, 13)]], "layer_mb": [rect(3, 5, 6, 11), rect(8, 5, 11, 11), rect(13, 5, 17, 11)],
        "layer_all": [diamond(6, 8, 4), diamond(14, 8, 4)], "layer_ordering": [rect(3, 2, 17, 5), rect(3, 7, 17, 10), rect(3, 12, 17, 15)],
        "point": [circle(10, 8, 3)], "curve": [thick_line(3, 13, 10, 4, 2), thick_line(10, 4, 17, 11, 2)],
        "line": [thick_line(3, 12, 17, 4, 2.5)], "fill": [rect(4, 3, 16, 13)],
        "width": [[(3, 8), (17, 3), (17, 13)]], "shapefx": [circle(10, 8, 6, 5)], "shapefxxform": [diamond(10, 8, 6)],
        "bone": [thick_line(4, 12, 16, 4, 3)], "bone_t": [thick_line(4, 12, 16, 4, 3), rect(2, 2, 6, 6)],
        "bone_s": [thick_line(4, 12, 16, 4, 3), rect(13, 10, 18, 15)], "bone_lock": [rect(5, 7, 15, 14)] + ring(10, 7, 4, 1.5),
        "bone_dynamics": [[(3, 13), (7, 3), (10, 10), (13, 3), (17, 13)]],
        "camera_track": [rect(2, 4, 13, 12), tri_right(13, 4, 18, 12)], "camera_zoom": ring(9, 8, 5, 1.5) + [thick_line(12, 11, 17, 15, 2)],
        "camera_roll": ring(10, 8, 6, 1.5) + [rect(9, 2, 11, 8)], "camera_pantilt": [diamond(10, 8, 6)],
        "switch": [rect(2, 4, 18, 12), rect(4, 6, 9, 10)], "particle": [circle(5, 5, 2), circle(14, 6, 2), circle(9, 12, 2)],
        "tracking_point": [thick_line(10, 2, 10, 14, 1.5), thick_line(4, 8, 16, 8, 1.5)] + ring(10, 8, 4, 1.2),
        "audio_level": [rect(3, 10, 6, 14), rect(8, 6, 11, 14), rect(13, 2, 16, 14)],
        "audio_jump": [tri_right(3, 3, 10, 13), tri_right(10, 3, 17, 13)],
    }
    return glyphs.get(base, [circle(10, 8, 5)])


CHANNEL_ICONS = ["channel_" + n for n in (
    "audio_jump", "audio_level", "bone", "bone_dynamics", "bone_lock", "bone_s", "bone_sel", "bone_sel_dynamics",
    "bone_sel_lock", "bone_sel_s", "bone_sel_t", "bone_t", "camera_pantilt", "camera_roll", "camera_track",
    "camera_zoom", "curve", "curve_sel", "fill", "fill_sel", "layer_all", "layer_alpha", "layer_ao", "layer_blur",
    "layer_flip_h", "layer_flip_v", "layer_mb", "layer_ordering", "layer_rot_x", "layer_rot_y", "layer_rot_z",
    "layer_s", "layer_sh", "layer_shading", "layer_shadow", "layer_t", "layer_vis", "line", "line_sel", "particle",
    "point", "point_sel", "shapefx", "shapefx_sel", "shapefxxform", "shapefxxform_sel", "switch", "tracking_point",
    "tracking_point_sel", "width", "width_sel")]


def frame(x0, y0, x1, y1, w):
    return [rect(x0, y0, x1, y0 + w), rect(x0, y1 - w, x1, y1), rect(x0, y0, x0 + w, y1), rect(x1 - w, y0, x1, y1)]


BLUE = (40, 90, 170)

# The Layers panel's buttons: 20 x 18 like the playback buttons.
LAYER_BUTTONS = {
    "layer_new": (frame(3, 3, 13, 15, 1.2), [rect(13, 5, 15, 13), rect(10, 8, 18, 10)]),
    "layer_dup": (frame(3, 2, 12, 12, 1.2) + frame(8, 6, 17, 16, 1.2), []),
    "layer_del": (frame(3, 3, 13, 15, 1.2), [thick_line(10, 6, 18, 14, 2), thick_line(18, 6, 10, 14, 2)]),
    "layer_info": ([circle(10, 9, 7, 24)], []),
}


# The Actions window's buttons, 20 x 18: a film strip with a plus, a link arrow, a copy and a cross.
def film(x0, y0, x1, y1):
    return frame(x0, y0, x1, y1, 1.2) + [rect(x0 + 2, y0 + 2.5, x0 + 3.5, y0 + 4), rect(x0 + 2, y1 - 4, x0 + 3.5, y1 - 2.5)]


ACTION_BUTTONS = {
    "action_new": (film(2, 3, 13, 15), [rect(13, 8, 19, 10), rect(15, 6, 17, 12)]),
    "action_insert_ref": (film(2, 3, 13, 15), [thick_line(10, 13, 17, 6, 1.8), [(13, 5), (18, 5), (18, 10)]]),
    "action_insert_copy": (film(2, 2, 11, 12) + film(8, 6, 17, 16), []),
    "action_del": (film(2, 3, 13, 15), [thick_line(11, 6, 18, 13, 2), thick_line(18, 6, 11, 13, 2)]),
}


def action_images(out):
    for name, (outlines, marks) in ACTION_BUTTONS.items():
        c = Canvas(20, 18)
        c.fill(outlines, INK)
        c.fill(marks, RED if name == "action_del" else BLUE)
        c.png(os.path.join(out, name + ".png"))
    c = Canvas(10, 12)
    c.fill([[(2, 2), (9, 6), (2, 10)]], RED)
    c.png(os.path.join(out, "active_action.png"))


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


def timeline_images(out):
    for name, shapes in KEY_SHAPES.items():
        for suffix, color in (("", KEY_COLOR), ("_sel", KEY_SELECTED)):
            c = Canvas(7, 9)
            c.fill(shapes, color)
            c.png(os.path.join(out, name + suffix + ".png"))
    for name, minus in (("zoom_out", True), ("zoom_in", False)):
        c = Canvas(16, 16)
        c.fill(ring(6.5, 6.5, 5, 1.5) + [thick_line(10, 10, 14.5, 14.5, 2.5)], INK)
        bars = [rect(4, 6, 9, 7.2)] + ([] if minus else [rect(5.9, 4, 7.1, 9)])
        c.fill(bars, INK)
        c.png(os.path.join(out, name + ".png"))
    c = Canvas(12, 12)
    c.fill([[(2, 4), (10, 4), (6, 9)]], INK)
    c.png(os.path.join(out, "expanded.png"))
    c = Canvas(12, 12)
    c.fill([[(4, 2), (9, 6), (4, 10)]], INK)
    c.png(os.path.join(out, "unexpanded.png"))
    for name, shapes in LAYER_TYPES.items():
        c = Canvas(16, 16)
        c.fill(shapes, INK)
        c.png(os.path.join(out, name + ".png"))
    c = Canvas(8, 8)
    c.fill([[(0, 8), (4, 0), (6, 0), (2, 8)], [(4, 8), (8, 0), (8, 4), (6, 8)]], (255, 255, 255))
    c.png(os.path.join(out, "sequence_mover.png"))
    for name in CHANNEL_ICONS:
        c = Canvas(20, 16)
        c.fill(channel_shapes(name), (200, 60, 60) if "_sel" in name else INK)
        c.png(os.path.join(out, name + ".png"))


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
    c.fill([circle(8, 5, 2.2, 12)], INK)
    c.png(os.path.join(out, "visible_icon.png"))
    action_images(out)
    swatches = os.path.join(os.path.dirname(os.path.abspath(out)), "swatches")
    os.makedirs(swatches, exist_ok=True)
    swatch_picture(os.path.join(swatches, "Spectrum.png"))
    # Cursors: 16 x 16, hot spot at (7, 7), the pixel whose centre is (7.5, 7.5).
    cursor([rect(7, 1, 8, 6), rect(7, 9, 8, 14), rect(1, 7, 6, 8), rect(9, 7, 14, 8)],
           os.path.join(out, "curs_crosshair.png"))
    cursor(arrow_h(7.5) + arrow_v(7.5), os.path.join(out, "curs_resize.png"))
    cursor(arrow_h(7.5), os.path.join(out, "curs_hresize.png"))
    cursor(arrow_v(7.5), os.path.join(out, "curs_vresize.png"))
    timeline_images(out)


if __name__ == "__main__":
    main()
