"""Icons and cursors of the Draw, Fill and Workspace tools.

Each tool is a list of (polygons, colour) layers drawn on a 24 x 20 icon. Its cursor is an
arrow whose tip is the hot spot (1, 1), with the icon's layers drawn small below and to the
right of it.
"""
import math

INK = (40, 46, 58)
POINT = (210, 60, 50)
SEL = (235, 170, 30)
FILL = (90, 150, 210)
PAPER = (250, 250, 245)
GUIDE = (120, 130, 150)


def _shapes(shapes):
    rect, circle, ring, thick = shapes.rect, shapes.circle, shapes.ring, shapes.thick_line

    def dot(x, y, r=2.0):
        return circle(x, y, r, 12)

    def arc(cx, cy, r, a0, a1, w, n=10):
        outer = [(cx + (r + w / 2) * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
                  cy - (r + w / 2) * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]
        inner = [(cx + (r - w / 2) * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
                  cy - (r - w / 2) * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]
        return outer + inner[::-1]

    def arrow_head(x, y, dx, dy, size=3.5):
        length = math.hypot(dx, dy)
        ux, uy = dx / length, dy / length
        return [(x + ux * size, y + uy * size), (x - uy * size * 0.8, y + ux * size * 0.8),
                (x + uy * size * 0.8, y - ux * size * 0.8)]

    def frame(x0, y0, x1, y1, w):
        return [rect(x0, y0, x1, y0 + w), rect(x0, y1 - w, x1, y1), rect(x0, y0, x0 + w, y1), rect(x1 - w, y0, x1, y1)]

    dash = [rect(3 + 4 * i, 3, 5 + 4 * i, 4) for i in range(5)] + [rect(3 + 4 * i, 16, 5 + 4 * i, 17) for i in range(5)]
    dash += [rect(3, 3 + 4 * i, 4, 5 + 4 * i) for i in range(4)] + [rect(20, 3 + 4 * i, 21, 5 + 4 * i) for i in range(4)]
    blob = [(4, 14), (6, 7), (12, 4), (19, 6), (21, 12), (15, 17), (8, 17)]

    return {
        "select_points": [(dash, GUIDE), ([dot(9, 9), dot(15, 12)], SEL), ([dot(18, 6, 1.6)], POINT)],
        "translate_points": [([thick(4, 10, 20, 10, 1.6), thick(12, 2, 12, 18, 1.6)], INK),
                             ([arrow_head(20, 10, 1, 0), arrow_head(4, 10, -1, 0), arrow_head(12, 2, 0, -1),
                               arrow_head(12, 18, 0, 1)], INK), ([dot(12, 10, 2.2)], SEL)],
        "scale_points": [(frame(3, 7, 13, 17, 1.4), GUIDE), (frame(3, 2, 21, 17, 1.4), INK),
                         ([thick(10, 11, 18, 5, 1.6), arrow_head(18, 5, 1, -0.75)], INK)],
        "rotate_points": [([arc(12, 10, 7, 20, 300, 1.8)], INK), ([arrow_head(18.6, 7.6, 0.35, 1)], INK),
                          ([dot(12, 10, 2)], SEL)],
        "add_point": [([thick(2, 15, 12, 6, 1.4), thick(12, 6, 22, 15, 1.4)], INK), ([dot(12, 6, 2.4)], SEL),
                      ([rect(17, 1, 19, 7), rect(15, 3, 21, 5)], POINT)],
        "curvature": [([arc(12, 22, 14, 40, 140, 1.6)], INK), ([thick(3, 8, 12, 3, 1.4), thick(12, 3, 21, 8, 1.4)],
                                                               GUIDE), ([dot(12, 8, 2.2)], SEL)],
        "delete_edge": [([thick(2, 15, 10, 10, 1.4), thick(14, 10, 22, 15, 1.4)], INK),
                        ([thick(9, 3, 15, 9, 1.8), thick(15, 3, 9, 9, 1.8)], POINT)],
        "freehand": [([thick(2, 14, 6, 9, 1.6), thick(6, 9, 10, 12, 1.6), thick(10, 12, 14, 7, 1.6)], INK),
                     ([thick(14, 7, 21, 2, 3), [(12, 9), (14, 5), (16, 7)]], SEL)],
        "rectangle": [([rect(4, 4, 20, 16)], PAPER), (frame(3, 3, 21, 17, 1.6), INK)],
        "oval": [([circle(12, 10, 8, 24)], PAPER), (ring(12, 10, 8.8, 1.6), INK)],
        "create_shape": [([blob], FILL), ([dot(x, y, 1.6) for (x, y) in blob], INK)],
        "select_shape": [([blob], FILL), (dash, INK)],
        "paint_bucket": [([[(4, 9), (11, 3), (18, 10), (11, 16)]], INK), ([[(6, 9), (11, 5), (16, 10), (11, 14)]], PAPER),
                         ([[(16, 10), (21, 14), (21, 18), (19, 18), (19, 15)]], FILL)],
        "eyedropper": [([thick(5, 16, 16, 5, 3)], INK), ([circle(18, 3.5, 3, 12)], INK), ([dot(4, 17, 1.8)], FILL)],
        "line_width": [([thick(2, 4, 22, 4, 1)], INK), ([thick(2, 10, 22, 10, 2.5)], INK), ([thick(2, 16, 22, 16, 4)], INK)],
        "hide_edge": [([thick(2, 12, 22, 12, 1.6)], GUIDE), ([arc(12, 15, 8, 20, 160, 1.6)], INK),
                      ([dot(12, 9, 2)], INK), ([thick(5, 3, 19, 17, 1.6)], POINT)],
        "pan_view": [([rect(8, 6, 16, 17), [(8, 6), (9, 2), (11, 2), (11, 6)], [(11, 6), (12, 1), (14, 1), (14, 6)],
                       [(14, 6), (15, 2), (17, 2), (16, 7)], [(8, 11), (4, 8), (3, 9), (8, 15)]], INK)],
        "zoom_view": [(ring(10, 8, 6.5, 1.8), INK), ([thick(14.5, 12.5, 21, 19, 3)], INK),
                      ([rect(9.2, 5, 10.8, 11), rect(7, 7.2, 13, 8.8)], INK)],
        "rotate_view": [(frame(6, 5, 18, 15, 1.4), GUIDE), ([arc(12, 10, 8, 100, 350, 1.6)], INK),
                        ([arrow_head(19.9, 11.4, -0.2, 1)], INK)],
    }


def draw(out, Canvas, shapes):
    import os
    pointer = [(1, 1), (1, 13), (4, 10), (6.5, 15), (8.5, 14), (6, 9), (10, 9)]
    for name, layers in _shapes(shapes).items():
        icon = Canvas(24, 20)
        for polys, colour in layers:
            icon.fill(polys, colour)
        icon.png(os.path.join(out, name + ".png"))

        cursor = Canvas(32, 32)
        # A white rim keeps the arrow visible on dark drawings.
        for ox, oy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            cursor.fill([[(x + ox, y + oy) for (x, y) in pointer]], (255, 255, 255))
        cursor.fill([pointer], (0, 0, 0))
        scale, dx, dy = 0.7, 13, 15
        cursor.fill([[(dx - 1, dy - 1), (dx + 24 * scale + 1, dy - 1), (dx + 24 * scale + 1, dy + 20 * scale + 1),
                      (dx - 1, dy + 20 * scale + 1)]], (255, 255, 255))
        for polys, colour in layers:
            cursor.fill([[(dx + x * scale, dy + y * scale) for (x, y) in p] for p in polys], colour)
        cursor.png(os.path.join(out, name + "_cursor.png"))
