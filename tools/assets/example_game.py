"""Rebuilds the generated files of the example game in examples/lantern:
its tileset picture and Tiled tileset (passability in `pass` tile
properties), the three Tiled maps, the four walking sprite sheets, and
its sounds and music.

Python's standard library only (plus oggenc for the sounds), so it runs on
a bare python3:
    python3 tools/assets/example_game.py [--no-sound] [--out FOLDER]
--out writes the game's generated files under FOLDER instead of
examples/lantern (a test compares them with the committed ones).
The scene files, characters, dialogs and scripts beside the generated
files are written by hand, as a game maker would.
"""
import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True

from pngwrite import Canvas, save  # noqa: E402

T = 16
COLUMNS = 8
GAME = os.path.join(ROOT, "examples", "lantern")
if "--out" in sys.argv[:-1]:
    GAME = os.path.abspath(sys.argv[sys.argv.index("--out") + 1])
MAPS = os.path.join(GAME, "assets", "maps")

# Tile ids of the tileset (0-based, as Tiled counts them) with the sides
# each one is open through: U, R, D, L; "" is closed all round.
TILES = [
    ("grass", "URDL"),
    ("flowers", "URDL"),
    ("path", "URDL"),
    ("water", ""),
    ("tree", ""),
    ("boulder", ""),
    ("hedge", "RDL"),  # a hedge along the top edge: closed to the north only
    ("caveMouth", "URDL"),
    ("caveFloor", "URDL"),
    ("caveWall", ""),
    ("stoneFloor", "URDL"),
    ("stoneWall", ""),
    ("bridge", "UD"),  # planks run north-south: no stepping off sideways
    ("steps", "URDL"),
    ("pillar", ""),
    ("rug", "URDL"),
]
TILE_ID = {name: index for index, (name, _) in enumerate(TILES)}


def speckled(img, tx, ty, base, dots, count, rng):
    x0, y0 = tx * T, ty * T
    img.rect(x0, y0, x0 + T - 1, y0 + T - 1, base)
    for _ in range(count):
        img.put(x0 + rng.randrange(T), y0 + rng.randrange(T), dots[rng.randrange(len(dots))])


