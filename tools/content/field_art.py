#!/usr/bin/env python3
"""Draws the playing field's first images: the pieces of three generations, the wall block,
the creation idol and the glow behind the pieces in its hand. Flat shapes with a soft radial gradient, a 2 px darker outline and a
small highlight. Uses only the standard library, so a rerun gives the same bytes.

Run from the repository's root: python3 tools/content/field_art.py
"""

import math
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")

# One colour per generation for the whole game: red, yellow, blue.
PIECES = {
    "vimu_red": (214, 64, 52),
    "vimu_yellow": (236, 190, 48),
    "vimu_blue": (58, 116, 214),
}
WALL = (112, 98, 84)
IDOL = (150, 104, 180)


def write_png(path, width, height, pixels):
    """Writes RGBA rows (a list of rows of (r, g, b, a) tuples) as a PNG file."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def clamp(v):
    return max(0, min(255, int(round(v))))


def shade(colour, k):
    return tuple(clamp(c * k) for c in colour)


def disc(size, colour):
    """A disc filling the square: lighter towards the upper left, a darker rim."""
    c = (size - 1) / 2.0
    radius = size / 2.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d > radius:
                row.append((0, 0, 0, 0))
                continue
            alpha = clamp(min(1.0, radius - d) * 255)
            if d > radius - 2.0:
                row.append(shade(colour, 0.6) + (alpha,))
                continue
            light = math.hypot(x - c * 0.6, y - c * 0.6) / (radius * 1.6)
            k = 1.25 - 0.45 * min(1.0, light)
            hx, hy = x - c * 0.55, y - c * 0.55
            if math.hypot(hx, hy) < radius * 0.16:
                k = 1.7
            row.append(shade(colour, k) + (alpha,))
        rows.append(row)
    return rows


def block(width, height, colour):
    """A rectangle with a 2 px darker outline and a lighter top edge."""
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            if x < 2 or y < 2 or x >= width - 2 or y >= height - 2:
                row.append(shade(colour, 0.6) + (255,))
            elif y < 6:
                row.append(shade(colour, 1.25) + (255,))
            else:
                row.append(shade(colour, 1.0 - 0.15 * y / height) + (255,))
        rows.append(row)
    return rows


def glow(size):
    """A white glow, opaque at the centre and fading to nothing at the rim; tinted when drawn."""
    c = (size - 1) / 2.0
    radius = size / 2.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            t = max(0.0, 1.0 - math.hypot(x - c, y - c) / radius)
            row.append((255, 255, 255, clamp(255 * t ** 0.8)))
        rows.append(row)
    return rows


def main():
    for name, colour in PIECES.items():
        write_png(os.path.join(ROOT, "items", name + ".png"), 64, 64, disc(64, colour))
    write_png(os.path.join(ROOT, "items", "wall.png"), 64, 64, block(64, 64, WALL))
    write_png(os.path.join(ROOT, "art", "field", "idol_creation.png"), 128, 128, disc(128, IDOL))
    write_png(os.path.join(ROOT, "art", "field", "idol_slot.png"), 48, 48, glow(48))


if __name__ == "__main__":
    main()
