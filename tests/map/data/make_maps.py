#!/usr/bin/python3
"""Writes the tile maps the loader tests read: one map saved in every layer
encoding the editor offers (XML tiles, CSV, base64, external tileset) and a
set of broken maps. Run from this directory; the output is committed."""
import base64
import struct

HEADER = '<?xml version="1.0" encoding="UTF-8"?>\n'
MAP_OPEN = ('<map version="1.8" orientation="orthogonal" renderorder="right-down" '
            'width="5" height="4" tilewidth="16" tileheight="16" infinite="0">\n')
TILESET_BODY = '  <image source="tiles.png" width="320" height="480"/>\n'
TILESET = (' <tileset firstgid="1" name="tiles" tilewidth="16" tileheight="16">\n'
           + TILESET_BODY + ' </tileset>\n')
H, V, D = 0x80000000, 0x40000000, 0x20000000

FLOOR = [1, 2 | H, 21, 0, 40,
         3 | V, 4 | D, 5 | H | V | D, 6 | H | D, 20,
         41, 0, 0, 7 | V | D, 8 | H | V,
         9, 10, 11, 12, 13]
UPPER = [0] * 20
UPPER[6] = 22
UPPER[13] = 2 | H | V
PASS = [0, 521, 522, 523, 524,
        541, 542, 543, 544, 561,
        562, 563, 564, 581, 582,
        583, 1, 521 | H, 0, 0]

TRIGGERS = ''' <objectgroup id="5" name="Triggers">
  <object id="1" x="32" y="48">
   <properties>
    <property name="ScriptFile" value="portal.lua"/>
    <property name="Target" value="town_main"/>
    <property name="row" value="5"/>
   </properties>
  </object>
  <object id="2" x="0" y="0" width="48" height="32">
   <properties>
    <property name="script" value="wanderRegion.lua"/>
   </properties>
  </object>
  <object id="3" x="64" y="32" width="48" height="48">
   <properties>
    <property name="scriptName" value="edge.lua"/>
    <property name="note">long text</property>
   </properties>
  </object>
  <object id="4" x="-32" y="-32" width="16" height="16">
   <properties>
    <property name="script" value="outside.lua"/>
   </properties>
  </object>
  <object id="5" x="16" y="16"/>
 </objectgroup>
 <objectgroup id="6" name="Decorations" width="5" height="4">
  <object id="6" x="16" y="16">
   <properties><property name="script" value="ignored.lua"/></properties>
  </object>
 </objectgroup>
'''


def data_xml(gids):
    return ('  <data>\n' + ''.join('   <tile gid="%d"/>\n' % g for g in gids) + '  </data>\n')


def data_csv(gids):
    rows = [','.join(str(g) for g in gids[i:i + 5]) for i in range(0, len(gids), 5)]
    return '  <data encoding="csv">\n' + ',\n'.join(rows) + '\n</data>\n'


def data_base64(gids):
    raw = b''.join(struct.pack('<I', g) for g in gids)
    return '  <data encoding="base64">\n   ' + base64.b64encode(raw).decode() + '\n  </data>\n'


def layer(name, gids, encode, extra=''):
    return (' <layer id="1" name="%s" width="5" height="4"%s>\n' % (name, extra)
            + encode(gids) + ' </layer>\n')


def level(encode, tileset=TILESET):
    return (HEADER + MAP_OPEN + tileset + layer('Floor', FLOOR, encode)
            + layer('Passability', PASS, encode) + layer('PASSABILITY', UPPER, encode)
            + TRIGGERS + '</map>\n')


def write(name, text):
    with open(name, 'w') as out:
        out.write(text)


write('level_xml.tmx', level(data_xml))
write('level_csv.tmx', level(data_csv))
write('level_base64.tmx', level(data_base64))
write('level_tsx.tmx', level(data_csv, ' <tileset firstgid="1" source="sets/tiles.tsx"/>\n'))
write('sets/tiles.tsx', HEADER + '<tileset version="1.8" name="tiles" tilewidth="16" '
      'tileheight="16" tilecount="600" columns="20">\n <image source="../tiles.png" '
      'width="320" height="480"/>\n</tileset>\n')
