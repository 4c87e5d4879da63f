"""Draws how the demo's scenes connect, read from the game's own files.

Every portal trigger of every map (portal.lua, portalWithMusic.lua and
lockedPortal.lua, with their targetScene) is a way between two scenes, and
every s:enter(...) in a dialog script is a ride (the ferry). The picture is
an SVG: one box per scene, grouped by region, the ways drawn between them,
a locked way labelled with what opens it.

Run from anywhere: /usr/bin/python3 tools/assets/scene_map.py [OUT.svg]
(default docs/scenes.svg). The output is the same on every run.
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

PORTAL_SCRIPTS = ("portal.lua", "portalWithMusic.lua", "lockedPortal.lua")
BOX_W, BOX_H, SLOT_W, LEVEL_H, TOP, LEFT = 152, 40, 162, 92, 30, 20
FIRST_SCENE = "coastalVillage_start"


def read_scenes():
    """Scene id -> (tile map file, characters), in table order."""
    text = "<root>" + open(os.path.join(ROOT, "assets", "scenes.xml")).read() + "</root>"
    scenes = {}
    for element in ET.fromstring(text).iter("scene"):
        body = "<root>" + open(os.path.join(ROOT, element.get("filename"))).read() + "</root>"
        parsed = ET.fromstring(body)
        names = [c.get("id") for c in parsed.iter("character")]
        scenes[element.get("id")] = (parsed.find("scene").get("filename"), names)
    return scenes


def read_ways(scenes):
    """{(from, to): (label, kind)} for every portal and ride; kind is door,
    locked or ride. A label names the tile of the way in the scene it leaves."""
    ways = {}
    for scene_id, (tmx, _) in scenes.items():
        root = ET.parse(os.path.join(ROOT, tmx)).getroot()
        for obj in root.iter("object"):
            props = {p.get("name"): p.get("value") for p in obj.iter("property")}
            if props.get("script") not in PORTAL_SCRIPTS or "targetScene" not in props:
                continue
            row, col = int(float(obj.get("y"))) // 16, int(float(obj.get("x"))) // 16
            if props["script"] == "lockedPortal.lua":
                ways[(scene_id, props["targetScene"])] = ("(%d,%d) needs %s" % (row, col, props["requires"]), "locked")
            else:
                ways.setdefault((scene_id, props["targetScene"]), ("(%d,%d)" % (row, col), "door"))
    # A dialog that moves the party between two scenes is a ride both ways.
    dialogs = os.path.join(ROOT, "assets", "dialogs")
    for name in sorted(os.listdir(dialogs)):
        root = ET.parse(os.path.join(dialogs, name)).getroot()
        targets = []
        for script in root.iter("script"):
            targets += re.findall(r's:enter\("(\w+)"', script.text or "")
        if len(targets) == 2:
            ways[(targets[1], targets[0])] = ("ferry: " + root.findtext("name", name), "ride")
            ways[(targets[0], targets[1])] = ("ferry: " + root.findtext("name", name), "ride")
    return ways


def spanning_tree(scenes, ways):
    """Breadth first from the first scene: each scene's parent and children."""
    children = {s: [] for s in scenes}
    parent = {FIRST_SCENE: None}
    queue = [FIRST_SCENE]
    while queue:
        scene = queue.pop(0)
        for (a, b) in ways:
            if a == scene and b in scenes and b not in parent:
                parent[b] = scene
                children[scene].append(b)
                queue.append(b)
    return parent, children


def layout(children):
    """A tidy tree: leaves in slots from the left, parents over the middle of
    their children, one level per step from the first scene."""
    positions = {}
    next_slot = [0]

    def place(scene, depth):
        kids = children[scene]
        for kid in kids:
            place(kid, depth + 1)
        if kids:
            x = (positions[kids[0]][0] + positions[kids[-1]][0]) / 2
        else:
            x = LEFT + next_slot[0] * SLOT_W
            next_slot[0] += 1
        positions[scene] = (x, TOP + depth * LEVEL_H)

    place(FIRST_SCENE, 0)
    return positions


def svg(scenes, ways, parent, positions):
    width = int(max(x for x, _ in positions.values())) + BOX_W + LEFT
    height = int(max(y for _, y in positions.values())) + BOX_H + 50
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" font-family="sans-serif" '
           'font-size="10">' % (width, height),
           '<rect width="100%" height="100%" fill="#fdfaf2"/>',
           '<defs><marker id="arrow" markerWidth="8" markerHeight="8" refX="7" refY="4" orient="auto">'
           '<path d="M0,0 L8,4 L0,8 z" fill="#555"/></marker></defs>']
    for scene, above in sorted(parent.items()):
        if above is None:
            continue
        out.append(edge(positions[above], positions[scene], ways[(above, scene)], (scene, above) in ways))
    for scene, (x, y) in positions.items():
        people = ", ".join(n for n in scenes[scene][1] if not n.startswith(("townsfolk", "brazier")))
        out.append('<rect x="%d" y="%d" width="%d" height="%d" rx="6" fill="#ffffff" stroke="#333"/>'
                   % (x, y, BOX_W, BOX_H))
        out.append('<text x="%d" y="%d" font-weight="bold" font-size="11">%s</text>' % (x + 6, y + 16, scene))
        out.append('<text x="%d" y="%d" fill="#555">%s</text>' % (x + 6, y + 31, people[:30]))
    out.append('<text x="%d" y="%d" fill="#555">Grey: doors and map edges, both ways, with the tile of the '
               'way out of the upper scene. Red: locked until the party carries the item. Blue, dashed: '
               'the ferry.</text>' % (LEFT, height - 16))
    out.append("</svg>")
    return "\n".join(out) + "\n"


def edge(upper, lower, way, both_ways):
    label, kind = way
    x1, y1 = upper[0] + BOX_W / 2, upper[1] + BOX_H
    x2, y2 = lower[0] + BOX_W / 2, lower[1]
    colour = {"door": "#666", "locked": "#b22", "ride": "#26a"}[kind]
    dash = ' stroke-dasharray="6,4"' if kind == "ride" else ""
    one_way = "" if both_ways else ' marker-end="url(#arrow)"'
    return ('<path d="M%d,%d C%d,%d %d,%d %d,%d" fill="none" stroke="%s" stroke-width="1.5"%s%s/>'
            '<text x="%d" y="%d" fill="%s" text-anchor="middle">%s</text>'
            % (x1, y1, x1, (y1 + y2) / 2, x2, (y1 + y2) / 2, x2, y2, colour, dash, one_way,
               x2, y2 - 5, colour, label))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs", "scenes.svg")
    scenes = read_scenes()
    ways = read_ways(scenes)
    parent, children = spanning_tree(scenes, ways)
    with open(out, "w") as f:
        f.write(svg(scenes, ways, parent, layout(children)))


if __name__ == "__main__":
    main()
