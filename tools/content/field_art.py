#!/usr/bin/python3
"""Draws the playing field's images: the pieces of three generations on one atlas page of
items/, the wall bars of a walled field, the creation idol with the glow behind the pieces in
its hand, the aim arrow's tail and head, and the field's background of each chapter. Every
image is made at the size the data draws it, so it shows whole.

Run from anywhere with Debian's Python (tools/content/install): tools/content/field_art.py
"""

import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

# ROOT, clamp, shade and write_png are taken from here by the other generators.
from look import (OUTLINE, OUTLINE_SHADE, ROOT, Atlas, bar, clamp, disc, glow, grid, rgb,  # noqa: E402,F401
                  save_jpg, save_png, shade, smoothstep, with_alpha, write_png)

# One colour per generation for the whole game: red, yellow, blue.
PIECES = {
    "vimu_red": (214, 64, 52),
    "vimu_yellow": (236, 190, 48),
    "vimu_blue": (58, 116, 214),
}
# The size a piece is drawn at on the field (vimu_defaults' size).
PIECE_SIZE = 40

WALL = (112, 98, 84)
IDOL = (150, 104, 180)

# The logical screen.
SCREEN = (1024, 768)
# The walls round a field (mission_defaults in field.sdt), 12 pixels thick: their sizes.
FIELD_WALLS = {
    "top": (928, 12),
    "right": (12, 616),
    "bottom": (812, 12),
    "left": (12, 516),
    "ledge": (116, 12),
    "step": (12, 88),
}

# The aim arrow: how thick its tail is drawn, and the size of its head.
ARROW_TAIL = (64, 12)
ARROW_HEAD = 28
ARROW = (250, 246, 232)

# The creation idol's figure and the glow of a hand slot, as the missions draw them.
IDOL_SIZE = 96
SLOT_SIZE = 32

# Each chapter's palette: sky, ground, accent.
CHAPTERS = {
    1: {"sky": (176, 212, 232), "ground": (128, 160, 100), "accent": (226, 196, 132)},
}


def creation_idol(size):
    """The creation idol: a stone disc in its colour with a lighter four-pointed star, the
    sign of making, in the middle."""
    image = disc(size, IDOL)
    x, y = grid(size, size)
    r = size / 2.0
    dx, dy = np.abs(x - r) / r, np.abs(y - r) / r
    # A star of four points: inside where |dx|^p + |dy|^p is small, p < 1.
    star = (dx ** 0.5 + dy ** 0.5) / 0.78
    mask = 1.0 - smoothstep(0.92, 1.0, star)
    light = np.clip(rgb(IDOL) * 1.55, 0.0, 1.0)
    image[:, :, :3] = image[:, :, :3] * (1.0 - mask[:, :, None]) + light * mask[:, :, None]
    return image


def background(chapter, seed):
    """A chapter's field seen from above: its ground, lighter in the middle, with soft patches
    of lighter and darker ground, a faint ring of its accent colour round the middle and its
    sky's light falling from the top."""
    colours = CHAPTERS[chapter]
    width, height = SCREEN
    x, y = grid(width, height)
    ground = rgb(colours["ground"])
    d = np.hypot((x - width / 2.0) / width, (y - height / 2.0) / height)
    image = np.empty((height, width, 4))
    image[:, :, :3] = ground * (1.12 - 0.5 * d ** 2)[:, :, None]
    image[:, :, 3] = 1.0

    rng = np.random.default_rng(seed)
    for _ in range(14):
        cx, cy = rng.uniform(0, width), rng.uniform(0, height)
        radius = rng.uniform(60, 180)
        k = rng.choice([0.92, 1.07])
        t = 1.0 - smoothstep(0.0, 1.0, np.hypot(x - cx, y - cy) / radius)
        image[:, :, :3] *= (1.0 + (k - 1.0) * t)[:, :, None]

    ring = np.abs(np.hypot(x - width / 2.0, y - height / 2.0) - 250.0)
    t = 0.22 * (1.0 - smoothstep(6.0, 14.0, ring))
    image[:, :, :3] = image[:, :, :3] * (1.0 - t[:, :, None]) + rgb(colours["accent"]) * t[:, :, None]

    sky = 0.25 * (1.0 - smoothstep(0.0, 0.35, y / height))
    image[:, :, :3] = image[:, :, :3] * (1.0 - sky[:, :, None]) + rgb(colours["sky"]) * sky[:, :, None]
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    return image


def pieces():
    atlas = Atlas("items", "vimoes", 128, 64)
    for name, colour in PIECES.items():
        atlas.place(name + ".png", disc(PIECE_SIZE, colour))
    atlas.save(r"items/vimu_\w+\.png")


def walls():
    save_png("items/wall.png", bar(64, 64, WALL))
    for name, (width, height) in FIELD_WALLS.items():
        save_png("items/wall_" + name + ".png", bar(width, height, WALL))


def arrow_tail(width, height):
    """The aim arrow's tail, stretched from the piece to the pointer: a light band with a
    2 px darker outline along its sides, fading towards the pointer's end."""
    x, y = grid(width, height)
    alpha = 0.85 - 0.5 * x / width
    image = with_alpha(rgb(ARROW), alpha)
    edge = (y < OUTLINE) | (y > height - OUTLINE)
    image[edge, :3] = rgb(ARROW) * OUTLINE_SHADE
    return image


def arrow_head(size):
    """The aim arrow's head: a light triangle with a 2 px darker outline, its tip on the left,
    the way the piece flies."""
    x, y = grid(size, size)
    half = size / 2.0
    # Distance inside the triangle from its slanted sides and its base on the right.
    slant = (x * half / size - np.abs(y - half)) / np.hypot(1.0, half / size)
    inside = np.minimum(slant, size - x)
    image = with_alpha(rgb(ARROW), np.clip(inside + 0.5, 0.0, 1.0) * 0.9)
    rim = smoothstep(OUTLINE - 0.5, OUTLINE + 0.5, inside)[:, :, None]
    image[:, :, :3] = rgb(ARROW) * rim + rgb(ARROW) * OUTLINE_SHADE * (1.0 - rim)
    return image


def main():
    pieces()
    walls()
    save_png("art/field/idol_creation.png", creation_idol(IDOL_SIZE))
    save_png("art/field/idol_slot.png", glow(SLOT_SIZE, power=0.5))
    save_png("art/field/arrow_tail.png", arrow_tail(*ARROW_TAIL))
    save_png("art/field/arrow_head.png", arrow_head(ARROW_HEAD))
    save_jpg("art/chapters/1/field.jpg", background(1, seed=1))


if __name__ == "__main__":
    main()
