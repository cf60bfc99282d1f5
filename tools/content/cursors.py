#!/usr/bin/env python3
"""Draws the game's mouse cursors as 32 x 32 cursor files ("cur": one 32-bit picture with
straight alpha and its hot spot): the arrow of the menus and one cursor for each state of the
playing field (launch, take, drop, fireball, bolt). Flat shapes with a 2 px darker outline and
a small highlight, drawn with 4 x 4 samples a pixel. Uses only the standard library, so a rerun
gives the same bytes.

Run from the repository's root: python3 tools/content/cursors.py
"""

import math
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data", "cursors")
SIZE = 32
SAMPLES = 4

WHITE = (250, 250, 246)
GREEN = (72, 176, 88)
RED = (214, 64, 52)
ORANGE = (240, 132, 40)
YELLOW = (246, 206, 56)


def clamp(v):
    return max(0, min(255, int(round(v))))


def shade(colour, k):
    return tuple(clamp(c * k) for c in colour)


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def segment_distance(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def polygon(points):
    return lambda x, y: in_polygon(x, y, points)


def ring(cx, cy, outer, inner):
    return lambda x, y: inner <= math.hypot(x - cx, y - cy) <= outer


def circle(cx, cy, radius):
    return lambda x, y: math.hypot(x - cx, y - cy) <= radius


def bar(a, b, half_width):
    return lambda x, y: segment_distance(x, y, a, b) <= half_width


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def grown(shape, by):
    """The shape with a rim of `by` pixels around it, for the outline."""
    offsets = [(by * math.cos(k * math.pi / 8), by * math.sin(k * math.pi / 8)) for k in range(16)]
    return lambda x, y: shape(x, y) or any(shape(x + dx, y + dy) for dx, dy in offsets)


class Canvas:
    """Straight-alpha RGBA pixels, painted over with coverage-weighted shapes."""

    def __init__(self):
        self.pixels = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def fill(self, shape, colour_at):
        for y in range(SIZE):
            for x in range(SIZE):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if shape(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES):
                            hits += 1
                if hits:
                    self.over(x, y, colour_at(x + 0.5, y + 0.5), hits / (SAMPLES * SAMPLES))

    def over(self, x, y, colour, coverage):
        r, g, b, a = self.pixels[y][x]
        a0 = a / 255.0
        a1 = coverage + a0 * (1.0 - coverage)
        mix = [(c * coverage + d * a0 * (1.0 - coverage)) / a1 for c, d in zip(colour, (r, g, b))]
        self.pixels[y][x] = tuple(clamp(c) for c in mix) + (clamp(a1 * 255),)

    def shape(self, shape, colour, light=(0.0, 0.0)):
        """A flat shape with a 2 px darker outline, lighter towards the light point."""
        self.fill(grown(shape, 2.0), lambda x, y: shade(colour, 0.45))
        lx, ly = light
        self.fill(shape, lambda x, y: shade(colour, 1.15 - 0.3 * min(1.0, math.hypot(x - lx, y - ly) / SIZE)))


def arrow():
    canvas = Canvas()
    tip = [(3, 3), (3, 24), (8.5, 19), (12.5, 27.5), (16, 26), (12.2, 17.8), (19.5, 17.5)]
    canvas.shape(polygon(tip), WHITE, (3, 3))
    return canvas, (3, 3)


def target(colour):
    canvas = Canvas()
    cross = union(bar((16, 3), (16, 10), 1.2), bar((16, 22), (16, 29), 1.2),
                  bar((3, 16), (10, 16), 1.2), bar((22, 16), (29, 16), 1.2))
    canvas.shape(union(ring(16, 16, 9, 6.5), cross), colour, (10, 10))
    canvas.shape(circle(16, 16, 1.8), colour)
    return canvas, (16, 16)


def hand_ring(colour):
    canvas = Canvas()
    canvas.shape(ring(16, 16, 11, 7.5), WHITE, (10, 10))
    canvas.shape(circle(16, 16, 4.5), colour, (14, 14))
    return canvas, (16, 16)


def down_arrow(colour):
    canvas = Canvas()
    canvas.shape(polygon([(12, 4), (20, 4), (20, 15), (26, 15), (16, 27), (6, 15), (12, 15)]), colour, (12, 4))
    return canvas, (16, 27)


def refused(make):
    """The cursor with a red slash across it: the action is not possible here."""
    canvas, hot = make()
    canvas.shape(bar((7, 25), (25, 7), 2.2), RED)
    return canvas, hot


def fireball():
    canvas = Canvas()
    flame = polygon([(16, 2), (21, 10), (26, 14), (26, 21), (21, 28), (11, 28), (6, 21), (6, 14), (11, 9)])
    canvas.shape(flame, ORANGE, (14, 12))
    canvas.fill(circle(16, 20, 4.5), lambda x, y: YELLOW)
    return canvas, (16, 16)


def bolt():
    canvas = Canvas()
    canvas.shape(polygon([(19, 2), (7, 18), (15, 18), (11, 30), (25, 12), (17, 12), (22, 2)]), YELLOW, (16, 4))
    return canvas, (11, 30)


CURSORS = {
    "default": arrow,
    "can_launch": lambda: target(GREEN),
    "can_take": lambda: hand_ring(GREEN),
    "cant_take": lambda: refused(lambda: hand_ring(shade(WHITE, 0.8))),
    "can_drop": lambda: down_arrow(GREEN),
    "cant_drop": lambda: refused(lambda: down_arrow(shade(WHITE, 0.8))),
    "fireball": fireball,
    "bolt": bolt,
}


def cursor_file(canvas, hot):
    """One 32-bit picture (rows bottom up, blue green red alpha) and an all-clear mask."""
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(canvas.pixels) for r, g, b, a in row)
    mask = bytes(SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + mask
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hot[0], hot[1], len(image), 6 + 16)
    return struct.pack("<HHH", 0, 2, 1) + entry + image


def main():
    os.makedirs(ROOT, exist_ok=True)
    for name, make in CURSORS.items():
        canvas, hot = make()
        with open(os.path.join(ROOT, name + ".cur"), "wb") as out:
            out.write(cursor_file(canvas, hot))


if __name__ == "__main__":
    main()
