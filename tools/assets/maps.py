"""Tile maps (Tiled .tmx, uncompressed XML tile data) and scene files of
the coastal village.

Ground is painted per tile as water (0), sand (1) or grass (2), plus a path
flag; every tile corner takes the highest terrain of the tiles around it and
the corner masks pick the transition tiles of the tileset. Objects add
Furniture tiles (drawn under the characters) and Overhead tiles (tree crowns,
roof tops, drawn over them), and the Passability layer is derived from water
and object footprints.
"""
import math

import numpy as np

from tileset import GID

WATER, SAND, GRASS = 0, 1, 2
BLOCKED = 583

# object name -> (width, height, rows drawn over characters, rows blocked)
OBJECTS = {
    "tree": (2, 2, [0], [1]),
    "pine": (2, 2, [0], [1]),
    "palm": (2, 2, [0], [1]),
    "well": (2, 2, [], [0, 1]),
    "boat": (2, 1, [], []),
    "lamp": (1, 2, [0], [1]),
    "houseRed": (5, 4, [0], [1, 2, 3]),
    "houseBlue": (5, 4, [0], [1, 2, 3]),
    "houseGreen": (5, 4, [0], [1, 2, 3]),
    "hall": (7, 5, [0, 1], [2, 3, 4]),
    "stallRed": (2, 2, [0], [1]),
    "stallBlue": (2, 2, [0], [1]),
    "fountain": (2, 2, [], [0, 1]),
    "caveMouth": (3, 2, [], [0, 1]),
    "table": (2, 2, [], [0, 1]),
    "bedRed": (1, 2, [], [0, 1]),
    "bedBlue": (1, 2, [], [0, 1]),
    "bookshelf": (1, 2, [], [0, 1]),
    "fireplace": (2, 2, [], [0, 1]),
    "rug": (3, 2, [], []),
    "pillar": (1, 2, [0], [1]),
    "throne": (2, 2, [], [0, 1]),
}
SMALL_BLOCKING = {"bush", "rock", "bigRock", "barrel", "crate", "sign", "stump",
                  "fence_h", "fence_v", "fence_post", "fence_tl", "fence_tr", "fence_bl", "fence_br",
                  "chest", "potPlant", "counter", "counterEnd", "stalagmite", "crystal"}


