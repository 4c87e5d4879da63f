"""The demo world beyond the village square: interiors, the town across the
bay, the sea cave and the sorcerer's lair, and the people in every scene.

Each scene is a function returning its map and its characters. Doors are
portals both ways: going in, the avatar walks up onto the door and arrives
just above the other side's way out, still facing up; coming out, it walks
down onto the way out and arrives just below the door, facing down. So the
walking direction always leaves it facing away from the door it used.
build() writes every scene's map and scene file and the scene listing.
"""
import math

import numpy as np

from maps import (TileMap, WATER, SAND, GRASS, BLOCKED, portal, door, locked_door,
                  wander_region, scatter_trees, start_map, main_map)
from tileset import GID

UP, RIGHT, DOWN, LEFT = 0, 1, 2, 3


class Room(TileMap):
    """An interior: beams around the edge, the back wall's face on row 1,
    floor boards (or flagstones) inside."""

    def __init__(self, cols, rows, seed, stone=False, windows=()):
        super().__init__(cols, rows, seed)
        self.stone = stone
        self.walls = np.zeros((rows, cols), dtype=np.int64)
        self.floor = np.zeros((rows, cols), dtype=np.int64)
        for r in range(rows):
            for c in range(cols):
                if r in (0, rows - 1) or c in (0, cols - 1):
                    self.walls[r, c] = GID["wallTop"]
                    self.blocked[r, c] = True
                elif r == 1:
                    face = "wallStone" if stone else "wallFace"
                    self.walls[r, c] = GID["wallWindow" if c in windows else face]
                    self.blocked[r, c] = True
                else:
                    self.floor[r, c] = self.floor_tile()

    def floor_tile(self):
        names = ("stoneFloor", "stoneFloor2") if self.stone else ("woodFloor", "woodFloor2")
        return GID[names[0] if self.rng.random() < 0.7 else names[1]]

    def way_out(self, col, scene, to_row, to_col, music=None, tile="doorMat"):
        """The opening in the bottom wall."""
        r = self.rows - 1
        self.walls[r, col] = GID[tile]
        door(self, "out", r, col, scene, to_row, to_col, music)
        return (r - 1, col)

    def wall_door(self, name, col, scene, to_row, to_col, tile="innerDoor"):
        """A door in the back wall, to a room further in."""
        self.walls[1, col] = GID[tile]
        door(self, name, 1, col, scene, to_row, to_col)
        return (2, col)

    def floor_layers(self):
        return [("Floor1Boards", self.floor), ("Floor2Walls", self.walls)]

    def passability(self):
        return np.where(self.blocked, BLOCKED, 0)


class Cavern(TileMap):
    """Open ground dug out of solid rock (or standing over lava): every cell
    not dug out is blocked, and its edges blend like the village's shores."""

    def __init__(self, cols, rows, seed, kind="cave"):
        super().__init__(cols, rows, seed)
        self.kind = kind
        self.open = np.zeros((rows, cols), dtype=bool)

    def dig(self, r0, c0, r1, c1):
        self.open[max(0, r0):r1 + 1, max(0, c0):c1 + 1] = True

    def ground(self):
        masks = self.corner_masks(self.open)
        out = np.zeros_like(masks)
        for (r, c), m in np.ndenumerate(masks):
            if self.kind == "cave":
                if m == 0:
                    out[r, c] = GID["caveWall"]
                elif m == 15:
                    out[r, c] = GID["caveFloor2" if self.rng.random() < 0.15 else "caveFloor"]
                else:
                    out[r, c] = GID["caveEdge%d" % m]
            else:
                if m == 0:
                    out[r, c] = GID["lava" if self.rng.random() < 0.6 else "lava2"]
                elif m == 15:
                    out[r, c] = GID["lairFloor"]
                else:
                    out[r, c] = GID["lairEdge%d" % m]
        return out

    def floor_layers(self):
        return [("Floor1Rock", self.ground())]

    def passability(self):
        return np.where(self.blocked | ~self.open, BLOCKED, 0)