write('only_passability.tmx', HEADER + MAP_OPEN + TILESET + layer('Passability', PASS, data_csv)
      + '</map>\n')


def broken(name, text):
    write('bad/' + name, text)


def simple(tileset=TILESET, layers=None):
    return HEADER + MAP_OPEN + tileset + (layers or layer('Floor', FLOOR, data_csv)) + '</map>\n'


broken('compressed.tmx', simple(layers=' <layer name="Floor" width="5" height="4">\n'
       '  <data encoding="base64" compression="zlib">eJxjYGBgAAAABAAB</data>\n </layer>\n'))
broken('short_data.tmx', simple(layers=layer('Floor', FLOOR[:17], data_xml)))
broken('short_csv.tmx', simple(layers=layer('Floor', FLOOR[:19], data_csv)))
broken('short_base64.tmx', simple(layers=layer('Floor', FLOOR[:10], data_base64)))
broken('bad_csv.tmx', simple(layers=' <layer name="Floor" width="5" height="4">\n'
       '  <data encoding="csv">1,2,x,4</data>\n </layer>\n'))
broken('bad_base64.tmx', simple(layers=' <layer name="Floor" width="5" height="4">\n'
       '  <data encoding="base64">AAA*AAAA</data>\n </layer>\n'))
broken('no_tileset.tmx', simple(tileset=''))
broken('no_image.tmx', simple(tileset=' <tileset firstgid="1" tilewidth="16" tileheight="16">\n'
       ' </tileset>\n'))
broken('no_image_source.tmx', simple(tileset=' <tileset firstgid="1" tilewidth="16" '
       'tileheight="16">\n  <image width="320" height="480"/>\n </tileset>\n'))
broken('no_data.tmx', simple(layers=' <layer name="Floor" width="5" height="4"/>\n'))
broken('no_layer_name.tmx', simple(layers=' <layer width="5" height="4">\n' + data_csv(FLOOR)
       + ' </layer>\n'))
broken('zero_tile_size.tmx', simple(tileset=' <tileset firstgid="1" tilewidth="0" '
       'tileheight="16">\n' + TILESET_BODY + ' </tileset>\n'))
broken('nonnumeric_size.tmx', simple(layers=' <layer name="Floor" width="five" height="4">\n'
       + data_csv(FLOOR) + ' </layer>\n'))
broken('nonnumeric_tile_size.tmx', simple(tileset=' <tileset firstgid="1" tilewidth="16px" '
       'tileheight="16">\n' + TILESET_BODY + ' </tileset>\n'))
broken('tiny_image.tmx', simple(tileset=' <tileset firstgid="1" tilewidth="16" tileheight="16">\n'
       '  <image source="tiles.png" width="8" height="480"/>\n </tileset>\n'))
broken('missing_tsx.tmx', simple(tileset=' <tileset firstgid="1" source="nowhere.tsx"/>\n'))
broken('not_xml.tmx', HEADER + '<map><layer name="Floor"></map>\n')
broken('no_map.tmx', HEADER + '<world/>\n')
broken('huge_size.tmx', simple(layers=' <layer name="Floor" width="100000" height="100000">\n'
       + data_csv(FLOOR) + ' </layer>\n'))
broken('huge_tile_size.tmx', simple(tileset=' <tileset firstgid="1" tilewidth="70000" '
       'tileheight="16">\n' + TILESET_BODY + ' </tileset>\n'))


def odd_trigger_group(fraction_y):
    """A sized "Triggers" group of objects the loader must keep inside its grid."""
    return '''\
 <objectgroup name="Triggers" width="3" height="2">
  <object id="1" x="abc" y="0">
   <properties><property name="script" value="bad.lua"/></properties>
  </object>
  <object id="2" x="16" y="0" width="1e15" height="16">
   <properties><property name="script" value="wide.lua"/></properties>
  </object>
  <object id="3" x="-8" y="0" width="16" height="16">
   <properties><property name="script" value="left.lua"/></properties>
  </object>
  <object id="4" x="0.5" y="%s" width="16.7" height="16">
   <properties><property name="script" value="fraction.lua"/><property name="Script" value="later.lua"/></properties>
  </object>
 </objectgroup>
''' % fraction_y


