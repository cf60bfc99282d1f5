#!/usr/bin/python3
"""Draws the game frame's panels: the top strip with its life, move and powerup icons, the
upgrade bar and buttons; the bottom strip with its frame, reserve pieces and buttons; the
meter gauges and eyes; the travel map's progress strip. The shared look: flat shapes with a
soft gradient, a 2 px darker outline and a lighter edge.

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


def save(name, image):
    save_png(os.path.join("art", "panels", name + ".png"), image)


def main():
    save("top", bar(1024, 64, STRIP))
    save("life", disc(28, LIFE))
    save("move", disc(20, MOVE))
    save("score_fill", bar(160, 10, GOLD))
    for name, colour in POWERUPS.items():
        save("powerup_" + name, disc(48, colour))
    save("apply", bar(44, 44, APPLY))
    save("undo", bar(44, 44, UNDO))
    save("menu", bar(52, 44, MENU))

    save("bottom", bar(1024, 64, STRIP))
    save("bottom_frame", bar(200, 64, FRAME))
    save("reserve", disc(40, PIECE))
    save("reserve_absent", disc(40, ABSENT))
    save("go", bar(100, 48, APPLY))
    save("cancel", bar(100, 48, CANCEL))

    save("meter", bar(48, 380, shade(STRIP, 0.8)))
    save("meter_full", gauge_full())
    save("meter_empty", bar(GAUGE_WIDTH, GAUGE_BOTTOM - GAUGE_TOP, GAUGE_EMPTY))
    save("eye", eye(16))

    save("progress", bar(1024, 96, STRIP))
    save("progress_frame", bar(240, 96, FRAME))
    save("quality", bar(16, 16, QUALITY))
    save("quality_missing", bar(16, 16, MISSING))
    save("play", bar(120, 56, APPLY))


if __name__ == "__main__":
    main()
