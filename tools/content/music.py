#!/usr/bin/python3
"""Writes the game's music (data/music, Ogg Vorbis through oggenc, 44100 Hz stereo): the title's
and the travel map's loops, the academy's and one for each chapter from the meadow on.

A track is a chord progression played a few times over, each pass with its own layers:
  pad      a soft chord of detuned, many-harmoned voices, the left and right ears a little
           apart, so it fills the stereo field and the whole range of hearing
  bass     the chord's root plucked on the strong beats
  melody   a plucked line over the chord's notes and the steps between them, its rhythm and
           notes drawn afresh for each pass
  bells    a few high, bell-like notes (frequency modulation)
  rhythm   a soft kick, a bright closed hat and a shaker, panned apart
and a small room around all of it. What rings past the end comes back at the start, so the
loop joins without a click. The academy's track runs past two minutes and varies its second
half, so a first mission played slowly does not hear the same half minute over and over.

The music sits under the effects: its peak is a little under half of full scale.

Run from anywhere with Debian's Python, NumPy and oggenc (tools/content/install):
tools/content/music.py
Every voice draws from a generator seeded by the track, and oggenc gets a fixed serial number,
so a rerun writes the same bytes.
"""

import os
import subprocess
import sys
import tempfile
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import ROOT  # noqa: E402

RATE = 44100
PEAK = 0.45
QUALITY = "-1"

# Layers of a pass, from the quietest to the fullest.
INTRO = ("pad", "bass")
SONG = ("pad", "bass", "melody")
FULL = ("pad", "bass", "melody", "bells", "rhythm")
GROOVE = ("pad", "bass", "rhythm")

# A = 440 Hz is note 69; a progression is one chord a bar.
MEADOW = [[60, 64, 67], [65, 69, 72], [67, 71, 74], [60, 64, 67],
          [57, 60, 64], [65, 69, 72], [62, 65, 69], [67, 71, 74]]
TRACKS = {
    # The title: slow, warm and open.
    "title": {"tempo": 70, "seed": 1, "passes": [SONG, FULL],
              "progression": [[60, 64, 67], [57, 60, 64], [65, 69, 72], [67, 71, 74],
                              [60, 64, 67], [64, 67, 71], [62, 65, 69], [67, 71, 74]]},
    # The travel map: calm chords for choosing the way.
    "map": {"tempo": 76, "seed": 9, "passes": [INTRO, SONG],
            "progression": [[57, 61, 64], [55, 59, 62], [53, 57, 60], [55, 59, 64],
                            [57, 61, 64], [62, 66, 69], [55, 59, 62], [52, 56, 59]]},
    # The academy: a friendly lesson, two halves on two progressions, each varied on repeat.
    "academy": {"tempo": 92, "seed": 48,
                "passes": [INTRO, SONG, FULL, GROOVE, SONG, FULL],
                "progression": [[60, 64, 67], [67, 71, 74], [57, 60, 64], [65, 69, 72]] * 2,
                "second": [[65, 69, 72], [67, 71, 74], [64, 67, 71], [57, 60, 64],
                           [62, 65, 69], [67, 71, 74], [60, 64, 67], [67, 71, 74]]},
    # The meadow: bright major chords, an easy walking pace.
    "chapter2": {"tempo": 100, "seed": 2, "passes": [SONG, FULL, GROOVE], "progression": MEADOW},
    # The river: suspended chords that flow, slower.
    "chapter3": {"tempo": 84, "seed": 3, "passes": [INTRO, SONG, FULL],
                 "progression": [[62, 67, 69], [60, 64, 69], [65, 69, 72], [62, 67, 71],
                                 [64, 67, 71], [60, 65, 69], [62, 66, 69], [64, 69, 71]]},
    # The forest: minor and low, with sparse notes.
    "chapter4": {"tempo": 76, "seed": 4, "passes": [INTRO, SONG, GROOVE],
                 "progression": [[57, 60, 64], [53, 57, 60], [55, 59, 62], [52, 56, 59],
                                 [57, 60, 64], [50, 53, 57], [52, 55, 59], [52, 56, 59]]},
    # The canyon: open fifths over a steady low drone, a little faster.
    "chapter5": {"tempo": 96, "seed": 5, "passes": [GROOVE, FULL, SONG],
                 "progression": [[52, 59, 64], [50, 57, 62], [48, 55, 60], [50, 57, 62],
                                 [52, 59, 64], [55, 62, 67], [53, 60, 65], [50, 57, 62]]},
    # The mountains: wide, cold chords and high bells.
    "chapter6": {"tempo": 72, "seed": 6, "passes": [INTRO, FULL, SONG],
                 "progression": [[62, 69, 74], [60, 67, 72], [58, 65, 70], [60, 67, 72],
                                 [62, 69, 74], [65, 72, 77], [57, 64, 69], [60, 67, 72]]},
    # The sky: light major sevenths, floating.
    "chapter7": {"tempo": 88, "seed": 7, "passes": [SONG, FULL, INTRO],
                 "progression": [[60, 64, 67, 71], [65, 69, 72, 76], [62, 65, 69, 72], [67, 71, 74, 77],
                                 [60, 64, 67, 71], [57, 60, 64, 67], [65, 69, 72, 76], [67, 71, 74, 77]]},
    # The temple: solemn chords that climb to the end of the journey.
    "chapter8": {"tempo": 80, "seed": 8, "passes": [INTRO, SONG, FULL],
                 "progression": [[57, 60, 64], [53, 57, 60], [48, 52, 55], [55, 59, 62],
                                 [57, 60, 64], [62, 65, 69], [64, 68, 71], [57, 61, 64]]},
}
SERIALS = {"title": 100, "map": 4904, "academy": 1, "chapter2": 2, "chapter3": 3, "chapter4": 4,
           "chapter5": 5, "chapter6": 6, "chapter7": 7, "chapter8": 8}


