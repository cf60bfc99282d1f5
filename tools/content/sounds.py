#!/usr/bin/env python3
"""Synthesises the game frame's sounds and the academy's music.

Sounds (16-bit mono WAV, 22050 Hz, each under a second) in data/sound:
  start.wav    a rising two-note chime as a mission opens
  win.wav      a bright major arpeggio
  lose.wav     a falling minor pair with a soft thud
  skip.wav     a quick swoosh with a click
  reserve.wav  a short ticking loop, played while the reserve bonus is counted

Music (Ogg Vorbis through oggenc, 44100 Hz stereo) in data/music:
  academy.ogg  a 32 s loop of soft chords with a plucked melody, quiet under the effects

Everything comes from sine and noise voices with a seeded generator, so a rerun gives the
same samples (oggenc's output for the same input is the same too).

Run from the repository's root: /usr/bin/python3 tools/content/sounds.py
"""

import os
import subprocess
import tempfile
import wave

import numpy as np

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
RATE = 22050
MUSIC_RATE = 44100


def note(semitones_from_a4):
    return 440.0 * 2.0 ** (semitones_from_a4 / 12.0)


def envelope(n, attack, rate=RATE):
    """A quick attack, then an exponential decay to silence at the end."""
    t = np.arange(n) / rate
    a = np.minimum(1.0, t / max(attack, 1e-4))
    d = np.exp(-4.0 * t / (n / rate))
    return a * d


def tone(freq, seconds, attack=0.005, harmonics=(1.0, 0.3, 0.1), rate=RATE):
    n = int(seconds * rate)
    t = np.arange(n) / rate
    wave_ = sum(h * np.sin(2 * np.pi * freq * (k + 1) * t) for k, h in enumerate(harmonics))
    return wave_ * envelope(n, attack, rate)


def place(track, sound, at, rate=RATE):
    start = int(at * rate)
    end = min(len(track), start + len(sound))
    track[start:end] += sound[: end - start]


def normalise(samples, peak):
    top = np.max(np.abs(samples))
    return samples * (peak / top) if top > 0 else samples


def write_wav(name, samples):
    path = os.path.join(DATA, "sound", name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = (np.clip(samples, -1.0, 1.0) * 32767).astype("<i2")
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(data.tobytes())


def start_sound():
    track = np.zeros(int(0.6 * RATE))
    place(track, tone(note(3), 0.35), 0.0)
    place(track, tone(note(10), 0.45), 0.12)
    return normalise(track, 0.6)


def win_sound():
    track = np.zeros(int(0.9 * RATE))
    for i, step in enumerate((3, 7, 10, 15)):
        place(track, tone(note(step), 0.5), i * 0.09)
    return normalise(track, 0.7)


def lose_sound(rng):
    track = np.zeros(int(0.8 * RATE))
    place(track, tone(note(0), 0.35, harmonics=(1.0, 0.5, 0.2)), 0.0)
    place(track, tone(note(-4), 0.5, harmonics=(1.0, 0.5, 0.2)), 0.2)
    n = int(0.25 * RATE)
    t = np.arange(n) / RATE
    thud = np.sin(2 * np.pi * 70 * t) * np.exp(-18 * t) + 0.2 * rng.standard_normal(n) * np.exp(-40 * t)
    place(track, thud, 0.2)
    return normalise(track, 0.6)


def skip_sound(rng):
    n = int(0.4 * RATE)
    t = np.arange(n) / RATE
    noise = rng.standard_normal(n)
    # A band of noise sweeping up: a moving average whose width shrinks over time.
    swoosh = np.zeros(n)
    for i in range(n):
        width = int(12 - 10 * t[i] / t[-1]) + 1
        swoosh[i] = noise[max(0, i - width):i + 1].mean()
    swoosh *= np.sin(np.pi * t / t[-1]) ** 2
    track = swoosh
    place(track, tone(note(19), 0.05, attack=0.001), 0.3)
    return normalise(track, 0.5)


def reserve_sound():
    # Eight ticks in 0.4 s: the loop repeats seamlessly.
    track = np.zeros(int(0.4 * RATE))
    for i in range(8):
        place(track, tone(note(22 + (i % 2) * 5), 0.04, attack=0.001, harmonics=(1.0, 0.2)), i * 0.05)
    return normalise(track, 0.45)


def chord_tones(root, minor):
    return [root, root + (3 if minor else 4), root + 7]


def music(rng):
    """Eight bars of four beats at 60 beats a minute: a pad under a plucked line."""
    seconds = 32.0
    n = int(seconds * MUSIC_RATE)
    left = np.zeros(n)
    right = np.zeros(n)
    progression = [(-9, False), (-4, False), (-2, True), (-7, False)] * 2  # C G Am F, twice
    for bar, (root, minor) in enumerate(progression):
        at = bar * 4.0
        for k, step in enumerate(chord_tones(root, minor)):
            pad = tone(note(step - 12), 4.0, attack=0.6, harmonics=(1.0, 0.15), rate=MUSIC_RATE)
            pan = 0.3 + 0.2 * k
            place(left, pad * (1 - pan), at, MUSIC_RATE)
            place(right, pad * pan, at, MUSIC_RATE)
        scale = chord_tones(root, minor) + [root + 12]
        for beat in range(8):
            step = scale[int(rng.integers(0, len(scale)))]
            pluck = tone(note(step + 12), 0.45, attack=0.002, harmonics=(1.0, 0.4, 0.15), rate=MUSIC_RATE)
            place(left, 0.5 * pluck, at + beat * 0.5, MUSIC_RATE)
            place(right, 0.5 * pluck, at + beat * 0.5, MUSIC_RATE)
    peak = max(np.max(np.abs(left)), np.max(np.abs(right)))
    return left * 0.45 / peak, right * 0.45 / peak


def write_music(name, channels):
    path = os.path.join(DATA, "music", name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    left, right = channels
    frames = np.stack([left, right], axis=1)
    data = (np.clip(frames, -1.0, 1.0) * 32767).astype("<i2")
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "music.wav")
        with wave.open(source, "wb") as out:
            out.setnchannels(2)
            out.setsampwidth(2)
            out.setframerate(MUSIC_RATE)
            out.writeframes(data.tobytes())
        subprocess.run(["oggenc", "-Q", "-q", "2", "--serial", "1", "-o", path, source], check=True)


def main():
    rng = np.random.default_rng(48)
    write_wav("start.wav", start_sound())
    write_wav("win.wav", win_sound())
    write_wav("lose.wav", lose_sound(rng))
    write_wav("skip.wav", skip_sound(rng))
    write_wav("reserve.wav", reserve_sound())
    write_music("academy.ogg", music(rng))


if __name__ == "__main__":
    main()