# --- people ---------------------------------------------------------------

def npc(cid, template, row, col, talk=None, think=None, sprite=None, comment=None, defeat=None, name=None):
    """One character element of a scene file. talk names the dialog (and its
    start node after a colon) that the interact key opens; name, when given,
    is what players read instead of one made from the id."""
    out = []
    if comment:
        out.append('<!-- %s -->' % comment)
    named = ' name="%s"' % name if name else ""
    out.append('<character id="%s"%s template="assets/characters/%s.xml" row="%d" col="%d">'
               % (cid, named, template, row, col))
    if sprite:
        out.append('  <sprite texture="%s" dimensionW="32" dimensionH="32" sizeW="16" sizeH="16"/>'
                   % sprite)
    if talk:
        name, _, node = talk.partition(":")
        out.append('  <script trigger="interact">talk("%s", "%s", "%s")</script>'
                   % (name, node or "start", cid))
    if think:
        out.append('  <script trigger="think">%s</script>' % think)
    if defeat:
        out.append('  <script trigger="defeat">%s</script>' % defeat)
    out.append('</character>')
    return out


def gone_if(flag, then=None):
    """Think script of someone who has left (joined the party, lost a fight):
    a scene is rebuilt from its file on every visit, so they leave again."""
    text = 'if s:getflag("%s") == 1 then obj:kill()' % flag
    if then:
        text += ' else %s' % then
    return text + ' end'


WANDER = "obj:wander(2)"


# --- the village ------------------------------------------------------------

def village_start():
    m = start_map()
    door(m, "toHome", 6, 6, "coastalVillage_house1", 6, 5)
    people = [
        *npc("brune", "brune", 15, 15, talk="brune",
             comment="Brune mends nets at the end of the pier and will talk to Fenwy."),
        *npc("rusty", "dog", 5, 19, think=WANDER, comment="The dog roams its fenced yard."),
    ]
    return m, people


def village_main():
    m = main_map()
    door(m, "toCaptain", 8, 12, "coastalVillage_house2", 6, 5)
    door(m, "toTownhall", 8, 19, "coastalVillage_townhall", 7, 7)
    # the sea cave at the top of the north lane, behind the old gate
    m.place("caveMouth", 0, 24)
    locked_door(m, "toCave", 1, 25, "coastalVillage_cave", 20, 13, "tempCave", "oldKey", DOWN,
                say="aldric gate aldric")
    people = [
        *npc("tibbet", "tibbet", 13, 16, talk="tibbet", think=WANDER,
             comment="Tibbet strolls around the village square."),
        *npc("mayor", "mayor", 18, 20, talk="mayor",
             comment="The mayor waits by the well and has something to say."),
        *npc("aldric", "aldric", 3, 24, talk="aldric", think=gone_if("aldric_joined"),
             comment="Aldric keeps watch on the north lane below the sea cave."),
    ]
    return m, people


def village_home():
    """Fenwy's home on the beach."""
    m = Room(10, 8, 31, windows=(2, 7))
    m.way_out(5, "coastalVillage_start", 7, 6, "themeTown")
    m.place("bedRed", 2, 1)
    m.place("bookshelf", 1, 3)
    m.place("fireplace", 1, 6)
    m.place("table", 3, 6)
    m.place("stool", 4, 5)
    m.place("rug", 4, 2)
    m.place("chest", 2, 8)
    m.place("potPlant", 6, 1)
    people = npc("mara", "mara", 3, 4, talk="mara", comment="Aunt Mara keeps the house.")
    return m, people


def village_captain():
    """The ferry captain's cottage by the square."""
    m = Room(10, 8, 37, windows=(3, 6))
    m.way_out(5, "coastalVillage_main", 9, 12)
    m.place("bedBlue", 2, 8)
    m.place("table", 3, 2)
    m.place("stool", 5, 2)
    m.place("barrel", 2, 1)
    m.place("crate", 6, 8)
    m.place("bookshelf", 1, 5)
    people = npc("captain", "captain", 3, 5, talk="captain:village",
                 comment="Captain Hask runs the ferry across the bay; he stands still.")
    return m, people


