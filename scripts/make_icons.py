#!/usr/bin/env python3
"""Draws the application icon and the two document icons as pixel art in the editor's palette:
16 x 16 pictures, written as SVG (one square per pixel) and as PNG at 16, 32, 48, 64, 128 and
256 pixels (each pixel an even block). Run it when the pictures below change; the output is
committed under data/desktop/icons/, installed for the desktop, and the editor's window icon is
built from it. With --check it writes nothing and fails when the committed pictures are not
these."""
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


PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'


def png_header(size):
    return struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA


def png_lines(picture, size):
    scale = size // 16
    lines = []
    for y in range(size):
        row = picture[y // scale]
        line = bytearray([0])  # filter: none
        for x in range(size):
            colour = PALETTE[row[x // scale]]
            line += bytes(colour + (255,)) if colour is not None else bytes(4)
        lines.append(bytes(line))
    return b''.join(lines)


def png(picture, size):
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (PNG_SIGNATURE + chunk(b'IHDR', png_header(size))
            + chunk(b'IDAT', zlib.compress(png_lines(picture, size), 9)) + chunk(b'IEND', b''))


def png_content(data):
    """Header and uncompressed lines of a PNG as png() writes it: another zlib may pack the same
    lines into other bytes."""
    if not data.startswith(PNG_SIGNATURE):
        return None
    header, packed, pos = None, b'', len(PNG_SIGNATURE)
    while pos + 8 <= len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            header = body
        elif kind == b'IDAT':
            packed += body
        pos += 12 + length
    try:
        return header, zlib.decompress(packed)
    except zlib.error:
        return None


PICTURES = {
    ('apps', 'de.zobl.GraphicsEditor'): APP,
    ('mimetypes', 'application-x-zobl-scenery'): SCENERY,
    ('mimetypes', 'application-x-zobl-vehicles'): VEHICLES,
}


def outputs():
    """(path below the icon folder, picture, size or None for the SVG) of every file written."""
    for (context, name), picture in PICTURES.items():
        assert len(picture) == 16 and all(len(row) == 16 for row in picture), name
        yield os.path.join('scalable', context, name + '.svg'), picture, None
        for size in SIZES:
            yield os.path.join('%dx%d' % (size, size), context, name + '.png'), picture, size


def write(root):
    for path, picture, size in outputs():
        target = os.path.join(root, path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        if size is None:
            with open(target, 'w') as out:
                out.write(svg(picture))
        else:
            with open(target, 'wb') as out:
                out.write(png(picture, size))


def check(root):
    stale = []
    for path, picture, size in outputs():
        try:
            with open(os.path.join(root, path), 'rb') as committed:
                data = committed.read()
        except OSError:
            stale.append(path + ' (missing)')
            continue
        if size is None:
            same = data == svg(picture).encode()
        else:
            same = png_content(data) == (png_header(size), png_lines(picture, size))
        if not same:
            stale.append(path)
    for path in stale:
        print('not the drawing of make_icons.py: ' + path, file=sys.stderr)
    if stale:
        print('run scripts/make_icons.py and commit what it writes', file=sys.stderr)
    return not stale


def main():
    args = sys.argv[1:]
    checking = args[:1] == ['--check']
    if checking:
        args = args[1:]
    root = args[0] if args else os.path.join(os.path.dirname(__file__), '..', 'data', 'desktop', 'icons')
    if checking:
        sys.exit(0 if check(root) else 1)
    write(root)


if __name__ == '__main__':
    main()
