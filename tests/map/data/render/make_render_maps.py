#!/usr/bin/python3
"""Writes the tilesets and maps that the map preview is compared on against
Tiled's own rasterizer: every flip combination, several layers with holes,
and tilesets with margin and spacing, equal and unequal. Run from this
directory; the output is committed."""
import struct
import base64
from PIL import Image

GAP = (255, 0, 255, 255)
H, V, D = 0x80000000, 0x40000000, 0x20000000
FLIPS = [0, H, V, D, H | V, H | D, V | D, H | V | D]


def tile_pixel(index, x, y, width, height):
    # Every pixel of a tile differs from every other, so any flip, shift or
    # wrong tile shows.
    if index == 5 and width // 4 <= x < 3 * width // 4 and height // 4 <= y < 3 * height // 4:
        return (0, 0, 0, 0)  # a hole: lower layers must show through
    return (30 + x * 13 % 220, 30 + y * 13 % 220, 20 + index * 19 % 230, 255)


def tileset(name, columns, rows, tw, th, margin, spacing, right_margin=0, bottom_margin=0):
    width = margin + columns * tw + (columns - 1) * spacing + right_margin
    height = margin + rows * th + (rows - 1) * spacing + bottom_margin
    image = Image.new('RGBA', (width, height), GAP)
    for r in range(rows):
        for c in range(columns):
            for y in range(th):
                for x in range(tw):
                    px = margin + c * (tw + spacing) + x
                    py = margin + r * (th + spacing) + y
                    image.putpixel((px, py), tile_pixel(r * columns + c, x, y, tw, th))
    image.save(name)
    return width, height


def csv(gids, columns):
    rows = [','.join(str(g) for g in gids[i:i + columns]) for i in range(0, len(gids), columns)]
    return '<data encoding="csv">\n' + ',\n'.join(rows) + '\n</data>'


def b64(gids, columns):
    return ('<data encoding="base64">' +
            base64.b64encode(b''.join(struct.pack('<I', g) for g in gids)).decode() + '</data>')


def xml(gids, columns):
    return '<data>\n' + ''.join('   <tile gid="%d"/>\n' % g for g in gids) + '  </data>'


def level(name, image, size, tw, th, margin, spacing, columns, rows, layers, encode=csv,
          external=False):
    attrs = 'tilewidth="%d" tileheight="%d" spacing="%d" margin="%d"' % (tw, th, spacing, margin)
    body = '  <image source="%s" width="%d" height="%d"/>\n' % (image, size[0], size[1])
    if external:
        tsx = name.replace('.tmx', '.tsx')
        with open(tsx, 'w') as out:
            out.write('<?xml version="1.0" encoding="UTF-8"?>\n<tileset version="1.8" '
                      'name="t" %s>\n%s</tileset>\n' % (attrs, body))
        tileset_xml = ' <tileset firstgid="1" source="%s"/>\n' % tsx
    else:
        tileset_xml = ' <tileset firstgid="1" name="t" %s>\n%s </tileset>\n' % (attrs, body)
    text = ('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="orthogonal" '
            'renderorder="right-down" width="%d" height="%d" tilewidth="%d" tileheight="%d" '
            'infinite="0">\n' % (columns, rows, tw, th)) + tileset_xml
    for number, (layer_name, gids) in enumerate(layers, 1):
        text += (' <layer id="%d" name="%s" width="%d" height="%d">\n  %s\n </layer>\n'
                 % (number, layer_name, columns, rows, encode(gids, columns)))
    with open(name, 'w') as out:
        out.write(text + '</map>\n')


def every_flip(tiles, columns, rows, flips=FLIPS):
    # Each row walks the flip combinations over a different tile.
    gids = []
    for r in range(rows):
        for c in range(columns):
            gids.append((tiles[(r + c // len(flips)) % len(tiles)] + 1) | flips[c % len(flips)])
    return gids


def sparse(columns, rows, pattern):
    return [pattern[(r * columns + c) % len(pattern)] for r in range(rows) for c in range(columns)]


plain = tileset('plain.png', 4, 3, 16, 16, 0, 0)
equal = tileset('margin_equal.png', 4, 3, 16, 16, 2, 2)        # no margin on the far sides
unequal = tileset('margin_unequal.png', 4, 3, 16, 16, 3, 1, 3, 3)
# Tiled draws a diagonally flipped tile that is not square at its turned
# size, reaching over its neighbours; the engine keeps every tile in its
# cell. Maps of such tiles therefore use only horizontal and vertical flips.
oblong = tileset('oblong.png', 4, 3, 16, 12, 1, 3, 0, 2)
FLAT_FLIPS = [0, H, V, H | V]

LAYERS_8x6 = [
    ('Floor', every_flip([0, 1, 6, 11], 8, 6)),
    ('Furniture', sparse(8, 6, [0, 0, 6 | H, 0, 3 | V | D, 0, 0, 12])),
    ('Roof', sparse(8, 6, [0, 7 | H | V | D, 0, 0, 0, 10 | D, 0])),
]
level('flips.tmx', 'plain.png', plain, 16, 16, 0, 0, 8, 6, LAYERS_8x6)
level('flips_base64_tsx.tmx', 'plain.png', plain, 16, 16, 0, 0, 8, 6, LAYERS_8x6, b64, True)
level('margin_equal.tmx', 'margin_equal.png', equal, 16, 16, 2, 2, 8, 6, LAYERS_8x6, xml)
level('margin_unequal.tmx', 'margin_unequal.png', unequal, 16, 16, 3, 1, 8, 6, LAYERS_8x6)
# The hole of tile 6 over flips of its neighbours, in a wide map of oblong
# tiles whose tileset has unequal margin and spacing.
level('oblong.tmx', 'oblong.png', oblong, 16, 12, 1, 3, 16, 3,
      [('Floor', every_flip([2, 9, 4, 11], 16, 3, FLAT_FLIPS)),
       ('Top', sparse(16, 3, [6, 6 | H, 0, 6 | V, 0, 6 | H | V]))])
