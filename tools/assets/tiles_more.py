"""Tiles for interiors, the town, the sea cave and the sorcerer's lair.

They fill the tileset rows that the village tiles left free (13 to 25), so
every tile id the village maps use stays where it was. They draw from a
random source of their own: adding a tile here never changes an older one.
"""
import numpy as np

from pixel import T, canvas, rgba, shade, speckle, rect, px, disc, outline

WOOD = (150, 100, 58)
WOOD_DARK = (104, 66, 36)
STONE = (150, 150, 160)
STONE_DARK = (104, 104, 118)
PLASTER = (222, 206, 172)
BEAM = (92, 62, 40)
ROCK = (92, 82, 78)
ROCK_DARK = (52, 46, 46)
CAVE = (128, 112, 96)
CAVE_PAL = [(116, 100, 86), (140, 124, 106), (108, 94, 82)]
LAIR = (78, 62, 96)
LAIR_DARK = (46, 36, 60)
LAVA = (220, 96, 30)
GLOW = (140, 230, 255)


def floor_boards(rng, base=(176, 124, 76)):
    t = canvas(T, T)
    t[:, :] = rgba(base)
    dark = shade(base, 0.72)
    for y in range(0, T, 4):
        rect(t, 0, y, T - 1, y, dark)
        joint = (y * 5 + 3) % T
        rect(t, joint, y, joint, y + 3, dark)
    for _ in range(12):
        x, y = rng.integers(0, T, 2)
        if t[y, x, 0] != dark[0]:
            px(t, x, y, shade(base, 1.08 if rng.random() < 0.5 else 0.93))
    return t


def flagstones(rng, base=STONE, mortar=STONE_DARK):
    t = canvas(T, T)
    t[:, :] = rgba(mortar)
    for (x0, y0, x1, y1) in [(0, 0, 6, 6), (8, 0, 15, 4), (8, 6, 15, 10), (0, 8, 6, 15),
                             (8, 12, 15, 15)]:
        c = shade(base, 0.92 + 0.16 * rng.random())
        rect(t, x0, y0, x1 - 1, y1 - 1, c)
        rect(t, x0, y0, x1 - 1, y0, shade(c, 1.12))
    return t


def wall_top(rng):
    """The top of a wall seen from above: dark beams."""
    t = canvas(T, T)
    t[:, :] = rgba(BEAM)
    rect(t, 0, 0, T - 1, 0, shade(BEAM, 1.3))
    rect(t, 0, T - 1, T - 1, T - 1, shade(BEAM, 0.6))
    for _ in range(10):
        x, y = rng.integers(1, T - 1, 2)
        px(t, x, y, shade(BEAM, 0.85))
    return t


