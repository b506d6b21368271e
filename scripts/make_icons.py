#!/usr/bin/env python3
"""Draws the application icon and the two document icons as pixel art in the editor's palette:
16 x 16 pictures, written as SVG (one square per pixel) and as PNG at 16, 32, 48, 64, 128 and
256 pixels (each pixel an even block). Run it when the pictures below change; the output is
committed under data/desktop/icons/."""
import os
import struct
import sys
import zlib

# Palette colours (index: RGB) the pictures use.
PALETTE = {
    '.': None,                 # transparent
    'k': (0, 0, 0),            # 0
    'b': (12, 44, 132),        # 29 dark blue
    'B': (0, 152, 204),        # 92 light blue
    'g': (20, 128, 20),        # 28 green
    'G': (40, 208, 40),        # 34 light green
    'r': (208, 40, 40),        # 23 red
    'y': (248, 232, 44),       # 94 yellow
    'w': (255, 255, 255),      # 15 white
    'd': (84, 84, 84),         # 8 dark grey
    'l': (188, 188, 188),      # 21 light grey
    'n': (84, 40, 0),          # 24 brown
    'o': (252, 108, 12),       # 43 orange
}

# The editor: a locomotive on a pixel grid, a pencil at its side.
APP = [
    "................",
    ".bbbbbbbbbbbbbb.",
    ".bBBBBBBBBBBBBb.",
    ".bBBBBBBBBBBoyb.",
    ".bBBBBBBBBBoyBb.",
    ".bBrrrrrrBoyBBb.",
    ".bBrwwrrroyBBBb.",
    ".bBrwwrrrrBBBBb.",
    ".bBrrrrrrrrrBBb.",
    ".bBrrrrrrrrrrBb.",
    ".bBrrrrrrrrrrBb.",
    ".bBBkkBBBBkkBBb.",
    ".bgGkkGGGGkkGgb.",
    ".bnnnnnnnnnnnnb.",
    ".bbbbbbbbbbbbbb.",
    "................",
]

# A scenery file: a sheet with a tree and a house.
SCENERY = [
    "..wwwwwwwwww....",
    "..wllllllllww...",
    "..wlGGllllllww..",
    "..wGGGGllllllw..",
    "..wGGGGlrrrrlw..",
    "..wlGGlrrrrrrw..",
    "..wlnnlywwywlw..",
    "..wlnnlywwywlw..",
    "..wggggggggggw..",
    "..wggggggggggw..",
    "..wllllllllllw..",
    "..wlddddddddlw..",
    "..wllllllllllw..",
    "..wlddddddllw...",
    "..wllllllllllw..",
    "..wwwwwwwwwwww..",
]

# A vehicle file: a sheet with a car on rails.
VEHICLES = [
    "..wwwwwwwwww....",
    "..wllllllllww...",
    "..wllllllllllw..",
    "..wlrrrrrrrrlw..",
    "..wlrwwrwwrrlw..",
    "..wlrwwrwwrrlw..",
    "..wlrrrrrrrrlw..",
    "..wllkklkklllw..",
    "..wddddddddddw..",
    "..wllllllllllw..",
    "..wlbbbbbbbblw..",
    "..wlbBBbBBbblw..",
    "..wlbbbbbbbblw..",
    "..wllkklkklllw..",
    "..wddddddddddw..",
    "..wwwwwwwwwwww..",
]

SIZES = [16, 32, 48, 64, 128, 256]


def svg(picture):
    rects = []
    for y, row in enumerate(picture):
        for x, key in enumerate(row):
            colour = PALETTE[key]
            if colour is not None:
                rects.append('<rect x="%d" y="%d" width="1" height="1" fill="#%02x%02x%02x"/>' % ((x, y) + colour))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16" '
            'shape-rendering="crispEdges">\n' + '\n'.join(rects) + '\n</svg>\n')


def png(picture, size):
    scale = size // 16
    lines = []
    for y in range(size):
        row = picture[y // scale]
        line = bytearray([0])  # filter: none
        for x in range(size):
            colour = PALETTE[row[x // scale]]
            line += bytes(colour + (255,)) if colour is not None else bytes(4)
        lines.append(bytes(line))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(b''.join(lines), 9))
            + chunk(b'IEND', b''))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'data', 'desktop', 'icons')
    pictures = {
        ('apps', 'de.zobl.GraphicsEditor'): APP,
        ('mimetypes', 'application-x-zobl-scenery'): SCENERY,
        ('mimetypes', 'application-x-zobl-vehicles'): VEHICLES,
    }
    for (context, name), picture in pictures.items():
        assert len(picture) == 16 and all(len(row) == 16 for row in picture), name
        folder = os.path.join(root, 'scalable', context)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name + '.svg'), 'w') as out:
            out.write(svg(picture))
        for size in SIZES:
            folder = os.path.join(root, '%dx%d' % (size, size), context)
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, name + '.png'), 'wb') as out:
                out.write(png(picture, size))


if __name__ == '__main__':
    main()
