"""Walking sprite sheets, the dog, the banana and the fireball.

Every walking sheet is 4 x 4 frames of 16 x 16 pixels. Sheet row 0 faces
down, row 1 up, row 2 left, row 3 right; the four columns are one walk cycle
(stand, left foot, stand, right foot), so an idle sprite showing frame (0, 0)
stands facing the viewer. The game's animation records give each frame as
(sheet column, sheet row): assets/animation.xml writes the sheet column in
the "row" attribute and the sheet row in "col", which is how the reader
builds its (column, row) vectors.
"""
import numpy as np

from pixel import canvas, rect, px, disc, outline, paste, save, shade

F = 16
DOWN, UP, LEFT, RIGHT = 0, 1, 2, 3

# The figures of the game. Each entry: texture name -> look.
LOOKS = {
    # the four generic walking sheets
    "walkingSpriteSheet": dict(skin=(240, 196, 160), hair=(110, 70, 40), shirt=(60, 110, 200), pants=(70, 60, 50)),
    "walkingSpriteSheet2": dict(skin=(200, 150, 110), hair=(30, 30, 30), shirt=(200, 70, 60), pants=(60, 60, 90)),
    "walkingSpriteSheet3": dict(skin=(250, 210, 180), hair=(230, 200, 90), shirt=(90, 170, 90), pants=(110, 80, 50), dress=True),
    "walkingSpriteSheet4": dict(skin=(160, 110, 80), hair=(200, 200, 200), shirt=(150, 100, 170), pants=(80, 60, 60), beard=True),
    # the generic figures of the start-up texture table
    "Bandit": dict(skin=(220, 170, 130), hair=(40, 30, 30), shirt=(90, 80, 70), pants=(50, 45, 40), mask=(170, 40, 40)),
    "BanditLeader": dict(skin=(200, 150, 110), hair=(20, 20, 20), shirt=(40, 40, 50), pants=(40, 30, 30), mask=(20, 20, 20), hat=(120, 30, 30), beard=True),
    "Guard": dict(skin=(230, 180, 140), hair=(90, 60, 30), shirt=(170, 170, 185), pants=(70, 70, 90), helmet=(190, 190, 205)),
    "Man": dict(skin=(230, 185, 150), hair=(80, 50, 30), shirt=(140, 120, 80), pants=(70, 70, 60)),
    # the named characters of the demo game
    "Aldric": dict(skin=(236, 190, 150), hair=(160, 60, 30), shirt=(40, 100, 60), pants=(60, 50, 40), cape=(30, 70, 40)),
    "Brune": dict(skin=(210, 160, 120), hair=(60, 40, 30), shirt=(60, 90, 150), pants=(80, 70, 60), beard=True, hat=(230, 200, 60)),
    "Captain": dict(skin=(220, 170, 130), hair=(40, 40, 40), shirt=(30, 50, 110), pants=(240, 240, 240), hat=(30, 40, 80), beard=True),
    "Elder": dict(skin=(230, 190, 160), hair=(235, 235, 235), shirt=(120, 90, 160), pants=(120, 90, 160), beard=True, dress=True),
    "Fenwy": dict(skin=(244, 204, 170), hair=(200, 110, 40), shirt=(40, 140, 170), pants=(90, 70, 50), cape=(200, 60, 50)),
    "Fisherman": dict(skin=(200, 150, 110), hair=(100, 80, 60), shirt=(200, 170, 60), pants=(60, 80, 110), hat=(200, 170, 60)),
    "Innkeeper": dict(skin=(240, 200, 170), hair=(120, 60, 30), shirt=(240, 240, 230), pants=(100, 70, 50), dress=True),
    "Mayor": dict(skin=(230, 185, 150), hair=(150, 150, 150), shirt=(120, 30, 50), pants=(40, 40, 50), hat=(30, 30, 30)),
    "Merchant": dict(skin=(210, 165, 120), hair=(50, 30, 20), shirt=(220, 140, 40), pants=(110, 60, 30), hat=(160, 40, 140)),
    "Oskel": dict(skin=(190, 140, 100), hair=(20, 20, 20), shirt=(60, 60, 60), pants=(40, 40, 40), cape=(80, 30, 100)),
    "Sailor": dict(skin=(220, 170, 130), hair=(230, 200, 110), shirt=(240, 240, 240), pants=(40, 60, 130), hat=(240, 240, 240)),
    "Tibbet": dict(skin=(250, 215, 185), hair=(240, 140, 60), shirt=(110, 180, 100), pants=(90, 70, 40)),
    "Vosk": dict(skin=(170, 120, 90), hair=(60, 40, 20), shirt=(120, 60, 40), pants=(60, 40, 30), beard=True),
    "Woman": dict(skin=(240, 200, 170), hair=(90, 50, 30), shirt=(190, 90, 130), pants=(190, 90, 130), dress=True),
}

