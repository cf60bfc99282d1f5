#!/usr/bin/python3
"""Draws the intro's logos (art/logo/logo1.jpg, logo2.jpg: the maker's, then the game's) and
the window icon (art/icon.png): flat shapes with soft radial gradients, a darker outline and
a small highlight, the pieces in their colours of the whole game. Deterministic.

Run from the repository's root: /usr/bin/python3 tools/content/logo_art.py
Needs python3-pil, python3-numpy and fonts-dejavu-core (tools/content/install).
"""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
REGULAR = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
SIZE = (1024, 768)

RED = (214, 64, 52)
YELLOW = (236, 190, 48)
BLUE = (58, 116, 214)


def radial_background(size, inner, outer):
    """A soft radial gradient from the centre's colour to the corners' colour."""
    w, h = size
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt(((x - w / 2) / (w / 2)) ** 2 + ((y - h / 2) / (h / 2)) ** 2) / np.sqrt(2)
    d = np.clip(d, 0, 1)[..., None]
    rgb = np.array(inner, np.float32) * (1 - d) + np.array(outer, np.float32) * d
    return Image.fromarray(rgb.round().astype(np.uint8), "RGB")


def disc(image, centre, radius, colour):
    """A piece: a disc with a radial gradient, a 2 px darker outline and a highlight."""
    cx, cy = centre
    size = 2 * radius + 1
    y, x = np.mgrid[0:size, 0:size].astype(np.float32)
    d = np.sqrt((x - radius) ** 2 + (y - radius) ** 2) / radius
    light = np.sqrt((x - radius * 0.65) ** 2 + (y - radius * 0.6) ** 2) / radius
    base = np.array(colour, np.float32)
    rgb = base * (1.15 - 0.35 * np.clip(d, 0, 1)[..., None])
    rgb = rgb + 90 * np.clip(1 - light / 0.35, 0, 1)[..., None]
    rgb = np.where((d > 1 - 2.0 / radius)[..., None], base * 0.55, rgb)
    alpha = np.clip((1 - d) * radius + 0.5, 0, 1) * 255
    rgba = np.dstack([np.clip(rgb, 0, 255), alpha]).round().astype(np.uint8)
    image.alpha_composite(Image.fromarray(rgba, "RGBA"), (cx - radius, cy - radius))


def centred_text(image, y, text, font, fill):
    draw = ImageDraw.Draw(image)
    left, _, right, _ = draw.textbbox((0, 0), text, font=font)
    draw.text(((image.width - (right - left)) // 2 - left, y), text, font=font, fill=fill)


def maker_logo():
    image = radial_background(SIZE, (38, 44, 70), (8, 10, 20)).convert("RGBA")
    disc(image, (512, 300), 110, BLUE)
    centred_text(image, 240, "KQ", ImageFont.truetype(BOLD, 96), (255, 255, 255, 255))
    centred_text(image, 450, "KQ Games", ImageFont.truetype(BOLD, 48), (230, 234, 245, 255))
    centred_text(image, 520, "presents", ImageFont.truetype(REGULAR, 28), (170, 178, 200, 255))
    return image.convert("RGB")


def game_logo():
    image = radial_background(SIZE, (70, 120, 170), (20, 36, 60)).convert("RGBA")
    for x, colour in ((392, RED), (512, YELLOW), (632, BLUE)):
        disc(image, (x, 250), 52, colour)
    font = ImageFont.truetype(BOLD, 150)
    centred_text(image, 340, "Vimo", font, (30, 40, 60, 255))
    centred_text(image, 332, "Vimo", font, (255, 250, 235, 255))
    return image.convert("RGB")


def icon():
    image = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    disc(image, (20, 40), 17, RED)
    disc(image, (44, 40), 17, BLUE)
    disc(image, (32, 20), 17, YELLOW)
    return image


def main():
    os.makedirs(os.path.join(ROOT, "art/logo"), exist_ok=True)
    maker_logo().save(os.path.join(ROOT, "art/logo/logo1.jpg"), quality=90, optimize=True)
    game_logo().save(os.path.join(ROOT, "art/logo/logo2.jpg"), quality=90, optimize=True)
    icon().save(os.path.join(ROOT, "art/icon.png"), optimize=True)


if __name__ == "__main__":
    main()