# The last "Triggers" group wins over the earlier ones.
write('odd_triggers.tmx', HEADER + MAP_OPEN + TILESET + layer('Floor', FLOOR, data_csv)
      + odd_trigger_group('31.9') + '''\
 <objectgroup name="Triggers">
  <object x="0" y="0"><properties><property name="script" value="ignored.lua"/></properties></object>
 </objectgroup>
''' + odd_trigger_group('16') + '</map>\n')

# A group claiming a size far beyond its map: its grid must stay the map's size.
write('huge_trigger_group.tmx', HEADER + MAP_OPEN + TILESET + layer('Floor', FLOOR, data_csv) + '''\
 <objectgroup name="Triggers" width="2000000" height="2000000">
  <object x="64" y="48"><properties><property name="ScriptFileName" value="corner.lua"/></properties></object>
 </objectgroup>
</map>
''')


# Compressed data that is damaged, and maps the engine cannot draw.
def packed_layer(method, payload):
    return (' <layer name="Floor" width="5" height="4">\n  <data encoding="base64" compression="%s">%s</data>\n'
            ' </layer>\n' % (method, payload))


import gzip
import zlib
RAW = b''.join(struct.pack('<I', g) for g in FLOOR)
ZLIB = zlib.compress(RAW)
GZIP = bytearray(gzip.compress(RAW, mtime=0))
GZIP[-4:] = struct.pack('<I', len(RAW) + 4)  # the trailer's length no longer matches
broken('zlib_truncated.tmx', simple(layers=packed_layer('zlib', base64.b64encode(ZLIB[:len(ZLIB) // 2]).decode())))
broken('zlib_short.tmx', simple(layers=packed_layer('zlib', base64.b64encode(zlib.compress(RAW[:40])).decode())))
broken('gzip_wrong_size.tmx', simple(layers=packed_layer('gzip', base64.b64encode(bytes(GZIP)).decode())))
broken('zstd_garbage.tmx', simple(layers=packed_layer('zstd', base64.b64encode(bytes(range(7, 90, 3))).decode())))
broken('compressed_bad_base64.tmx', simple(layers=packed_layer('zlib', 'eJxj*GBgAAAABAAB')))
broken('unknown_compression.tmx', simple(layers=packed_layer('lzma', base64.b64encode(ZLIB).decode())))
for orientation in ['isometric', 'staggered', 'hexagonal']:
    broken(orientation + '.tmx', simple().replace('orientation="orthogonal"', 'orientation="%s"' % orientation))
broken('no_image_size.tmx', simple(tileset=' <tileset firstgid="1" tilewidth="16" tileheight="16">\n'
       '  <image source="nowhere.png"/>\n </tileset>\n'))

# A spacing near the int range: one tile still fits across and down.
write('huge_spacing.tmx', simple(tileset=' <tileset firstgid="1" tilewidth="16" tileheight="16" '
      'spacing="2147483647" margin="0">\n' + TILESET_BODY + ' </tileset>\n'))

# An infinite map with a chunk above and left of the origin, and a trigger
# at the origin, which lands 16 cells right of and below the grid's corner.
write('infinite_triggers.tmx', HEADER + MAP_OPEN.replace('infinite="0"', 'infinite="1"') + TILESET + '''\
 <layer name="Floor" width="5" height="4">
  <data encoding="csv">
   <chunk x="-16" y="-16" width="16" height="16">%s</chunk>
   <chunk x="0" y="0" width="16" height="16">%s</chunk>
  </data>
 </layer>
 <layer name="Passability" width="5" height="4">
  <data encoding="csv">
   <chunk x="0" y="0" width="16" height="16">%s</chunk>
  </data>
 </layer>
 <objectgroup name="Triggers">
  <object x="0" y="0"><properties><property name="script" value="origin.lua"/></properties></object>
 </objectgroup>
</map>
''' % (','.join(['7'] + ['1'] * 255), ','.join(['9'] + ['2'] * 255), ','.join(['583'] + ['0'] * 255)))
