"""Builds assets/maps/region1/tileset.png: 20 tiles of 16 x 16 pixels per row.

The tile map generator imports GID from here, so the maps always name the
tiles that this file draws. Tile ids are 1-based (id = row * 20 + col + 1).
Rows 26 to 29, columns 0 to 3 hold the passability marks that the game reads
from the Passability layer; they are drawn as red bars on the closed sides so
that the layer is readable in the map editor.
"""
import numpy as np

from pixel import T, canvas, rgba, shade, speckle, rect, px, disc, outline, paste, save

COLS = 20
ROWS = 32

GRASS = (96, 168, 72)
GRASS_PAL = [(82, 148, 60), (112, 184, 84), (76, 138, 58), (120, 190, 90)]
SAND = (232, 212, 152)
SAND_PAL = [(218, 196, 136), (242, 226, 172), (210, 188, 128)]
WATER = (64, 128, 204)
WATER_PAL = [(56, 116, 190), (74, 140, 214)]
DEEP = (46, 100, 178)
DIRT = (176, 136, 90)
DIRT_PAL = [(160, 122, 80), (190, 150, 104), (150, 112, 74)]
WOOD = (150, 100, 58)
WOOD_DARK = (104, 66, 36)
STONE = (150, 150, 160)
STONE_DARK = (104, 104, 118)
LEAF = (52, 132, 64)
LEAF_DARK = (34, 96, 50)
LEAF_LIGHT = (90, 168, 80)

GID = {}


def gid(col, row):
    return row * COLS + col + 1


def grass_tile(rng, flowers=None):
    t = speckle(rng, T, GRASS, GRASS_PAL, 0.18)
    # short darker blades make the grass read as grass rather than noise
    for _ in range(5):
        x, y = rng.integers(0, T, 2)
        px(t, x, y, (70, 132, 54))
        px(t, x, (y + 1) % T, (70, 132, 54))
    if flowers:
        for _ in range(4):
            x, y = rng.integers(2, T - 2, 2)
            px(t, x, y, flowers)
            px(t, x, y + 1, (60, 120, 50))
    return t


def sand_tile(rng, shells=False):
    t = speckle(rng, T, SAND, SAND_PAL, 0.2)
    if shells:
        for _ in range(2):
            x, y = rng.integers(2, T - 3, 2)
            px(t, x, y, (250, 240, 230))
            px(t, x + 1, y, (236, 170, 160))
    return t


def water_tile(rng, base=WATER, waves=3):
    t = speckle(rng, T, base, WATER_PAL if base == WATER else [shade(base, 0.92)], 0.08)
    for _ in range(waves):
        x, y = rng.integers(0, T - 4), rng.integers(1, T - 1)
        for i in range(3):
            px(t, x + i, y, (150, 196, 236))
        px(t, x + 3, y - 1, (150, 196, 236))
    return t


def dirt_tile(rng):
    t = speckle(rng, T, DIRT, DIRT_PAL, 0.22)
    for _ in range(2):
        x, y = rng.integers(1, T - 2, 2)
        px(t, x, y, (130, 118, 110))
        px(t, x + 1, y, (168, 158, 150))
    return t


def plank_tile(rng, vertical=False):
    t = canvas(T, T)
    t[:, :] = rgba(WOOD)
    for k in range(0, T, 4):
        if vertical:
            rect(t, k, 0, k, T - 1, WOOD_DARK)
        else:
            rect(t, 0, k, T - 1, k, WOOD_DARK)
    for _ in range(10):
        x, y = rng.integers(0, T, 2)
        px(t, x, y, shade(WOOD, 1.15))
    if vertical:
        px(t, 2, 5, WOOD_DARK); px(t, 10, 12, WOOD_DARK)
    else:
        px(t, 5, 2, WOOD_DARK); px(t, 12, 10, WOOD_DARK)
    return t