def village_townhall():
    m = Room(14, 9, 41, stone=True, windows=(3, 10))
    m.way_out(7, "coastalVillage_main", 9, 19)
    m.place("rug", 5, 6)
    m.place("table", 3, 9)
    m.place("bookshelf", 1, 1)
    m.place("bookshelf", 1, 2)
    m.place("bookshelf", 1, 12)
    m.place("potPlant", 2, 5)
    m.place("potPlant", 2, 8)
    for r in (4, 6):
        m.place("stool", r, 2)
    people = npc("clerk", "clerk", 3, 7, talk="clerk", comment="The village clerk keeps the records.")
    return m, people


def village_cave():
    """The sea cave: the bandits' camp and the shaft down to the lair."""
    m = Cavern(28, 22, 53)
    m.dig(16, 10, 20, 17)   # entrance hall
    m.dig(21, 13, 21, 13)   # the way out
    m.dig(11, 12, 15, 14)   # corridor north
    m.dig(5, 6, 10, 21)     # the bandits' camp
    m.dig(8, 3, 9, 5)       # a side nook
    m.dig(3, 13, 4, 14)     # the narrow pass
    m.dig(1, 9, 2, 19)      # the inner chamber

    portal(m, "out", 21, 13, "coastalVillage_main", 2, 25, music="tempOverworld")
    m.furniture[1, 14] = GID["shaft"]
    locked_door(m, "down", 1, 14, "boss_main", 14, 9, "eventForeboding", "rope", DOWN)
    for r, c in [(16, 10), (20, 17), (11, 12), (5, 21), (10, 6), (2, 19), (1, 9)]:
        m.place("stalagmite", r, c)
    for r, c in [(16, 17), (5, 6), (8, 3), (1, 19)]:
        m.place("crystal", r, c)
    m.place("barrel", 5, 17)
    m.place("crate", 5, 18)
    m.place("crate", 6, 20)
    m.place("bones", 9, 19)
    m.place("chest", 9, 3)
    m.trigger("findPotion", 9, 4, [("script", "findItem.lua"), ("item", "potion"),
                                   ("flag", "found_cavePotion")])
    # stepping into the camp brings the leader's challenge
    m.trigger("halt", 7, 6, [("script", "banditHalt.lua")], rows=1, cols=16)
    m.trigger("halt", 8, 6, [("script", "banditHalt.lua")], rows=1, cols=1)
    bandits_think = gone_if
    people = [
        *npc("banditLeader", "banditLeader", 4, 13, talk="bandits:halt",
             think=bandits_think("leader_down"),
             defeat='s:setflag("leader_down", 1) s:endQuest("cave")',
             comment="The leader blocks the narrow pass with one of his men."),
        *npc("bandit1", "bandit", 4, 14, talk="bandits:grunt", think=bandits_think("bandit1_down"),
             defeat='s:setflag("bandit1_down", 1)'),
        *npc("bandit2", "banditCoward", 6, 12, talk="bandits:grunt",
             think=bandits_think("bandit2_down"), defeat='s:setflag("bandit2_down", 1)'),
    ]
    return m, people


# --- the town across the bay -------------------------------------------------

