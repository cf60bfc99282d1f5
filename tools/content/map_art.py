#!/usr/bin/python3
"""Draws the travel map and the academy's board under it: the map picture, the flags of the
missions and of the traveller, the dot of the route, a cloud, the haze and the eagle (the
chapters' trophies are drawn with the chapters' art); and writes the chime of a mission appearing on the map (the map's
music is music.py's).

Run from anywhere with Debian's Python, Pillow and NumPy (tools/content/install):
tools/content/map_art.py
"""

import os
import sys
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import ROOT, glow, grid, rgb, save_jpg, save_png, smoothstep, value_noise, with_alpha  # noqa: E402

# The map's rectangle on the screen: everything drawn on the map stays inside it.
MAP_X, MAP_Y, MAP_W, MAP_H = 72, 57, 879, 652

FRAME = (70, 52, 36)
SEA = (64, 120, 168)
LAND = (150, 176, 104)
HILLS = (120, 146, 84)
SAND = (214, 196, 140)
BOARD = (96, 124, 84)
COMPLETED = (64, 176, 84)
PENDING = (214, 64, 52)
TRAVELLER = (236, 190, 48)
POLE = (60, 44, 32)
DOT = (92, 60, 36)
EAGLE = (64, 48, 40)


def noise(width, height, seed, scale):
    """Smooth value noise in [0, 1]: a coarse random grid scaled up with smooth steps."""
    return value_noise(width, height, np.random.default_rng(seed), scale)


def blend(a, b, t):
    return a * (1 - t[:, :, None]) + b * t[:, :, None]


def map_picture():
    """Land in the middle of a sea, shaded by soft noise, in a wooden frame."""
    width, height = 1024, 768
    x, y = grid(width, height)
    cx, cy = MAP_X + MAP_W / 2, MAP_Y + MAP_H / 2
    shape = np.hypot((x - cx) / (MAP_W * 0.5), (y - cy) / (MAP_H * 0.5))
    shape = shape + 0.35 * (noise(width, height, 3, 96) - 0.5)
    land = 1.0 - smoothstep(0.86, 0.9, shape)
    shore = smoothstep(0.8, 0.86, shape) * land
    hills = smoothstep(0.55, 0.75, noise(width, height, 4, 64)) * land
    image = np.empty((height, width, 3))
    image[:] = rgb(SEA)
    image = blend(image, np.broadcast_to(rgb(LAND), image.shape), land)
    image = blend(image, np.broadcast_to(rgb(HILLS), image.shape), hills)
    image = blend(image, np.broadcast_to(rgb(SAND), image.shape), shore)
    image = image * (0.92 + 0.16 * noise(width, height, 5, 24))[:, :, None]
    outside = (x < MAP_X) | (y < MAP_Y) | (x > MAP_X + MAP_W) | (y > MAP_Y + MAP_H)
    image[outside] = rgb(FRAME) * (0.9 + 0.2 * noise(width, height, 6, 8))[outside][:, None]
    return with_alpha(np.clip(image, 0.0, 1.0), np.ones((height, width)))


def academy_picture():
    """The academy's board: a green cloth with a lighter middle, in the same frame."""
    width, height = 1024, 768
    x, y = grid(width, height)
    d = np.hypot((x - 512) / 600, (y - 384) / 450)
    image = rgb(BOARD)[None, None, :] * (1.15 - 0.3 * d)[:, :, None]
    image = image * (0.95 + 0.1 * noise(width, height, 7, 16))[:, :, None]
    outside = (x < MAP_X) | (y < MAP_Y) | (x > MAP_X + MAP_W) | (y > MAP_Y + MAP_H)
    image[outside] = rgb(FRAME)
    return with_alpha(np.clip(image, 0.0, 1.0), np.ones((height, width)))


def flag(colour, width=24, height=40):
    """A pennant on a pole whose foot is the image's bottom middle."""
    x, y = grid(width, height)
    mid = width / 2.0
    pole = (np.abs(x - mid) < 1.5) & (y > 2)
    cloth = (x > mid + 1) & (y > 3) & (y < 19) & (x - mid < 11 - 0.6 * np.abs(y - 11))
    foot = np.hypot(x - mid, y - (height - 3)) < 3
    image = with_alpha(0.0, np.zeros((height, width)))
    image[pole | foot] = np.append(rgb(POLE), 1.0)
    image[cloth] = np.append(rgb(colour), 1.0)
    edge = cloth & ~np.roll(cloth, 1, axis=0)
    image[edge, :3] = rgb(colour) * 0.6
    return image


def dot(width=14, height=6):
    """One dash of the route, longer than it is high, in the middle of a wider clear image so
    that dashes one image width less 3 apart leave a gap: it turns along the route."""
    x, y = grid(width, height)
    d = np.hypot((x - width / 2) / 4.5, (y - height / 2) / (height / 2))
    return with_alpha(rgb(DOT), np.clip((1.0 - d) * 4.0, 0.0, 1.0))


def cloud(width=256, height=128):
    """A soft white cloud of a few overlapping blobs."""
    x, y = grid(width, height)
    alpha = np.zeros((height, width))
    for bx, by, r in ((0.3, 0.6, 0.28), (0.5, 0.45, 0.34), (0.72, 0.6, 0.26), (0.5, 0.68, 0.3)):
        d = np.hypot((x / width - bx) * 2.0, (y / height - by) * 1.0) / r
        alpha = np.maximum(alpha, np.clip(1.0 - d, 0.0, 1.0) ** 0.7)
    return with_alpha(rgb((250, 250, 255)), alpha)


def eagle(width=96, height=48):
    """A dark bird seen from below, wings spread."""
    x, y = grid(width, height)
    u, v = (x - width / 2) / (width / 2), (y - height / 2) / (height / 2)
    wings = (np.abs(v - 0.25 * np.abs(u) + 0.1) < 0.22 * (1.0 - np.abs(u) ** 2)) & (np.abs(u) < 1)
    body = np.hypot(u / 0.12, (v - 0.1) / 0.7) < 1
    image = with_alpha(rgb(EAGLE), (wings | body).astype(float))
    return image


def chime(relative, rate=22050):
    """A soft rising two-note chime under half a second, as 16-bit mono."""
    target = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    t = np.arange(int(0.45 * rate)) / rate
    out = np.zeros(t.size)
    for start, f in ((0.0, 659.25), (0.12, 987.77)):
        local = np.clip(t - start, 0.0, None)
        out += (t >= start) * np.sin(2 * np.pi * f * local) * np.exp(-local * 9.0)
    out = 0.4 * out / np.max(np.abs(out))
    with wave.open(target, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes((out * 32767).astype("<i2").tobytes())


def main():
    save_jpg("art/map/map.jpg", map_picture())
    save_jpg("art/academy/board.jpg", academy_picture())
    save_png("art/map/flag_completed.png", flag(COMPLETED))
    save_png("art/map/flag_pending.png", flag(PENDING))
    save_png("art/map/traveller.png", flag(TRAVELLER, 28, 46))
    save_png("art/map/path_step.png", dot())
    save_png("art/map/cloud.png", cloud())
    save_png("art/map/haze.png", glow(64, (236, 236, 246), 0.3))
    save_png("art/map/eagle.png", eagle())
    chime("sound/map_appear.wav")


if __name__ == "__main__":
    main()
