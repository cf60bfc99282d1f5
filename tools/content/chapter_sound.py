#!/usr/bin/python3
"""Writes the short effects of the field objects the chapters from the meadow on bring in
(WAV): the knock of a brick, the puff of a cloud appearing, the whirlwind's endless rush and
the drop of a piece into a hole. The chapters' music is music.py's.

Run from anywhere with Debian's Python and NumPy (tools/content/install):
tools/content/chapter_sound.py
The noise comes from seeded generators, so a rerun writes the same bytes.
"""

import os
import sys
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import ROOT  # noqa: E402

RATE = 22050

def write_wav(path, samples):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = (np.clip(samples, -1.0, 1.0) * 32767).astype("<i2").tobytes()
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(data)


def knock():
    """A brick struck: a short low thud with a dry click on top."""
    rng = np.random.default_rng(11)
    t = np.arange(int(RATE * 0.18)) / RATE
    thud = np.sin(2 * np.pi * 140 * t * (1 - 0.3 * t)) * np.exp(-t * 30)
    click = rng.uniform(-1, 1, t.size) * np.exp(-t * 120)
    return 0.7 * (thud + 0.4 * click)


def puff():
    """A cloud appearing: a soft swell of noise, low-passed by a running mean."""
    rng = np.random.default_rng(12)
    t = np.arange(int(RATE * 0.6)) / RATE
    noise = np.convolve(rng.uniform(-1, 1, t.size), np.ones(24) / 24, mode="same")
    return 2.2 * noise * np.sin(np.pi * t / t[-1]) ** 2


def rush():
    """The whirlwind: two seconds of airy noise whose brightness sways, the same at both ends
    so that it loops."""
    rng = np.random.default_rng(13)
    n = RATE * 2
    t = np.arange(n) / RATE
    noise = rng.uniform(-1, 1, n)
    dull = np.convolve(np.concatenate([noise[-64:], noise]), np.ones(64) / 64, mode="valid")[1:]
    bright = np.convolve(np.concatenate([noise[-8:], noise]), np.ones(8) / 8, mode="valid")[1:]
    sway = 0.5 + 0.5 * np.sin(2 * np.pi * t / 2.0)
    return 1.6 * (dull * (1 - sway) + 0.5 * bright * sway)


def drop():
    """A piece dropping into a hole: a falling whistle ending in a hollow pop."""
    t = np.arange(int(RATE * 0.45)) / RATE
    f = 900 * np.exp(-t * 4)
    whistle = np.sin(2 * np.pi * np.cumsum(f) / RATE) * np.minimum(1, t / 0.02) * 0.4
    pop_t = np.clip(t - 0.35, 0, None)
    pop = np.sin(2 * np.pi * 220 * pop_t) * np.exp(-pop_t * 40) * (t > 0.35)
    return whistle + 0.8 * pop


def main():
    write_wav(os.path.join(ROOT, "sound", "brick_knock.wav"), knock())
    write_wav(os.path.join(ROOT, "sound", "cloud_appear.wav"), puff())
    write_wav(os.path.join(ROOT, "sound", "whirlwind.wav"), rush())
    write_wav(os.path.join(ROOT, "sound", "hole_drop.wav"), drop())


if __name__ == "__main__":
    main()
