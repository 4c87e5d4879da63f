#!/usr/bin/python3
"""Writes the maps that hold the engine to the editor's own drawing of
layer order (names that follow no convention, sprites between layers), tile
objects, animated tiles, image layers and parallax. Run from this
directory; the output is committed. The pictures come from ../features."""

W, H = 6, 4
TILESET = ('<tileset firstgid="1" name="plain" tilewidth="16" tileheight="16">\n'
           ' <image source="../features/plain16.png" width="64" height="48"/>\n{tiles}</tileset>\n')
HF, VF, DF = 0x80000000, 0x40000000, 0x20000000


def layer(name, gids, extra='', inner=''):
    return ('<layer name="%s" width="%d" height="%d"%s>\n%s <data encoding="csv">\n%s\n</data>\n</layer>\n'
            % (name, W, H, extra, inner, ','.join(str(g) for g in gids)))


def write(name, body, tiles='', width=W, height=H):
    with open(name + '.tmx', 'w') as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                  '<map version="1.10" orientation="orthogonal" renderorder="right-down" width="%d" height="%d" '
                  'tilewidth="16" tileheight="16" infinite="0">\n' % (width, height)
                  + TILESET.format(tiles=tiles) + body + '</map>\n')


def cells(pick):
    return [pick(r, c) for r in range(H) for c in range(W)]


# Names in reverse alphabetical order of the editor's order: drawn by name
# the water would cover everything.
write('layer_order',
      layer('Water', cells(lambda r, c: 1 + (r + c) % 3))
      + layer('Bridge', cells(lambda r, c: 5 if r == 1 else 0))
      + '<objectgroup name="Characters"/>\n'
      + '<group name="Above">\n'
      + layer('Awning', cells(lambda r, c: 9 if c in (1, 4) else 0))
      + '</group>\n'
      + layer('Aardvark', cells(lambda r, c: 12 if (r, c) == (3, 5) else 0)))
# The sprites' place named by a property on a tile layer.
write('sprites_marked',
      layer('Sea', cells(lambda r, c: 2))
      + layer('Reef', cells(lambda r, c: 6 if c < 3 else 0),
              inner=' <properties><property name="sprites" type="bool" value="true"/></properties>\n')
      + layer('Mist', cells(lambda r, c: 10 if r == 2 else 0)))
