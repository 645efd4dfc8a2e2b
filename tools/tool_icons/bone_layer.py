"""The icons and cursors of the Bone and Layer tool groups: bones are drawn as slim rose kites,
layers as green-edged sheets; the cursor of each tool is a pointer with a small copy of its
icon below and to the right of the hot spot."""
import math

INK = (44, 52, 64)
BONE = (168, 72, 104)
SHEET = (70, 140, 70)
LIGHT = (235, 238, 242)


def bone(x0, y0, x1, y1, w):
    """A bone from base (x0, y0) to tip (x1, y1): widest a fifth of the way along."""
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * w / 2, dx / length * w / 2
    mx, my = x0 + dx * 0.2, y0 + dy * 0.2
    return [(x0, y0), (mx + nx, my + ny), (x1, y1), (mx - nx, my - ny)]


def arc(shapes, cx, cy, r, w, start, end, n=12):
    """A band of the ring about (cx, cy) from angle start to end (degrees, y down)."""
    outer = [(cx + r * math.cos(math.radians(start + (end - start) * i / n)),
              cy + r * math.sin(math.radians(start + (end - start) * i / n))) for i in range(n + 1)]
    inner = [(cx + (r - w) * math.cos(math.radians(start + (end - start) * i / n)),
              cy + (r - w) * math.sin(math.radians(start + (end - start) * i / n))) for i in range(n, -1, -1)]
    return outer + inner


def head(x, y, angle, size):
    """An arrow head pointing along angle (degrees, y down) with its point at (x, y)."""
    a = math.radians(angle)
    bx, by = x - size * math.cos(a), y - size * math.sin(a)
    nx, ny = -math.sin(a) * size * 0.6, math.cos(a) * size * 0.6
    return [(x, y), (bx + nx, by + ny), (bx - nx, by - ny)]


def four_way(shapes, cx, cy, r):
    polys = [shapes.thick_line(cx - r + 2, cy, cx + r - 2, cy, 1.4), shapes.thick_line(cx, cy - r + 2, cx, cy + r - 2, 1.4)]
    for angle, (x, y) in ((0, (cx + r, cy)), (180, (cx - r, cy)), (90, (cx, cy + r)), (270, (cx, cy - r))):
        polys.append(head(x, y, angle, 3))
    return polys


def sheet(shapes, x0, y0, x1, y1):
    return shapes.frame(x0, y0, x1, y1, 1.3)


def dot(shapes, x, y, r=1.6):
    return shapes.circle(x, y, r, 10)


# Each icon: layers of (polygons, colour), drawn in order on a 24 x 20 canvas.
def icons(shapes):
    return {
        "add_bone": [([bone(3, 17, 15, 5, 5)], BONE), ([shapes.rect(16, 6, 23, 8), shapes.rect(18.5, 3.5, 20.5, 10.5)], INK)],
        "select_bone": [([bone(3, 17, 17, 3, 5)], BONE),
                        ([[(12, 8), (12, 19), (14.5, 16.5), (16.5, 20), (18, 19.2), (16, 15.8), (19.5, 15.5)]], INK)],
        "translate_bone": [([bone(2, 18, 12, 8, 4)], BONE), (four_way(shapes, 17, 7, 6), INK)],
        "rotate_bone": [([bone(5, 16, 19, 6, 5)], BONE), ([arc(shapes, 5, 16, 14, 1.4, 280, 330), head(19.5, 8.5, 70, 4)], INK)],
        "manipulate_bones": [([bone(2, 17, 10, 8, 4), bone(10, 8, 18, 12, 4)], BONE),
                             ([shapes.ring(20, 13, 3, 1.2)[0], dot(shapes, 20, 13, 1)], INK)],
        "offset_bone": [(sheet(shapes, 3, 7, 13, 17), INK), ([bone(9, 15, 21, 3, 5)], BONE),
                        ([head(10, 9, 315, 3)], INK)],
        "bone_strength": [(shapes.ring(12, 10, 9, 1.3), INK), ([bone(6, 14, 18, 6, 4.5)], BONE)],
        "bind_layer": [([shapes.rect(2, 4, 13, 18)], SHEET), (sheet(shapes, 2, 4, 13, 18), INK), ([bone(9, 16, 22, 3, 5)], BONE)],
        "bind_points": [([bone(10, 18, 22, 4, 5)], BONE),
                        ([dot(shapes, 4, 6), dot(shapes, 3, 12), dot(shapes, 7, 17)], INK),
                        ([shapes.thick_line(5, 6.5, 12, 11, 0.9), shapes.thick_line(4.5, 12, 12, 12.5, 0.9)], INK)],
        "transform_layer": [([shapes.rect(2, 3, 12, 13)], SHEET), (sheet(shapes, 2, 3, 12, 13), INK),
                            (four_way(shapes, 16, 12, 7), INK)],
        "rotate_layer": [([shapes.rect(6, 5, 18, 15)], SHEET), (sheet(shapes, 6, 5, 18, 15), INK),
                         ([arc(shapes, 12, 10, 10, 1.4, 200, 320), head(19.5, 3.5, 40, 4)], INK)],
        "scale_layer": [([shapes.rect(2, 9, 10, 17)], SHEET), (sheet(shapes, 2, 3, 20, 17), INK),
                        ([shapes.thick_line(8, 11, 17, 6, 1.4), head(18.5, 5, 330, 4)], INK)],
        "set_origin": [([shapes.rect(3, 3, 21, 17)], SHEET),
                       (shapes.ring(12, 10, 5, 1.3) + [shapes.rect(11.4, 1, 12.6, 19), shapes.rect(2, 9.4, 22, 10.6)], INK)],
        "video_tracking": [([shapes.rect(1, 4, 23, 16)], INK),
                           ([shapes.rect(2.5 + 4 * i, 5, 4.5 + 4 * i, 6.5) for i in range(5)]
                            + [shapes.rect(2.5 + 4 * i, 13.5, 4.5 + 4 * i, 15) for i in range(5)], LIGHT),
                           (shapes.ring(12, 10, 3.2, 1.2), (120, 220, 120))],
    }


ARROW = [(1, 1), (1, 17), (5, 13.2), (8, 20), (10.6, 19), (7.6, 12.2), (13, 12.2)]


def moved(polys, scale, ox, oy):
    return [[(ox + x * scale, oy + y * scale) for (x, y) in p] for p in polys]


def draw(out, Canvas, shapes):
    for name, layers in sorted(icons(shapes).items()):
        icon = Canvas(24, 20)
        for polys, colour in layers:
            icon.fill(polys, colour)
        icon.png(f"{out}/{name}.png")

        cur = Canvas(32, 32)
        for ox, oy in ((-1, 0), (1, 0), (0, -1), (0, 1)):
            cur.fill(moved([ARROW], 1, ox, oy), (255, 255, 255))
        cur.fill([ARROW], (0, 0, 0))
        # A pale card under the badge keeps it readable on any picture.
        cur.fill([shapes.rect(12, 15, 32, 32)], (255, 255, 255))
        for polys, colour in layers:
            cur.fill(moved(polys, 0.8, 12.4, 16), colour)
        cur.png(f"{out}/{name}_cursor.png")
