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
# Bright enough to stand out on the dark forest floor, and no piece's colour.
BEETLE = (70, 200, 180)
WHIRL = (30, 56, 100)
FIRE_IDOL = (226, 110, 50)
ROCKET = (200, 200, 210)
# Grey-blue iron: another hue than the canyon's red rock and the temple's gold.
DOOR = (110, 130, 160)
DRAGONFLY = (30, 110, 120)


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
        # Rocks only show through as soft grey smudges, so that nothing on the ground looks
        # like a piece or an object.
        dots(image, rng, 40, 9.0, [(150, 156, 168), (164, 168, 178)], 0.3, soft=True)
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


def outlined(shape, colour, x, y, light=(0.35, 0.35), width=2, dark=0.4):
    """A flat shape of a colour with a soft light from the upper left and a darker outline
    `width` pixels wide along its edge: the look of every object on the field."""
    size = max(shape.shape)
    inner = shape.copy()
    for _ in range(width):
        step = inner.copy()
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            step &= np.roll(np.roll(inner, dx, 1), dy, 0)
        inner = step
    image = with_alpha(rgb(colour), shape.astype(float))
    lx, ly = light
    k = 1.2 - 0.5 * np.hypot(x / size - lx, y / size - ly)
    image[:, :, :3] *= k[:, :, None]
    image[shape & ~inner, :3] = rgb(colour) * dark
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    return image


