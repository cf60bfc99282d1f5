#!/usr/bin/env python3
"""Synthesises the sounds of the game frame and of the field (the music is music.py's).

Sounds (16-bit mono WAV, 22050 Hz, each under a second) in data/sound:
  start.wav          a rising two-note chime as a mission opens
  win.wav            a bright major arpeggio
  lose.wav           a falling minor pair with a soft thud
  skip.wav           a quick swoosh with a click
  reserve.wav        a short ticking loop, played while the reserve bonus is counted
  impact_soft.wav    the tick of something light struck: spirits, sparks, jewels, clouds
  impact_medium.wav  the ceramic clack of two pieces meeting
  impact_hard.wav    the clunk of something heavy struck: walls, rockets, doors, trains
  danger.wav         a soft double pulse that loops while the meter runs low or empty
  danger_end.wav     a rising pair of notes when the meter is out of danger again
  bowl.wav           a singing bowl's ring as the field hands out bonuses
  time_stop.wav      a falling glide with a tick as time stops
  time_start.wav     a rising glide with a tick as time runs on

An impact's loudness comes from the hit itself (the harder, the louder); which of the three
impacts an object makes is the data's choice, by how heavy the object is.

Everything comes from sine and noise voices with seeded generators, so a rerun gives the
same samples.

Run from the repository's root: /usr/bin/python3 tools/content/sounds.py
"""

import os
import wave

import numpy as np

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
RATE = 22050


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


def partials(freqs_decays, seconds, rng=None, click=0.0):
    """A struck body: decaying sine partials (frequency, decay per second, level), with a short
    burst of noise on the strike when `click` is above 0."""
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    out = np.zeros(n)
    for freq, decay, level in freqs_decays:
        out += level * np.sin(2 * np.pi * freq * t) * np.exp(-decay * t)
    if click > 0.0 and rng is not None:
        out += click * rng.standard_normal(n) * np.exp(-t * 400)
    return out * np.minimum(1.0, t / 0.0008)


def impact_soft(rng):
    return normalise(partials(((2350, 45, 1.0), (3810, 70, 0.6), (5900, 110, 0.3)), 0.12, rng, 0.5), 0.5)


def impact_medium(rng):
    return normalise(partials(((1380, 30, 1.0), (2950, 45, 0.7), (4620, 70, 0.4), (7100, 120, 0.15)),
                              0.2, rng, 0.6), 0.7)


def impact_hard(rng):
    n = int(0.35 * RATE)
    t = np.arange(n) / RATE
    thud = np.sin(2 * np.pi * np.cumsum(120 * (1 - 0.4 * t)) / RATE) * np.exp(-t * 14)
    body = partials(((610, 18, 0.5), (1370, 26, 0.35), (2140, 40, 0.2), (3520, 60, 0.1)), 0.35, rng, 0.8)
    return normalise(thud + body, 0.85)


def danger_sound():
    """Two soft low beeps in a second, like a heartbeat: the loop repeats seamlessly, and the
    field raises its pitch when the meter is overdrawn."""
    track = np.zeros(RATE)
    for at in (0.0, 0.22):
        place(track, tone(note(-9), 0.2, attack=0.01, harmonics=(1.0, 0.5, 0.25, 0.1)), at)
    return normalise(track, 0.4)


def danger_end_sound():
    track = np.zeros(int(0.5 * RATE))
    place(track, tone(note(7), 0.25, harmonics=(1.0, 0.25)), 0.0)
    place(track, tone(note(12), 0.35, harmonics=(1.0, 0.25)), 0.1)
    return normalise(track, 0.5)


def bowl_sound():
    """A singing bowl: a few inharmonic partials that beat slowly against each other."""
    n = int(0.9 * RATE)
    t = np.arange(n) / RATE
    out = np.zeros(n)
    for ratio, level, decay in ((1.0, 1.0, 4.0), (1.004, 0.6, 4.0), (2.76, 0.5, 6.0), (5.4, 0.25, 9.0)):
        out += level * np.sin(2 * np.pi * note(10) * ratio * t) * np.exp(-decay * t)
    return normalise(out * np.minimum(1.0, t / 0.003), 0.5)


def glide(start_hz, end_hz, seconds):
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    f = start_hz * (end_hz / start_hz) ** (t / seconds)
    phase = 2 * np.pi * np.cumsum(f) / RATE
    voice = np.sin(phase) + 0.35 * np.sin(2 * phase) + 0.15 * np.sin(3 * phase)
    return voice * np.sin(np.pi * t / seconds) ** 2


def time_stop_sound():
    track = np.zeros(int(0.7 * RATE))
    place(track, glide(note(15), note(-9), 0.6), 0.0)
    place(track, tone(note(27), 0.05, attack=0.001, harmonics=(1.0, 0.2)), 0.6)
    return normalise(track, 0.55)


def time_start_sound():
    track = np.zeros(int(0.7 * RATE))
    place(track, tone(note(27), 0.05, attack=0.001, harmonics=(1.0, 0.2)), 0.0)
    place(track, glide(note(-9), note(15), 0.6), 0.08)
    return normalise(track, 0.55)


def main():
    rng = np.random.default_rng(48)
    write_wav("start.wav", start_sound())
    write_wav("win.wav", win_sound())
    write_wav("lose.wav", lose_sound(rng))
    write_wav("skip.wav", skip_sound(rng))
    write_wav("reserve.wav", reserve_sound())
    impacts = np.random.default_rng(60)
    write_wav("impact_soft.wav", impact_soft(impacts))
    write_wav("impact_medium.wav", impact_medium(impacts))
    write_wav("impact_hard.wav", impact_hard(impacts))
    write_wav("danger.wav", danger_sound())
    write_wav("danger_end.wav", danger_end_sound())
    write_wav("bowl.wav", bowl_sound())
    write_wav("time_stop.wav", time_stop_sound())
    write_wav("time_start.wav", time_start_sound())


if __name__ == "__main__":
    main()