class TileMap:
    def __init__(self, cols, rows, seed):
        self.cols, self.rows = cols, rows
        self.rng = np.random.default_rng(seed)
        self.terrain = np.full((rows, cols), GRASS, dtype=int)
        self.path = np.zeros((rows, cols), dtype=bool)
        self.plaza = np.zeros((rows, cols), dtype=bool)
        self.dock = np.zeros((rows, cols), dtype=int)
        self.furniture = np.zeros((rows, cols), dtype=np.int64)
        self.overhead = np.zeros((rows, cols), dtype=np.int64)
        self.blocked = np.zeros((rows, cols), dtype=bool)
        self.triggers = []
        # map properties, e.g. the sound of a step on this map's ground
        self.properties = {}

    # --- painting -------------------------------------------------------
    def fill(self, terrain, r0, c0, r1, c1):
        self.terrain[max(0, r0):r1 + 1, max(0, c0):c1 + 1] = terrain

    def paths(self, r0, c0, r1, c1):
        self.path[max(0, r0):r1 + 1, max(0, c0):c1 + 1] = True

    def paving(self, r0, c0, r1, c1):
        self.plaza[max(0, r0):r1 + 1, max(0, c0):c1 + 1] = True

    def dock_planks(self, r0, c0, r1, c1, vertical=True):
        self.dock[r0:r1 + 1, c0:c1 + 1] = GID["plankV" if vertical else "plankH"]

    def place(self, name, row, col):
        if name in OBJECTS:
            w, h, over, block = OBJECTS[name]
            for r in range(h):
                for c in range(w):
                    rr, cc = row + r, col + c
                    if not (0 <= rr < self.rows and 0 <= cc < self.cols):
                        continue
                    g = GID["%s_%d_%d" % (name, r, c)]
                    (self.overhead if r in over else self.furniture)[rr, cc] = g
                    if r in block:
                        self.blocked[rr, cc] = True
        else:
            self.furniture[row, col] = GID[name]
            if name in SMALL_BLOCKING:
                self.blocked[row, col] = True

    def fence(self, r0, c0, r1, c1, gate_cols=()):
        """A rectangular fence; gate_cols leave gaps in the bottom side."""
        for c in range(c0 + 1, c1):
            self.place("fence_h", r0, c)
            if c not in gate_cols:
                self.place("fence_h", r1, c)
        for r in range(r0 + 1, r1):
            self.place("fence_v", r, c0)
            self.place("fence_v", r, c1)
        self.place("fence_tl", r0, c0)
        self.place("fence_tr", r0, c1)
        self.place("fence_bl", r1, c0)
        self.place("fence_br", r1, c1)

    def trigger(self, name, row, col, props, rows=1, cols=1):
        self.triggers.append((name, row, col, rows, cols, props))

    # --- layers ---------------------------------------------------------
    def corner_masks(self, upper):
        """Corner mask per tile: a corner is upper when any tile around it is."""
        padded = np.pad(upper, 1, mode="edge")
        corner = (padded[:-1, :-1] | padded[:-1, 1:] | padded[1:, :-1] | padded[1:, 1:])
        tl, tr = corner[:-1, :-1], corner[:-1, 1:]
        bl, br = corner[1:, :-1], corner[1:, 1:]
        return tl * 1 + tr * 2 + br * 4 + bl * 8

    def sand_layer(self):
        masks = self.corner_masks(self.terrain >= SAND)
        out = np.zeros_like(masks)
        for (r, c), m in np.ndenumerate(masks):
            if m == 0:
                out[r, c] = GID["water"] if self.rng.random() < 0.7 else GID["water2"]
            elif m == 15:
                out[r, c] = GID["sandShells"] if self.rng.random() < 0.06 else GID["sand"]
            else:
                out[r, c] = GID["sandOverWater%d" % m]
        return out

    def edged_layer(self, region, fill, edge):
        """Full cells get fill(); cells on the region's border get the edge
        tile that matches which of their corners lie inside."""
        masks = self.corner_masks(region)
        out = np.zeros_like(masks)
        for (r, c), m in np.ndenumerate(masks):
            if m == 15:
                out[r, c] = fill()
            elif m:
                out[r, c] = GID["%s%d" % (edge, m)]
        return out

    def grass_layer(self):
        def fill():
            k = self.rng.random()
            return GID["grassYellow"] if k < 0.05 else GID["grassWhite"] if k < 0.09 else \
                GID["grass2"] if k < 0.5 else GID["grass"]
        return self.edged_layer(self.terrain >= GRASS, fill, "grassEdge")

    def path_layer(self):
        return self.edged_layer(
            self.path, lambda: GID["dirt"] if self.rng.random() < 0.6 else GID["dirt2"], "dirtEdge")

    def plaza_layer(self):
        return self.edged_layer(self.plaza, lambda: GID["cobble"], "cobbleEdge")

    def passability(self):
        blocked = self.blocked | ((self.terrain == WATER) & (self.dock == 0))
        return np.where(blocked, BLOCKED, 0)

    # --- output ---------------------------------------------------------
    def floor_layers(self):
        """The ground, bottom first; each layer draws over the one before."""
        return [("Floor1Sand", self.sand_layer()),
                ("Floor2Grass", self.grass_layer()),
                ("Floor3Path", self.path_layer()),
                ("Floor3Plaza", self.plaza_layer()),
                ("Floor4Dock", self.dock)]

    def tmx(self, tileset_source):
        layers = [(name, grid, True) for name, grid in self.floor_layers()] + [
            ("Furniture", self.furniture, True),
            ("Overhead", self.overhead, True),
            # read by the game, hidden in the editor so the map stays readable
            ("Passability", self.passability(), False),
        ]
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               '<map version="1.10" tiledversion="1.10.2" orientation="orthogonal" renderorder="right-down" '
               'width="%d" height="%d" tilewidth="16" tileheight="16" infinite="0" nextlayerid="%d" nextobjectid="%d">'
               % (self.cols, self.rows, len(layers) + 2, len(self.triggers) + 1)]
        if self.properties:
            out.append(' <properties>')
            for key in sorted(self.properties):
                out.append('  <property name="%s" value="%s"/>' % (key, self.properties[key]))
            out.append(' </properties>')
        out += [' <tileset firstgid="1" name="region1" tilewidth="16" tileheight="16" tilecount="640" columns="20">',
                '  <image source="%s" width="320" height="512"/>' % tileset_source,
                ' </tileset>']
        for i, (name, grid, visible) in enumerate(layers):
            out.append(' <layer id="%d" name="%s" width="%d" height="%d"%s>'
                       % (i + 1, name, self.cols, self.rows, "" if visible else ' visible="0"'))
            out.append('  <data>')
            for r in range(self.rows):
                out.append('   ' + ''.join('<tile gid="%d"/>' % int(g) for g in grid[r]))
            out.append('  </data>')
            out.append(' </layer>')
        # width and height are the trigger grid's size for the game's loader
        out.append(' <objectgroup id="%d" name="Triggers" width="%d" height="%d">'
                   % (len(layers) + 1, self.cols, self.rows))
        for i, (name, row, col, rows, cols, props) in enumerate(self.triggers):
            out.append('  <object id="%d" name="%s" x="%d" y="%d" width="%d" height="%d">'
                       % (i + 1, name, col * 16, row * 16, cols * 16, rows * 16))
            out.append('   <properties>')
            for k, v in props:
                out.append('    <property name="%s" value="%s"/>' % (k, v))
            out.append('   </properties>')
            out.append('  </object>')
        out.append(' </objectgroup>')
        out.append('</map>')
        return '\n'.join(out) + '\n'


