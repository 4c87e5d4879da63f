"""The demo's GUI panel: a dark wooden frame with a brass line around a deep
slate field, cut in nine by the engine (8-pixel corners, see the <theme>
element of game.xml). Drawn on the standard library alone; the same bytes
on every run.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pngwrite import Canvas, save  # noqa: E402

SIZE = 24
BORDER = 8
OUTLINE = (24, 16, 12)
WOOD = (104, 66, 38)
WOOD_DARK = (78, 48, 28)
BRASS = (206, 168, 86)
# A dark slate, nearly neutral: the menus' blue entry bars stand out on it.
FIELD = (40, 38, 46)
FIELD_LIGHT = (48, 46, 54)
# Opaque: the menus read the same over sea, sand and grass.
FIELD_ALPHA = 255


def build(path):
    c = Canvas(SIZE, SIZE)
    last = SIZE - 1
    c.rect(0, 0, last, last, OUTLINE)
    c.rect(1, 1, last - 1, last - 1, WOOD)
    # Grain: every other row of the wood a shade darker.
    for y in range(1, last, 2):
        for x in range(1, last):
            if x < 5 or x > last - 5 or y < 5 or y > last - 5:
                c.put(x, y, WOOD_DARK)
    c.rect(5, 5, last - 5, last - 5, BRASS)
    c.rect(6, 6, last - 6, last - 6, FIELD, FIELD_ALPHA)
    # A faint lighter band below the brass line gives the field some depth.
    c.rect(6, 6, last - 6, 6, FIELD_LIGHT, FIELD_ALPHA)
    c.rect(6, 6, 6, last - 6, FIELD_LIGHT, FIELD_ALPHA)
    # Brass studs in the four corners.
    for x, y in ((2, 2), (last - 3, 2), (2, last - 3), (last - 3, last - 3)):
        c.rect(x, y, x + 1, y + 1, BRASS)
    save(c, path)


if __name__ == "__main__":
    build(sys.argv[1] if len(sys.argv) > 1 else "guiPanel.png")