def dark_rim(image, colour, k=0.3, width=2.5):
    """Darkens the outline of a round image (a disc filling its square) to k of its colour,
    so that it shows on light grounds as well as on dark ones."""
    size = image.shape[0]
    x, y = grid(size, size)
    r = size / 2.0
    ring = np.hypot(x - r, y - r) > r - width
    image[ring, :3] = rgb(colour) * k
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
        # High above a sea of clouds: the sun, a floating island with a little tower, banks of
        # cloud with shaded undersides, and dragonflies and birds in the air.
        mix(image, (255, 244, 200), 0.6 * (1.0 - smoothstep(0, 140, np.hypot(x - width * 0.2, y - height * 0.18))))
        mix(image, (255, 236, 150), np.clip(34 - np.hypot(x - width * 0.2, y - height * 0.18) + 0.5, 0, 1))
        for cy, cx_scale, k in ((height * 0.5, 70, 0.85), (height * 0.64, 50, 0.93), (height * 0.8, 36, 1.0)):
            phase = rng.uniform(0, 6.28, 2)
            line = cy + 16 * np.sin(x / cx_scale + phase[0]) + 10 * np.sin(x / (cx_scale * 0.37) + phase[1])
            bank = smoothstep(-2, 2, y - line)
            mix(image, tuple(v * k for v in (250, 252, 255)), bank)
            underside = smoothstep(line + 8, line + 40, y) * (1.0 - smoothstep(line + 40, line + 70, y))
            mix(image, (170, 186, 214), 0.45 * bank * underside)
        ix, iy = width * 0.68, height * 0.42
        island = (np.abs(x - ix) < 90 - np.clip(y - iy, 0, 80) * 1.1) & (y > iy) & (y < iy + 80)
        image[island, :3] = rgb((120, 96, 80)) * (1.0 - 0.3 * ((y - iy) / 80.0))[island][:, None]
        grass = (np.abs(x - ix) < 92) & (y > iy - 6) & (y <= iy + 2)
        image[grass, :3] = rgb((110, 170, 90))
        tower = (np.abs(x - ix - 20) < 12) & (y > iy - 70) & (y <= iy - 6)
        image[tower, :3] = rgb((236, 226, 246))
        roof = (y > iy - 96) & (y <= iy - 70) & (np.abs(x - ix - 20) < (y - (iy - 96)) * 0.7)
        image[roof, :3] = rgb(c["accent"])
        for bx, by in ((0.42, 0.25), (0.47, 0.3), (0.52, 0.22), (0.86, 0.16)):
            wing = np.abs(np.abs(x - bx * width) * 0.5 - (y - by * height) * -1.0 - 4) < 1.2
            image[wing & (np.abs(x - bx * width) < 9), :3] = rgb((60, 70, 100))
        for dx, dy in ((0.3, 0.45), (0.85, 0.55)):
            body = (np.abs(y - dy * height) < 2) & (np.abs(x - dx * width) < 14)
            wings = ((x - dx * width) / 6) ** 2 + ((np.abs(y - dy * height) - 7) / 6) ** 2 <= 1.0
            image[wings, :3] = rgb((220, 240, 250))
            image[body, :3] = rgb((60, 170, 190))
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
    """A chapter's trophy, each its own shape in the chapter's accent colour on a dark plinth:
    a two-handled cup for the meadow, a shell for the river, an acorn for the forest, a star
    for the canyon, a snow crystal for the mountains and a winged medal for the sky."""
    c = CHAPTERS[chapter]
    x, y = grid(size, size)
    s = size / 48.0
    u, v = x - 24 * s, y
    plinth = (np.abs(u) < 13 * s) & (v >= 40 * s) & (v < 46 * s)
    if chapter == 2:
        cup = ((u / (14 * s)) ** 2 + ((v - 10 * s) / (20 * s)) ** 2 <= 1.0) & (v >= 8 * s)
        rim = (np.abs(v - 8 * s) < 2 * s) & (np.abs(u) < 14 * s)
        stem = (np.abs(u) < 3 * s) & (v >= 28 * s) & (v < 40 * s)
        handles = np.abs(np.hypot(np.abs(u) - 15 * s, v - 16 * s) - 5 * s) < 1.6 * s
        shape = cup | rim | stem | handles
    elif chapter == 3:
        # A scallop shell: a fan of ribs over a hinge.
        d = np.hypot(u, v - 34 * s)
        angle = np.arctan2(u, 34 * s - v)
        fan = (d < 30 * s) & (np.abs(angle) < 1.15) & (v < 34 * s)
        scallops = d < 30 * s - 3 * s * np.abs(np.sin(angle * 7.0))
        hinge = (np.abs(u) < 7 * s) & (v >= 32 * s) & (v < 40 * s)
        shape = (fan & scallops) | hinge
    elif chapter == 4:
        # An acorn: a cap with a stalk over a round nut.
        nut = ((u / (11 * s)) ** 2 + ((v - 26 * s) / (13 * s)) ** 2 <= 1.0) & (v > 16 * s)
        cap = ((u / (14 * s)) ** 2 + ((v - 17 * s) / (8 * s)) ** 2 <= 1.0) & (v <= 18 * s)
        stalk = (np.abs(u - 1 * s) < 2 * s) & (v > 5 * s) & (v <= 10 * s)
        shape = nut | cap | stalk
    elif chapter == 5:
        # A five-pointed star on a short post.
        angle = np.arctan2(u, 20 * s - v)
        d = np.hypot(u, v - 20 * s)
        reach = 9 * s + 9 * s * np.clip(np.cos(angle * 5.0), 0, 1) ** 1.5
        post = (np.abs(u) < 3 * s) & (v >= 30 * s) & (v < 40 * s)
        shape = (d < reach) | post
    elif chapter == 6:
        # A snow crystal: six arms, each ending in a bud.
        d = np.hypot(u, v - 20 * s)
        angle = np.arctan2(v - 20 * s, u)
        arms = (np.abs(np.sin(3.0 * angle)) * d < 2.2 * s) & (d < 17 * s)
        buds = np.zeros_like(arms)
        for i in range(6):
            a = i * np.pi / 3.0
            buds |= np.hypot(u - 13 * s * np.cos(a), v - 20 * s - 13 * s * np.sin(a)) < 3.5 * s
        post = (np.abs(u) < 2.5 * s) & (v >= 36 * s) & (v < 40 * s)
        shape = arms | buds | (d < 5 * s) | post
    else:
        # A medal with a wing to either side.
        medal = np.hypot(u, v - 22 * s) < 10 * s
        wing = np.zeros_like(medal)
        for i in range(3):
            across = (np.abs(u) - (15 + i * 2) * s) / ((9 - i * 2) * s)
            wing |= across ** 2 + ((v - (14 + i * 5) * s) / (3.2 * s)) ** 2 <= 1.0
        ribbon = (np.abs(u) < 3 * s) & (v >= 30 * s) & (v < 40 * s)
        shape = medal | wing | ribbon
    image = outlined(shape, c["accent"], x, y)
    base = outlined(plinth, (90, 70, 50), x, y)
    image[plinth] = base[plinth]
    if chapter == 3:
        groove = shape & ~(np.abs(np.sin(np.arctan2(u, 34 * s - y) * 7.0)) > 0.25) & (y < 30 * s)
        image[groove, :3] = rgb(c["accent"]) * 0.6
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
    edge = np.zeros((height, width), dtype=bool)
    edge[:2, :] = edge[-2:, :] = True
    edge[:, :2] = edge[:, -2:] = True
    whole[edge, :3] = rgb(BRICK) * 0.3
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
    """A whirlwind from above: dark slate spiral arms fading outwards, and its eye."""
    x, y = grid(size, size)
    r = size / 2.0
    dx, dy = x - r, y - r
    d = np.hypot(dx, dy) / r
    angle = np.arctan2(dy, dx)
    arms = 0.5 + 0.5 * np.cos(3.0 * angle + 9.0 * d)
    alpha = np.clip(arms * (1.0 - smoothstep(0.5, 1.0, d)) * 1.2, 0.0, 1.0)
    save_png("items/whirlwind.png", with_alpha(rgb(WHIRL), alpha))
    eye = with_alpha(rgb((120, 140, 160)), 0.6 * (1.0 - smoothstep(0.0, 1.0, np.hypot(x - r, y - r) / (r * 0.35))))
    save_png("art/field/whirlwind_centre.png", eye)