def portal(m, name, row, col, scene, to_row, to_col, music=None, rows=1, cols=1):
    props = [("script", "portalWithMusic.lua" if music else "portal.lua"),
             ("targetScene", scene), ("targetRow", str(to_row)), ("targetCol", str(to_col))]
    if music:
        props.append(("music", music))
    m.trigger(name, row, col, props, rows, cols)


def door(m, name, row, col, scene, to_row, to_col, music=None):
    """A portal on a cell that a building or wall would otherwise block."""
    m.blocked[row, col] = False
    portal(m, name, row, col, scene, to_row, to_col, music)


def locked_door(m, name, row, col, scene, to_row, to_col, music, item, back, say="none"):
    """A way that opens only while the party carries item; without it the
    avatar is turned back one step in direction back (0 up .. 3 left) and,
    when say names "dialog node speaker", is told why."""
    m.blocked[row, col] = False
    m.trigger(name, row, col, [("script", "lockedPortal.lua"), ("targetScene", scene),
                               ("targetRow", str(to_row)), ("targetCol", str(to_col)),
                               ("music", music), ("requires", item), ("back", str(back)),
                               ("say", say)])


def wander_region(m, name, row, col, rows, cols):
    m.trigger(name, row, col, [("script", "wanderRegion.lua")], rows, cols)


def scatter_trees(m, cells, kinds=("tree", "pine")):
    for i, (r, c) in enumerate(cells):
        m.place(kinds[i % len(kinds)], r, c)