def town_main():
    m = TileMap(40, 30, 61)
    for c in range(m.cols):
        shore = 25 + int(round(1.0 * math.sin(c / 4.0)))
        m.fill(SAND, shore - 3, c, shore - 1, c)
        m.fill(WATER, shore, c, m.rows - 1, c)
    m.paving(10, 12, 17, 27)                 # the square
    m.paths(7, 19, 9, 20)                    # to the elder's hall
    m.paths(17, 19, 21, 20)                  # down to the harbour
    m.paths(12, 4, 13, 12)                   # west lane
    m.paths(12, 4, 21, 5)
    m.paths(12, 27, 13, 35)                  # east lane
    m.paths(12, 34, 21, 35)
    m.paths(14, 35, 15, 39)                  # the road to the market
    m.dock_planks(22, 19, 28, 20)
    m.place("boat", 27, 21)
    m.place("hall", 2, 16)
    m.place("houseRed", 8, 3)
    m.place("houseGreen", 17, 3)
    m.place("houseBlue", 8, 32)
    m.place("houseGreen", 17, 32)
    m.place("fountain", 13, 19)
    for r, c in [(9, 12), (9, 26), (17, 11), (17, 28)]:
        m.place("lamp", r, c)
    for r, c in [(7, 15), (7, 23), (12, 9), (21, 9), (12, 30), (21, 30)]:
        m.place("flowersRed" if c % 2 else "flowersBlue", r, c)
    m.place("sign", 13, 37)
    m.place("barrel", 21, 22)
    m.place("crate", 21, 23)
    m.place("bush", 6, 10)
    m.place("bush", 6, 28)
    scatter_trees(m, [(0, 0), (0, 3), (0, 6), (0, 9), (0, 12), (0, 25), (0, 28), (0, 31), (0, 34),
                      (0, 37), (3, 1), (4, 36), (3, 10), (3, 26), (14, 0), (22, 0), (22, 38),
                      (17, 38), (5, 13), (5, 24)])
    door(m, "toInn", 11, 5, "town_house1", 7, 7)
    door(m, "toHouse2", 20, 5, "town_house2", 6, 5)
    door(m, "toHall", 6, 19, "town_house3", 7, 8)
    door(m, "toBarracks", 11, 34, "town_house4", 6, 5)
    door(m, "toHouse5", 20, 34, "town_house5", 6, 5)
    portal(m, "toMarket", 14, 39, "town_market", 9, 1, rows=2)
    wander_region(m, "square", 10, 12, 8, 16)
    people = [
        *npc("captain", "captain", 26, 20, talk="captain:town",
             comment="Captain Hask waits by his ferry at the end of the pier."),
        *npc("pell", "pell", 26, 19, talk="pell", comment="Pell fishes off the town pier."),
        *npc("guard", "guard", 13, 36, talk="guard", name="guard",
             comment="The town guard watches the market road."),
    ]
    for i, (r, c) in enumerate([(11, 14), (16, 16), (11, 24), (16, 25)]):
        sheet = "walking" if i == 0 else "walking%d" % (i + 1)
        people += npc("townsfolk%d" % (i + 1), "townsfolk", r, c, sprite=sheet, name="villager",
                      talk="townsfolk:gossip%d" % (i + 1), think=WANDER,
                      comment="Townsfolk crossing the square." if i == 0 else None)
    return m, people


def town_market():
    m = TileMap(26, 18, 67)
    m.paving(3, 0, 15, 23)
    m.paths(8, 0, 9, 2)
    portal(m, "toTown", 8, 0, "town_main", 14, 38, rows=2)
    m.place("stallRed", 4, 6)
    m.place("stallBlue", 4, 12)
    m.place("stallRed", 4, 18)
    m.place("stallBlue", 12, 14)
    m.place("barrel", 6, 4)
    m.place("crate", 13, 4)
    m.place("crate", 14, 4)
    m.place("barrel", 14, 20)
    m.place("well", 10, 20)
    for r, c in [(2, 3), (2, 10), (2, 16), (16, 8), (16, 18)]:
        m.place("lamp", r - 1, c)
    scatter_trees(m, [(0, 0), (0, 22), (16, 0), (16, 24), (5, 24), (10, 24), (0, 12)])
    wander_region(m, "market", 7, 4, 5, 14)
    people = [
        *npc("merchant", "merchant", 6, 12, talk="merchant",
             comment="Corvin the merchant minds his stall and does not leave it."),
        *npc("bananas", "bananas", 6, 7, talk="bananas", comment="A basket of bananas for sale."),
        *npc("townsfolk5", "townsfolk", 8, 8, sprite="walking3", talk="townsfolk:gossip5", name="villager",
             think=WANDER, comment="Shoppers."),
        *npc("townsfolk6", "townsfolk", 10, 16, sprite="walking4", talk="townsfolk:gossip6", name="villager",
             think=WANDER),
    ]
    return m, people


