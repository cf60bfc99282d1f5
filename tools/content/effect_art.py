#!/usr/bin/python3
"""Draws the images of the field's effects: the spark that the particles of a gained
powerup's flight are made of. A rerun gives the same bytes.

Run with Debian's Python (tools/content/install): tools/content/effect_art.py
"""

import math
import os

from field_art import ROOT, clamp, write_png

# A warm white, the colour of every spark; sprites tint it.
SPARK = (255, 244, 214)


def glow(size, colour):
    """A soft round glow: opaque in the middle, fading to nothing at the rim."""
    c = (size - 1) / 2.0
    radius = size / 2.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            d = math.hypot(x - c, y - c) / radius
            alpha = clamp(255 * max(0.0, 1.0 - d) ** 1.5)
            row.append(colour + (alpha,))
        rows.append(row)
    return rows


def main():
    write_png(os.path.join(ROOT, "art", "field", "spark.png"), 16, 16, glow(16, SPARK))


if __name__ == "__main__":
    main()