def start_map():
    """The hero's home on the beach; the path north leads to the village."""
    m = TileMap(24, 18, 11)
    m.properties["stepCue"] = "stepSoft"  # sand underfoot
    # sea along the bottom, with a gentle curve
    for c in range(m.cols):
        shore = 12 + int(round(1.2 * math.sin(c / 3.5)))
        m.fill(SAND, shore - 3, c, shore - 1, c)
        m.fill(WATER, shore, c, m.rows - 1, c)
    # a grassy tongue reaching down to the beach
    m.fill(GRASS, 8, 0, 9, 3)
    # path from the north edge to the door and on to the beach
    m.paths(0, 11, 7, 12)
    m.paths(7, 6, 8, 12)
    m.paths(8, 11, 10, 12)
    # the wooden pier and the boat
    m.dock_planks(11, 15, 16, 16)
    m.place("boat", 15, 17)
    m.place("houseRed", 3, 4)
    m.place("well", 8, 1)
    m.place("barrel", 6, 9)
    m.place("crate", 6, 10)
    m.place("flowersRed", 7, 3)
    m.place("flowersBlue", 2, 9)
    m.place("sign", 1, 13)
    # the dog's yard, open at the bottom
    m.fence(2, 16, 8, 22, gate_cols=(19,))
    m.place("bush", 3, 17)
    m.place("stump", 7, 21)
    # woods along the north edge, leaving the path free
    scatter_trees(m, [(0, 0), (0, 2), (1, 4), (0, 6), (0, 8), (0, 14), (1, 1), (0, 22)])
    m.place("palm", 10, 20)
    m.place("palm", 9, 7)
    m.place("rock", 11, 3)
    m.place("bigRock", 10, 22)
    portal(m, "toVillage", 0, 11, "coastalVillage_main", 26, 17, music="tempOverworld", cols=2)
    wander_region(m, "dogYard", 3, 17, 5, 5)
    return m


def main_map():
    """The village: houses around a square with a well, the sea to the west."""
    m = TileMap(36, 28, 23)
    m.properties["stepCue"] = "stepSoft"
    for r in range(m.rows):
        shore = 5 + int(round(1.5 * math.sin(r / 4.0)))
        m.fill(WATER, r, 0, r, shore)
        m.fill(SAND, r, shore + 1, r, shore + 3)
    # roads: south gate to the square, east-west high street, north lane
    m.paths(10, 6, 11, 33)
    m.paths(12, 15, 27, 18)
    m.paths(2, 24, 9, 25)
    m.paths(12, 15, 19, 22)
    m.paving(13, 16, 18, 21)  # the square
    m.dock_planks(14, 0, 15, 6, vertical=False)
    m.place("boat", 17, 1)
    m.place("well", 15, 19)
    m.place("lamp", 12, 14)
    m.place("lamp", 12, 23)
    m.place("lamp", 20, 14)
    houses = [("houseRed", 5, 10), ("houseBlue", 5, 17), ("houseGreen", 13, 26),
              ("houseBlue", 21, 23), ("houseRed", 21, 8)]
    for name, r, c in houses:
        m.place(name, r, c)
    m.paths(9, 12, 9, 12)
    m.paths(9, 19, 9, 19)
    m.paths(17, 28, 17, 28)
    # gardens
    m.fence(21, 28, 26, 33, gate_cols=(30,))
    for r, c in [(22, 29), (23, 31), (24, 29)]:
        m.place("flowersRed", r, c)
    m.place("flowersBlue", 8, 15)
    m.place("flowersRed", 8, 22)
    m.place("barrel", 12, 31)
    m.place("crate", 13, 31)
    m.place("sign", 9, 26)
    m.place("bush", 19, 11)
    m.place("bush", 4, 28)
    scatter_trees(m, [(0, 8), (0, 12), (0, 15), (1, 19), (0, 22), (0, 27), (0, 30), (0, 33),
                      (4, 33), (8, 33), (16, 33), (19, 33), (25, 20), (25, 12), (23, 14),
                      (2, 30), (4, 27)])
    scatter_trees(m, [(24, 6), (6, 7), (19, 8)], ("palm",))
    m.place("rock", 2, 11)
    m.place("bigRock", 26, 24)
    portal(m, "toBeach", 27, 17, "coastalVillage_start", 1, 11, music="themeTown", cols=2)
    wander_region(m, "square", 12, 15, 8, 8)
    return m