def town_inn():
    m = Room(14, 9, 71, windows=(3, 6))
    m.way_out(7, "town_main", 12, 5)
    m.wall_door("upstairs", 11, "town_house1_2", 6, 6, tile="stairsUp")
    for c in range(1, 6):
        m.place("counterEnd" if c == 5 else "counter", 3, c)
    m.place("barrel", 2, 1)
    m.place("barrel", 2, 2)
    m.place("table", 5, 8)
    m.place("table", 5, 3)
    m.place("stool", 6, 10)
    m.place("stool", 6, 7)
    m.place("fireplace", 1, 7)
    m.place("potPlant", 7, 12)
    people = npc("innkeeper", "innkeeper", 4, 4, talk="innkeeper",
                 comment="Marta keeps the inn; she stands in front of her counter.")
    return m, people


def town_inn_upstairs():
    m = Room(12, 8, 73, windows=(6,))
    m.way_out(6, "town_house1", 2, 11, tile="stairsDown")
    for c in (1, 3, 9):
        m.place("bedBlue" if c == 3 else "bedRed", 2, c)
    m.place("chest", 2, 10)
    m.place("stool", 4, 2)
    m.place("rug", 4, 5)
    people = npc("nell", "sailor", 3, 7, talk="sailor", think=gone_if("nell_joined"),
                 comment="Nell, a sailor without a ship, rents the room upstairs.")
    return m, people


def town_house2():
    m = Room(10, 8, 79, windows=(2, 7))
    m.way_out(5, "town_main", 21, 5)
    m.place("bedRed", 2, 1)
    m.place("table", 3, 6)
    m.place("bookshelf", 1, 3)
    m.place("potPlant", 6, 8)
    people = npc("ilse", "ilse", 4, 3, talk="ilse", comment="Ilse, whose husband sailed with Halden.")
    return m, people


def town_hall():
    """The elder's hall: the entrance, with the library and the study behind."""
    m = Room(16, 9, 83, stone=True, windows=(6, 9))
    m.way_out(8, "town_main", 7, 19)
    m.wall_door("toLibrary", 3, "town_house3_1", 6, 5)
    m.wall_door("toStudy", 12, "town_house3_2", 6, 5)
    m.place("rug", 4, 7)
    for r, c in [(2, 1), (2, 14), (6, 1), (6, 14)]:
        m.place("pillar", r, c)
    m.place("potPlant", 2, 7)
    m.place("potPlant", 2, 9)
    people = npc("warden", "guard", 3, 5, talk="warden", name="warden", comment="The hall's warden.")
    return m, people


def town_library():
    m = Room(10, 8, 89, stone=True)
    m.way_out(5, "town_house3", 2, 3)
    for c in range(1, 9):
        if c != 5:
            m.place("bookshelf", 1, c)
    m.place("table", 4, 2)
    m.place("chest", 6, 8)
    m.trigger("findPotion", 6, 7, [("script", "findItem.lua"), ("item", "potion"),
                                   ("flag", "found_libraryPotion")])
    people = npc("scholar", "scholar", 3, 6, sprite="walking4", talk="scholar",
                 comment="An old scholar reading among the shelves.")
    return m, people


def town_study():
    m = Room(10, 8, 97, stone=True, windows=(2,))
    m.way_out(5, "town_house3", 2, 12)
    m.place("fireplace", 1, 6)
    m.place("bookshelf", 1, 4)
    m.place("rug", 3, 3)
    m.place("table", 4, 7)
    m.place("potPlant", 6, 1)
    people = npc("elder", "elder", 3, 5, talk="elder", comment="The elder of the town.")
    return m, people


