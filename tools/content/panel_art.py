#!/usr/bin/python3
"""Draws the game frame's panels: the top strip with its life, move and powerup icons, the
upgrade bar and buttons; the bottom strip with its frame, reserve pieces, bonus badges and
buttons; the meter gauges and eyes; the travel map's progress strip. The shared look: flat
shapes with a soft gradient, a 2 px darker outline and a lighter edge.

Run from anywhere with Debian's Python (tools/content/install): tools/content/panel_art.py
"""

import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import bar, disc, grid, rgb, save_png, shade, with_alpha  # noqa: E402

STRIP = (46, 62, 92)
FRAME = (92, 76, 58)
GOLD = (236, 190, 48)
POWERUPS = {
    "coin": (236, 190, 48),
    "clock": (220, 226, 236),
    "hand": (214, 160, 110),
    "fireball": (236, 96, 36),
    "bolt": (72, 170, 236),
}
LIFE = (214, 52, 92)
MOVE = (236, 140, 48)
APPLY = (64, 176, 84)
UNDO = (226, 150, 44)
MENU = (104, 120, 156)
CANCEL = (204, 64, 52)
PIECE = (214, 64, 52)
ABSENT = (120, 120, 120)
GAUGE_FULL = (84, 200, 96)
GAUGE_EMPTY = (40, 44, 52)
QUALITY = (84, 200, 96)
MISSING = (70, 74, 84)

# The bonus badges: a coloured disc with a white sign for each bonus kind.
BADGE = 26
BADGES = {
    "accuracy": (64, 150, 220),
    "powerful_strike": (214, 64, 52),
    "slipperiness": (84, 190, 210),
    "treasure": (64, 176, 84),
    "shock_wave": (236, 120, 36),
    "splinter": (150, 150, 190),
    "cost_3x": (226, 170, 40),
    "any_activator": (150, 72, 200),
    "magnetic": (200, 48, 64),
    "spirit": (60, 170, 150),
    "explode": (236, 96, 36),
}

# The strips' widths: the top one leaves the top left corner to the fire idol, the bottom one
# the bottom left corner to the creation idol.
TOP_WIDTH = 904
BOTTOM_WIDTH = 860

# The gauge's top and bottom rows in the meter panel: the full image's texture rows are the
# panel's rows, so the filled part shows the rows under the level line.
GAUGE_TOP = 79
GAUGE_BOTTOM = 353
GAUGE_WIDTH = 24


def gauge_full():
    image = with_alpha(0.0, np.zeros((GAUGE_BOTTOM, GAUGE_WIDTH)))
    image[GAUGE_TOP:] = bar(GAUGE_WIDTH, GAUGE_BOTTOM - GAUGE_TOP, GAUGE_FULL)
    return image


def eye(size):
    """A white disc with a dark pupil."""
    image = disc(size, (236, 236, 236))
    x, y = grid(size, size)
    r = size / 2.0
    pupil = np.hypot(x - r, y - r) < size * 0.22
    image[pupil, :3] = rgb((24, 24, 32))
    return image


def badge_sign(kind, x, y):
    """The white sign of a bonus kind, as a mask over a badge's pixel centres (origin at the
    badge's middle, 1 is the badge's half width)."""
    d = np.hypot(x, y)
    a = np.arctan2(y, x)
    if kind == "accuracy":
        return (np.abs(d - 0.5) < 0.09) | (d < 0.14) | ((np.minimum(np.abs(x), np.abs(y)) < 0.06) & (d > 0.3) & (d < 0.7))
    if kind == "powerful_strike":
        return ((np.abs(x) < 0.16) & (y > -0.1) & (y < 0.6)) | ((y > -0.65) & (y <= -0.1) & (np.abs(x) < (y + 0.65) * 0.9))
    if kind == "slipperiness":
        wave = np.sin(x * 7.0) * 0.1
        return (np.abs(x) < 0.6) & ((np.abs(y - 0.3 - wave) < 0.08) | (np.abs(y + 0.05 - wave) < 0.08) | (np.abs(y + 0.4 - wave) < 0.08))
    if kind == "treasure":
        return np.abs(x) + np.abs(y) * 0.8 < 0.55
    if kind == "shock_wave":
        return (d < 0.16) | (np.abs(d - 0.4) < 0.07) | (np.abs(d - 0.64) < 0.06)
    if kind == "splinter":
        return (np.abs(np.abs(x) - np.abs(y)) < 0.12) & (d < 0.65)
    if kind == "cost_3x":
        return (np.hypot(x + 0.38, y) < 0.15) | (d < 0.15) | (np.hypot(x - 0.38, y) < 0.15)
    if kind == "any_activator":
        return (d < 0.55) & (np.abs(x) > 0.05) & (np.abs(y) > 0.05)
    if kind == "magnetic":
        arc = (np.abs(d - 0.4) < 0.14) & (y > 0.0)
        legs = (np.abs(np.abs(x) - 0.4) < 0.14) & (y <= 0.0) & (y > -0.5)
        return arc | legs
    if kind == "spirit":
        return ((d < 0.4) & (y < 0.0)) | ((np.abs(x) < 0.4) & (y >= 0.0) & (y < 0.5 - 0.12 * np.abs(np.sin(x * 8.0))))
    if kind == "explode":
        return d < 0.3 + 0.3 * np.maximum(0.0, np.cos(a * 8.0)) ** 2
    raise ValueError(kind)


def badge(kind):
    image = disc(BADGE, BADGES[kind])
    x, y = grid(BADGE, BADGE)
    half = BADGE / 2.0
    sign = badge_sign(kind, (x - half) / half, (y - half) / half)
    image[sign, :3] = rgb((246, 246, 240))
    return image


def save(name, image):
    save_png(os.path.join("art", "panels", name + ".png"), image)


def main():
    save("top", bar(TOP_WIDTH, 64, STRIP))
    save("score_track", bar(164, 14, shade(STRIP, 0.55)))
    save("life", disc(28, LIFE))
    save("move", disc(20, MOVE))
    save("score_fill", bar(160, 10, GOLD))
    for name, colour in POWERUPS.items():
        save("powerup_" + name, disc(48, colour))
    save("apply", bar(44, 44, APPLY))
    save("undo", bar(44, 44, UNDO))
    save("menu", bar(52, 44, MENU))

    save("bottom", bar(BOTTOM_WIDTH, 64, STRIP))
    save("bottom_frame", bar(200, 64, FRAME))
    save("reserve", disc(40, PIECE))
    save("reserve_absent", disc(40, ABSENT))
    save("go", bar(100, 48, APPLY))
    for kind in BADGES:
        save("badge_" + kind, badge(kind))
    save("cancel", bar(100, 48, CANCEL))

    save("meter", bar(48, 380, shade(STRIP, 0.8)))
    save("meter_full", gauge_full())
    save("meter_empty", bar(GAUGE_WIDTH, GAUGE_BOTTOM - GAUGE_TOP, GAUGE_EMPTY))
    save("eye", eye(16))

    save("progress", bar(1024, 96, STRIP))
    save("progress_frame", bar(240, 96, FRAME))
    save("quality", bar(16, 16, QUALITY))
    save("quality_missing", bar(16, 16, MISSING))
    save("quality_track", bar(404, 20, shade(STRIP, 0.55)))
    save("play", bar(120, 56, APPLY))


if __name__ == "__main__":
    main()
