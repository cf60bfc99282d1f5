#!/usr/bin/python3
"""Draws the images of the field objects the field makes in play: jewels of three sizes, the
cloud, the dragonfly, the spirit and the magnet. Each image is as large as its object, so it
maps onto it texel for texel. A rerun gives the same bytes.

Run with Debian's Python (tools/content/install): tools/content/object_art.py
"""

import math
import os

from field_art import ROOT, clamp, disc, glow, save_png, shade, write_png

# Bright aqua: it glitters on the meadow's green and the temple's gold alike.
JEWEL = (110, 226, 250)
CLOUD = (236, 240, 248)
DRAGONFLY = (60, 170, 190)
MAGNET = (190, 60, 60)


def gem(size, colour):
    """A diamond with a 2 px darker outline, lighter on its upper left facets."""
    c = (size - 1) / 2.0
    radius = size / 2.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = abs(x - c) + abs(y - c)
            if d > radius:
                row.append((0, 0, 0, 0))
                continue
            alpha = clamp(min(1.0, radius - d) * 255)
            if d > radius - 2.0:
                row.append(shade(colour, 0.3) + (alpha,))
            else:
                row.append(shade(colour, 1.35 if x < c and y < c else 1.0 if x < c or y < c else 0.8) + (alpha,))
        rows.append(row)
    return rows


def cloud(width, height, colour):
    """Three soft overlapping puffs, opaque inside and fading at their edges, with a blue-grey
    outline where they fade so that the mist shows on the river's pale ground."""
    puffs = [(width * 0.3, height * 0.58, height * 0.36), (width * 0.55, height * 0.42, height * 0.42),
             (width * 0.75, height * 0.6, height * 0.32)]
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            t = max(max(0.0, 1.0 - math.hypot(x - px, y - py) / r) for px, py, r in puffs)
            k = 1.0 - 0.15 * y / height
            if 0.1 < t < 0.22:
                k = 0.2
            row.append(shade(colour, k) + (clamp(255 * min(1.0, t * 5.0)),))
        rows.append(row)
    return rows


def dragonfly(size, colour):
    """Seen from above, heading right: a long body and two pairs of pale wings."""
    c = (size - 1) / 2.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x - c, y - c
            body = (dx / (size * 0.45)) ** 2 + (dy / (size * 0.07)) ** 2 <= 1.0
            head = math.hypot(dx - size * 0.38, dy) <= size * 0.09
            wing = any(((dx - wx) / (size * 0.1)) ** 2 + ((abs(dy) - size * 0.22) / (size * 0.2)) ** 2 <= 1.0
                       for wx in (size * 0.08, -size * 0.12))
            if body or head:
                row.append(shade(colour, 1.2 if head else 1.0) + (255,))
            elif wing:
                row.append((220, 240, 250, 150))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def main():
    for index, size in ((1, 16), (2, 24), (3, 32)):
        write_png(os.path.join(ROOT, "items", "jewel%d.png" % index), size, size, gem(size, JEWEL))
    write_png(os.path.join(ROOT, "items", "cloud.png"), 96, 64, cloud(96, 64, CLOUD))
    write_png(os.path.join(ROOT, "items", "dragonfly.png"), 48, 48, dragonfly(48, DRAGONFLY))
    save_png("items/spirit.png", glow(24))
    save_png("items/magnet.png", disc(48, MAGNET))


if __name__ == "__main__":
    main()