# The 18 character textures in the order the game loads them.
CHARACTER_TEXTURES = ["Aldric", "Bandit", "BanditLeader", "Brune", "Captain", "Elder", "Fenwy",
                      "Fisherman", "Guard", "Innkeeper", "Man", "Mayor", "Merchant", "Oskel",
                      "Sailor", "Tibbet", "Vosk", "Woman"]


def figure(look, facing, step):
    """One 16 x 16 frame. step: 0 stand, 1 left foot, 2 stand, 3 right foot."""
    f = canvas(F, F)
    skin, hair, shirt, pants = look["skin"], look["hair"], look["shirt"], look["pants"]
    bob = 1 if step in (1, 3) else 0
    side = facing in (LEFT, RIGHT)

    # cape behind the body when seen from the front
    if look.get("cape") and facing != UP:
        rect(f, 4, 8 - bob, 11, 13, look["cape"])

    # legs / skirt
    if look.get("dress"):
        w = 0 if step in (0, 2) else 1
        rect(f, 4 - w, 11, 11 + w, 14, pants)
        rect(f, 4, 11, 11, 11, shade(pants, 0.85))
    elif side:
        fwd = {0: 0, 1: 1, 2: 0, 3: -1}[step]
        rect(f, 7 + fwd, 12, 8 + fwd, 14, pants)
        rect(f, 7 - fwd, 12, 8 - fwd, 14, shade(pants, 0.8))
        px(f, 7 + fwd + (1 if facing == RIGHT else 0), 14, (50, 36, 30))
    else:
        lift_l = 1 if step == 1 else 0
        lift_r = 1 if step == 3 else 0
        rect(f, 5, 12, 7, 14 - lift_l, pants)
        rect(f, 8, 12, 10, 14 - lift_r, pants)
        rect(f, 5, 14 - lift_l, 7, 14 - lift_l, (50, 36, 30))
        rect(f, 8, 14 - lift_r, 10, 14 - lift_r, (50, 36, 30))

    top = 1 - bob + 1  # head top row; bobbing lifts the whole upper body
    # body
    if side:
        rect(f, 5, top + 6, 10, top + 10, shirt)
    else:
        rect(f, 4, top + 6, 11, top + 10, shirt)
        rect(f, 4, top + 10, 11, top + 10, shade(shirt, 0.75))
    # arms swing opposite to the legs
    swing = {0: 0, 1: 1, 2: 0, 3: -1}[step]
    if side:
        ax = 7 + (swing if facing == RIGHT else -swing)
        rect(f, ax, top + 6, ax + 1, top + 9, shade(shirt, 0.85))
        rect(f, ax, top + 10, ax + 1, top + 10, skin)
    else:
        rect(f, 3, top + 6 + max(0, swing), 3, top + 9 + max(0, swing), shade(shirt, 0.85))
        rect(f, 12, top + 6 + max(0, -swing), 12, top + 9 + max(0, -swing), shade(shirt, 0.85))
        px(f, 3, top + 10 + max(0, swing), skin)
        px(f, 12, top + 10 + max(0, -swing), skin)

    # head
    x0, x1 = (5, 10) if side else (4, 11)
    rect(f, x0, top, x1, top + 5, skin)
    # hair
    if facing == UP:
        rect(f, x0, top, x1, top + 5, hair)
    else:
        rect(f, x0, top, x1, top + 1, hair)
        if side:
            back = x0 if facing == RIGHT else x1
            rect(f, min(back, back + (2 if facing == RIGHT else -2)), top, max(back, back + (2 if facing == RIGHT else -2)), top + 4, hair)
        else:
            px(f, x0, top + 2, hair); px(f, x1, top + 2, hair)
    # face
    eye = (30, 30, 40)
    if facing == DOWN:
        px(f, 6, top + 3, eye); px(f, 9, top + 3, eye)
        px(f, 5, top + 4, shade(skin, 0.9)); px(f, 10, top + 4, shade(skin, 0.9))
    elif facing == RIGHT:
        px(f, 9, top + 3, eye)
    elif facing == LEFT:
        px(f, 6, top + 3, eye)
    if look.get("beard") and facing != UP:
        if side:
            bx = 8 if facing == RIGHT else 6
            rect(f, bx, top + 4, bx + 2, top + 6, hair)
        else:
            rect(f, 5, top + 4, 10, top + 6, hair)
            px(f, 7, top + 4, shade(skin, 0.8)); px(f, 8, top + 4, shade(skin, 0.8))
    if look.get("mask") and facing != UP:
        rect(f, x0, top + 3, x1, top + 3, look["mask"])
        if facing == DOWN:
            px(f, 6, top + 3, (250, 250, 250)); px(f, 9, top + 3, (250, 250, 250))
    if look.get("hat"):
        rect(f, x0 - 1, top + 1, x1 + 1, top + 1, look["hat"])
        rect(f, x0 + 1, top - 1, x1 - 1, top, look["hat"])
        rect(f, x0 + 1, top, x1 - 1, top, shade(look["hat"], 0.8))
    if look.get("helmet"):
        rect(f, x0, top - 1, x1, top + 1, look["helmet"])
        px(f, (x0 + x1) // 2, top - 1, shade(look["helmet"], 1.2))
        if facing == UP:
            rect(f, x0, top + 2, x1, top + 3, look["helmet"])
    if look.get("cape") and facing == UP:
        rect(f, 4, top + 6, 11, 13, look["cape"])
        rect(f, 4, top + 6, 11, top + 6, shade(look["cape"], 1.2))
    outline(f)
    return f


def walking_sheet(look):
    sheet = canvas(4 * F, 4 * F)
    for facing in (DOWN, UP, LEFT, RIGHT):
        for step in range(4):
            paste(sheet, figure(look, facing, step), step * F, facing * F)
    return sheet


def dog_frame(facing, step):
    f = canvas(F, F)
    fur, dark = (190, 140, 80), (140, 96, 52)
    bob = 1 if step in (1, 3) else 0
    if facing in (LEFT, RIGHT):
        rect(f, 3, 7 - bob, 11, 11 - bob, fur)            # body
        legs = [(4, 5), (9, 10)] if step in (0, 2) else [(3, 6), (8, 11)]
        for lx in legs:
            for x in lx:
                rect(f, x, 12 - bob, x, 14, dark)
        rect(f, 10, 4 - bob, 14, 8 - bob, fur)           # head
        rect(f, 14, 6 - bob, 15, 7 - bob, dark)          # snout
        px(f, 12, 5 - bob, (20, 20, 20))
        rect(f, 10, 3 - bob, 11, 5 - bob, dark)          # ear
        rect(f, 1, 6 - bob, 2, 7 - bob, fur)             # tail
        if facing == LEFT:
            f = f[:, ::-1].copy()
    else:
        rect(f, 5, 6 - bob, 10, 12 - bob, fur)
        for x in (5, 9):
            rect(f, x, 12 - bob, x + 1, 14 - (1 if (step == 1 and x == 5) or (step == 3 and x == 9) else 0), dark)
        if facing == DOWN:
            rect(f, 4, 2 - bob, 11, 7 - bob, fur)
            rect(f, 3, 2 - bob, 4, 5 - bob, dark); rect(f, 11, 2 - bob, 12, 5 - bob, dark)
            px(f, 6, 4 - bob, (20, 20, 20)); px(f, 9, 4 - bob, (20, 20, 20))
            rect(f, 7, 6 - bob, 8, 6 - bob, (30, 20, 20))
        else:
            rect(f, 5, 3 - bob, 10, 6 - bob, dark)
            rect(f, 7, 12 - bob, 8, 14 - bob, fur)
    outline(f)
    return f


def dog_sheet():
    sheet = canvas(4 * F, 4 * F)
    for facing in (DOWN, UP, LEFT, RIGHT):
        for step in range(4):
            paste(sheet, dog_frame(facing, step), step * F, facing * F)
    return sheet


def banana():
    b = canvas(F, F)
    for i in range(9):
        x = 3 + i
        y = 11 - int(round(3 * np.sin(np.pi * i / 8)))
        rect(b, x, y - 1, x, y + 1, (250, 220, 60))
        px(b, x, y + 1, (220, 180, 40))
    rect(b, 2, 10, 2, 11, (110, 80, 30)); rect(b, 12, 9, 12, 10, (110, 80, 30))
    outline(b, (90, 70, 20))
    return b


def fireball():
    """One 28 x 34 frame: the effect sprite shows the whole image."""
    w, h = 28, 34
    f = canvas(w, h)
    ys, xs = np.mgrid[0:h, 0:w]
    cx, cy = 14, 22
    d = np.sqrt((xs - cx) ** 2 + ((ys - cy) * 1.0) ** 2)
    # a teardrop: round bottom, flame tongues pointing up
    rng = np.random.default_rng(7)
    tongue = (ys < cy) & (np.abs(xs - cx) < (ys - 2) * 0.45 + rng.random((h, w)) * 2)
    body = (d < 10) | tongue
    f[body] = (220, 60, 20, 255)
    f[body & ((d < 7) | (tongue & (np.abs(xs - cx) < (ys - 6) * 0.3)))] = (250, 150, 30, 255)
    f[body & (d < 4)] = (255, 240, 140, 255)
    return f


def build(sprites_dir):
    for name, look in LOOKS.items():
        save(walking_sheet(look), "%s/%s.png" % (sprites_dir, name))
    save(dog_sheet(), sprites_dir + "/dog.png")
    save(fireball(), sprites_dir + "/fireball.png")
    from PIL import Image
    img = Image.fromarray(banana(), "RGBA")
    # GIF has one transparent palette index; keep the background clear
    img.save(sprites_dir + "/banana.gif", transparency=0, disposal=2)


if __name__ == "__main__":
    import sys
    build(sys.argv[1] if len(sys.argv) > 1 else ".")