def cobble_tile(rng):
    t = canvas(T, T)
    t[:, :] = rgba(STONE_DARK)
    for y0 in range(0, T, 4):
        off = 2 if (y0 // 4) % 2 else 0
        for x0 in range(-off, T, 5):
            c = shade(STONE, 0.9 + 0.2 * rng.random())
            rect(t, x0 + 1, y0 + 1, x0 + 3, y0 + 2, c)
            px(t, x0 + 1, y0 + 1, shade(c, 1.15))
    return t


def corner_mask(mask, rng, noise=0.18):
    """Which pixels of a corner-terrain tile belong to the upper terrain.

    mask bits are the corners held by the upper terrain: 1 top-left,
    2 top-right, 4 bottom-right, 8 bottom-left. The bilinear blend matches
    along shared edges, and the wobble fades out towards the tile border so
    that neighbouring tiles still line up.
    """
    tl, tr, br, bl = [(mask >> i) & 1 for i in range(4)]
    ys, xs = np.mgrid[0:T, 0:T]
    u = (xs + 0.5) / T
    v = (ys + 0.5) / T
    f = tl * (1 - u) * (1 - v) + tr * u * (1 - v) + br * u * v + bl * (1 - u) * v
    # round the corners a little: pull the field towards 0/1
    f = f * f * (3 - 2 * f)
    wob = (rng.random((T, T)) - 0.5) * noise * np.sin(np.pi * u) * np.sin(np.pi * v)
    return (f + wob) > 0.5


def edge_of(m):
    """Pixels of m that touch a pixel outside m."""
    out = ~m
    e = np.zeros_like(m)
    e[1:, :] |= out[:-1, :]
    e[:-1, :] |= out[1:, :]
    e[:, 1:] |= out[:, :-1]
    e[:, :-1] |= out[:, 1:]
    return e & m


def corner_tile(mask, upper, lower, rng, edge=None, rim=None):
    """upper over lower (lower may be None for a transparent background)."""
    m = corner_mask(mask, rng)
    t = lower.copy() if lower is not None else canvas(T, T)
    t[m] = upper[m]
    if edge is not None:
        t[edge_of(m)] = rgba(edge)
    if rim is not None and lower is not None:
        # a light line on the lower side of the border (surf on the beach)
        r = edge_of(~m)
        t[r] = rgba(rim)
    return t


def tree(rng):
    """A round leafy tree, 2 x 2 tiles."""
    t = canvas(2 * T, 2 * T)
    rect(t, 13, 20, 18, 30, (110, 72, 40))
    rect(t, 13, 20, 14, 30, (136, 92, 54))
    px(t, 12, 30, (110, 72, 40)); px(t, 19, 30, (110, 72, 40))
    for cx, cy, r in [(16, 11, 10), (9, 15, 7), (23, 15, 7), (16, 6, 7)]:
        disc(t, cx, cy, r, LEAF)
    for _ in range(60):
        x, y = rng.integers(2, 30), rng.integers(1, 23)
        if t[y, x, 3]:
            px(t, x, y, LEAF_DARK if y > 12 else LEAF_LIGHT)
    disc(t, 12, 8, 3, LEAF_LIGHT)
    outline(t, (24, 56, 30))
    return t


def pine(rng):
    t = canvas(2 * T, 2 * T)
    rect(t, 14, 25, 17, 30, (104, 66, 38))
    for i, y in enumerate(range(2, 27)):
        half = 2 + (y - 2) * 11 // 24 - (2 if (y - 2) % 8 > 5 else 0)
        rect(t, 16 - half, y, 15 + half, y, (40, 110, 70) if i % 3 else (32, 92, 58))
    for _ in range(25):
        x, y = rng.integers(6, 26), rng.integers(6, 25)
        if t[y, x, 3]:
            px(t, x, y, (70, 140, 90))
    outline(t, (20, 50, 34))
    return t


def palm(rng):
    t = canvas(2 * T, 2 * T)
    for y in range(12, 31):
        x = 15 + (31 - y) // 7
        rect(t, x, y, x + 2, y, (150, 110, 64) if y % 3 else (118, 84, 48))
    for dx, dy in [(-1, 0), (1, 0), (-1, 1), (1, 1), (0, -1)]:
        for k in range(1, 11):
            x = 17 + dx * k
            y = 10 + dy * k // 2 + (k * k) // 14 * (1 if dy >= 0 else -1)
            rect(t, x - 1, y, x + 1, y + 1, (70, 160, 70) if k % 2 else (50, 130, 60))
    disc(t, 16, 12, 2, (120, 80, 40))
    outline(t, (26, 60, 30))
    return t


def bush(rng):
    t = canvas(T, T)
    disc(t, 8, 9, 6, LEAF)
    disc(t, 5, 10, 4, LEAF)
    disc(t, 11, 10, 4, LEAF)
    for _ in range(14):
        x, y = rng.integers(2, 14, 2)
        if t[y, x, 3]:
            px(t, x, y, LEAF_LIGHT if y < 8 else LEAF_DARK)
    px(t, 6, 7, (220, 60, 60)); px(t, 10, 9, (220, 60, 60))
    outline(t, (24, 56, 30))
    return t


def rock(rng, big=False):
    t = canvas(T, T)
    if big:
        disc(t, 8, 9, 6.5, STONE)
        disc(t, 6, 7, 3, shade(STONE, 1.15))
    else:
        disc(t, 8, 11, 4, STONE)
        disc(t, 7, 10, 2, shade(STONE, 1.15))
    for _ in range(6):
        x, y = rng.integers(3, 13, 2)
        if t[y, x, 3]:
            px(t, x, y, STONE_DARK)
    outline(t, (50, 50, 60))
    return t


def flowers(rng, color):
    t = canvas(T, T)
    for x, y in [(3, 4), (10, 3), (6, 9), (12, 11), (3, 13)]:
        px(t, x, y + 1, (50, 120, 50)); px(t, x, y + 2, (50, 120, 50))
        for dx, dy in [(-1, 0), (1, 0), (0, -1), (0, 1)]:
            px(t, x + dx, y + dy, color)
        px(t, x, y, (250, 230, 90))
    return t


def stump():
    t = canvas(T, T)
    rect(t, 4, 7, 11, 13, (120, 80, 46))
    disc(t, 8, 7, 4, (196, 160, 110))
    disc(t, 8, 7, 2, (160, 120, 80))
    outline(t, (60, 40, 24))
    return t


def barrel():
    t = canvas(T, T)
    rect(t, 4, 2, 11, 14, WOOD)
    rect(t, 3, 4, 12, 12, WOOD)
    for y in (4, 11):
        rect(t, 3, y, 12, y, (90, 90, 100))
    rect(t, 5, 2, 10, 3, shade(WOOD, 1.2))
    rect(t, 6, 5, 6, 10, shade(WOOD, 1.2))
    outline(t, (50, 32, 18))
    return t


def crate():
    t = canvas(T, T)
    rect(t, 2, 3, 13, 14, (186, 140, 84))
    for k in (2, 13):
        rect(t, k, 3, k, 14, (130, 92, 50))
    rect(t, 2, 3, 13, 3, (130, 92, 50)); rect(t, 2, 14, 13, 14, (130, 92, 50))
    for i in range(10):
        px(t, 3 + i, 4 + i, (130, 92, 50))
    outline(t, (60, 40, 22))
    return t


def sign():
    t = canvas(T, T)
    rect(t, 7, 8, 8, 14, WOOD_DARK)
    rect(t, 2, 2, 13, 8, (200, 160, 100))
    rect(t, 4, 4, 11, 4, (110, 80, 50)); rect(t, 4, 6, 9, 6, (110, 80, 50))
    outline(t, (60, 40, 22))
    return t


def fence_piece(kind):
    """kind: 'h' horizontal rail, 'v' vertical rail, 'post', or a corner
    'tl','tr','bl','br' naming where the corner sits."""
    t = canvas(T, T)
    post = (138, 94, 56)
    rail = (176, 126, 76)
    left = kind in ("h", "tr", "br")
    right = kind in ("h", "tl", "bl")
    up = kind in ("v", "bl", "br")
    down = kind in ("v", "tl", "tr")
    if left:
        rect(t, 0, 6, 7, 7, rail); rect(t, 0, 10, 7, 11, rail)
    if right:
        rect(t, 8, 6, 15, 7, rail); rect(t, 8, 10, 15, 11, rail)
    if up:
        rect(t, 7, 0, 8, 7, rail)
    if down:
        rect(t, 7, 8, 8, 15, rail)
    rect(t, 6, 3, 9, 13, post)
    rect(t, 6, 3, 9, 3, shade(post, 1.25))
    outline(t, (64, 40, 22))
    return t


def well(rng):
    t = canvas(2 * T, 2 * T)
    rect(t, 5, 4, 6, 20, WOOD_DARK); rect(t, 25, 4, 26, 20, WOOD_DARK)
    for y, c in ((2, (170, 60, 50)), (3, (150, 50, 44)), (4, (130, 40, 36))):
        rect(t, 3 + (4 - y), y, 28 - (4 - y), y, c)
    rect(t, 14, 5, 17, 11, (120, 120, 130))
    rect(t, 15, 12, 16, 14, WOOD_DARK)
    rect(t, 4, 16, 27, 29, STONE)
    for y in range(16, 30, 3):
        off = 3 if (y // 3) % 2 else 0
        rect(t, 4, y, 27, y, STONE_DARK)
        for x in range(4 + off, 28, 6):
            rect(t, x, y, x, y + 2, STONE_DARK)
    rect(t, 7, 17, 24, 19, (40, 60, 110))
    outline(t)
    return t


def boat():
    t = canvas(2 * T, T)
    rect(t, 2, 5, 29, 11, (150, 96, 54))
    rect(t, 4, 12, 27, 13, (120, 76, 42))
    rect(t, 0, 4, 31, 4, (110, 70, 40))
    rect(t, 4, 6, 27, 9, (186, 134, 80))
    rect(t, 15, 6, 16, 11, (110, 70, 40))
    outline(t)
    return t


def lamp():
    t = canvas(T, 2 * T)
    rect(t, 7, 8, 8, 30, (60, 60, 70))
    rect(t, 5, 30, 10, 31, (60, 60, 70))
    rect(t, 4, 2, 11, 8, (60, 60, 70))
    rect(t, 5, 3, 10, 7, (255, 224, 120))
    rect(t, 6, 0, 9, 1, (60, 60, 70))
    outline(t)
    return t


def house(rng, roof, roof_dark, wall=(226, 208, 170)):
    """A cottage 5 tiles wide and 4 tall: two rows of roof, two of wall."""
    w, h = 5 * T, 4 * T
    t = canvas(w, h)
    # walls
    rect(t, 2, 30, w - 3, h - 1, wall)
    for y in range(33, h, 5):
        rect(t, 2, y, w - 3, y, shade(wall, 0.9))
    rect(t, 2, 30, 3, h - 1, (120, 84, 50)); rect(t, w - 4, 30, w - 3, h - 1, (120, 84, 50))
    rect(t, 2, h - 2, w - 3, h - 1, STONE_DARK)
    # door in the middle tile, bottom row
    rect(t, 34, 42, 45, h - 2, (112, 70, 38))
    rect(t, 35, 43, 44, h - 3, (140, 92, 52))
    rect(t, 39, 43, 40, h - 3, (112, 70, 38))
    px(t, 42, 53, (240, 210, 90))
    rect(t, 32, h - 2, 47, h - 1, STONE)
    # two windows
    for x0 in (10, 58):
        rect(t, x0, 38, x0 + 11, 49, (90, 62, 36))
        rect(t, x0 + 1, 39, x0 + 10, 48, (130, 190, 230))
        rect(t, x0 + 5, 39, x0 + 6, 48, (90, 62, 36))
        rect(t, x0 + 1, 43, x0 + 10, 44, (90, 62, 36))
        px(t, x0 + 2, 40, (230, 245, 255)); px(t, x0 + 3, 40, (230, 245, 255))
        rect(t, x0 - 1, 50, x0 + 12, 51, (90, 62, 36))
    # roof: overhanging shingles with a ridge
    for y in range(2, 32):
        inset = max(0, 6 - y)
        c = roof if (y // 3) % 2 == 0 else shade(roof, 0.9)
        rect(t, inset, y, w - 1 - inset, y, c)
        if y % 3 == 2:
            for x in range(inset + (y % 2) * 3, w - inset, 6):
                px(t, x, y, roof_dark)
    rect(t, 4, 2, w - 5, 4, roof_dark)
    rect(t, 0, 30, w - 1, 31, roof_dark)
    # chimney
    rect(t, 60, 0, 67, 10, (160, 90, 70))
    rect(t, 59, 0, 68, 1, (120, 70, 56))
    outline(t, (40, 30, 30))
    return t


def passability(gid_value):
    """Red bars on the closed sides of a passability mark."""
    closed = {
        521: "l", 522: "t", 523: "b", 524: "r",
        541: "rb", 542: "lb", 543: "lt", 544: "tr",
        561: "lr", 562: "tb", 563: "trb", 564: "lrb",
        581: "ltb", 582: "ltr", 583: "ltrb",
    }[gid_value]
    t = canvas(T, T)
    t[:, :] = rgba((255, 255, 255), 40)
    red = (220, 30, 30)
    if "t" in closed:
        rect(t, 0, 0, T - 1, 2, red, 200)
    if "b" in closed:
        rect(t, 0, T - 3, T - 1, T - 1, red, 200)
    if "l" in closed:
        rect(t, 0, 0, 2, T - 1, red, 200)
    if "r" in closed:
        rect(t, T - 3, 0, T - 1, T - 1, red, 200)
    if closed == "ltrb":
        for i in range(3, T - 3):
            px(t, i, i, red, 200)
            px(t, T - 1 - i, i, red, 200)
    return t


def build(path):
    rng = np.random.default_rng(1234)
    sheet = canvas(COLS * T, ROWS * T)

    used = set()

    def put(name, img, col, row):
        # two drawings on one tile slot would silently corrupt both
        for r in range(img.shape[0] // T):
            for c in range(img.shape[1] // T):
                assert (col + c, row + r) not in used, "tile slot %d,%d drawn twice" % (col + c, row + r)
                used.add((col + c, row + r))
        paste(sheet, img, col * T, row * T)
        if img.shape[0] == T and img.shape[1] == T:
            GID[name] = gid(col, row)
        else:
            # multi-tile objects: name_r_c for each tile
            for r in range(img.shape[0] // T):
                for c in range(img.shape[1] // T):
                    GID["%s_%d_%d" % (name, r, c)] = gid(col + c, row + r)

    # row 0: plain ground
    put("grass", grass_tile(rng), 0, 0)
    put("grass2", grass_tile(rng), 1, 0)
    put("grassYellow", grass_tile(rng, (250, 220, 70)), 2, 0)
    put("grassWhite", grass_tile(rng, (245, 245, 245)), 3, 0)
    put("sand", sand_tile(rng), 4, 0)
    put("sandShells", sand_tile(rng, True), 5, 0)
    put("water", water_tile(rng), 6, 0)
    put("water2", water_tile(rng), 7, 0)
    put("deepWater", water_tile(rng, DEEP, 2), 8, 0)
    put("dirt", dirt_tile(rng), 9, 0)
    put("dirt2", dirt_tile(rng), 10, 0)
    put("plankH", plank_tile(rng), 11, 0)
    put("plankV", plank_tile(rng, True), 12, 0)
    put("cobble", cobble_tile(rng), 13, 0)

    # rows 1-3 and 12: corner-terrain transitions, column = corner mask
    water = water_tile(rng)
    sand = sand_tile(rng)
    grass = grass_tile(rng)
    dirt = dirt_tile(rng)
    cobble = cobble_tile(rng)
    for mask in range(16):
        put("sandOverWater%d" % mask,
            corner_tile(mask, sand, water, rng, edge=(210, 190, 130), rim=(200, 226, 246)), mask, 1)
        put("grassEdge%d" % mask, corner_tile(mask, grass, None, rng, edge=(70, 128, 52)), mask, 2)
        put("dirtEdge%d" % mask, corner_tile(mask, dirt, None, rng, edge=(150, 114, 74)), mask, 3)
        put("cobbleEdge%d" % mask, corner_tile(mask, cobble, None, rng, edge=STONE_DARK), mask, 12)

    # rows 4-5: objects of one tile and two-tile trees
    put("bush", bush(rng), 0, 4)
    put("rock", rock(rng), 1, 4)
    put("bigRock", rock(rng, True), 2, 4)
    put("flowersRed", flowers(rng, (230, 70, 70)), 3, 4)
    put("flowersBlue", flowers(rng, (110, 120, 240)), 4, 4)
    put("stump", stump(), 5, 4)
    put("barrel", barrel(), 6, 4)
    put("crate", crate(), 7, 4)
    put("sign", sign(), 8, 4)
    for i, k in enumerate(["h", "v", "post", "tl", "tr", "bl", "br"]):
        put("fence_" + k, fence_piece(k), 9 + i, 4)
    put("tree", tree(rng), 0, 5)
    put("pine", pine(rng), 2, 5)
    put("palm", palm(rng), 4, 5)
    put("well", well(rng), 6, 5)
    put("boat", boat(), 8, 5)
    put("lamp", lamp(), 10, 5)

    # rows 8-11: cottages
    put("houseRed", house(rng, (190, 72, 60), (130, 44, 40)), 0, 8)
    put("houseBlue", house(rng, (72, 104, 176), (44, 64, 120)), 5, 8)
    put("houseGreen", house(rng, (80, 146, 90), (46, 96, 56), (236, 222, 196)), 10, 8)

    for g in (521, 522, 523, 524, 541, 542, 543, 544, 561, 562, 563, 564, 581, 582, 583):
        col, row = (g - 1) % COLS, (g - 1) // COLS
        put("pass%d" % g, passability(g), col, row)

    import tiles_more
    tiles_more.put_all(put, np.random.default_rng(4321), corner_tile)

    save(sheet, path)
    return GID


if __name__ == "__main__":
    import sys
    build(sys.argv[1] if len(sys.argv) > 1 else "tileset.png")
