#!/usr/bin/env python3
"""Rewrites a map exported by velmora_mapc with the tilesets in another order, the walls' embedded,
and the layer data in base64 (zlib, gzip or uncompressed). Usage: retile.py MAP.tmx BUILD FORMAT"""
import base64
import gzip
import sys
import xml.etree.ElementTree as ET
import zlib

source, build, form = sys.argv[1:4]
root = ET.parse(source).getroot()
width, height = int(root.get('width')), int(root.get('height'))
codes = {layer.get('name'): [int(v) for v in layer.find('data').text.replace('\n', '').split(',')]
         for layer in root.findall('layer')}
# (tileset, layer index, tiles in its sheet), in the order the edited map lists them.
order = [('chipset0', 0, 40), ('wall_or_not', 3, 10), ('chipset0_obj', 1, 20), ('chipset0_ceiling', 2, 10),
         ('chipset_event', 4, 20), ('monster_chipset', 5, 10)]
first, next_id = {}, 1
for name, layer, count in order:
    first[layer] = next_id
    next_id += count
out = ['<?xml version="1.0" encoding="UTF-8"?>',
       f'<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="{width}" '
       f'height="{height}" tilewidth="120" tileheight="120" infinite="0" nextlayerid="7" nextobjectid="1">',
       ' <properties>', f'  <property name="name" value="{root.find("properties/property").get("value")}"/>',
       ' </properties>']
for name, layer, count in order:
    if name == 'wall_or_not':
        out += [f' <tileset firstgid="{first[layer]}" name="walls" tilewidth="120" tileheight="120" tilecount="10" '
                'columns="10">', f'  <image source="{build}/run/res/wall_or_not.png" width="1200" height="120"/>',
                ' </tileset>']
    else:
        out.append(f' <tileset firstgid="{first[layer]}" source="{build}/content/tiled/{name}.tsx"/>')
compression = '' if form == 'base64' else f' compression="{form}"'
for index, name in enumerate(['ground', 'objects', 'ceiling', 'walls', 'events', 'monster']):
    ids = [0 if c == 0 else first[index] + c - 180 * index - 1 for c in codes[name]]
    raw = b''.join(v.to_bytes(4, 'little') for v in ids)
    packed = zlib.compress(raw) if form == 'zlib' else gzip.compress(raw, mtime=0) if form == 'gzip' else raw
    out += [f' <layer id="{index + 1}" name="{name}" width="{width}" height="{height}">',
            f'  <data encoding="base64"{compression}>', '   ' + base64.b64encode(packed).decode(), '  </data>',
            ' </layer>']
print('\n'.join(out + ['</map>']))
