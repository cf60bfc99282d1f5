#!/usr/bin/env python3
"""Draws the game frame's panels: the top strip with its life, move and powerup icons, the
upgrade bar and buttons; the bottom strip with its frame, reserve pieces and buttons; the
meter gauges and eyes; the travel map's progress strip. Flat shapes with a soft gradient, a
2 px darker outline and a lighter top edge, as the field's images. Standard library only, so
a rerun gives the same bytes.

Run from the repository's root: python3 tools/content/panel_art.py
"""

import os

from field_art import ROOT, block, disc, shade, write_png

OUT = os.path.join(ROOT, "art", "panels")

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
    rows = [[(0, 0, 0, 0)] * GAUGE_WIDTH for _ in range(GAUGE_TOP)]
    rows += block(GAUGE_WIDTH, GAUGE_BOTTOM - GAUGE_TOP, GAUGE_FULL)
    return rows


def eye(size):
    """A white disc with a dark pupil."""
    rows = disc(size, (236, 236, 236))
    c = (size - 1) / 2.0
    for y in range(size):
        for x in range(size):
            if (x - c) ** 2 + (y - c) ** 2 < (size * 0.22) ** 2:
                rows[y][x] = (24, 24, 32, 255)
    return rows


def save(name, width, height, rows):
    write_png(os.path.join(OUT, name + ".png"), width, height, rows)


def main():
    save("top", 1024, 64, block(1024, 64, STRIP))
    save("life", 28, 28, disc(28, LIFE))
    save("move", 20, 20, disc(20, MOVE))
    save("score_fill", 160, 10, block(160, 10, GOLD))
    for name, colour in POWERUPS.items():
        save("powerup_" + name, 48, 48, disc(48, colour))
    save("apply", 44, 44, block(44, 44, APPLY))
    save("undo", 44, 44, block(44, 44, UNDO))
    save("menu", 52, 44, block(52, 44, MENU))

    save("bottom", 1024, 64, block(1024, 64, STRIP))
    save("bottom_frame", 200, 64, block(200, 64, FRAME))
    save("reserve", 40, 40, disc(40, PIECE))
    save("reserve_absent", 40, 40, disc(40, ABSENT))
    save("go", 100, 48, block(100, 48, APPLY))
    save("cancel", 100, 48, block(100, 48, CANCEL))

    save("meter", 48, 380, block(48, 380, shade(STRIP, 0.8)))
    save("meter_full", GAUGE_WIDTH, GAUGE_BOTTOM, gauge_full())
    save("meter_empty", GAUGE_WIDTH, GAUGE_BOTTOM - GAUGE_TOP, block(GAUGE_WIDTH, GAUGE_BOTTOM - GAUGE_TOP, GAUGE_EMPTY))
    save("eye", 16, 16, eye(16))

    save("progress", 1024, 96, block(1024, 96, STRIP))
    save("progress_frame", 240, 96, block(240, 96, FRAME))
    save("quality", 16, 16, block(16, 16, QUALITY))
    save("quality_missing", 16, 16, block(16, 16, MISSING))
    save("play", 120, 56, block(120, 56, APPLY))


if __name__ == "__main__":
    main()
