#!/usr/bin/python3
"""Measures how well every field object stands out from the ground of each chapter it appears
in, at the size it is drawn in play, and prints a table.

For an object and a ground it gives two luminance contrast ratios, (L1 + 0.05) / (L2 + 0.05)
with the lighter luminance on top (1 is none, 21 black on white), and a colour difference:
- body: the mean colour of the object's opaque part, drawn over the ground's mean colour;
- edge: its outline or the band just inside it, whichever stands out more: the median
  ratio over the ring of its outermost opaque pixels, or over the three rings inside that;
- colour: the CIE 1976 distance (Delta E) between the body's mean colour and the ground's.
An object reads at a glance when its body or edge reaches a ratio of 3 (the usual bound for
shapes against their surroundings) or its colour differs by 40 or more (another hue, as a red
brick on green grass); the last column says "low" where none does.

Run with Debian's Python (tools/content/install):
    tools/content/contrast.py [DATA]     (DATA: the data tree, default data/ of this checkout)
"""

import os
import sys

import numpy as np
from PIL import Image

# The part of the field the panels leave visible: below the top bar, above the bottom one.
VISIBLE = (48, 64, 976, 704)
READABLE = 3.0
DISTINCT = 40.0

# Each object: its image, its size in play and the chapters whose ground it lies on.
OBJECTS = [
    ("brick", "items/brick0.png", (48, 24), (2, 8)),
    ("jewel", "items/jewel2.png", (24, 24), (2, 8)),
    ("mist", "items/cloud.png", (96, 64), (3, 8)),
    ("whirlwind", "items/whirlwind.png", (160, 160), (3, 8)),
    ("beetle", "items/beetle0.png", (36, 36), (4, 8)),
    ("hole", "items/hole.png", (96, 96), (4, 8)),
    ("lodestone", "items/lodestone.png", (48, 48), (5, 8)),
    ("rocket", "items/rocket.png", (56, 24), (5, 8)),
    ("door", "items/door.png", (128, 16), (5, 8)),
    ("train head", "items/roller_head.png", (44, 44), (6, 8)),
    ("coupling", "items/coupling.png", (16, 10), (6, 8)),
    ("frost spark", "items/charge.png", (32, 32), (6, 8)),
    ("dragonfly", "items/dragonfly0.png", (48, 48), (7, 8)),
    ("spirit red", "items/spirit_red.png", (24, 24), (7, 8)),
    ("spirit yellow", "items/spirit_yellow.png", (24, 24), (7, 8)),
    ("spirit blue", "items/spirit_blue.png", (24, 24), (7, 8)),
    ("white cloud", "items/white_cloud.png", (160, 96), (7, 8)),
    ("creation idol", "art/field/idol_creation.png", (96, 96), tuple(range(1, 9))),
    ("fire idol", "art/field/idol_fire.png", (96, 96), (4, 5, 7, 8)),
    ("time idol", "art/field/idol_time.png", (96, 96), (6, 7, 8)),
    ("mastery idol", "art/field/idol_mastery.png", (96, 96), (8,)),
]


def luminance(rgb):
    """Relative luminance of sRGB colours in 0-1 (the last axis holds the channels)."""
    c = np.where(rgb <= 0.04045, rgb / 12.92, ((rgb + 0.055) / 1.055) ** 2.4)
    return c[..., 0] * 0.2126 + c[..., 1] * 0.7152 + c[..., 2] * 0.0722


def lab(rgb):
    """CIE L*a*b* of sRGB colours in 0-1 (D65 white)."""
    c = np.where(rgb <= 0.04045, rgb / 12.92, ((rgb + 0.055) / 1.055) ** 2.4)
    xyz = np.array([[0.4124, 0.3576, 0.1805], [0.2126, 0.7152, 0.0722], [0.0193, 0.1192, 0.9505]]) @ c
    xyz = xyz / np.array([0.95047, 1.0, 1.08883])
    f = np.where(xyz > 0.008856, np.cbrt(xyz), 7.787 * xyz + 16.0 / 116.0)
    return np.array([116.0 * f[1] - 16.0, 500.0 * (f[0] - f[1]), 200.0 * (f[1] - f[2])])


def ratio(a, b):
    hi, lo = max(a, b), min(a, b)
    return (hi + 0.05) / (lo + 0.05)


def ring_ratio(over, ring, g):
    """The median contrast ratio of a ring's pixels to the ground's luminance g."""
    if not ring.any():
        return 1.0
    lum = luminance(over[ring])
    return float(np.median((np.maximum(lum, g) + 0.05) / (np.minimum(lum, g) + 0.05)))


def ground_colour(data, chapter):
    image = Image.open(os.path.join(data, "art", "chapters", str(chapter), "field.jpg")).convert("RGB")
    pixels = np.asarray(image.crop(VISIBLE), dtype=np.float64) / 255.0
    return pixels.reshape(-1, 3).mean(axis=0)


def measure(data, texture, size, ground):
    image = Image.open(os.path.join(data, texture)).convert("RGBA").resize(size, Image.LANCZOS)
    pixels = np.asarray(image, dtype=np.float64) / 255.0
    alpha = pixels[:, :, 3:]
    over = pixels[:, :, :3] * alpha + ground * (1.0 - alpha)
    solid = alpha[:, :, 0] >= 0.5
    if not solid.any():
        solid = alpha[:, :, 0] >= alpha.max() * 0.5
    # The image's own border counts as outside.
    padded = np.pad(solid, 1)
    inner = padded[1:-1, 1:-1] & padded[:-2, 1:-1] & padded[2:, 1:-1] & padded[1:-1, :-2] & padded[1:-1, 2:]
    edge = solid & ~inner
    band = inner.copy()
    for _ in range(3):
        padded = np.pad(band, 1)
        band = padded[1:-1, 1:-1] & padded[:-2, 1:-1] & padded[2:, 1:-1] & padded[1:-1, :-2] & padded[1:-1, 2:]
    band = inner & ~band
    g = luminance(ground)
    mean = over[solid].mean(axis=0)
    body = ratio(luminance(mean), g)
    rim = max(ring_ratio(over, ring, g) for ring in (edge, band))
    distance = float(np.linalg.norm(lab(mean) - lab(ground)))
    return body, rim, distance


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "data")
    grounds = {chapter: ground_colour(data, chapter) for chapter in range(1, 9)}
    print("%-14s %7s %6s %6s %6s %s" % ("object", "chapter", "body", "edge", "colour", ""))
    for name, texture, size, chapters in OBJECTS:
        for chapter in chapters:
            body, rim, distance = measure(data, texture, size, grounds[chapter])
            flag = "" if max(body, rim) >= READABLE or distance >= DISTINCT else "low"
            print("%-14s %7d %6.2f %6.2f %6.1f %s" % (name, chapter, body, rim, distance, flag))


if __name__ == "__main__":
    main()
