#!/usr/bin/python3
"""Writes the maps that hold each Tiled feature the engine draws against
Tiled's own rasterizer: every layer encoding and compression, an infinite
map with chunks left of and above the origin, groups, opacity, tint, a
transparent colour, tile offsets, tiles of several sizes (some larger than
the grid, some turned by a diagonal flip) and tilesets that give no image
size. Run from this directory; needs the zstd command. The output is
committed."""
import base64
import gzip
import struct
import subprocess
import zlib

H, V, D = 0x80000000, 0x40000000, 0x20000000
MAGENTA = (255, 0, 255, 255)


def png(name, width, height, pixel):
    rows = b''.join(b'\0' + b''.join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
    with open(name, 'wb') as out:
        out.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
                  + chunk(b'IDAT', zlib.compress(rows)) + chunk(b'IEND', b''))


def tile_colour(index, x, y):
    # Every pixel of a tile differs from its neighbours and from other tiles.
    return (40 + x * 13 % 200, 40 + y * 17 % 200, 30 + index * 37 % 220, 255)


def tileset_image(name, columns, rows, tw, th, keyed=False):
    def pixel(x, y):
        index = (y // th) * columns + x // tw
        lx, ly = x % tw, y % th
        if keyed and (lx + ly) % 5 == 0:
            return MAGENTA
        return tile_colour(index, lx, ly)
    png(name, columns * tw, rows * th, pixel)


def zstd(raw):
    return subprocess.run(['zstd', '-q', '-c', '-'], input=raw, stdout=subprocess.PIPE, check=True).stdout


def encode(gids, kind):
    raw = b''.join(struct.pack('<I', g) for g in gids)
    if kind == 'xml':
        return '<data>\n' + ''.join('   <tile gid="%d"/>\n' % g for g in gids) + '  </data>'
    if kind == 'csv':
        return '<data encoding="csv">\n' + ','.join(str(g) for g in gids) + '\n</data>'
    if kind == 'base64':
        return '<data encoding="base64">' + base64.b64encode(raw).decode() + '</data>'
    packed = {'zlib': zlib.compress, 'gzip': lambda r: gzip.compress(r, mtime=0), 'zstd': zstd}[kind](raw)
    return ('<data encoding="base64" compression="%s">%s</data>'
            % (kind, base64.b64encode(packed).decode()))


def tileset(first, name, image, size, tw, th, extra='', image_extra='', sized=True):
    dims = ' width="%d" height="%d"' % size if sized else ''
    return (' <tileset firstgid="%d" name="%s" tilewidth="%d" tileheight="%d">\n%s'
            '  <image source="%s"%s%s/>\n </tileset>\n' % (first, name, tw, th, extra, image, image_extra, dims))


def write_map(name, columns, rows, tilesets, body, tw=16, th=16, infinite=False):
    with open(name, 'w') as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="orthogonal" '
                  'renderorder="right-down" width="%d" height="%d" tilewidth="%d" tileheight="%d" '
                  'infinite="%d">\n' % (columns, rows, tw, th, 1 if infinite else 0)
                  + ''.join(tilesets) + body + '</map>\n')


def layer(name, columns, rows, gids, kind='csv', attrs=''):
    return (' <layer name="%s" width="%d" height="%d"%s>\n  %s\n </layer>\n'
            % (name, columns, rows, attrs, encode(gids, kind)))


def pattern(columns, rows, values):
    return [values[(r * 3 + c) % len(values)] for r in range(rows) for c in range(columns)]


tileset_image('plain16.png', 4, 3, 16, 16)
tileset_image('keyed16.png', 4, 3, 16, 16, keyed=True)
tileset_image('big32x48.png', 3, 2, 32, 48)
tileset_image('wide24x16.png', 2, 2, 24, 16)
PLAIN = tileset(1, 'plain', 'plain16.png', (64, 48), 16, 16)
W, R = 6, 4
FLOOR = pattern(W, R, [1, 2 | H, 3 | V, 4 | D, 5 | H | V, 6, 7 | H | D, 8])
UPPER = pattern(W, R, [0, 9, 0, 0, 10 | V, 0, 11 | H, 0, 12])

# Each encoding and compression Tiled writes, one map each.
for kind in ['xml', 'csv', 'base64', 'zlib', 'gzip', 'zstd']:
    write_map('encoding_%s.tmx' % kind, W, R, [PLAIN],
              layer('A', W, R, FLOOR, kind) + layer('B', W, R, UPPER, kind))

# Opacity and visibility of layers.
write_map('opacity.tmx', W, R, [PLAIN],
          layer('A', W, R, FLOOR) + layer('B', W, R, UPPER, attrs=' opacity="0.5"')
          + layer('C', W, R, pattern(W, R, [3, 0, 0, 0]), attrs=' visible="0"')
          + layer('D', W, R, pattern(W, R, [0, 0, 7]), attrs=' opacity="0.25"'))