def frequency(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def times(seconds):
    return np.arange(int(seconds * RATE)) / RATE


def add(track, sound, at):
    """Mixes a stereo sound (2 x n) into the stereo track from sample `at`, cut at its end."""
    end = min(track.shape[1], at + sound.shape[1])
    track[:, at:end] += sound[:, :end - at]


def panned(mono, pan):
    """A mono sound placed between the left (-1) and right (1) ears at equal loudness."""
    angle = (pan + 1) * np.pi / 4
    return np.stack([mono * np.cos(angle), mono * np.sin(angle)])


def saw(freq, t, tilt):
    """A band-limited sawtooth-like tone whose harmonics fall by k ** -tilt, up to 16 kHz: one
    period is built from its harmonics and read round at the tone's frequency."""
    table_size = 4096
    x = np.arange(table_size) / table_size
    table = np.zeros(table_size + 1)
    for k in range(1, int(16000 / freq) + 1):
        table[:table_size] += np.sin(2 * np.pi * k * x) / k ** tilt
    table[table_size] = table[0]
    phase = (freq * t) % 1.0 * table_size
    return np.interp(phase, np.arange(table_size + 1), table)


def pad(notes, seconds):
    """Each note as two voices a few cents apart, one in each ear, swelling in and out."""
    t = times(seconds)
    left = np.zeros(t.size)
    right = np.zeros(t.size)
    for note in notes:
        f = frequency(note)
        left += saw(f * 2 ** (-6 / 1200), t, 1.8)
        right += saw(f * 2 ** (6 / 1200), t, 1.8)
    swell = np.minimum(1.0, t / 0.5) * np.minimum(1.0, (seconds - t) / 0.8)
    return np.stack([left, right]) * swell / len(notes)


def pluck(note, seconds, brightness):
    """A plucked string: harmonics that die away the faster the higher they are (each is
    computed only while it is still heard)."""
    t = times(seconds)
    f = frequency(note)
    out = np.zeros(t.size)
    for k in range(1, int(12000 / f) + 1):
        decay = 2.5 + 2.0 * k / brightness
        n = min(t.size, int(9.0 / decay * RATE))
        out[:n] += np.sin(2 * np.pi * f * k * t[:n]) * np.exp(-t[:n] * decay) / k
    return out * np.minimum(1.0, t / 0.003)


def bell(note, seconds):
    """A bell: a sine whose modulation by an inharmonic partner dies away faster than it."""
    t = times(seconds)
    f = frequency(note)
    index = 3.0 * np.exp(-t * 6)
    return np.sin(2 * np.pi * f * t + index * np.sin(2 * np.pi * f * 3.5 * t)) * np.exp(-t * 2.2)


def kick(seconds=0.3):
    t = times(seconds)
    sweep = 45 + 70 * np.exp(-t * 30)
    return np.sin(2 * np.pi * np.cumsum(sweep) / RATE) * np.exp(-t * 12)


def hat(rng, seconds, decay):
    """Noise with its low part taken away (two differences), dying fast."""
    t = times(seconds)
    noise = np.diff(np.diff(rng.standard_normal(t.size + 2)))
    return noise * np.exp(-t * decay) / 4


def melody_notes(chord):
    """The notes a line may take over a chord: its own an octave up and the steps between."""
    top = [n + 12 for n in chord]
    steps = [n + 2 for n in top[:-1]]
    return top, steps


def melody(track, rng, chord, start, beat, density):
    top, steps = melody_notes(chord)
    at = 0.0
    while at < 4.0:
        length = [0.5, 1.0, 1.0, 1.5, 2.0][int(rng.integers(5))]
        if rng.random() < density:
            on_beat = abs(at - round(at)) < 1e-6
            note = top[int(rng.integers(len(top)))] if on_beat or rng.random() < 0.6 else \
                steps[int(rng.integers(len(steps)))]
            voice = pluck(note, min(2.0, length * beat + 0.6), 1.2)
            add(track, panned(0.32 * voice, float(rng.uniform(-0.3, 0.3))), start + int(at * beat * RATE))
        at += length


def rhythm(track, rng, start, beat):
    for b in range(4):
        at = start + int(b * beat * RATE)
        if b % 2 == 0:
            add(track, panned(0.45 * kick(), 0.0), at)
        for half in (0, 1):
            hit = at + int(half * beat * RATE / 2)
            add(track, panned((0.16 if half else 0.1) * hat(rng, 0.08, 60), 0.35), hit)
        if rng.random() < 0.5:
            add(track, panned(0.08 * hat(rng, 0.15, 25), -0.45), at + int(0.75 * beat * RATE))


def bar_of(track, rng, layers, chord, start, beat):
    seconds = 4 * beat
    if "pad" in layers:
        add(track, 0.22 * pad(chord, seconds + 0.8), start)
    if "bass" in layers:
        for b in (0, 2):
            add(track, panned(0.5 * pluck(chord[0] - 24, 2 * beat + 0.3, 0.6), 0.0), start + int(b * beat * RATE))
    if "melody" in layers:
        melody(track, rng, chord, start, beat, 0.8)
    if "bells" in layers and rng.random() < 0.6:
        note = chord[int(rng.integers(len(chord)))] + 24
        add(track, panned(0.12 * bell(note, 2.5), float(rng.uniform(-0.6, 0.6))),
            start + int(int(rng.integers(4)) * beat * RATE))
    if "rhythm" in layers:
        rhythm(track, rng, start, beat)


def room(track, rng):
    """A small room: each ear hears the track through its own second and a half of dying,
    slightly dulled noise, mixed in at a quarter."""
    t = times(1.5)
    out = np.empty_like(track)
    size = track.shape[1] + t.size
    for ear in range(2):
        echo = np.convolve(rng.standard_normal(t.size), np.ones(3) / 3, mode="same") * np.exp(-t * 4.5)
        echo[: int(0.012 * RATE)] = 0.0
        echo /= np.sqrt(np.sum(echo ** 2))
        wet = np.fft.irfft(np.fft.rfft(track[ear], size) * np.fft.rfft(echo, size), size)
        out[ear] = track[ear] + 0.25 * wet[: track.shape[1]]
    return out


def music(name):
    spec = TRACKS[name]
    rng = np.random.default_rng(spec["seed"])
    beat = 60.0 / spec["tempo"]
    bar = int(round(4 * beat * RATE))
    progression = spec["progression"]
    passes = spec["passes"]
    total = bar * len(progression) * len(passes)
    track = np.zeros((2, total + 4 * RATE))
    for p, layers in enumerate(passes):
        # The academy's second half plays on its second progression.
        chords = spec["second"] if "second" in spec and p >= len(passes) // 2 else progression
        for i, chord in enumerate(chords):
            bar_of(track, rng, layers, chord, (p * len(progression) + i) * bar, beat)
    track = room(track, rng)
    # What rings past the end comes back at the start, so the loop joins without a click.
    track[:, :4 * RATE] += track[:, total:total + 4 * RATE]
    track = track[:, :total]
    return PEAK * track / np.max(np.abs(track))


def write_ogg(name, track):
    path = os.path.join(ROOT, "music", name + ".ogg")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    frames = (np.clip(track.T, -1.0, 1.0) * 32767).astype("<i2")
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "music.wav")
        with wave.open(source, "wb") as out:
            out.setnchannels(2)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(frames.tobytes())
        subprocess.run(["oggenc", "--quiet", "-q", QUALITY, "--serial", str(SERIALS[name]),
                        "--discard-comments", "-o", path, source], check=True)


def main():
    names = sys.argv[1:] or list(TRACKS)
    for name in names:
        write_ogg(name, music(name))


if __name__ == "__main__":
    main()