def draw_tile(img, index, rng):
    tx, ty = index % COLUMNS, index // COLUMNS
    x0, y0 = tx * T, ty * T
    name = TILES[index][0]
    grass = (86, 150, 72)
    # Trees, boulders, hedges and pillars stand on the furniture layer over
    # any floor, so only their shapes are drawn.
    if name == "grass":
        speckled(img, tx, ty, grass, [(70, 128, 60), (104, 170, 84)], 40, rng)
    elif name == "flowers":
        speckled(img, tx, ty, grass, [(70, 128, 60)], 30, rng)
        for _ in range(5):
            fx, fy = x0 + 2 + rng.randrange(12), y0 + 2 + rng.randrange(12)
            img.put(fx, fy, (240, 226, 90))
            img.put(fx + 1, fy, (236, 120, 160))
    elif name == "path":
        speckled(img, tx, ty, (176, 146, 98), [(150, 122, 80), (196, 170, 120)], 50, rng)
    elif name == "water":
        img.rect(x0, y0, x0 + T - 1, y0 + T - 1, (52, 98, 178))
        for row in (3, 9, 13):
            for x in range(2 + row % 4, T - 3, 6):
                img.rect(x0 + x, y0 + row, x0 + x + 2, y0 + row, (120, 170, 230))
    elif name == "tree":
        img.rect(x0 + 7, y0 + 10, x0 + 8, y0 + 15, (96, 64, 36))
        for cx, cy, r in ((8, 6, 6), (5, 8, 4), (11, 8, 4)):
            for y in range(T):
                for x in range(T):
                    if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                        shade = 40 if (x + y) % 5 == 0 else 0
                        img.put(x0 + x, y0 + y, (36 + shade, 104 + shade, 48))
    elif name == "boulder":
        for y in range(T):
            for x in range(T):
                if ((x - 7.5) / 6.5) ** 2 + ((y - 9) / 5.5) ** 2 <= 1:
                    light = 30 if y < 8 else 0
                    img.put(x0 + x, y0 + y, (128 + light, 124 + light, 118 + light))
    elif name == "hedge":
        img.rect(x0, y0, x0 + T - 1, y0 + 5, (40, 96, 40))
        for x in range(0, T, 3):
            img.put(x0 + x, y0 + 6, (40, 96, 40))
            img.put(x0 + x + 1, y0 + 2, (70, 140, 60))
    elif name == "caveMouth":
        speckled(img, tx, ty, (110, 102, 96), [(90, 84, 80)], 30, rng)
        for y in range(3, T):
            for x in range(3, 13):
                if (x - 7.5) ** 2 / 25 + (y - 15) ** 2 / 144 <= 1:
                    img.put(x0 + x, y0 + y, (20, 16, 24))
    elif name == "caveFloor":
        speckled(img, tx, ty, (74, 66, 70), [(60, 54, 58), (90, 82, 86)], 40, rng)
    elif name == "caveWall":
        speckled(img, tx, ty, (42, 36, 44), [(56, 50, 60), (30, 26, 32)], 60, rng)
        img.rect(x0, y0 + 13, x0 + T - 1, y0 + T - 1, (30, 26, 32))
    elif name == "stoneFloor":
        img.rect(x0, y0, x0 + T - 1, y0 + T - 1, (170, 166, 150))
        img.rect(x0, y0 + 7, x0 + T - 1, y0 + 7, (140, 136, 122))
        img.rect(x0 + 7, y0, x0 + 7, y0 + 6, (140, 136, 122))
        img.rect(x0 + 3, y0 + 8, x0 + 3, y0 + T - 1, (140, 136, 122))
    elif name == "stoneWall":
        img.rect(x0, y0, x0 + T - 1, y0 + T - 1, (96, 88, 120))
        for y in (3, 8, 13):
            img.rect(x0, y0 + y, x0 + T - 1, y0 + y, (70, 62, 92))
    elif name == "bridge":
        img.rect(x0, y0, x0 + T - 1, y0 + T - 1, (52, 98, 178))
        img.rect(x0 + 2, y0, x0 + 13, y0 + T - 1, (150, 104, 58))
        for y in range(1, T, 4):
            img.rect(x0 + 2, y0 + y, x0 + 13, y0 + y, (112, 76, 40))
    elif name == "steps":
        for y in range(T):
            tone = 190 - (y // 4) * 22
            img.rect(x0, y0 + y, x0 + T - 1, y0 + y, (tone, tone - 6, tone - 20))
    elif name == "pillar":
        img.rect(x0 + 4, y0 + 1, x0 + 11, y0 + 14, (220, 214, 196))
        img.rect(x0 + 4, y0 + 1, x0 + 5, y0 + 14, (240, 236, 222))
    elif name == "rug":
        img.rect(x0, y0, x0 + T - 1, y0 + T - 1, (150, 40, 48))
        img.rect(x0 + 2, y0 + 2, x0 + 13, y0 + 13, (200, 160, 60))
        img.rect(x0 + 4, y0 + 4, x0 + 11, y0 + 11, (150, 40, 48))


def build_tileset():
    rng = random.Random(21)
    rows = (len(TILES) + COLUMNS - 1) // COLUMNS
    img = Canvas(COLUMNS * T, rows * T)
    for index in range(len(TILES)):
        draw_tile(img, index, rng)
    save(img, os.path.join(MAPS, "lantern.png"))
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<tileset version="1.10" tiledversion="1.10.2" name="lantern" tilewidth="16" tileheight="16"'
             ' tilecount="%d" columns="%d">' % (len(TILES), COLUMNS),
             ' <image source="lantern.png" width="%d" height="%d"/>' % (img.width, img.height)]
    for index, (name, sides) in enumerate(TILES):
        lines += [' <tile id="%d">' % index,
                  '  <properties>',
                  '   <property name="name" value="%s"/>' % name,
                  '   <property name="pass" value="%s"/>' % sides,
                  '  </properties>',
                  ' </tile>']
    lines.append('</tileset>')
    with open(os.path.join(MAPS, "lantern.tsx"), "w") as out:
        out.write("\n".join(lines) + "\n")


