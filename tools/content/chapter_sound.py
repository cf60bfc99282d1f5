#!/usr/bin/python3
"""Writes the sounds of the chapters from the meadow on: each chapter's music, a quiet loop of
simple chords with a plucked line over them (Ogg Vorbis through oggenc), and the short effects
of the field objects those chapters bring in (WAV): the knock of a brick, the puff of a cloud
appearing, the whirlwind's endless rush and the drop of a piece into a hole.

Run from anywhere with Debian's Python and oggenc (tools/content/install):
tools/content/chapter_sound.py
The noise comes from seeded generators and oggenc is given a fixed serial number, so a rerun
writes the same bytes.
"""

import os
import subprocess
import sys
import tempfile
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import ROOT  # noqa: E402

RATE = 22050

# A = 440 Hz is note 69; chords are lists of notes.
CHORDS = {
    # The meadow: bright major chords, an easy walking pace.
    2: {"tempo": 100, "progression": [[60, 64, 67], [65, 69, 72], [67, 71, 74], [60, 64, 67],
                                      [57, 60, 64], [65, 69, 72], [62, 65, 69], [67, 71, 74]],
        "pluck": 0.9, "seed": 2},
    # The river: suspended chords that flow, slower.
    3: {"tempo": 84, "progression": [[62, 67, 69], [60, 64, 69], [65, 69, 72], [62, 67, 71],
                                     [64, 67, 71], [60, 65, 69], [62, 66, 69], [64, 69, 71]],
        "pluck": 0.6, "seed": 3},
    # The forest: minor and low, with sparse notes.
    4: {"tempo": 76, "progression": [[57, 60, 64], [53, 57, 60], [55, 59, 62], [52, 56, 59],
                                     [57, 60, 64], [50, 53, 57], [52, 55, 59], [52, 56, 59]],
        "pluck": 0.45, "seed": 4},
    # The canyon: open fifths over a steady low drone, a little faster.
    5: {"tempo": 96, "progression": [[52, 59, 64], [50, 57, 62], [48, 55, 60], [50, 57, 62],
                                     [52, 59, 64], [55, 62, 67], [53, 60, 65], [50, 57, 62]],
        "pluck": 0.7, "seed": 5},
    # The mountains: wide, cold chords and high bells.
    6: {"tempo": 72, "progression": [[62, 69, 74], [60, 67, 72], [58, 65, 70], [60, 67, 72],
                                     [62, 69, 74], [65, 72, 77], [57, 64, 69], [60, 67, 72]],
        "pluck": 0.5, "seed": 6},
    # The sky: light major sevenths, floating.
    7: {"tempo": 88, "progression": [[60, 64, 67, 71], [65, 69, 72, 76], [62, 65, 69, 72], [67, 71, 74, 77],
                                     [60, 64, 67, 71], [57, 60, 64, 67], [65, 69, 72, 76], [67, 71, 74, 77]],
        "pluck": 0.8, "seed": 7},
    # The temple: solemn chords that climb to the end of the journey.
    8: {"tempo": 80, "progression": [[57, 60, 64], [53, 57, 60], [48, 52, 55], [55, 59, 62],
                                     [57, 60, 64], [62, 65, 69], [64, 68, 71], [57, 61, 64]],
        "pluck": 0.6, "seed": 8},
}


def frequency(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def pad(notes, length):
    """A soft chord: a few harmonics of each note, swelling in and dying away."""
    t = np.arange(length) / RATE
    out = np.zeros(length)
    for note in notes:
        f = frequency(note)
        out += np.sin(2 * np.pi * f * t) + 0.3 * np.sin(4 * np.pi * f * t) + 0.1 * np.sin(6 * np.pi * f * t)
    attack = np.minimum(1.0, t / 0.4)
    release = np.minimum(1.0, (length / RATE - t) / 0.6)
    return out * attack * release / len(notes)


def pluck(note, length):
    """A plucked string: a bright start decaying fast."""
    t = np.arange(length) / RATE
    f = frequency(note)
    tone = np.sin(2 * np.pi * f * t) + 0.5 * np.sin(4 * np.pi * f * t) * np.exp(-t * 8)
    return tone * np.exp(-t * 4) * np.minimum(1.0, t / 0.005)


def music(chapter):
    """The chapter's loop: each chord lasts two bars of four beats under a plucked line that
    picks notes of the chord an octave up; the loop ends where it began."""
    spec = CHORDS[chapter]
    rng = np.random.default_rng(spec["seed"])
    beat = int(RATE * 60 / spec["tempo"])
    bar = 8 * beat
    total = bar * len(spec["progression"])
    out = np.zeros(total + RATE * 2)
    for i, chord in enumerate(spec["progression"]):
        start = i * bar
        out[start:start + bar + RATE] += 0.5 * pad(chord, bar + RATE)
        bass = pad([chord[0] - 12], bar)
        out[start:start + bar] += 0.35 * bass
        for b in range(8):
            if rng.random() > spec["pluck"]:
                continue
            note = chord[rng.integers(len(chord))] + 12
            at = start + b * beat
            out[at:at + RATE] += 0.3 * pluck(note, RATE)
    # What rings past the end comes back at the start, so the loop joins without a click.
    out[:RATE * 2] += out[total:total + RATE * 2]
    out = out[:total]
    return 0.3 * out / np.max(np.abs(out))


def write_wav(path, samples):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = (np.clip(samples, -1.0, 1.0) * 32767).astype("<i2").tobytes()
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(data)


def write_ogg(relative, samples, serial):
    path = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with tempfile.TemporaryDirectory() as folder:
        wav = os.path.join(folder, "music.wav")
        write_wav(wav, samples)
        subprocess.run(["oggenc", "--quiet", "-q", "1", "--serial", str(serial), "--discard-comments",
                        "-o", path, wav], check=True)


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
    for chapter in CHORDS:
        write_ogg("music/chapter%d.ogg" % chapter, music(chapter), serial=chapter)
    write_wav(os.path.join(ROOT, "sound", "brick_knock.wav"), knock())
    write_wav(os.path.join(ROOT, "sound", "cloud_appear.wav"), puff())
    write_wav(os.path.join(ROOT, "sound", "whirlwind.wav"), rush())
    write_wav(os.path.join(ROOT, "sound", "hole_drop.wav"), drop())


if __name__ == "__main__":
    main()
