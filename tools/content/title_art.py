#!/usr/bin/python3
"""Draws the screens before the travel map (art/mainmenu/): the title screen's and the loading
screen's backgrounds with the game's name over its three pieces, the loading bar and its
frame, the panels of the main menu's dialogs and the spark of the title's effect (the title
music is music.py's).

Run from anywhere with Debian's Python, Pillow, NumPy and DejaVu Sans
(tools/content/install): tools/content/title_art.py
"""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import bar, disc, glow, grid, rgb, save_jpg, save_png  # noqa: E402

BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
WIDTH, HEIGHT = 1024, 768

RED = (214, 64, 52)
YELLOW = (236, 190, 48)
BLUE = (58, 116, 214)
PANEL = (40, 56, 86)
TRACK = (28, 36, 52)
FILL = (236, 190, 48)


def background(inner, outer):
    """A soft radial gradient, lightest a little above the middle."""
    x, y = grid(WIDTH, HEIGHT)
    d = np.hypot((x - WIDTH / 2) / (WIDTH / 2), (y - HEIGHT * 0.4) / (HEIGHT / 2)) / np.sqrt(2)
    d = np.clip(d, 0.0, 1.0)[:, :, None]
    image = np.ones((HEIGHT, WIDTH, 4))
    image[:, :, :3] = rgb(inner) * (1 - d) + rgb(outer) * d
    return image


def paste(image, sprite, left, top):
    """Lays an RGBA sprite over the image at (left, top)."""
    h, w = sprite.shape[:2]
    under = image[top:top + h, left:left + w]
    a = sprite[:, :, 3:4]
    under[:, :, :3] = sprite[:, :, :3] * a + under[:, :, :3] * (1 - a)


def name(image, top, size):
    """The game's name, centred, with a dark shadow under it."""
    picture = Image.fromarray((np.clip(image, 0, 1) * 255).round().astype(np.uint8), "RGBA")
    draw = ImageDraw.Draw(picture)
    font = ImageFont.truetype(BOLD, size)
    left, _, right, _ = draw.textbbox((0, 0), "Vimo", font=font)
    x = (WIDTH - (right - left)) // 2 - left
    draw.text((x, top + 6), "Vimo", font=font, fill=(30, 40, 60, 255))
    draw.text((x, top), "Vimo", font=font, fill=(255, 250, 235, 255))
    return np.asarray(picture).astype(np.float64) / 255.0


def screen(inner, outer, pieces_top, name_top, name_size, radius):
    image = background(inner, outer)
    for centre, colour in ((WIDTH // 2 - 3 * radius, RED), (WIDTH // 2, YELLOW), (WIDTH // 2 + 3 * radius, BLUE)):
        paste(image, disc(2 * radius, colour), centre - radius, pieces_top)
    return name(image, name_top, name_size)


def main():
    save_jpg("art/mainmenu/title.jpg", screen((76, 126, 178), (16, 30, 52), 40, 90, 120, 30))
    save_jpg("art/mainmenu/load.jpg", screen((58, 100, 146), (12, 22, 40), 200, 260, 150, 44))
    save_png("art/mainmenu/bar_back.png", bar(480, 32, TRACK))
    save_png("art/mainmenu/bar.png", bar(480, 32, FILL))
    save_png("art/mainmenu/score_panel.png", bar(440, 400, PANEL))
    save_png("art/mainmenu/message_panel.png", bar(520, 220, PANEL))
    save_png("art/mainmenu/spark.png", glow(16))


if __name__ == "__main__":
    main()
