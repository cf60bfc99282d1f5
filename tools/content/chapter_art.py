#!/usr/bin/python3
"""Draws the images of the campaign's chapters from the meadow on: each chapter's field ground,
its scenery and scenery frame (the pictures of its story events and of a mission's end), its
trophy (chapters 2 to 7) and its landmark on the travel map, in the chapter's palette; and the field objects the
chapters bring in: bricks with their wear, the whirlwind and its eye, the hole, the beetle's
walk, the fire idol with its target's halo and the smoke and flame of its mood.

Run from anywhere with Debian's Python (tools/content/install): tools/content/chapter_art.py
Every random choice comes from a generator seeded by the chapter, so a rerun writes the same
bytes.
"""

import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import (bar, disc, glow, grid, rgb, save_jpg, save_png, smoothstep, value_noise,  # noqa: E402
                  with_alpha)

SCREEN = (1024, 768)
# The scenery of the event and end dialogs and the frame round it.
SCENE = (600, 400)
FRAME_BORDER = 16

# Each chapter's palette: sky, ground, accent, and a second ground colour for its patches.
CHAPTERS = {
    2: {"name": "meadow", "sky": (150, 200, 240), "ground": (124, 178, 84),
        "patch": (176, 196, 92), "accent": (244, 214, 96)},
    3: {"name": "river", "sky": (196, 214, 226), "ground": (150, 166, 132),
        "patch": (92, 150, 170), "accent": (210, 226, 236)},
    4: {"name": "forest", "sky": (120, 150, 120), "ground": (66, 88, 52),
        "patch": (98, 76, 50), "accent": (196, 120, 60)},
    5: {"name": "canyon", "sky": (240, 200, 150), "ground": (184, 106, 70),
        "patch": (212, 150, 100), "accent": (250, 176, 84)},
    6: {"name": "mountains", "sky": (170, 200, 236), "ground": (214, 222, 232),
        "patch": (160, 172, 190), "accent": (120, 170, 230)},
    7: {"name": "sky", "sky": (196, 224, 250), "ground": (158, 196, 236),
        "patch": (240, 246, 252), "accent": (186, 160, 240)},
    8: {"name": "temple", "sky": (250, 226, 160), "ground": (204, 168, 92),
        "patch": (180, 140, 72), "accent": (255, 212, 84)},
}

BRICK = (176, 96, 64)
HOLE = (40, 30, 24)
BEETLE = (70, 52, 120)
WHIRL = (220, 232, 240)
FIRE_IDOL = (196, 80, 48)
ROCKET = (200, 200, 210)
DOOR = (120, 84, 56)