# ---- Maps: one character a cell; each gives a floor tile and maybe a
# furniture tile drawn over it.
LEGEND = {
    ".": ("grass", None), ",": ("flowers", None), ":": ("path", None), "~": ("water", None),
    "T": ("grass", "tree"), "O": ("grass", "boulder"), "h": ("grass", "hedge"), "M": ("path", "caveMouth"),
    "=": ("bridge", None), "c": ("caveFloor", None), "#": ("caveWall", None), "^": ("caveFloor", "boulder"),
    "s": ("stoneFloor", None), "W": ("stoneWall", None), "P": ("stoneFloor", "pillar"), "r": ("rug", None),
    "S": ("steps", None),
}

GLADE = [
    "TTTTTTTTTTTTTTTTTTTT",
    "T,.....TT###M###TTTT",
    "T......:::::::::...T",
    "T..,...:.......:...T",
    "T.hhhh.:....:..:.,.T",
    "T......:..~~=~.:...T",
    "T......:..~~=~.:...T",
    "T.O....:..~~=~.:...T",
    "T......:..~~=~.....T",
    "T..,...:..~~=~..,..T",
    "T......:....:..:...T",
    "T..T...:::::::::...T",
    "T.............,....T",
    "T...,......T.......T",
    "TTTTTTTTTTTTTTTTTTTT",
]

HOLLOW = [
    "################",
    "#######SS#######",
    "######cccc######",
    "#####cccccc#####",
    "####cc^cc^cc####",
    "####cccccccc####",
    "####cccccccc####",
    "#####cccc^c#####",
    "#####cccccc#####",
    "######cccc######",
    "######cScc######",
    "################",
]

SHRINE = [
    "WWWWWWWWWWWW",
    "WssssssssssW",
    "WsPssssssPsW",
    "WssssssssssW",
    "WssssrrssssW",
    "WsPssrrssPsW",
    "WssssrrssssW",
    "WssssrrssssW",
    "WssssrrsssSW",
    "WWWWWWWWWWWW",
]


def csv_rows(gids, width):
    rows = [",".join(str(g) for g in gids[i:i + width]) for i in range(0, len(gids), width)]
    return ",\n".join(rows)


def write_map(path, rows, triggers):
    height, width = len(rows), len(rows[0])
    for row in rows:
        assert len(row) == width, "%s: row %r is not %d wide" % (path, row, width)
    floor, furniture = [], []
    for row in rows:
        for cell in row:
            below, above = LEGEND[cell]
            floor.append(TILE_ID[below] + 1)
            furniture.append(TILE_ID[above] + 1 if above else 0)
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<map version="1.10" tiledversion="1.10.2" orientation="orthogonal" renderorder="right-down"'
           ' width="%d" height="%d" tilewidth="16" tileheight="16" infinite="0" nextlayerid="4"'
           ' nextobjectid="%d">' % (width, height, len(triggers) + 1),
           ' <tileset firstgid="1" source="lantern.tsx"/>']
    for layer_id, (name, gids) in enumerate((("Floor", floor), ("Furniture", furniture)), start=1):
        out += [' <layer id="%d" name="%s" width="%d" height="%d">' % (layer_id, name, width, height),
                '  <data encoding="csv">', csv_rows(gids, width), '</data>', ' </layer>']
    out.append(' <objectgroup id="3" name="Triggers">')
    for object_id, (name, row, col, props) in enumerate(triggers, start=1):
        out += ['  <object id="%d" name="%s" x="%d" y="%d" width="16" height="16">' % (object_id, name, col * T,
                                                                                        row * T),
                '   <properties>']
        out += ['    <property name="%s" value="%s"/>' % (k, v) for k, v in props]
        out += ['   </properties>', '  </object>']
    out += [' </objectgroup>', '</map>']
    with open(path, "w") as f:
        f.write("\n".join(out) + "\n")


def door(scene, row, col, music):
    return [("script", "door.lua"), ("targetScene", scene), ("targetRow", row), ("targetCol", col), ("music", music)]


def build_maps():
    write_map(os.path.join(MAPS, "glade.tmx"), GLADE, [("toHollow", 1, 12, door("hollow", 9, 7, "themeHollow"))])
    write_map(os.path.join(MAPS, "hollow.tmx"), HOLLOW,
              [("toGlade", 10, 7, door("glade", 2, 12, "themeGlade")),
               ("toShrine", 1, 7, door("shrine", 8, 5, "themeShrine"))])
    write_map(os.path.join(MAPS, "shrine.tmx"), SHRINE, [("toHollow", 8, 10, door("hollow", 2, 7, "themeHollow"))])


