#!/usr/bin/python3
"""Draws the dialogs of the game's screens: their panels, buttons, check boxes, slider parts,
the player list's parts and name box, and the tip's arrow; the first chapter's scenery that the end of a mission and the story
events show; and synthesises the dialogs' sounds (the end dialog's "write", the tip's chime,
the options' effect example). The shared look: flat shapes with a soft gradient, a 2 px
darker outline and a lighter edge.

Run from anywhere with Debian's Python (tools/content/install): tools/content/dialog_art.py
"""

import os
import struct
import sys
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import ROOT, bar, disc, grid, rgb, save_jpg, save_png, smoothstep, with_alpha  # noqa: E402

PANEL = (40, 56, 86)
BUTTON = (72, 110, 170)
OK = (64, 176, 84)
CANCEL = (204, 64, 52)
BOX = (228, 232, 240)
TICK = (64, 176, 84)
TRACK = (28, 36, 52)
PIN = (236, 190, 48)
ARROW = (236, 190, 48)
TIP = (52, 84, 72)
FRAME = (120, 92, 60)

# Panels by name and size: each dialog's back, drawn at its own size so the outline stays 2 px.
PANELS = {
    "endgame_panel": (520, 180),
    "credits_panel": (600, 560),
    "menu_panel": (360, 400),
    "options_panel": (600, 330),
    "confirm_panel": (440, 200),
    "confirm_tall_panel": (440, 420),
    "event_panel": (840, 150),
    "tip_panel": (360, 160),
    "profile_panel": (520, 560),
    "new_profile_panel": (480, 240),
}

RATE = 22050


def save(name, image):
    save_png(os.path.join("art", "dialogs", name + ".png"), image)


def check_mark(size):
    """A check box's tick: a thick green stroke from the left middle down and up to the right."""
    x, y = grid(size, size)
    s = float(size)
    a = np.array([0.22, 0.52]) * s
    b = np.array([0.42, 0.74]) * s
    c = np.array([0.80, 0.26]) * s

    def segment(p, q):
        d = q - p
        t = np.clip(((x - p[0]) * d[0] + (y - p[1]) * d[1]) / (d @ d), 0.0, 1.0)
        return np.hypot(x - (p[0] + t * d[0]), y - (p[1] + t * d[1]))

    dist = np.minimum(segment(a, b), segment(b, c))
    return with_alpha(rgb(TICK), 1.0 - smoothstep(2.5, 3.5, dist))


def arrow(width, height):
    """An arrow pointing right (+x): a shaft and a triangular head, outlined darker."""
    x, y = grid(width, height)
    mid = height / 2.0
    head = width * 0.55
    shaft = (x < head) & (np.abs(y - mid) < height * 0.18)
    tip = (x >= head) & (np.abs(y - mid) < (width - x) / (width - head) * mid)
    inside = shaft | tip
    image = with_alpha(rgb(ARROW), inside.astype(np.float64))
    return image


def scene(width, height):
    """The academy's scenery: a sky that lightens towards the horizon, two rows of soft green
    hills and a pale sun."""
    x, y = grid(width, height)
    sky_top = rgb((86, 140, 214))
    sky_low = rgb((196, 224, 246))
    t = (y / height)[:, :, None]
    image = sky_top * (1 - t) + sky_low * t
    sun = np.hypot(x - width * 0.76, y - height * 0.24) < height * 0.09
    image[sun] = rgb((252, 240, 190))
    for base, amp, period, colour in ((0.62, 0.06, 0.9, (104, 168, 92)), (0.76, 0.05, 0.6, (70, 136, 64))):
        ridge = height * (base + amp * np.sin(x / width * np.pi * 2 / period))
        image[y > ridge] = rgb(colour) * (1.0 - 0.25 * ((y[y > ridge] - ridge[y > ridge]) / height))[:, None]
    return np.dstack([image, np.ones((height, width))])


def scene_frame(width, height, border):
    """A wooden frame around the scenery: opaque along the edges, clear inside."""
    image = bar(width, height, FRAME)
    x, y = grid(width, height)
    inside = (x > border) & (x < width - border) & (y > border) & (y < height - border)
    image[inside, 3] = 0.0
    return image


def write_wav(name, samples):
    path = os.path.join(ROOT, "sound", name + ".wav")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = np.clip(np.rint(samples * 32767.0), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(data.tobytes())


def tone(frequencies, seconds, decay):
    t = np.arange(int(RATE * seconds)) / RATE
    voice = sum(np.sin(2 * np.pi * f * t) for f in frequencies) / len(frequencies)
    return voice * np.exp(-t * decay) * np.minimum(1.0, t * 400.0)


def scribble():
    """A pen's quick stroke: filtered noise in three short bursts."""
    rng = np.random.default_rng(47)
    t = np.arange(int(RATE * 0.32)) / RATE
    noise = np.convolve(rng.standard_normal(t.size), np.ones(6) / 6, mode="same")
    bursts = sum(np.exp(-((t - c) / 0.03) ** 2) for c in (0.05, 0.15, 0.25))
    return 0.5 * noise * bursts + 0.25 * tone([880], 0.32, 14.0)


def main():
    for name, (w, h) in PANELS.items():
        save(name, bar(w, h, TIP if name == "tip_panel" else PANEL))
    save("button", bar(200, 44, BUTTON))
    save("button_ok", bar(140, 44, OK))
    save("button_cancel", bar(140, 44, CANCEL))
    save("box", bar(32, 32, BOX))
    save("tick", check_mark(32))
    save("track", bar(300, 16, TRACK))
    save("pin", disc(28, PIN))
    save("arrow", arrow(64, 32))
    save("list_back", bar(440, 300, TRACK))
    save("list_item", bar(412, 36, BUTTON))
    save("list_scroll", bar(12, 288, PANEL))
    save("name_box", bar(400, 44, TRACK))
    save_jpg(os.path.join("art", "chapters", "1", "scene.jpg"), scene(600, 400))
    save_png(os.path.join("art", "chapters", "1", "scene_frame.png"), scene_frame(632, 432, 16))
    write_wav("write", scribble())
    write_wav("tip", 0.6 * tone([660, 990], 0.5, 7.0))
    write_wav("example", 0.7 * tone([523, 784], 0.3, 12.0))


if __name__ == "__main__":
    main()