def hole(size=96):
    """A hole in the ground: dark, deeper in the middle, with a wide rim of pale earth that
    shows on the dark forest floor and a thin dark edge that shows on light grounds."""
    x, y = grid(size, size)
    r = size / 2.0
    d = np.hypot(x - r, y - r) / r
    image = with_alpha(rgb(HOLE), np.clip((1.0 - d) * r + 0.5, 0.0, 1.0))
    image[:, :, :3] *= (0.5 + 0.8 * d)[:, :, None]
    rim = smoothstep(0.72, 0.84, d)
    mix(image, (220, 192, 136), rim)
    mix(image, (70, 50, 34), smoothstep(0.95, 0.98, d))
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    save_png("items/hole.png", image)


def beetle(size=36):
    """A beetle from above, heading right, in two frames of its walk: a bright spotted shell
    split down the back with a dark outline, a head and three pale legs a side."""
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
        image = with_alpha(rgb((236, 226, 200)), (legs & ~shell & ~head).astype(float))
        body = outlined(shell | head, BEETLE, x, y, light=(0.3, 0.3))
        image[shell | head] = body[shell | head]
        image[head & ~shell, :3] = rgb(BEETLE) * 0.55
        image[shell & (np.abs(y - c) < 0.8), :3] = rgb(BEETLE) * 0.4
        for sx, sy in ((-5, -4), (-5, 4), (3, -5), (3, 5)):
            spot = np.hypot(x - c - sx * size / 36.0, y - c - sy * size / 36.0) < 1.8 * size / 36.0
            image[spot & shell, :3] = rgb(BEETLE) * 0.4
        save_png("items/beetle%d.png" % frame, image)