# ---- Walking sprite sheets: four 16 x 16 frames a row, rows facing down,
# up, left and right.
def figure(img, fx, fy, facing, step, palette):
    cloak, skin, hair, boots = palette
    x0, y0 = fx * T, fy * T
    swing = (0, 1, 0, -1)[step]
    img.rect(x0 + 5, y0 + 1, x0 + 10, y0 + 6, skin)
    img.rect(x0 + 5, y0 + 1, x0 + 10, y0 + 2, hair)
    if facing == 1:
        img.rect(x0 + 5, y0 + 1, x0 + 10, y0 + 6, hair)
    elif facing == 0:
        img.put(x0 + 6, y0 + 4, (20, 20, 30))
        img.put(x0 + 9, y0 + 4, (20, 20, 30))
    elif facing == 2:
        img.rect(x0 + 9, y0 + 1, x0 + 10, y0 + 6, hair)
        img.put(x0 + 6, y0 + 4, (20, 20, 30))
    else:
        img.rect(x0 + 5, y0 + 1, x0 + 6, y0 + 6, hair)
        img.put(x0 + 9, y0 + 4, (20, 20, 30))
    img.rect(x0 + 4, y0 + 7, x0 + 11, y0 + 12, cloak)
    img.rect(x0 + 5 + swing, y0 + 13, x0 + 6 + swing, y0 + 14, boots)
    img.rect(x0 + 9 - swing, y0 + 13, x0 + 10 - swing, y0 + 14, boots)
    img.outline(x0, y0, x0 + T - 1, y0 + T - 1, (24, 20, 28))


def blob(img, fx, fy, facing, step, palette):
    body, eyes = palette[0], palette[1]
    x0, y0 = fx * T, fy * T
    lift = (0, 1, 2, 1)[step]
    for y in range(T):
        for x in range(T):
            if ((x - 7.5) / 6.0) ** 2 + ((y - 9.5 + lift) / (5.5 + lift / 2)) ** 2 <= 1:
                img.put(x0 + x, y0 + y, body)
    if facing != 1:
        shift = {0: 0, 2: -2, 3: 2}[facing]
        img.rect(x0 + 5 + shift, y0 + 8 - lift, x0 + 6 + shift, y0 + 9 - lift, eyes)
        img.rect(x0 + 9 + shift, y0 + 8 - lift, x0 + 10 + shift, y0 + 9 - lift, eyes)
    img.outline(x0, y0, x0 + T - 1, y0 + T - 1, (16, 10, 24))


def lamp(img, fx, fy, facing, step, palette):
    frame, glass, flame = palette[0], palette[1], palette[2]
    x0, y0 = fx * T, fy * T
    img.rect(x0 + 7, y0 + 1, x0 + 8, y0 + 2, frame)
    img.rect(x0 + 4, y0 + 3, x0 + 11, y0 + 4, frame)
    img.rect(x0 + 5, y0 + 5, x0 + 10, y0 + 12, glass)
    img.rect(x0 + 4, y0 + 13, x0 + 11, y0 + 14, frame)
    if flame:
        tall = (0, 1, 2, 1)[(step + facing) % 4]
        img.rect(x0 + 7, y0 + 9 - tall, x0 + 8, y0 + 11, flame)
    img.outline(x0, y0, x0 + T - 1, y0 + T - 1, (24, 20, 28))


SHEETS = {
    "wren.png": (figure, ((58, 138, 96), (240, 200, 160), (200, 86, 40), (80, 52, 32))),
    "odo.png": (figure, ((128, 90, 60), (230, 190, 150), (236, 236, 236), (60, 44, 30))),
    "gloam.png": (blob, ((96, 60, 150), (250, 236, 110))),
    "lantern.png": (lamp, ((60, 56, 64), (250, 236, 190), (250, 170, 40))),
}


def build_sprites():
    folder = os.path.join(GAME, "assets", "sprites")
    os.makedirs(folder, exist_ok=True)
    for name, (draw, palette) in sorted(SHEETS.items()):
        img = Canvas(4 * T, 4 * T)
        for facing in range(4):
            for step in range(4):
                draw(img, step, facing, facing, step, palette)
        save(img, os.path.join(folder, name))


# ---- Sounds: 16 kHz mono, encoded by oggenc at its lowest quality.
RATE = 16000


