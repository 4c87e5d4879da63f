"""Writes assets/classes.xml: three classes of ten levels each.

Per-level gains grow slowly with the level, and abilities are granted at
fixed levels, so the table is easier to keep balanced as code than by hand.
"""

CLASSES = [
    # name, prerequisite, description, per-level gains, ability grants by level
    ("Warrior", "none", "Anyone can take up a sword.",
     dict(str=2, dex=1, int=0, HP=6, Fat=2, atk=2, dodge=1, damagePhysical=1, defense=1, glancing=1),
     {1: ["slash"], 3: ["taunt"], 5: ["heavyBlow"], 8: ["cleave"]}),
    ("Mage", "none", "Anyone who can read may study magic.",
     dict(str=0, dex=1, int=2, HP=3, Fat=5, atk=1, dodge=1, damageMagical=2, resistance=2),
     {1: ["firebolt"], 2: ["focus"], 4: ["bless"], 7: ["fireball"]}),
    ("Rogue", "Warrior", "Only a seasoned Warrior (level 10) learns the rogue's tricks.",
     dict(str=1, dex=2, int=1, HP=4, Fat=3, atk=3, dodge=2, damagePhysical=1, crit=1),
     {1: ["stab"], 6: ["focus"]}),
]


def level_element(level, gains, grants):
    attrs = ['level="%d"' % level]
    for key, value in gains.items():
        # a small bonus every third level keeps later levels worth having
        attrs.append('%s="%d"' % (key, value + (1 if value and level % 3 == 0 else 0)))
    if level in (4, 8):
        attrs.append('move="1"')
    lines = ['  <level %s' % ' '.join(attrs) + ('>' if grants else '/>')]
    for name in grants:
        lines.append('    <grant type="ability" name="%s"/>' % name)
    if grants:
        lines.append('  </level>')
    return lines


def build(path):
    out = ['<!-- Character classes. Each child of a class is one level, in order',
           '     from 1 to 10: the stat gains of that level and what it grants. -->']
    for name, prereq, desc, gains, grants in CLASSES:
        out.append('<class name="%s" prerequisiteClass="%s" prerequisiteDescription="%s">'
                   % (name, prereq, desc))
        for level in range(1, 11):
            out.extend(level_element(level, gains, grants.get(level, [])))
        out.append('</class>')
    with open(path, "w") as f:
        f.write('\n'.join(out) + '\n')


if __name__ == "__main__":
    import sys
    build(sys.argv[1] if len(sys.argv) > 1 else "classes.xml")
