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


def tile_object(oid, gid, x, y, extra=''):
    return ('<object id="%d" gid="%d" x="%g" y="%g" width="%s" height="%s"%s/>\n'
            % (oid, gid, x, y, extra.get('w', 16) if isinstance(extra, dict) else 16,
               extra.get('h', 16) if isinstance(extra, dict) else 16,
               extra.get('more', '') if isinstance(extra, dict) else extra))


# Tile objects: flips, scaling, quarter turns, a hidden one, a faded layer.
write('tile_objects',
      layer('Ground', cells(lambda r, c: 11))
      + '<objectgroup name="Props">\n'
      + tile_object(1, 1, 0, 16)
      + tile_object(2, 2 | HF, 16, 16)
      + tile_object(3, 3 | VF, 32, 16)
      + tile_object(4, 4 | HF | VF, 48, 16)
      + tile_object(5, 5, 64, 32, {'w': 32, 'h': 32})
      + tile_object(6, 6, 0, 48, {'more': ' rotation="90"'})
      + tile_object(7, 7, 32, 48, {'more': ' rotation="180"'})
      + tile_object(8, 8 | HF, 48, 64, {'more': ' rotation="270"'})
      + tile_object(9, 9, 64, 64, {'more': ' visible="0"'})
      + tile_object(10, 10, 48, 48, {'w': 32, 'h': 8})
      # Overlapping, in the file bottom first: drawn top-down all the same.
      + tile_object(12, 3, 80, 30) + tile_object(13, 4, 72, 24)
      + '</objectgroup>\n'
      + '<objectgroup name="Lanterns" opacity="0.6" draworder="index">\n'
      + tile_object(11, 12, 80, 64)
      # Overlapping and kept in the file's order.
      + tile_object(14, 6, 8, 60) + tile_object(15, 7, 2, 54)
      + '</objectgroup>\n')


# Animated tiles: tile 2 (gid 3) runs through three frames of unequal
# length, tile 7 (gid 8) through two, shown on a tile object too.
ANIMATIONS = ('<tile id="2"><animation><frame tileid="1" duration="300"/><frame tileid="5" duration="200"/>'
              '<frame tileid="9" duration="500"/></animation></tile>\n'
              '<tile id="7"><animation><frame tileid="7" duration="150"/><frame tileid="11" duration="150"/>'
              '</animation></tile>\n')
write('animated',
      layer('Ground', cells(lambda r, c: 1))
      + layer('Water', cells(lambda r, c: 3 if (r + c) % 2 else (8 if r == 3 else 0)))
      + '<objectgroup name="Buoys">\n' + tile_object(1, 8 | HF, 40, 40) + '</objectgroup>\n',
      tiles=ANIMATIONS)


# Parallax and layer offsets: the editor shifts a layer by its offset, and
# by (1 - factor) times the view's distance from the parallax origin.
write('parallax',
      layer('Ground', cells(lambda r, c: 1 + (r * W + c) % 4))
      + layer('Clouds', cells(lambda r, c: 10 if (r, c) in ((1, 1), (2, 4)) else 0),
              ' parallaxx="0.5" parallaxy="0.25"')
      + '<group name="Sky" offsetx="8" offsety="-4">\n'
      + layer('Birds', cells(lambda r, c: 12 if (r, c) in ((0, 2), (3, 3)) else 0), ' offsetx="3" offsety="5"')
      + '</group>\n')


# Image layers: one between tile layers, moved by its offset and faded, one
# with a transparent colour on top, and one hidden.
write('image_layer',
      layer('Ground', cells(lambda r, c: 1 + (r + 2 * c) % 5))
      + '<imagelayer name="Poster" offsetx="20" offsety="8" opacity="0.7">\n'
        ' <image source="../features/plain16.png" width="64" height="48"/>\n</imagelayer>\n'
      + layer('Fence', cells(lambda r, c: 7 if r == 2 else 0))
      + '<imagelayer name="Stamp" offsetx="48" offsety="24">\n'
        ' <image source="../features/keyed16.png" trans="ff00ff" width="64" height="48"/>\n</imagelayer>\n'
      + '<imagelayer name="Hidden" visible="0">\n'
        ' <image source="../features/plain16.png" width="64" height="48"/>\n</imagelayer>\n')


# Image layers repeated across, down and both ways, from offsets that put
# the first picture partly outside the map.
write('image_repeat',
      layer('Ground', cells(lambda r, c: 1 + (r + c) % 5))
      + '<imagelayer name="Wallpaper" offsetx="-30" offsety="-7" repeatx="1" repeaty="1" opacity="0.5">\n'
        ' <image source="../features/plain16.png" width="64" height="48"/>\n</imagelayer>\n'
      + '<imagelayer name="Band" offsetx="25" repeatx="1" opacity="0.8">\n'
        ' <image source="../features/plain16.png" width="64" height="48"/>\n</imagelayer>\n'
      + '<imagelayer name="Column" offsetx="70" offsety="-20" repeaty="1">\n'
        ' <image source="../features/keyed16.png" trans="ff00ff" width="64" height="48"/>\n</imagelayer>\n')


# Tile objects and an image on an infinite map, whose drawn area starts at
# its top-left chunk, left of and above the editor's origin.
with open('../features/infinite.tmx') as source:
    infinite = source.read().replace('source="plain16.png"', 'source="../features/plain16.png"')
with open('infinite_objects.tmx', 'w') as out:
    out.write(infinite.replace('</map>', '<objectgroup name="Props">\n'
                               + tile_object(1, 5, -200, -100) + tile_object(2, 9 | VF, 40, 60)
                               + '</objectgroup>\n<imagelayer name="Sign" offsetx="-120" offsety="30">\n'
                               ' <image source="../features/plain16.png" width="64" height="48"/>\n'
                               '</imagelayer>\n</map>'))


# The tileset's tile offset moves tile objects as it moves cells.
write('object_offsets',
      layer('Ground', cells(lambda r, c: 2))
      + '<objectgroup name="Props">\n'
      + tile_object(1, 5, 16, 32) + tile_object(2, 6 | VF, 40, 40, {'more': ' rotation="90"'})
      + tile_object(3, 7, 64, 60, {'w': 32, 'h': 16})
      + '</objectgroup>\n',
      tiles=' <tileoffset x="3" y="-5"/>\n')