def fire_idol(size=96):
    """The fire idol: a stone disc of its colour with a lighter flame in the middle."""
    image = disc(size, FIRE_IDOL)
    x, y = grid(size, size)
    r = size / 2.0
    u, v = (x - r) / r, (y - r) / r
    flame = (np.abs(u) < 0.42 * np.clip((0.55 - v) / 1.1, 0, 1) ** 0.7 * (1.0 + 0.4 * np.cos(v * 6))) & (v > -0.6) & (v < 0.5)
    image[flame, :3] = np.clip(rgb(FIRE_IDOL) * 1.7 + 0.15, 0, 1)
    dark_rim(image, FIRE_IDOL, 0.25, 3.5)
    save_png("art/field/idol_fire.png", image)
    save_png("art/field/idol_halo.png", glow(64, power=1.2))
    save_png("art/field/smoke.png", glow(32, (120, 120, 120), power=1.5))


def rocket(width=56, height=24):
    """A rocket from above, heading right: a pale body with a red nose and two fins, outlined
    dark so that it shows on the red rock."""
    x, y = grid(width, height)
    c = height / 2.0
    body = (np.abs(y - c) < 6) & (x > 10) & (x < width - 12)
    nose = (x >= width - 12) & (np.abs(y - c) < 6 * (width - x) / 12.0)
    fins = (x < 20) & (np.abs(y - c) < 6 + (20 - x) * 0.45) & (x > 4)
    shape = body | nose | fins
    image = outlined(shape, ROCKET, x, y, dark=0.2)
    inner = outlined(shape, (210, 60, 50), x, y, dark=0.2)
    red = (nose | (fins & ~body))
    image[red] = inner[red]
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


def frost_crystal(size):
    """A spark of frost: a six-armed crystal of deep ice blue with a dark outline and a white
    heart, readable on the white snow."""
    x, y = grid(size, size)
    r = size / 2.0
    u, v = x - r, y - r
    d = np.hypot(u, v)
    angle = np.arctan2(v, u)
    arms = (np.abs(np.sin(3.0 * angle)) * d < 2.6) & (d < r - 1)
    twigs = np.zeros_like(arms)
    for i in range(6):
        a = i * np.pi / 3.0
        twigs |= np.hypot(u - r * 0.55 * np.cos(a), v - r * 0.55 * np.sin(a)) < 3.2
    shape = arms | twigs | (d < r * 0.32)
    image = outlined(shape, (50, 120, 215), x, y)
    heart = d < r * 0.18
    image[heart, :3] = rgb((240, 248, 255))
    return image


def engine(size):
    """The head of a sledge train from above, heading right: a dark red engine with a black
    funnel, a cab at the back and a yellow lamp at the front, unlike any piece."""
    x, y = grid(size, size)
    r = size / 2.0
    u, v = x - r, y - r
    body = (np.abs(u) < r - 1) & (np.abs(v) < r * 0.78)
    nose = np.hypot(u - r * 0.2, v) < r * 0.78
    shape = (body & (u < r * 0.2)) | (nose & (u >= r * 0.2) & (u < r - 1))
    image = outlined(shape, (176, 44, 40), x, y)
    cab = shape & (u < -r * 0.35) & (np.abs(v) < r * 0.5)
    image[cab, :3] = rgb((60, 40, 36))
    funnel = np.hypot(u - r * 0.1, v) < r * 0.22
    image[funnel, :3] = rgb((24, 22, 24))
    lamp = np.hypot(u - r * 0.72, v) < r * 0.16
    image[lamp, :3] = rgb((255, 230, 90))
    bands = shape & (np.abs(u + r * 0.2) < 1.2)
    image[bands, :3] = rgb((236, 200, 90))
    return image


def coupling(width, height):
    """A coupling bar between two wagons: dark iron with a light rail down its middle."""
    image = bar(width, height, (52, 46, 44))
    x, y = grid(width, height)
    image[np.abs(y - height / 2.0) < 1.0, :3] = rgb((190, 180, 160))
    return image