# Tints, on a layer and through a group; the control map differs only by
# the tints, so a comparison that ignored them would be caught.
TINTED = (layer('A', W, R, FLOOR, attrs=' tintcolor="#ff8040"')
          + ' <group name="G" tintcolor="#80ff80">\n' + layer('B', W, R, UPPER, attrs=' tintcolor="#c0c0ff"')
          + ' </group>\n')
write_map('tint.tmx', W, R, [PLAIN], TINTED)
write_map('tint_control.tmx', W, R, [PLAIN], TINTED.replace(' tintcolor="#ff8040"', '')
          .replace(' tintcolor="#80ff80"', '').replace(' tintcolor="#c0c0ff"', ''))

# Groups: nested opacity, a hidden group, layers after the groups.
write_map('groups.tmx', W, R, [PLAIN],
          layer('A', W, R, FLOOR)
          + ' <group name="G1" opacity="0.5">\n' + layer('B', W, R, UPPER, attrs=' opacity="0.8"')
          + '  <group name="G2">\n' + layer('C', W, R, pattern(W, R, [0, 0, 2 | V]))
          + '  </group>\n </group>\n'
          + ' <group name="G3" visible="0">\n' + layer('D', W, R, pattern(W, R, [4])) + ' </group>\n'
          + layer('E', W, R, pattern(W, R, [0, 0, 0, 0, 12])))

# A transparent colour in the tileset image.
write_map('transparent.tmx', W, R,
          [PLAIN, tileset(13, 'keyed', 'keyed16.png', (64, 48), 16, 16, image_extra=' trans="ff00ff"')],
          layer('A', W, R, FLOOR) + layer('B', W, R, pattern(W, R, [13, 14 | H, 0, 18 | D, 24])))

# Tile offsets, tiles larger than the grid, several tile sizes, and the
# turned size of diagonally flipped tiles that are not square.
BIG = tileset(13, 'big', 'big32x48.png', (96, 96), 32, 48, extra='  <tileoffset x="4" y="-6"/>\n')
WIDE = tileset(19, 'wide', 'wide24x16.png', (48, 32), 24, 16)
MW, MR = 8, 6
write_map('sizes.tmx', MW, MR, [PLAIN, BIG, WIDE],
          layer('A', MW, MR, pattern(MW, MR, [1, 2, 3, 4, 5]))
          + layer('B', MW, MR, [0] * 9 + [13] + [0] * 4 + [15 | D] + [0] * 6 + [16 | H] + [0] * 7
                  + [17 | D | H] + [0] * 5 + [18 | V] + [0] * 12)
          + layer('C', MW, MR, [0] * 2 + [19] + [0] * 8 + [20 | D] + [0] * 13 + [21 | D | V] + [0] * 9
                  + [22 | H | V | D] + [0] * 11 + [22]))
write_map('offset.tmx', W, R,
          [tileset(1, 'plain', 'plain16.png', (64, 48), 16, 16, extra='  <tileoffset x="3" y="5"/>\n')],
          layer('A', W, R, FLOOR) + layer('B', W, R, UPPER))

# Tilesets whose image gives no size, one of them in an external file.
with open('unsized.tsx', 'w') as out:
    out.write('<?xml version="1.0" encoding="UTF-8"?>\n<tileset version="1.8" name="big" tilewidth="32" '
              'tileheight="48">\n <image source="big32x48.png"/>\n</tileset>\n')
write_map('unsized.tmx', W, R,
          [tileset(1, 'plain', 'plain16.png', None, 16, 16, sized=False),
           ' <tileset firstgid="13" source="unsized.tsx"/>\n'],
          layer('A', W, R, FLOOR) + layer('B', W, R, [0] * 13 + [14] + [0] * 3 + [18] + [0] * 6))


# An infinite map whose chunks reach left of and above the origin.
def chunk(x, y, gids, kind):
    return '   <chunk x="%d" y="%d" width="16" height="16">%s</chunk>\n' % (
        x, y, encode(gids, kind).split('>', 1)[1].rsplit('<', 1)[0])


def chunk_gids(seed, hole=False):
    return [0 if hole and (i // 16 + i % 16) % 3 == 0 else 1 + (i * 5 + seed) % 12 for i in range(256)]


def infinite_layer(name, chunks, kind):
    head = '<data encoding="csv">' if kind == 'csv' else '<data encoding="base64" compression="zlib">'
    return (' <layer name="%s" width="32" height="32">\n  %s\n%s  </data>\n </layer>\n'
            % (name, head, ''.join(chunk(x, y, g, kind) for x, y, g in chunks)))


write_map('infinite.tmx', 32, 32, [PLAIN],
          infinite_layer('A', [(-16, -16, chunk_gids(0)), (0, -16, chunk_gids(1)),
                               (-16, 0, chunk_gids(2)), (16, 0, chunk_gids(3))], 'csv')
          + infinite_layer('B', [(0, 0, chunk_gids(4, True)), (-16, -16, chunk_gids(5, True))], 'zlib'),
          infinite=True)
