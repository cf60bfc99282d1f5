"""The game's look as NumPy arrays: flat shapes with a soft radial gradient, a 2 px darker
outline and a small highlight; and the writers of the data tree's images, atlases and rules.

Every image is an H x W x 4 array of floats from 0 to 1 (straight, not premultiplied, alpha)
until it is written. Nothing here is random unless a seeded generator is passed in, so a rerun
writes the same bytes.
"""

import os
import struct
import zlib

import numpy as np
from PIL import Image

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")

OUTLINE = 2.0
OUTLINE_SHADE = 0.6


def clamp(v):
    return max(0, min(255, int(round(v))))


def shade(colour, k):
    """A colour of 0-255 channels made lighter (k > 1) or darker (k < 1)."""
    return tuple(clamp(c * k) for c in colour)


def write_png(path, width, height, pixels):
    """Writes RGBA rows (a list of rows of (r, g, b, a) tuples) as a PNG file."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def to_bytes(image):
    return np.clip(np.rint(image * 255.0), 0, 255).astype(np.uint8)


def save_png(relative, image):
    """Writes an RGBA image under the data tree."""
    path = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Image.fromarray(to_bytes(image), "RGBA").save(path, optimize=False, compress_level=9)


def save_jpg(relative, image, quality=90):
    """Writes the colour of an image under the data tree as a JPEG (for opaque backgrounds)."""
    path = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Image.fromarray(to_bytes(image)[:, :, :3], "RGB").save(path, quality=quality, optimize=False)


def save_text(relative, text):
    path = os.path.join(ROOT, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="\n") as out:
        out.write(text)


def rgb(colour):
    """A colour of 0-255 channels as an array of 0-1 floats."""
    return np.array(colour, dtype=np.float64) / 255.0


def grid(width, height):
    """Pixel-centre coordinates, x and y arrays of shape (height, width)."""
    return np.meshgrid(np.arange(width) + 0.5, np.arange(height) + 0.5)


def smoothstep(edge0, edge1, x):
    t = np.clip((x - edge0) / (edge1 - edge0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def with_alpha(colour, alpha):
    image = np.empty(alpha.shape + (4,))
    image[:, :, :3] = colour
    image[:, :, 3] = alpha
    return image


def disc(size, colour):
    """A disc filling the square: lighter in the middle, darker towards the rim, a 2 px
    darker outline and a small highlight up and to the left. The middle few pixels are
    nearly flat, so the colour at the centre does not depend on how the disc is sampled."""
    x, y = grid(size, size)
    r = size / 2.0
    d = np.hypot(x - r, y - r)
    k = 1.12 - 0.32 * (d / r) ** 2
    hd = np.hypot(x - r * 0.62, y - r * 0.62) / (r * 0.22)
    k = k + 0.5 * (1.0 - smoothstep(0.55, 1.0, hd))
    shade = np.clip(rgb(colour)[None, None, :] * k[:, :, None], 0.0, 1.0)
    rim = smoothstep(r - OUTLINE - 0.5, r - OUTLINE + 0.5, d)[:, :, None]
    shade = shade * (1.0 - rim) + rgb(colour) * OUTLINE_SHADE * rim
    image = with_alpha(0.0, np.clip(r - d + 0.5, 0.0, 1.0))
    image[:, :, :3] = shade
    return image


def bar(width, height, colour):
    """A rectangle with a 2 px darker outline, a lighter band along its top (a long bar) or
    left (a tall one) edge, and a gentle fall-off across it."""
    x, y = grid(width, height)
    across, extent = (y, height) if width >= height else (x, width)
    k = 1.05 - 0.2 * across / extent
    k = np.where(across < OUTLINE + 3.0, 1.3, k)
    shade = np.clip(rgb(colour)[None, None, :] * k[:, :, None], 0.0, 1.0)
    edge = (x < OUTLINE) | (y < OUTLINE) | (x > width - OUTLINE) | (y > height - OUTLINE)
    shade[edge] = rgb(colour) * OUTLINE_SHADE
    image = with_alpha(0.0, np.ones((height, width)))
    image[:, :, :3] = shade
    return image


def glow(size, colour=(255, 255, 255), power=0.8):
    """A round glow, opaque at the centre and fading to nothing at the rim."""
    x, y = grid(size, size)
    r = size / 2.0
    t = np.clip(1.0 - np.hypot(x - r, y - r) / r, 0.0, 1.0)
    return with_alpha(rgb(colour), t ** power)


class Atlas:
    """One atlas page of a data folder: images placed left to right in rows with a gutter of
    transparent pixels between them, written as the page image, its text atlas file naming
    each image by its full path, and the folder's "default.tah" rule sending those names to
    the atlas."""

    GUTTER = 2

    def __init__(self, folder, name, width, height):
        self.folder = folder
        self.name = name
        self.page = np.zeros((height, width, 4))
        self.sprites = []
        self.x = self.GUTTER
        self.y = self.GUTTER
        self.row_height = 0

    def place(self, file_name, image):
        h, w = image.shape[:2]
        if self.x + w + self.GUTTER > self.page.shape[1]:
            self.x = self.GUTTER
            self.y += self.row_height + self.GUTTER
            self.row_height = 0
        if self.y + h + self.GUTTER > self.page.shape[0]:
            raise ValueError("atlas page %s/%s is full at %s" % (self.folder, self.name, file_name))
        self.page[self.y:self.y + h, self.x:self.x + w] = image
        self.sprites.append((self.folder + "/" + file_name, self.x, self.y, w, h))
        self.x += w + self.GUTTER
        self.row_height = max(self.row_height, h)

    def save(self, filter_expression):
        page = self.folder + "/" + self.name + ".png"
        save_png(page, self.page)
        lines = ["Texture %s { filename = \"%s\" resgroup = %s }" % (self.name, page, self.folder)]
        for name, x, y, w, h in self.sprites:
            lines.append("Sprite \"%s\" { texture = %s rect = %d, %d, %d, %d resgroup = %s }"
                         % (name, self.name, x, y, w, h, self.folder))
        save_text(self.folder + "/" + self.name + ".res", "\n".join(lines) + "\n")
        escaped = filter_expression.replace("\\", "\\\\")
        save_text(self.folder + "/default.tah",
                  "ATLAS %s.res FILTER \"%s\"\n" % (self.name, escaped))


def value_noise(width, height, rng, scale):
    """Smooth value noise in [0, 1]: a coarse grid of the generator's draws scaled up with
    smooth steps."""
    cw, ch = width // scale + 2, height // scale + 2
    coarse = rng.random((ch, cw))
    x, y = grid(width, height)
    fx, fy = x / scale, y / scale
    ix, iy = fx.astype(int), fy.astype(int)
    tx, ty = smoothstep(0.0, 1.0, fx - ix), smoothstep(0.0, 1.0, fy - iy)
    top = coarse[iy, ix] * (1 - tx) + coarse[iy, ix + 1] * tx
    bottom = coarse[iy + 1, ix] * (1 - tx) + coarse[iy + 1, ix + 1] * tx
    return top * (1 - ty) + bottom * ty