def town_barracks():
    m = Room(10, 8, 101, windows=(5,))
    m.way_out(5, "town_main", 12, 34)
    for c in (1, 2, 3):
        m.place("bedBlue", 2, c)
    m.place("chest", 2, 8)
    m.trigger("findWhetstone", 3, 8, [("script", "findItem.lua"), ("item", "whetstone"),
                                      ("flag", "found_whetstone")])
    m.place("barrel", 6, 8)
    m.place("table", 4, 5)
    people = npc("bram", "guard", 5, 2, talk="bram", comment="Bram, off duty.")
    return m, people


def town_house5():
    m = Room(10, 8, 103, windows=(3, 6))
    m.way_out(5, "town_main", 21, 34)
    m.place("bedBlue", 2, 8)
    m.place("table", 3, 2)
    m.place("rug", 4, 5)
    m.place("crate", 6, 1)
    m.place("crate", 6, 8)
    people = npc("greta", "townsfolk", 3, 5, sprite="walking3", talk="greta",
                 comment="Greta, the merchant's wife, stays at home.")
    return m, people


# --- the lair ----------------------------------------------------------------

def boss_lair():
    m = Cavern(20, 16, 107, kind="lair")
    m.dig(3, 3, 12, 16)
    m.dig(13, 9, 15, 10)
    m.furniture[15, 9] = GID["shaft"]
    portal(m, "up", 15, 9, "coastalVillage_cave", 2, 14, music="tempCave")

    m.place("throne", 3, 9)
    for r, c in [(4, 4), (4, 15), (9, 4), (9, 15)]:
        m.place("pillar", r, c)
    for r, c in [(7, 7), (7, 12), (10, 9)]:
        m.furniture[r, c] = GID["rune"]
    m.place("bones", 11, 5)
    m.place("bones", 12, 14)
    m.trigger("confront", 8, 3, [("script", "voskConfront.lua")], rows=1, cols=14)
    people = [
        *npc("vosk", "vosk", 5, 9, talk="vosk", think=gone_if("vosk_down"),
             defeat='s:setflag("vosk_down", 1) s:endQuest("vosk") SoundHandler.play("eventHappy", 0)',
             comment="Vosk, the sorcerer whose lights drown ships, before his throne."),
        *npc("brazier1", "brazier", 5, 6, comment="Braziers of Vosk's false lights."),
        *npc("brazier2", "brazier", 5, 13),
        *npc("halden", "halden", 11, 15, talk="halden",
             comment="Halden, the helmsman Vosk kept alive."),
    ]
    return m, people


SCENES = [
    # scene id, file under region1, map and people
    ("coastalVillage_start", "coastalVillage/start", village_start),
    ("coastalVillage_main", "coastalVillage/main", village_main),
    ("coastalVillage_townhall", "coastalVillage/townhall", village_townhall),
    ("coastalVillage_cave", "coastalVillage/cave", village_cave),
    ("coastalVillage_house1", "coastalVillage/house1", village_home),
    ("coastalVillage_house2", "coastalVillage/house2", village_captain),
    ("town_main", "town/main", town_main),
    ("town_market", "town/market", town_market),
    ("town_house1", "town/house1", town_inn),
    ("town_house1_2", "town/house1_2", town_inn_upstairs),
    ("town_house2", "town/house2", town_house2),
    ("town_house3", "town/house3", town_hall),
    ("town_house3_1", "town/house3_1", town_library),
    ("town_house3_2", "town/house3_2", town_study),
    ("town_house4", "town/house4", town_barracks),
    ("town_house5", "town/house5", town_house5),
    ("boss_main", "boss/main", boss_lair),
]


# --- checks run on every build ----------------------------------------------

def _doors(m):
    for name, row, col, rows, cols, props in m.triggers:
        p = dict(props)
        if "targetScene" in p:
            for r in range(row, row + rows):
                for c in range(col, col + cols):
                    yield (r, c), p["targetScene"], (int(p["targetRow"]), int(p["targetCol"]))