def mountain_things():
    """The roller's head, its couplings, the charge, and the time idol with its frost."""
    save_png("items/roller_head.png", engine(44))
    save_png("items/coupling.png", coupling(16, 12))
    save_png("items/charge.png", frost_crystal(32))
    idol = disc(96, (80, 140, 200))
    x, y = grid(96, 96)
    u, v = x - 48, y - 48
    ring = np.abs(np.hypot(u, v) - 26) < 3
    hands = ((np.abs(u) < 2.5) & (v < 0) & (v > -22)) | ((np.abs(v) < 2.5) & (u > 0) & (u < 16))
    idol[ring | hands, :3] = rgb((230, 240, 255))
    save_png("art/field/idol_time.png", idol)
    save_png("art/field/frost.png", glow(64, (200, 230, 255), power=0.9))


def ghost(size, colour):
    """A spirit: a little ghost of its pieces' colour with a round head, a wavy hem, two dark
    eyes and a dark outline, so that even the yellow one shows on the pale sky."""
    x, y = grid(size, size)
    c = size / 2.0
    head = np.hypot(x - c, y - c * 0.85) < size * 0.36
    hem = size * 0.9 - 2.5 * (1 + np.cos((x - c) * 2 * np.pi / (size * 0.24)))
    body = (np.abs(x - c) < size * 0.36) & (y >= c * 0.85) & (y < hem)
    shape = head | body
    image = outlined(shape, colour, x, y, light=(0.35, 0.25), dark=0.25)
    for ex in (-0.13, 0.13):
        eye = ((x - c - ex * size) / (size * 0.06)) ** 2 + ((y - c * 0.8) / (size * 0.1)) ** 2 <= 1.0
        image[eye, :3] = rgb((30, 26, 40))
    return image


def puffy_cloud(alpha, x, y):
    """A white cloud from soft puffs (alpha, an H x W array): nearly opaque, white on top and
    blue-grey below, with a dark blue-grey outline so that it shows on the pale sky."""
    height = alpha.shape[0]
    shape = alpha > 0.5
    image = outlined(shape, (250, 252, 255), x, y, dark=0.4)
    image[shape & (image[:, :, 0] > 0.5), :3] *= (1.05 - 0.3 * y / height)[shape & (image[:, :, 0] > 0.5)][:, None]
    image[:, :, 3] = 0.92 * smoothstep(0.4, 0.55, alpha)
    image[:, :, :3] = np.clip(image[:, :, :3], 0.0, 1.0)
    return image


def sky_and_temple_things():
    """The white cloud that drifts across the sky, the dragonfly's two wing beats, and the
    mastery idol with the sword that grows with the player's mastery."""
    width, height = 160, 96
    x, y = grid(width, height)
    alpha = np.zeros((height, width))
    for px, py, r in ((0.28, 0.6, 0.3), (0.5, 0.42, 0.38), (0.72, 0.6, 0.28), (0.5, 0.66, 0.3)):
        alpha = np.maximum(alpha, 1.0 - smoothstep(0.6, 1.0, np.hypot(x - px * width, y - py * height) / (r * height)))
    save_png("items/white_cloud.png", puffy_cloud(alpha, x, y))
    for name, colour in (("red", (255, 110, 90)), ("yellow", (255, 226, 90)), ("blue", (110, 160, 255))):
        spirit = ghost(32, colour)
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
        image = outlined(wings, (200, 226, 244), x, y, width=1, dark=0.25)
        image[wings, 3] = 0.85
        insect = outlined(body | head, DRAGONFLY, x, y, dark=0.35)
        image[body | head] = insect[body | head]
        image[head, :3] = rgb((200, 60, 50))
        save_png("items/dragonfly%d.png" % frame, image)
    # Jade, so that it shows on the temple's gold and is no other idol's colour.
    idol = dark_rim(disc(96, (50, 150, 120)), (50, 150, 120), 0.3, 3.5)
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
    door = bar(128, 16, DOOR)
    x, y = grid(128, 16)
    door[(x < 2) | (x > 126) | (y < 2) | (y > 14), :3] = rgb(DOOR) * 0.3
    door[(np.abs((x % 32) - 16) < 1.5) & (y > 2) & (y < 14), :3] = rgb(DOOR) * 0.5
    save_png("items/door.png", door)


if __name__ == "__main__":
    main()