def noise(width, height, rng, scale):
    """Smooth value noise in [0, 1]: a coarse random grid scaled up with smooth steps, and a
    finer one at a third of its weight so that the grid does not show."""
    return 0.75 * value_noise(width, height, rng, scale) + 0.25 * value_noise(width, height, rng, scale // 3 + 1)


def mix(image, colour, t):
    """Blends a colour into the RGB of an image by the weights t (an H x W array)."""
    image[:, :, :3] = image[:, :, :3] * (1.0 - t[:, :, None]) + rgb(colour) * t[:, :, None]


def opaque(width, height, colour):
    image = np.empty((height, width, 4))
    image[:, :, :3] = rgb(colour)
    image[:, :, 3] = 1.0
    return image


def dots(image, rng, count, radius, colours, strength=1.0, soft=False):
    """Round dots of the given colours at random places (flowers, leaves), or, soft, glows
    fading from their middle (spots of light)."""
    height, width = image.shape[:2]
    for _ in range(count):
        cx, cy = rng.uniform(0, width), rng.uniform(0, height)
        r = rng.uniform(radius * 0.6, radius * 1.4)
        colour = colours[rng.integers(len(colours))]
        x0, x1 = int(max(0, cx - r - 2)), int(min(width, cx + r + 2))
        y0, y1 = int(max(0, cy - r - 2)), int(min(height, cy + r + 2))
        if x0 >= x1 or y0 >= y1:
            continue
        x, y = grid(x1 - x0, y1 - y0)
        d = np.hypot(x + x0 - cx, y + y0 - cy)
        t = strength * (1.0 - smoothstep(0.0, r, d) if soft else np.clip(r - d + 0.5, 0.0, 1.0))
        patch = image[y0:y1, x0:x1]
        patch[:, :, :3] = patch[:, :, :3] * (1.0 - t[:, :, None]) + rgb(colour) * t[:, :, None]


def field_ground(chapter):
    """A chapter's field seen from above, quiet enough for the pieces to stand out: its ground
    with soft patches of its second colour, and what the chapter is known by."""
    c = CHAPTERS[chapter]
    width, height = SCREEN
    rng = np.random.default_rng(100 + chapter)
    image = opaque(width, height, c["ground"])
    x, y = grid(width, height)
    mix(image, c["patch"], 0.45 * smoothstep(0.55, 0.8, noise(width, height, rng, 160)))
    image[:, :, :3] *= (0.94 + 0.12 * noise(width, height, rng, 24))[:, :, None]
    if chapter == 2:
        # Flowers of the meadow, small and pale.
        dots(image, rng, 420, 2.2, [(250, 250, 240), (250, 230, 120), (236, 170, 200)], 0.8)
    elif chapter == 3:
        # A slow river across the field from the top left, with mist over the water.
        d = (x * 0.45 - y + 180 + 40 * np.sin(x / 140.0)) / 1.1
        water = 1.0 - smoothstep(70, 90, np.abs(d))
        mix(image, (84, 136, 160), 0.8 * water)
        ripples = 0.5 + 0.5 * np.sin(x / 9.0 + np.sin(y / 23.0) * 3.0)
        mix(image, (170, 206, 220), 0.18 * water * ripples)
        bank = (1.0 - smoothstep(0, 10, np.abs(np.abs(d) - 84)))
        mix(image, (206, 196, 150), 0.6 * bank)
        mix(image, (236, 240, 244), 0.22 * smoothstep(0.5, 0.85, noise(width, height, rng, 120)))
    elif chapter == 4:
        # Leaves on the forest floor and a few spots of light through the crowns.
        dots(image, rng, 900, 3.0, [(96, 70, 40), (120, 96, 48), (54, 74, 40)], 0.7)
        dots(image, rng, 22, 50.0, [(170, 180, 110)], 0.3, soft=True)
    elif chapter == 5:
        # Layers of red rock, bent a little, and loose stones.
        strata = 0.5 + 0.5 * np.sin(y / 17.0 + 2.5 * np.sin(x / 210.0) + 1.5 * noise(width, height, rng, 90))
        image[:, :, :3] *= (0.9 + 0.14 * strata)[:, :, None]
        dots(image, rng, 260, 3.0, [(150, 86, 60), (220, 170, 120)], 0.7)
    elif chapter == 6:
        # Snow with blue shadows in its drifts and a few grey rocks showing through.
        drifts = noise(width, height, rng, 70)
        mix(image, (176, 196, 226), 0.35 * smoothstep(0.55, 0.9, drifts))
        dots(image, rng, 40, 9.0, [(130, 134, 144), (150, 150, 160)], 0.8)
        dots(image, rng, 600, 1.5, [(255, 255, 255)], 0.9)
    elif chapter == 7:
        # Above the clouds: their soft tops everywhere below.
        mix(image, c["patch"], 0.7 * smoothstep(0.45, 0.75, noise(width, height, rng, 110)))
    elif chapter == 8:
        # Flagstones of gold-brown stone with dark joints and worn middles.
        tile = 96
        fx, fy = (x % tile) / tile, (y % tile) / tile
        edge = np.minimum(np.minimum(fx, 1 - fx), np.minimum(fy, 1 - fy)) * tile
        image[:, :, :3] *= (0.75 + 0.25 * smoothstep(0.0, 4.0, edge))[:, :, None]
        worn = noise(width, height, rng, 48)
        image[:, :, :3] *= (0.95 + 0.1 * worn)[:, :, None]
    # Darker towards the edges, the sky's light from the top.
    d = np.hypot((x - width / 2.0) / width, (y - height / 2.0) / height)
    image[:, :, :3] *= (1.08 - 0.55 * d ** 2)[:, :, None]
    mix(image, c["sky"], 0.18 * (1.0 - smoothstep(0.0, 0.3, y / height)))
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    return image


def hills(width, height, rng, base, amplitude, scale):
    """The height of a line of hills at every column, in pixels from the top."""
    x = np.arange(width)
    phase = rng.uniform(0, 6.28, 3)
    return (base + amplitude * (0.5 * np.sin(x / scale + phase[0]) + 0.3 * np.sin(x / (scale * 0.43) + phase[1])
                                + 0.2 * np.sin(x / (scale * 0.21) + phase[2])))


def scene(chapter):
    """The chapter seen from the path: its sky, two lines of hills and what it is known by."""
    c = CHAPTERS[chapter]
    width, height = SCENE
    rng = np.random.default_rng(200 + chapter)
    x, y = grid(width, height)
    image = opaque(width, height, c["sky"])
    image[:, :, :3] *= (1.15 - 0.3 * y / height)[:, :, None]
    far = hills(width, height, rng, height * 0.5, 40, 90)
    near = hills(width, height, rng, height * 0.68, 30, 60)
    mix(image, tuple(v * 0.8 + 40 for v in c["ground"]), smoothstep(-1, 1, y - far[None, :].repeat(height, 0)))
    mix(image, c["ground"], smoothstep(-1, 1, y - near[None, :].repeat(height, 0)))
    below = y > near[None, :].repeat(height, 0)
    if chapter == 2:
        flowers = image.copy()
        dots(flowers, rng, 260, 2.5, [(250, 250, 240), (250, 220, 90), (236, 150, 190)])
        image[below] = flowers[below]
        mix(image, (255, 236, 150), np.clip(36 - np.hypot(x - width * 0.78, y - height * 0.2) + 0.5, 0, 1))
    elif chapter == 3:
        d = np.abs(y - (height * 0.86 - (x - width / 2) * 0.12))
        mix(image, (90, 140, 170), 1.0 - smoothstep(26, 30, d))
        mix(image, (236, 240, 244), 0.4 * smoothstep(0.45, 0.9, noise(width, height, rng, 70))
            * smoothstep(height * 0.35, height * 0.7, y))
    elif chapter == 4:
        for _ in range(28):
            tx, base = rng.uniform(0, width), rng.uniform(height * 0.6, height * 1.05)
            tall, wide = rng.uniform(140, 260), rng.uniform(28, 52)
            crown = (np.abs(x - tx) < wide * (y - (base - tall)) / tall) & (y < base) & (y > base - tall)
            image[crown, :3] = rgb(tuple(v * rng.uniform(0.55, 0.85) for v in c["ground"]))
            trunk = (np.abs(x - tx) < 4) & (y >= base - 8) & (y < base + 20)
            image[trunk, :3] = rgb((70, 50, 34))
    elif chapter == 5:
        # Flat-topped mesas in front of the hills, with light sides and shaded ones.
        rock = np.zeros((height, width), dtype=bool)
        for _ in range(5):
            mx, top, half = rng.uniform(0, width), rng.uniform(height * 0.4, height * 0.6), rng.uniform(30, 80)
            slope = np.abs(x - mx) - half
            mesa = (y > top) & (slope < (y - top) * 0.35)
            image[mesa, :3] = rgb(tuple(v * rng.uniform(0.75, 0.95) for v in c["ground"]))
            image[mesa & (x > mx + half * 0.3), :3] *= 0.8
            rock |= mesa
        image[rock, :3] *= (0.95 + 0.08 * np.sin(y / 9.0))[rock][:, None]
    elif chapter == 6:
        # Peaks with snow on their tops.
        for _ in range(6):
            px, peak, half = rng.uniform(0, width), rng.uniform(height * 0.15, height * 0.45), rng.uniform(120, 220)
            mountain = (y > peak) & (np.abs(x - px) < (y - peak) * half / (height * 0.6))
            image[mountain, :3] = rgb((120, 130, 150)) * rng.uniform(0.8, 1.1)
            image[mountain & (y < peak + 50 + 8 * np.sin(x / 7.0)), :3] = rgb((246, 248, 252))
        mix(image, c["ground"], smoothstep(-1, 1, y - near[None, :].repeat(height, 0) - 30))
    elif chapter == 7:
        # A sea of clouds below the sky instead of hills.
        clouds = smoothstep(0.35, 0.6, noise(width, height, rng, 60)) * smoothstep(height * 0.35, height * 0.7, y)
        mix(image, c["sky"], smoothstep(-1, 1, y - far[None, :].repeat(height, 0)))
        mix(image, (250, 252, 255), np.maximum(clouds, smoothstep(height * 0.6, height * 0.9, y)))
    elif chapter == 8:
        # The temple on its steps: a roof over six columns.
        cx, base = width / 2, height * 0.78
        for i in range(4):
            step = (np.abs(x - cx) < 200 - i * 14) & (y > base - (i + 1) * 12) & (y <= base - i * 12)
            image[step, :3] = rgb((236, 214, 150)) * (0.9 + 0.03 * i)
        for i in range(6):
            col = (np.abs(x - (cx - 140 + i * 56)) < 11) & (y > base - 170) & (y <= base - 48)
            image[col, :3] = rgb((246, 230, 176))
        roof = (y > base - 230) & (y <= base - 170) & (np.abs(x - cx) < 180 - (base - 170 - y) * 2.6)
        image[roof, :3] = rgb(c["accent"]) * 0.9
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    return image


def scene_frame(chapter):
    """A frame of the accent colour round the scenery, with a darker outline on both sides and
    a lighter line inside it; transparent in the middle."""
    c = CHAPTERS[chapter]
    width, height = SCENE[0] + 2 * FRAME_BORDER, SCENE[1] + 2 * FRAME_BORDER
    x, y = grid(width, height)
    edge = np.minimum(np.minimum(x, width - x), np.minimum(y, height - y))
    image = with_alpha(rgb(c["accent"]), (edge < FRAME_BORDER).astype(float))
    image[:, :, :3] *= (1.1 - 0.25 * np.abs(edge - FRAME_BORDER / 2) / FRAME_BORDER)[:, :, None]
    dark = (edge < 2) | ((edge > FRAME_BORDER - 2) & (edge < FRAME_BORDER))
    image[dark, :3] = rgb(c["accent"]) * 0.55
    light = (edge > 5) & (edge < 7)
    image[light, :3] = np.clip(rgb(c["accent"]) * 1.3, 0, 1)
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    return image


def trophy(chapter, size=48):
    """A cup of the accent colour on a dark foot, with a highlight."""
    c = CHAPTERS[chapter]
    x, y = grid(size, size)
    s = size / 48.0
    cup = (((x - 24 * s) / (14 * s)) ** 2 + ((y - 10 * s) / (20 * s)) ** 2 <= 1.0) & (y >= 8 * s)
    rim = (np.abs(y - 8 * s) < 2 * s) & (np.abs(x - 24 * s) < 14 * s)
    stem = (np.abs(x - 24 * s) < 3 * s) & (y >= 28 * s) & (y < 40 * s)
    foot = (np.abs(x - 24 * s) < 11 * s) & (y >= 40 * s) & (y < 46 * s)
    handles = (np.abs(np.hypot(np.abs(x - 24 * s) - 15 * s, y - 16 * s) - 5 * s) < 1.6 * s)
    shape = cup | rim | stem | foot | handles
    image = with_alpha(rgb(c["accent"]), shape.astype(float))
    image[:, :, :3] *= (1.2 - 0.5 * np.abs(x - 20 * s) / (24 * s))[:, :, None]
    image[foot | stem, :3] = rgb((90, 70, 50))
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    return image


def landmark(chapter, size=40):
    """The chapter's mark on the travel map, standing on its bottom edge: a haystack for the
    meadow, a little bridge for the river, a fir for the forest."""
    c = CHAPTERS[chapter]
    x, y = grid(size, size)
    if chapter == 2:
        shape = (((x - size / 2) / (size * 0.42)) ** 2 + ((y - size) / (size * 0.8)) ** 2 <= 1.0)
        colour = (222, 190, 90)
    elif chapter == 3:
        arch = np.hypot(x - size / 2, y - size)
        shape = (arch < size * 0.48) & (arch > size * 0.3) & (y < size * 0.95)
        colour = (150, 120, 90)
    elif chapter == 5:
        shape = (np.abs(x - size / 2) < size * 0.3 + (y - size * 0.3) * 0.25) & (y > size * 0.3)
        colour = c["ground"]
    elif chapter == 6:
        shape = (np.abs(x - size / 2) < (y - 4) * 0.55) & (y > 4)
        colour = (130, 140, 160)
    elif chapter == 7:
        shape = np.zeros((size, size), dtype=bool)
        for px, py, r in ((0.3, 0.7, 0.22), (0.55, 0.55, 0.28), (0.75, 0.72, 0.2)):
            shape |= np.hypot(x - px * size, y - py * size) < r * size
        colour = (244, 248, 255)
    elif chapter == 8:
        roof = (y < size * 0.35) & (np.abs(x - size / 2) < y * 1.2) & (y > 4)
        columns = (y >= size * 0.35) & (y < size * 0.85) & (((x.astype(int) // 6) % 2) == 0) & (np.abs(x - size / 2) < size * 0.4)
        steps = (y >= size * 0.85) & (np.abs(x - size / 2) < size * 0.46)
        shape = roof | columns | steps
        colour = c["accent"]
    else:
        shape = (np.abs(x - size / 2) < (y - 2) * 0.36) & (y < size * 0.85)
        shape |= (np.abs(x - size / 2) < 3) & (y >= size * 0.85)
        colour = c["ground"]
    image = with_alpha(rgb(colour), shape.astype(float))
    image[:, :, :3] *= (1.15 - 0.35 * x / size)[:, :, None]
    # A darker outline: where the shape meets the outside.
    inner = shape.copy()
    for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        inner &= np.roll(np.roll(shape, dx, 1), dy, 0)
    image[shape & ~inner, :3] = rgb(colour) * 0.5
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    return image


def bricks():
    """A brick of the field in four frames, each more cracked than the one before."""
    width, height = 48, 24
    rng = np.random.default_rng(7)
    whole = bar(width, height, BRICK)
    x, y = grid(width, height)
    cracks = []
    for _ in range(3):
        x0, y0 = rng.uniform(8, 40), rng.uniform(4, 20)
        angle = rng.uniform(0, np.pi)
        length = rng.uniform(10, 20)
        t = np.clip(((x - x0) * np.cos(angle) + (y - y0) * np.sin(angle)) / length, 0, 1)
        px, py = x0 + t * length * np.cos(angle), y0 + t * length * np.sin(angle)
        cracks.append(np.hypot(x - px, y - py) < 0.9)
    for frame in range(4):
        image = whole.copy()
        for crack in cracks[:frame]:
            image[crack, :3] = rgb(BRICK) * 0.35
        save_png("items/brick%d.png" % frame, image)


def whirlwind(size=160):
    """A whirlwind from above: pale spiral arms fading outwards, and its darker eye."""
    x, y = grid(size, size)
    r = size / 2.0
    dx, dy = x - r, y - r
    d = np.hypot(dx, dy) / r
    angle = np.arctan2(dy, dx)
    arms = 0.5 + 0.5 * np.cos(3.0 * angle + 9.0 * d)
    alpha = np.clip(arms * (1.0 - smoothstep(0.5, 1.0, d)) * 0.7, 0.0, 1.0)
    save_png("items/whirlwind.png", with_alpha(rgb(WHIRL), alpha))
    eye = with_alpha(rgb((120, 140, 160)), 0.6 * (1.0 - smoothstep(0.0, 1.0, np.hypot(x - r, y - r) / (r * 0.35))))
    save_png("art/field/whirlwind_centre.png", eye)


def hole(size=96):
    """A hole in the ground: dark, deeper in the middle, with a lighter rim of earth."""
    x, y = grid(size, size)
    r = size / 2.0
    d = np.hypot(x - r, y - r) / r
    image = with_alpha(rgb(HOLE), np.clip((1.0 - d) * r + 0.5, 0.0, 1.0))
    image[:, :, :3] *= (0.5 + 0.8 * d)[:, :, None]
    rim = smoothstep(0.82, 0.9, d)
    mix(image, (120, 92, 60), rim)
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    save_png("items/hole.png", image)


def beetle(size=36):
    """A beetle from above, heading right, in two frames of its walk: a round shell split down
    the back, a head and three legs a side."""
    x, y = grid(size, size)
    c = size / 2.0
    for frame in range(2):
        shell = ((x - c + 2) / (size * 0.34)) ** 2 + ((y - c) / (size * 0.27)) ** 2 <= 1.0
        head = np.hypot(x - c - size * 0.32, y - c) < size * 0.13
        legs = np.zeros_like(shell)
        for i, lx in enumerate((-8, 0, 8)):
            swing = (3 if (i + frame) % 2 else -3) * size / 36.0
            for side in (-1, 1):
                x0, y0 = c + lx * size / 36.0, c + side * size * 0.2
                x1, y1 = x0 + swing, c + side * size * 0.46
                t = np.clip(((x - x0) * (x1 - x0) + (y - y0) * (y1 - y0)) / ((x1 - x0) ** 2 + (y1 - y0) ** 2), 0, 1)
                legs |= np.hypot(x - x0 - t * (x1 - x0), y - y0 - t * (y1 - y0)) < 1.2
        image = with_alpha(rgb((30, 24, 30)), (shell | head | legs).astype(float))
        image[shell, :3] = rgb(BEETLE) * (1.25 - 0.5 * np.hypot(x - c + 6, y - c + 5) / size)[shell][:, None]
        image[shell & (np.abs(y - c) < 0.8), :3] = rgb(BEETLE) * 0.45
        image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
        save_png("items/beetle%d.png" % frame, image)


def fire_idol(size=96):
    """The fire idol: a stone disc of its colour with a lighter flame in the middle."""
    image = disc(size, FIRE_IDOL)
    x, y = grid(size, size)
    r = size / 2.0
    u, v = (x - r) / r, (y - r) / r
    flame = (np.abs(u) < 0.42 * np.clip((0.55 - v) / 1.1, 0, 1) ** 0.7 * (1.0 + 0.4 * np.cos(v * 6))) & (v > -0.6) & (v < 0.5)
    image[flame, :3] = np.clip(rgb(FIRE_IDOL) * 1.7 + 0.15, 0, 1)
    save_png("art/field/idol_fire.png", image)
    save_png("art/field/idol_halo.png", glow(64, power=1.2))
    save_png("art/field/smoke.png", glow(32, (120, 120, 120), power=1.5))


def rocket(width=56, height=24):
    """A rocket from above, heading right: a pale body with a red nose and two fins."""
    x, y = grid(width, height)
    c = height / 2.0
    body = (np.abs(y - c) < 6) & (x > 10) & (x < width - 12)
    nose = (x >= width - 12) & (np.abs(y - c) < 6 * (width - x) / 12.0)
    fins = (x < 20) & (np.abs(y - c) < 6 + (20 - x) * 0.45) & (x > 4)
    image = with_alpha(rgb(ROCKET), (body | nose | fins).astype(float))
    image[nose, :3] = rgb((210, 60, 50))
    image[fins & ~body, :3] = rgb((210, 60, 50)) * 0.8
    image[:, :, :3] *= (1.15 - 0.4 * np.abs(y - c + 2) / c)[:, :, None]
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    save_png("items/rocket.png", image)


def lodestone(size=48):
    """A lodestone set in the rock: a grey stone with a red and a blue pole."""
    image = disc(size, (120, 116, 124))
    x, y = grid(size, size)
    r = size / 2.0
    inside = np.hypot(x - r, y - r) < r - 5
    image[inside & (x < r - 4), :3] = rgb((200, 70, 60))
    image[inside & (x > r + 4), :3] = rgb((70, 100, 200))
    save_png("items/lodestone.png", image)


def mountain_things():
    """The roller's head, its couplings, the charge, and the time idol with its frost."""
    save_png("items/roller_head.png", disc(44, (90, 96, 110)))
    save_png("items/coupling.png", bar(16, 8, (110, 100, 90)))
    save_png("items/charge.png", glow(32, (150, 220, 255), power=1.6))
    idol = disc(96, (80, 140, 200))
    x, y = grid(96, 96)
    u, v = x - 48, y - 48
    ring = np.abs(np.hypot(u, v) - 26) < 3
    hands = ((np.abs(u) < 2.5) & (v < 0) & (v > -22)) | ((np.abs(v) < 2.5) & (u > 0) & (u < 16))
    idol[ring | hands, :3] = rgb((230, 240, 255))
    save_png("art/field/idol_time.png", idol)
    save_png("art/field/frost.png", glow(64, (200, 230, 255), power=0.9))


def sky_and_temple_things():
    """The white cloud that drifts across the sky, the dragonfly's two wing beats, and the
    mastery idol with the sword that grows with the player's mastery."""
    width, height = 160, 96
    x, y = grid(width, height)
    alpha = np.zeros((height, width))
    for px, py, r in ((0.28, 0.6, 0.3), (0.5, 0.42, 0.38), (0.72, 0.6, 0.28), (0.5, 0.66, 0.3)):
        alpha = np.maximum(alpha, 1.0 - smoothstep(0.6, 1.0, np.hypot(x - px * width, y - py * height) / (r * height)))
    cloud = with_alpha(rgb((250, 252, 255)), 0.85 * alpha)
    cloud[:, :, :3] *= (1.0 - 0.12 * y / height)[:, :, None]
    save_png("items/white_cloud.png", cloud)
    for name, colour in (("red", (255, 110, 90)), ("yellow", (255, 226, 90)), ("blue", (110, 160, 255))):
        spirit = glow(32, colour, power=0.35)
        spirit[:, :, :3] = np.clip(spirit[:, :, :3] + 0.35 * (1.0 - smoothstep(0.0, 8.0, np.hypot(*[g - 16 for g in grid(32, 32)])))[:, :, None], 0, 1)
        save_png("items/spirit_%s.png" % name, spirit)
    size = 48
    x, y = grid(size, size)
    c = size / 2.0
    for frame, spread in enumerate((0.22, 0.3)):
        body = ((x - c) / (size * 0.45)) ** 2 + ((y - c) / (size * 0.07)) ** 2 <= 1.0
        head = np.hypot(x - c - size * 0.38, y - c) <= size * 0.09
        wings = np.zeros_like(body)
        for wx in (size * 0.08, -size * 0.12):
            wings |= ((x - c - wx) / (size * 0.1)) ** 2 + ((np.abs(y - c) - size * spread) / (size * 0.2)) ** 2 <= 1.0
        image = with_alpha(rgb((220, 240, 250)), 0.6 * wings)
        image[body | head, :3] = rgb((60, 170, 190))
        image[body | head, 3] = 1.0
        image[head, :3] = rgb((60, 170, 190)) * 1.2
        image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
        save_png("items/dragonfly%d.png" % frame, image)
    idol = disc(96, (214, 170, 60))
    x, y = grid(96, 96)
    blade = (np.abs(x - 48) < 5 - np.clip((22 - y) / 6, 0, 5)) & (y > 16) & (y < 62)
    guard = (np.abs(y - 62) < 3) & (np.abs(x - 48) < 16)
    grip = (np.abs(x - 48) < 3) & (y >= 62) & (y < 78)
    idol[blade | guard | grip, :3] = rgb((250, 244, 220))
    save_png("art/field/idol_mastery.png", idol)
    save_png("art/field/sword.png", bar(128, 14, (230, 200, 90)))


def main():
    for chapter in CHAPTERS:
        folder = "art/chapters/%d/" % chapter
        save_jpg(folder + "field.jpg", field_ground(chapter))
        save_jpg(folder + "scene.jpg", scene(chapter))
        save_png(folder + "scene_frame.png", scene_frame(chapter))
        # The temple gives no cup: its reward is the end of the journey.
        if chapter != 8:
            save_png(folder + "trophy.png", trophy(chapter))
        save_png(folder + "landmark.png", landmark(chapter))
    bricks()
    whirlwind()
    hole()
    beetle()
    fire_idol()
    rocket()
    lodestone()
    mountain_things()
    sky_and_temple_things()
    save_png("items/door.png", bar(128, 16, DOOR))


if __name__ == "__main__":
    main()