def _people(lines):
    """(id, row, col, wanders, leaves) of each character of a scene file."""
    import re
    out = []
    for line in lines:
        hit = re.match(r'<character id="([^"]+)" .* row="(\d+)" col="(\d+)"', line)
        if hit:
            out.append([hit.group(1), int(hit.group(2)), int(hit.group(3)), False, False])
        elif 'trigger="think"' in line and out:
            out[-1][3] = "wander" in line
            out[-1][4] = "kill()" in line
    return out


def _standing(people):
    # wanderers move aside, and those who leave are gone once the fight or
    # the talk that ends their part is over
    return {(r, c) for _, r, c, wanders, leaves in _people(people) if not (wanders or leaves)}


def _reach(m, start, standing):
    free = (m.passability() == 0)
    seen, todo = {start}, [start]
    while todo:
        r, c = todo.pop()
        for dr, dc in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            n = (r + dr, c + dc)
            if 0 <= n[0] < m.rows and 0 <= n[1] < m.cols and free[n] and n not in seen \
                    and n not in standing:
                seen.add(n)
                todo.append(n)
    return seen


def check(built):
    """Refuse to write a world with a door into a wall, a one-way door, a
    character in a wall or an unreachable door or person."""
    wander_cells = {}
    for sid, (m, people) in built.items():
        cells = set()
        for name, row, col, rows, cols, props in m.triggers:
            if dict(props).get("script") == "wanderRegion.lua":
                cells |= {(r, c) for r in range(row, row + rows) for c in range(col, col + cols)}
        wander_cells[sid] = cells
    for sid, (m, people) in built.items():
        free = (m.passability() == 0)
        doors = list(_doors(m))
        assert doors, sid
        for cid, r, c, wanders, _ in _people(people):
            assert free[r, c], "%s: %s stands in a wall" % (sid, cid)
            if wanders:
                assert (r, c) in wander_cells[sid], "%s: %s outside its region" % (sid, cid)
        for cell, target, arrive in doors:
            tm, tpeople = built[target]
            assert (tm.passability() == 0)[arrive], "%s -> %s %s is a wall" % (sid, target, arrive)
            assert arrive not in {d[0] for d in _doors(tm)}, "%s -> %s lands on a door" % (sid, target)
            assert any(t == sid for _, t, _ in _doors(tm)), "%s -> %s is one-way" % (sid, target)
            # from where the avatar arrives it reaches every door and person
            seen = _reach(tm, arrive, _standing(tpeople))
            for other, _, _ in _doors(tm):
                assert other in seen, "%s: door %s unreachable from %s" % (target, other, arrive)
            for cid, r, c, _, _ in _people(tpeople):
                near = {(r + 1, c), (r - 1, c), (r, c + 1), (r, c - 1)}
                assert near & seen, "%s: nobody can reach %s from %s" % (target, cid, arrive)


def scene_file(scene_id, tmx_path, characters):
    out = ['<scene id="%s" filename="%s"/>' % (scene_id, tmx_path)]
    out.extend(characters)
    return '\n'.join(out) + '\n'


def build(root):
    region = "assets/maps/region1"
    listing = ['<!-- Every scene of the game; each is read from its scene file when the',
               '     party enters it. Generated by tools/assets/world.py. -->']
    built = {}
    for scene_id, name, make in SCENES:
        m, people = make()
        built[scene_id] = (m, people)
        with open("%s/%s/%s.tmx" % (root, region, name), "w") as f:
            f.write(m.tmx("../tileset.png"))
        with open("%s/%s/%s.xml" % (root, region, name), "w") as f:
            f.write(scene_file(scene_id, "%s/%s.tmx" % (region, name), people))
        listing.append('<scene id="%s" filename="%s/%s.xml"/>' % (scene_id, region, name))
    check(built)
    with open("%s/assets/scenes.xml" % root, "w") as f:
        f.write('\n'.join(listing) + '\n')