def wall_face(rng, window=False, stone=False):
    """The face of the back wall: plaster over a wooden skirting board."""
    t = canvas(T, T)
    if stone:
        t[:, :] = rgba(STONE_DARK)
        for y0 in range(0, 12, 4):
            off = 4 if (y0 // 4) % 2 else 0
            for x0 in range(-off, T, 8):
                rect(t, x0 + 1, y0 + 1, x0 + 6, y0 + 3, shade(STONE, 0.9 + 0.15 * rng.random()))
    else:
        t[:, :] = rgba(PLASTER)
        for _ in range(8):
            x, y = rng.integers(0, T), rng.integers(0, 11)
            px(t, x, y, shade(PLASTER, 0.94))
    rect(t, 0, 11, T - 1, 15, WOOD)
    rect(t, 0, 11, T - 1, 11, WOOD_DARK)
    rect(t, 0, 15, T - 1, 15, WOOD_DARK)
    if window:
        rect(t, 3, 1, 12, 9, WOOD_DARK)
        rect(t, 4, 2, 11, 8, (130, 190, 230))
        rect(t, 7, 2, 8, 8, WOOD_DARK)
        px(t, 5, 3, (230, 245, 255))
    return t


def door_mat():
    """The way out of a room: floor boards opening onto daylight."""
    t = canvas(T, T)
    t[:, :] = rgba(BEAM)
    rect(t, 2, 0, 13, 15, (240, 226, 170))
    rect(t, 2, 0, 13, 3, (176, 124, 76))
    rect(t, 3, 5, 12, 12, (170, 60, 50))
    rect(t, 4, 6, 11, 11, (200, 90, 70))
    return t


def inner_door():
    """A door in the back wall, leading to another room."""
    t = canvas(T, T)
    t[:, :] = rgba(PLASTER)
    rect(t, 2, 1, 13, 15, WOOD_DARK)
    rect(t, 3, 2, 12, 15, (140, 92, 52))
    rect(t, 7, 2, 8, 15, WOOD_DARK)
    px(t, 10, 9, (240, 210, 90))
    return t


def stairs(up=True):
    t = canvas(T, T)
    t[:, :] = rgba(BEAM)
    for i in range(5):
        y = 1 + i * 3
        c = shade((176, 124, 76), (0.6 + 0.1 * i) if up else (1.0 - 0.1 * i))
        rect(t, 2, y, 13, y + 2, c)
        rect(t, 2, y, 13, y, shade(c, 1.2))
    return t


def table(rng):
    t = canvas(2 * T, 2 * T)
    rect(t, 2, 6, 29, 22, (160, 106, 60))
    rect(t, 2, 6, 29, 7, (190, 136, 84))
    for y in range(10, 22, 4):
        rect(t, 2, y, 29, y, (136, 88, 48))
    rect(t, 4, 23, 6, 29, WOOD_DARK)
    rect(t, 25, 23, 27, 29, WOOD_DARK)
    disc(t, 10, 12, 3, (240, 240, 240))
    disc(t, 21, 14, 2.5, (110, 160, 220))
    rect(t, 15, 9, 16, 12, (220, 200, 120))
    outline(t, (50, 32, 18))
    return t


def stool():
    t = canvas(T, T)
    disc(t, 8, 8, 5, (170, 116, 66))
    disc(t, 8, 7, 3, (196, 144, 92))
    rect(t, 4, 12, 5, 14, WOOD_DARK)
    rect(t, 10, 12, 11, 14, WOOD_DARK)
    outline(t, (50, 32, 18))
    return t


def bed(blanket):
    t = canvas(T, 2 * T)
    rect(t, 1, 1, 14, 30, WOOD_DARK)
    rect(t, 2, 2, 13, 9, (245, 245, 240))
    rect(t, 2, 10, 13, 29, blanket)
    for y in range(13, 29, 5):
        rect(t, 2, y, 13, y, shade(blanket, 0.8))
    rect(t, 2, 10, 13, 11, shade(blanket, 1.2))
    outline(t, (40, 26, 16))
    return t


def bookshelf(rng):
    t = canvas(T, 2 * T)
    rect(t, 0, 0, 15, 31, WOOD_DARK)
    rect(t, 1, 1, 14, 30, (120, 80, 44))
    for y0 in (2, 10, 18):
        x = 2
        while x < 14:
            w = int(rng.integers(1, 3))
            c = [(170, 50, 50), (60, 90, 160), (70, 140, 80), (200, 170, 70), (120, 70, 140)][
                int(rng.integers(0, 5))]
            rect(t, x, y0 + int(rng.integers(0, 2)), min(13, x + w - 1), y0 + 6, c)
            x += w + 1
        rect(t, 1, y0 + 7, 14, y0 + 7, WOOD_DARK)
    rect(t, 1, 26, 14, 30, (100, 66, 36))
    return t


def counter(rng, end=False):
    t = canvas(T, T)
    rect(t, 0, 2, 15, 15, (130, 86, 48))
    rect(t, 0, 2, 15, 6, (176, 124, 76))
    rect(t, 0, 6, 15, 6, WOOD_DARK)
    for x in range(3, 16, 5):
        rect(t, x, 8, x, 15, (108, 70, 38))
    if end:
        rect(t, 13, 2, 15, 15, WOOD_DARK)
    px(t, int(rng.integers(2, 13)), 3, (220, 200, 150))
    return t


def chest():
    t = canvas(T, T)
    rect(t, 2, 5, 13, 14, (150, 96, 50))
    rect(t, 2, 3, 13, 7, (176, 120, 66))
    rect(t, 2, 7, 13, 7, WOOD_DARK)
    for x in (2, 13):
        rect(t, x, 3, x, 14, (90, 90, 100))
    rect(t, 7, 6, 8, 9, (240, 210, 90))
    outline(t, (50, 32, 18))
    return t


def fireplace():
    t = canvas(2 * T, 2 * T)
    rect(t, 0, 2, 31, 31, STONE)
    for y in range(4, 31, 4):
        off = 3 if (y // 4) % 2 else 0
        rect(t, 0, y, 31, y, STONE_DARK)
        for x in range(off, 32, 7):
            rect(t, x, y, x, y + 3, STONE_DARK)
    rect(t, 0, 0, 31, 2, (120, 80, 44))
    rect(t, 7, 14, 24, 31, (30, 20, 20))
    disc(t, 16, 27, 5, (240, 120, 40))
    disc(t, 16, 28, 3, (255, 210, 90))
    rect(t, 9, 29, 22, 30, WOOD_DARK)
    outline(t)
    return t


def pot_plant():
    t = canvas(T, T)
    rect(t, 5, 10, 10, 14, (180, 90, 60))
    rect(t, 4, 10, 11, 10, (200, 110, 70))
    for cx, cy, r in [(8, 6, 4), (5, 7, 3), (11, 7, 3)]:
        disc(t, cx, cy, r, (60, 140, 70))
    px(t, 7, 4, (100, 180, 100))
    outline(t, (30, 40, 30))
    return t


def rug(rng):
    """A rug of 3 x 2 tiles, lying on the floor."""
    t = canvas(3 * T, 2 * T)
    rect(t, 1, 2, 46, 29, (150, 40, 46))
    rect(t, 4, 5, 43, 26, (190, 70, 60))
    rect(t, 8, 9, 39, 22, (150, 40, 46))
    rect(t, 12, 12, 35, 19, (220, 170, 80))
    for x in range(1, 47, 3):
        px(t, x, 1, (230, 210, 160))
        px(t, x, 30, (230, 210, 160))
    return t


def cave_floor(rng, pebbles=False):
    t = speckle(rng, T, CAVE, CAVE_PAL, 0.25)
    if pebbles:
        for _ in range(3):
            x, y = rng.integers(2, T - 3, 2)
            rect(t, x, y, x + 1, y, (170, 160, 150))
            px(t, x, y + 1, (90, 80, 72))
    return t


def cave_wall(rng):
    t = speckle(rng, T, ROCK_DARK, [(40, 36, 36), (62, 56, 54)], 0.3)
    for _ in range(2):
        x, y = rng.integers(1, T - 4), rng.integers(1, T - 2)
        rect(t, x, y, x + 3, y, (74, 66, 64))
    return t


def stalagmite(rng):
    t = canvas(T, T)
    for y in range(2, 15):
        half = 1 + (y - 2) * 5 // 12
        rect(t, 8 - half, y, 7 + half, y, ROCK if y % 4 else shade(ROCK, 0.8))
    rect(t, 7, 3, 7, 12, shade(ROCK, 1.3))
    outline(t, (30, 26, 26))
    return t


def crystal():
    t = canvas(T, T)
    for x0, h, c in [(4, 9, GLOW), (8, 12, (180, 240, 255)), (11, 7, (110, 200, 240))]:
        for y in range(14 - h, 14):
            w = 1 if y < 16 - h else 2
            rect(t, x0 - w // 2, y, x0 + w // 2 + 1, y, c)
    rect(t, 3, 14, 13, 14, ROCK)
    outline(t, (30, 60, 80))
    return t


def cave_mouth(rng):
    """A dark opening in a rock face, 3 tiles wide and 2 tall."""
    t = canvas(3 * T, 2 * T)
    disc(t, 24, 22, 20, ROCK)
    rect(t, 2, 16, 45, 31, ROCK)
    for _ in range(120):
        x, y = rng.integers(0, 48), rng.integers(0, 32)
        if t[y, x, 3]:
            px(t, x, y, shade(ROCK, 0.8 if rng.random() < 0.5 else 1.2))
    disc(t, 24, 28, 10, (16, 12, 14))
    rect(t, 14, 28, 33, 31, (16, 12, 14))
    outline(t, (30, 26, 26))
    return t


def gate():
    """An iron gate standing open in a rock arch: the way deeper in."""
    t = canvas(T, T)
    t[:, :] = rgba((20, 16, 18))
    for x in (1, 5, 10, 14):
        rect(t, x, 0, x, 3, (110, 110, 120))
    rect(t, 0, 3, 15, 3, (110, 110, 120))
    rect(t, 0, 0, 0, 15, ROCK)
    rect(t, 15, 0, 15, 15, ROCK)
    return t


def shaft():
    """A hole in the cave floor with a rope down."""
    t = canvas(T, T)
    t[:, :] = rgba(CAVE)
    disc(t, 8, 8, 7, (70, 60, 56))
    disc(t, 8, 8, 5.5, (14, 10, 12))
    rect(t, 7, 0, 8, 9, (200, 170, 110))
    px(t, 7, 3, (150, 120, 70)); px(t, 8, 6, (150, 120, 70))
    return t


def lair_floor(rng):
    return flagstones(rng, LAIR, LAIR_DARK)


def lava(rng):
    t = speckle(rng, T, LAVA, [(240, 140, 40), (190, 70, 24)], 0.2)
    for _ in range(3):
        x, y = rng.integers(1, T - 3, 2)
        rect(t, x, y, x + 2, y, (255, 210, 90))
    return t


def rune():
    t = canvas(T, T)
    disc(t, 8, 8, 7, (140, 90, 200), 160)
    disc(t, 8, 8, 5, (0, 0, 0), 0)
    for x, y in [(8, 2), (14, 8), (8, 14), (2, 8), (8, 8)]:
        rect(t, x - 1, y - 1, x, y, (200, 160, 255))
    return t


def pillar(rng):
    t = canvas(T, 2 * T)
    rect(t, 3, 2, 12, 29, (110, 96, 130))
    rect(t, 3, 2, 5, 29, (140, 124, 160))
    rect(t, 1, 0, 14, 3, (90, 76, 110))
    rect(t, 1, 27, 14, 31, (90, 76, 110))
    for _ in range(10):
        x, y = rng.integers(4, 12), rng.integers(5, 27)
        px(t, x, y, (90, 76, 110))
    outline(t, (30, 20, 40))
    return t


def throne():
    t = canvas(2 * T, 2 * T)
    rect(t, 4, 1, 27, 20, (60, 30, 70))
    rect(t, 7, 4, 24, 20, (130, 40, 60))
    for x in (4, 15, 26):
        disc(t, x + 1, 2, 2.5, (230, 200, 80))
    rect(t, 2, 16, 29, 29, (70, 40, 80))
    rect(t, 6, 18, 25, 25, (150, 50, 70))
    rect(t, 2, 16, 5, 29, (230, 200, 80))
    rect(t, 26, 16, 29, 29, (230, 200, 80))
    outline(t, (20, 10, 24))
    return t


def bones():
    t = canvas(T, T)
    c = (230, 226, 210)
    rect(t, 3, 9, 11, 10, c)
    disc(t, 3, 9.5, 1.6, c); disc(t, 11, 9.5, 1.6, c)
    disc(t, 10, 5, 3, c)
    px(t, 9, 5, (40, 30, 30)); px(t, 11, 5, (40, 30, 30))
    outline(t, (80, 70, 60))
    return t


def stall(rng, awning):
    """A market stall 2 tiles wide: striped awning over a counter of goods."""
    t = canvas(2 * T, 2 * T)
    for x in range(0, 32, 6):
        rect(t, x, 1, x + 2, 11, awning)
        rect(t, x + 3, 1, min(31, x + 5), 11, (245, 240, 230))
    for x in range(0, 32, 3):
        disc(t, x + 1.5, 12, 1.6, awning)
    rect(t, 2, 13, 3, 28, WOOD_DARK)
    rect(t, 28, 13, 29, 28, WOOD_DARK)
    rect(t, 1, 20, 30, 29, (160, 106, 60))
    rect(t, 1, 20, 30, 21, (190, 136, 84))
    for i in range(6):
        c = [(230, 70, 60), (250, 200, 60), (110, 180, 80), (240, 140, 40)][int(rng.integers(0, 4))]
        disc(t, 5 + i * 4.4, 18, 2, c)
    outline(t, (50, 32, 18))
    return t


def fountain():
    t = canvas(2 * T, 2 * T)
    disc(t, 16, 17, 14, STONE)
    disc(t, 16, 17, 11, (70, 130, 200))
    disc(t, 16, 16, 3, STONE_DARK)
    rect(t, 15, 5, 16, 14, (160, 210, 240))
    for x, y in [(12, 8), (20, 8), (10, 12), (22, 12)]:
        px(t, x, y, (200, 230, 250))
    outline(t, (50, 50, 60))
    return t


def hall(rng):
    """The elder's stone hall, 7 tiles wide and 5 tall, its door in the middle."""
    w, h = 7 * T, 5 * T
    t = canvas(w, h)
    rect(t, 2, 40, w - 3, h - 1, (200, 196, 186))
    for y in range(40, h, 5):
        off = 5 if (y // 5) % 2 else 0
        rect(t, 2, y, w - 3, y, (160, 156, 150))
        for x in range(2 + off, w - 2, 10):
            rect(t, x, y, x, y + 4, (160, 156, 150))
    for x0 in (2, w - 10):
        rect(t, x0, 36, x0 + 7, h - 1, (176, 170, 160))
    rect(t, 48, 56, 63, h - 2, (96, 60, 32))
    rect(t, 49, 57, 62, h - 3, (130, 84, 46))
    disc(t, 56, 57, 7, (96, 60, 32))
    rect(t, 55, 52, 56, h - 3, (96, 60, 32))
    rect(t, 46, h - 2, 65, h - 1, STONE)
    for x0 in (14, 84):
        rect(t, x0, 50, x0 + 11, 64, (70, 60, 50))
        rect(t, x0 + 1, 51, x0 + 10, 63, (130, 190, 230))
        rect(t, x0 + 5, 51, x0 + 6, 63, (70, 60, 50))
    for y in range(2, 40):
        inset = max(0, 8 - y)
        c = (70, 80, 110) if (y // 3) % 2 == 0 else (60, 70, 98)
        rect(t, inset, y, w - 1 - inset, y, c)
    rect(t, 6, 2, w - 7, 4, (40, 46, 70))
    rect(t, 0, 38, w - 1, 39, (40, 46, 70))
    rect(t, 48, 14, 63, 30, (200, 196, 186))
    disc(t, 56, 22, 6, (230, 200, 80))
    disc(t, 56, 22, 4, (200, 196, 186))
    outline(t, (30, 30, 40))
    return t


def put_all(put, rng, corner_tile):
    """Draw every tile of this module into its slot of the tileset.

    corner_tile is the tileset's transition drawing (upper over lower by a
    corner mask), shared so the cave and lair edges match the village's.
    """
    # row 13: interior floors and walls
    put("woodFloor", floor_boards(rng), 0, 13)
    put("woodFloor2", floor_boards(rng), 1, 13)
    put("stoneFloor", flagstones(rng), 2, 13)
    put("stoneFloor2", flagstones(rng), 3, 13)
    put("wallTop", wall_top(rng), 4, 13)
    put("wallFace", wall_face(rng), 5, 13)
    put("wallWindow", wall_face(rng, window=True), 6, 13)
    put("wallStone", wall_face(rng, stone=True), 7, 13)
    put("doorMat", door_mat(), 8, 13)
    put("innerDoor", inner_door(), 9, 13)
    put("stairsUp", stairs(True), 10, 13)
    put("stairsDown", stairs(False), 11, 13)
    put("stool", stool(), 12, 13)
    put("chest", chest(), 13, 13)
    put("potPlant", pot_plant(), 14, 13)
    put("counter", counter(rng), 15, 13)
    put("counterEnd", counter(rng, True), 16, 13)
    put("bones", bones(), 17, 13)
    put("rune", rune(), 18, 13)
    put("stalagmite", stalagmite(rng), 19, 13)
    # rows 14-15: furniture of two rows
    put("table", table(rng), 0, 14)
    put("bedRed", bed((180, 60, 60)), 2, 14)
    put("bedBlue", bed((70, 100, 170)), 3, 14)
    put("bookshelf", bookshelf(rng), 4, 14)
    put("fireplace", fireplace(), 5, 14)
    put("rug", rug(rng), 7, 14)
    put("pillar", pillar(rng), 10, 14)
    put("throne", throne(), 11, 14)
    put("stallRed", stall(rng, (200, 60, 60)), 13, 14)
    put("stallBlue", stall(rng, (70, 100, 180)), 15, 14)
    put("fountain", fountain(), 17, 14)
    # row 16: cave and lair ground
    put("caveFloor", cave_floor(rng), 0, 16)
    put("caveFloor2", cave_floor(rng, True), 1, 16)
    put("caveWall", cave_wall(rng), 2, 16)
    put("lairFloor", lair_floor(rng), 3, 16)
    put("lava", lava(rng), 4, 16)
    put("lava2", lava(rng), 5, 16)
    put("crystal", crystal(), 6, 16)
    put("gate", gate(), 7, 16)
    put("shaft", shaft(), 8, 16)
    put("caveMouth", cave_mouth(rng), 9, 16)
    # rows 18-19: cave floor over rock, lair floor over lava (corner masks)
    floor = cave_floor(rng)
    wall = cave_wall(rng)
    lair = lair_floor(rng)
    hot = lava(rng)
    for mask in range(16):
        put("caveEdge%d" % mask, corner_tile(mask, floor, wall, rng, edge=(90, 78, 68)), mask, 18)
        put("lairEdge%d" % mask, corner_tile(mask, lair, hot, rng, edge=(40, 30, 50),
                                             rim=(255, 200, 90)), mask, 19)
    # rows 20-24: the elder's hall
    put("hall", hall(rng), 0, 20)
