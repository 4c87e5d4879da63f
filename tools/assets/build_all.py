"""Rebuilds every generated file of the demo game under assets/.

Run from anywhere with /usr/bin/python3 tools/assets/build_all.py; the
output is the same on every run.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # keep the source tree free of caches

import classes  # noqa: E402
import gui_theme  # noqa: E402
import sounds  # noqa: E402
import sprites  # noqa: E402
import tileset  # noqa: E402
import world  # noqa: E402


def main():
    assets = os.path.join(ROOT, "assets")
    for d in ("maps/region1/coastalVillage", "maps/region1/town", "maps/region1/boss",
              "sprites", "sound/SFX"):
        os.makedirs(os.path.join(assets, d), exist_ok=True)
    tileset.build(os.path.join(assets, "maps/region1/tileset.png"))
    sprites.build(os.path.join(assets, "sprites"))
    gui_theme.build(os.path.join(assets, "sprites/guiPanel.png"))
    world.build(ROOT)
    classes.build(os.path.join(assets, "classes.xml"))
    if "--no-sound" not in sys.argv:
        sounds.build(os.path.join(assets, "sound"))


if __name__ == "__main__":
    main()
