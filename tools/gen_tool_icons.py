#!/usr/bin/env python3
"""Draws the tool scripts' icons (24 x 20) and cursors (32 x 32, hot spot at (1, 1)) into
data/scripts/tool, as name.png and name_cursor.png.

    tools/gen_tool_icons.py [OUTPUT_FOLDER]    (default: data/scripts/tool)

Each module of tools/tool_icons/ draws one group of tools: it defines
`draw(out, Canvas, shapes)` writing its pictures, where `shapes` is the drawing helper module
gen_resource_images (polygons, circles, rings, thick lines).
"""
import importlib
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gen_resource_images as shapes  # noqa: E402


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "data", "scripts", "tool")
    os.makedirs(out, exist_ok=True)
    folder = os.path.join(HERE, "tool_icons")
    for name in sorted(os.listdir(folder)):
        if name.endswith(".py") and not name.startswith("_"):
            module = importlib.import_module("tool_icons." + name[:-3])
            module.draw(out, shapes.Canvas, shapes)


if __name__ == "__main__":
    main()
