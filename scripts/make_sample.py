#!/usr/bin/env python3
"""Draws the sample scenery graphic data/sample.gs: a few symbols (trees, a house, a signal, a
fence, a station sign, a lamp) in the simulator's palette indices.

Writes an indexed PNG of 1152 x 80 (36 symbols of 32 pixels, five rows of 16) and converts it
with zobl-tool:  scripts/make_sample.py build/release/bin/zobl-tool data/sample.gs
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

WIDTH, HEIGHT = 1152, 80
CELL_W, CELL_H = 32, 16
TRANSPARENT = 56

# Palette indices used below.
BLACK, DARK_GREY, WHITE, CREAM = 0, 8, 15, 25
BROWN, RED_BROWN, RED = 24, 18, 23
FIR, LEAF, GRASS, DARK_GREEN, LIGHT_GREEN, RESEDA = 22, 28, 34, 6, 10, 41
GREY, LIGHT_GREY = 20, 21
LAMP_RED, LAMP_GREEN, LAMP_YELLOW = 51, 50, 52
WINDOW, STREET_LAMP = 61, 57
BLUE, SKY = 9, 65

pixels = bytearray([TRANSPARENT]) * (WIDTH * HEIGHT)


def put(symbol, row, x, y, value):
    """Pixel (x, y) of a cell, y counted from the top of the cell."""
    if 0 <= x < CELL_W and 0 <= y < CELL_H:
        pixels[(row * CELL_H + y) * WIDTH + symbol * CELL_W + x] = value


def put_abs(symbol, x, y, value):
    """Pixel of a symbol counted from the top of row 0 (y 0..79)."""
    if 0 <= x < CELL_W and 0 <= y < HEIGHT:
        pixels[y * WIDTH + symbol * CELL_W + x] = value


BASE_TOP = 3 * CELL_H  # first line of the base row
BASE_BOTTOM = 4 * CELL_H - 1


def rect(symbol, x0, y0, x1, y1, value):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            put_abs(symbol, x, y, value)


def ellipse(symbol, cx, cy, rx, ry, value, rim=None):
    for y in range(cy - ry, cy + ry + 1):
        for x in range(cx - rx, cx + rx + 1):
            d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            if d <= 1.0:
                put_abs(symbol, x, y, rim if rim is not None and d > 0.7 else value)


# 0: a broad-leaved tree over rows 2 and 3.
rect(0, 14, BASE_TOP + 4, 17, BASE_BOTTOM, BROWN)
ellipse(0, 16, BASE_TOP - 2, 12, 10, GRASS, LEAF)
for x, y in ((10, BASE_TOP - 6), (19, BASE_TOP - 8), (14, BASE_TOP + 1), (21, BASE_TOP - 1)):
    put_abs(0, x, y, LIGHT_GREEN)

# 1: a fir over rows 2 and 3.
rect(1, 15, BASE_BOTTOM - 3, 16, BASE_BOTTOM, BROWN)
for i in range(26):
    half = 1 + i * 11 // 25
    y = BASE_TOP - 14 + i
    for x in range(16 - half, 16 + half):
        put_abs(1, x, y, RESEDA if (x + y) % 5 else FIR)

# 2: a house: walls in row 3, roof in row 2, windows that light up at night.
rect(2, 4, BASE_TOP + 2, 27, BASE_BOTTOM, CREAM)
for i in range(12):
    rect(2, 2 + i, BASE_TOP + 1 - i, 29 - i, BASE_TOP + 1 - i, RED if i % 3 else RED_BROWN)
for x0 in (7, 20):
    rect(2, x0, BASE_TOP + 5, x0 + 4, BASE_TOP + 9, WINDOW)
rect(2, 14, BASE_TOP + 8, 17, BASE_BOTTOM, RED_BROWN)
rect(2, 22, BASE_TOP - 10, 24, BASE_TOP - 5, DARK_GREY)  # chimney

# 3: a signal: mast through rows 1 to 3, screen with a red and a green light.
rect(3, 15, 1 * CELL_H + 6, 16, BASE_BOTTOM, DARK_GREY)
rect(3, 11, 1 * CELL_H + 2, 20, 1 * CELL_H + 15, BLACK)
ellipse(3, 15, 1 * CELL_H + 5, 2, 2, LAMP_RED)
ellipse(3, 15, 1 * CELL_H + 11, 2, 2, LAMP_GREEN)
rect(3, 12, BASE_BOTTOM - 1, 19, BASE_BOTTOM, GREY)

# 4: a fence along the base row.
for x in range(0, 32, 6):
    rect(4, x, BASE_TOP + 6, x + 1, BASE_BOTTOM, BROWN)
rect(4, 0, BASE_TOP + 8, 31, BASE_TOP + 8, RED_BROWN)
rect(4, 0, BASE_TOP + 12, 31, BASE_TOP + 12, RED_BROWN)

# 5: a station name board on two posts.
rect(5, 5, BASE_TOP + 6, 6, BASE_BOTTOM, DARK_GREY)
rect(5, 25, BASE_TOP + 6, 26, BASE_BOTTOM, DARK_GREY)
rect(5, 2, BASE_TOP - 2, 29, BASE_TOP + 6, BLACK)
rect(5, 3, BASE_TOP - 1, 28, BASE_TOP + 5, WHITE)
for x in range(5, 27, 3):
    rect(5, x, BASE_TOP + 1, x + 1, BASE_TOP + 3, BLACK)

# 6: bushes.
ellipse(6, 9, BASE_BOTTOM - 5, 7, 5, LIGHT_GREEN, GRASS)
ellipse(6, 22, BASE_BOTTOM - 6, 8, 6, GRASS, LEAF)

# 7: a street lamp over rows 2 and 3.
rect(7, 15, BASE_TOP - 10, 16, BASE_BOTTOM, DARK_GREY)
rect(7, 16, BASE_TOP - 10, 21, BASE_TOP - 9, DARK_GREY)
rect(7, 19, BASE_TOP - 8, 22, BASE_TOP - 7, STREET_LAMP)
rect(7, 13, BASE_BOTTOM - 1, 18, BASE_BOTTOM, GREY)

# 8: a pond with a light rim.
ellipse(8, 16, BASE_BOTTOM - 5, 14, 5, BLUE, SKY)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(path):
    palette = b"".join(bytes((i * 2, i * 2, i * 2)) for i in range(100))
    raw = b"".join(b"\x00" + bytes(pixels[y * WIDTH:(y + 1) * WIDTH]) for y in range(HEIGHT))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 3, 0, 0, 0)))
        f.write(chunk(b"PLTE", palette))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    tool, target = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        png = os.path.join(folder, "sample.png")
        write_png(png)
        subprocess.run([tool, "from-png", png, target], check=True)


if __name__ == "__main__":
    main()