def note_freq(midi):
    return 440.0 * 2 ** ((midi - 69) / 12.0)


def tone(samples, start, seconds, freq, volume, kind="square", decay=4.0):
    first = int(start * RATE)
    for i in range(int(seconds * RATE)):
        if first + i >= len(samples):
            break
        t = i / RATE
        phase = (t * freq) % 1.0
        wave_value = (1.0 if phase < 0.5 else -1.0) if kind == "square" else 4 * abs(phase - 0.5) - 1
        envelope = math.exp(-decay * t) * min(1.0, t * 300) * min(1.0, (seconds - t) * 300)
        samples[first + i] += wave_value * envelope * volume


def noise(samples, start, seconds, volume, rng, decay=30.0):
    first = int(start * RATE)
    for i in range(int(seconds * RATE)):
        if first + i < len(samples):
            samples[first + i] += (rng.random() * 2 - 1) * math.exp(-decay * i / RATE) * volume


def melody(seconds, beat, scale, root, seed, drums):
    rng = random.Random(seed)
    samples = [0.0] * int(seconds * RATE)
    beats = int(seconds / beat)
    degree = 0
    for b in range(beats):
        degree = max(-2, min(len(scale) + 2, degree + rng.choice((-2, -1, 1, 1, 2))))
        octave, step = divmod(degree, len(scale))
        tone(samples, b * beat, beat * 0.9, note_freq(root + 12 + octave * 12 + scale[step]), 0.12)
        if b % 2 == 0:
            tone(samples, b * beat, beat * 1.8, note_freq(root - 12 + scale[(b // 2) % 3 * 2 % len(scale)]), 0.18,
                 "triangle", 1.5)
        if drums and b % 2 == 1:
            noise(samples, b * beat, 0.08, 0.15, rng)
    return samples


def blip(seconds, freq_from, freq_to, volume, kind="square"):
    samples = [0.0] * int(seconds * RATE)
    phase = 0.0
    for i in range(len(samples)):
        t = i / RATE
        freq = freq_from + (freq_to - freq_from) * t / seconds
        phase = (phase + freq / RATE) % 1.0
        value = (1.0 if phase < 0.5 else -1.0) if kind == "square" else math.sin(2 * math.pi * phase)
        samples[i] = value * volume * min(1.0, (seconds - t) * 60)
    return samples


def hiss(seconds, volume, decay, seed):
    samples = [0.0] * int(seconds * RATE)
    noise(samples, 0, seconds, volume, random.Random(seed), decay)
    return samples


MAJOR_PENTA = [0, 2, 4, 7, 9]
MINOR = [0, 2, 3, 5, 7, 8, 10]

# name: (file under assets/sound, samples)
SOUNDS = {
    "themeGlade": lambda: melody(8.0, 0.25, MAJOR_PENTA, 62, 31, True),
    "themeHollow": lambda: melody(9.6, 0.4, MINOR, 50, 32, False),
    "themeShrine": lambda: melody(8.0, 0.5, MAJOR_PENTA, 67, 33, False),
    "battle": lambda: melody(6.4, 0.2, MINOR, 57, 34, True),
    "text": lambda: blip(0.04, 880, 990, 0.15),
    "stepHard": lambda: hiss(0.05, 0.2, 60.0, 35),
    "portal": lambda: blip(0.35, 300, 900, 0.2, "sine"),
    "swing": lambda: hiss(0.15, 0.3, 18.0, 36),
    "hit": lambda: blip(0.12, 180, 60, 0.35),
}


def write_ogg(samples, path):
    with tempfile.TemporaryDirectory() as scratch:
        wav = os.path.join(scratch, "sound.wav")
        with wave.open(wav, "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(b"".join(struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32000)) for s in samples))
        subprocess.run(["oggenc", "-Q", "-q", "-1", "--serial", "1", "-o", path, wav], check=True)


def build_sounds():
    folder = os.path.join(GAME, "assets", "sound")
    os.makedirs(folder, exist_ok=True)
    for name, make in sorted(SOUNDS.items()):
        write_ogg(make(), os.path.join(folder, name + ".ogg"))


def main():
    os.makedirs(MAPS, exist_ok=True)
    build_tileset()
    build_maps()
    build_sprites()
    if "--no-sound" not in sys.argv:
        build_sounds()


if __name__ == "__main__":
    main()
