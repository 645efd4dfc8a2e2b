#!/usr/bin/env python3
"""Draws the shell's own pictures: the splash and welcome screens, the content library's icons and
its zoom buttons, as small PNG files.

    tools/gen_shell_images.py [OUTPUT_FOLDER]    (default: data/Resources)

Large pictures are flat panels and bands (they compress to a few kilobytes); their lettering comes
from a 5 x 7 pixel font drawn at twice its size. Icons use the polygon canvas of
gen_resource_images.py.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gen_resource_images import Canvas, rect, thick_line  # noqa: E402

# 5 x 7 letters, rows top to bottom, "#" set.
GLYPHS = {
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "B": ["#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "],
    "C": [" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"],
    "D": ["#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "F": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "],
    "G": [" ####", "#    ", "#    ", "#  ##", "#   #", "#   #", " ####"],
    "H": ["#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "I": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "#####"],
    "K": ["#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "M": ["#   #", "## ##", "# # #", "#   #", "#   #", "#   #", "#   #"],
    "N": ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"],
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "P": ["#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "],
    "Q": [" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "S": [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    "U": ["#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "V": ["#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "],
    "W": ["#   #", "#   #", "#   #", "#   #", "# # #", "## ##", "#   #"],
    "Y": ["#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "],
    "'": ["  #  ", "  #  ", "     ", "     ", "     ", "     ", "     "],
    "-": ["     ", "     ", "     ", "#####", "     ", "     ", "     "],
    ".": ["     ", "     ", "     ", "     ", "     ", "     ", "  #  "],
    " ": ["     "] * 7,
}


class Picture:
    """An opaque picture drawn with rectangles, bands and lettering."""

    def __init__(self, w, h, color):
        self.w, self.h = w, h
        self.px = [[color + (255,) for _ in range(w)] for _ in range(h)]

    def rect(self, x0, y0, x1, y1, color):
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            row = self.px[y]
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                row[x] = color + (255,)

    def frame(self, x0, y0, x1, y1, color, width=1):
        self.rect(x0, y0, x1, y0 + width - 1, color)
        self.rect(x0, y1 - width + 1, x1, y1, color)
        self.rect(x0, y0, x0 + width - 1, y1, color)
        self.rect(x1 - width + 1, y0, x1, y1, color)

    def bands(self, y0, y1, top, bottom, step=8):
        """Vertical shading in bands of a few rows: few distinct rows keep the file small."""
        for y in range(y0, y1 + 1, step):
            t = (y - y0) / max(1, y1 - y0)
            c = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            self.rect(0, y, self.w - 1, min(y + step - 1, y1), c)

    def text(self, x, y, s, color, scale=2):
        for ch in s.upper():
            glyph = GLYPHS.get(ch, GLYPHS[" "])
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == "#":
                        self.rect(x + gx * scale, y + gy * scale, x + gx * scale + scale - 1, y + gy * scale + scale - 1,
                                  color)
            x += 6 * scale
        return x

    def centred(self, x0, x1, y, s, color, scale=2):
        width = len(s) * 6 * scale - scale
        self.text(x0 + (x1 - x0 + 1 - width) // 2, y, s, color, scale)

    def png(self, path):
        c = Canvas(1, 1)
        c.w, c.h, c.px = self.w, self.h, self.px
        c.png(path)


NIGHT = (24, 38, 64)
DUSK = (58, 84, 128)
PANEL = (36, 54, 88)
LIGHT = (236, 240, 246)
ACCENT = (240, 168, 64)


def splash(path):
    # The credits box (20, 78)-(380, 450) is a calm panel: the About box scrolls its credits there.
    p = Picture(400, 470, NIGHT)
    p.bands(0, 469, NIGHT, DUSK)
    p.centred(0, 399, 22, "CELVANE", LIGHT, 4)
    p.rect(120, 58, 279, 60, ACCENT)
    p.rect(20, 78, 380, 450, PANEL)
    p.frame(19, 77, 381, 451, (70, 98, 146))
    p.png(path)


def welcome(path):
    # Regions the welcome screen answers: the guide (46, 121)-(364, 172) and "don't show this
    # again" (46, 422)-(260, 460); everything else closes it.
    p = Picture(410, 480, NIGHT)
    p.bands(0, 479, NIGHT, DUSK)
    p.centred(0, 409, 30, "WELCOME TO", LIGHT, 2)
    p.centred(0, 409, 56, "CELVANE", LIGHT, 4)
    p.rect(46, 121, 364, 172, ACCENT)
    p.frame(46, 121, 364, 172, (255, 214, 150), 2)
    p.centred(46, 364, 140, "QUICK-START GUIDE", NIGHT, 2)
    p.centred(0, 409, 250, "CLICK ANYWHERE ELSE", LIGHT, 2)
    p.centred(0, 409, 272, "TO START DRAWING.", LIGHT, 2)
    p.frame(46, 422, 260, 460, (90, 120, 170))
    p.rect(54, 433, 69, 448, LIGHT)
    p.frame(54, 433, 69, 448, (90, 120, 170))
    p.text(78, 426, "DON'T SHOW", LIGHT, 2)
    p.text(78, 444, "THIS AGAIN", LIGHT, 2)
    p.png(path)


def folder_icon(path):
    c = Canvas(64, 64)
    c.fill([[(4, 14), (24, 14), (30, 20), (60, 20), (60, 54), (4, 54)]], (196, 146, 52))
    c.fill([rect(4, 24, 60, 54)], (232, 184, 84))
    c.png(path)


def document_icon(path):
    c = Canvas(64, 64)
    c.fill([[(14, 4), (40, 4), (52, 16), (52, 60), (14, 60)]], (120, 130, 150))
    c.fill([[(16, 6), (39, 6), (50, 17), (50, 58), (16, 58)]], (250, 250, 252))
    c.fill([[(39, 6), (50, 17), (39, 17)]], (200, 206, 220))
    c.fill([[(22, 48), (32, 26), (42, 48)]], (70, 110, 190))
    c.png(path)


def audio_icon(path):
    c = Canvas(64, 64)
    ink = (60, 70, 100)
    c.fill([rect(36, 10, 40, 44), [(36, 10), (52, 16), (52, 24), (40, 19)]], ink)
    c.fill([[(x, y) for (x, y) in circle(31, 46, 8)]], ink)
    c.png(path)


def circle(cx, cy, r, n=24):
    import math
    return [(cx + r * math.cos(2 * math.pi * i / n), cy + r * math.sin(2 * math.pi * i / n)) for i in range(n)]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "Resources")
    os.makedirs(out, exist_ok=True)
    splash(os.path.join(out, "celvane6_splash.png"))
    welcome(os.path.join(out, "celvane6_welcome.png"))
    folder_icon(os.path.join(out, "FolderIcon.png"))
    document_icon(os.path.join(out, "DocumentIcon.png"))
    audio_icon(os.path.join(out, "AudioIcon.png"))


if __name__ == "__main__":
    main()
