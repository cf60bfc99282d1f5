#!/usr/bin/python3
"""Rasterises DejaVu Sans (Debian's fonts-dejavu-core) into the game's bitmap fonts: for each
size, a glyph sheet (white, coverage in alpha) and its description in the text layout that
starts with "info", one glyph for every printable character of the game's code page
(Windows-1252). Texts are drawn only in these fonts. The outlined font has each glyph white
inside a dark rim, so that a text in any colour reads on any ground.

Run from the repository's root: /usr/bin/python3 tools/content/fonts.py
Needs python3-pil and fonts-dejavu-core (tools/content/install).
"""

import os

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
SOURCE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
SOURCE_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# File stem, font file, pixel size, sheet width, outline width.
FONTS = [
    ("sans16", SOURCE, 16, 256, 0),
    ("sans24", SOURCE, 24, 512, 0),
    ("sans32", SOURCE, 32, 512, 0),
    ("sans_bold24", SOURCE_BOLD, 24, 512, 0),
    ("sans_bold24_outline", SOURCE_BOLD, 24, 512, 2),
]
# The outline's colour: dark, so that whatever colour a text is drawn in, its rim stays dark.
RIM = (20, 20, 24)

PADDING = 1  # empty texels around every glyph, so filtering never reaches a neighbour


def characters():
    """Every printable character of Windows-1252, in byte order, as Unicode text."""
    chars = []
    for byte in list(range(0x20, 0x7F)) + list(range(0x80, 0x100)):
        try:
            ch = bytes([byte]).decode("cp1252")
        except UnicodeDecodeError:
            continue  # the five bytes the code page leaves undefined
        if byte == 0xAD:
            continue  # the soft hyphen never shows
        chars.append(ch)
    return chars


def rasterise(font, ch, outline):
    """The glyph's image (white, with a dark rim `outline` pixels wide) and metrics (left, top
    from the line's top, advance)."""
    left, top, right, bottom = font.getbbox(ch, anchor="la", stroke_width=outline)
    advance = round(font.getlength(ch)) + outline
    width, height = max(0, right - left), max(0, bottom - top)
    if not width or not height or ch == " ":
        width = height = 0  # a space: nothing to draw, only the advance
    image = Image.new("RGBA", (max(1, width), max(1, height)), (255, 255, 255, 0))
    if width and height:
        ImageDraw.Draw(image).text((-left, -top), ch, fill=(255, 255, 255, 255), font=font, anchor="la",
                                   stroke_width=outline, stroke_fill=RIM + (255,))
    return image, left, top, width, height, advance


def pack(glyphs, sheet_width):
    """Places the glyphs in rows; returns their places and the sheet's height (a power of 2)."""
    x = y = row = 0
    places = []
    for image, _, _, width, height, _ in glyphs:
        if x + width + 2 * PADDING > sheet_width:
            x, y, row = 0, y + row, 0
        places.append((x + PADDING, y + PADDING))
        x += width + 2 * PADDING
        row = max(row, height + 2 * PADDING)
    height = 1
    while height < y + row:
        height *= 2
    return places, height


def make(stem, source, size, sheet_width, outline):
    font = ImageFont.truetype(source, size)
    ascent, descent = font.getmetrics()
    ascent += outline
    descent += outline
    chars = characters()
    glyphs = [rasterise(font, ch, outline) for ch in chars]
    places, sheet_height = pack(glyphs, sheet_width)
    sheet = Image.new("RGBA", (sheet_width, sheet_height), (255, 255, 255, 0))
    for (image, _, _, width, height, _), place in zip(glyphs, places):
        if width and height:
            sheet.paste(image, place)
    sheet_path = "fonts/%s.png" % stem
    sheet.save(os.path.join(ROOT, sheet_path), optimize=True)

    lines = [
        'info face="DejaVuSans" size=%d bold=0 italic=0 charset="" unicode=1 stretchH=100 smooth=1 aa=1 '
        "padding=0,0,0,0 spacing=0,0 outline=0" % size,
        "common lineHeight=%d base=%d scaleW=%d scaleH=%d pages=1 packed=0 alphaChnl=1 redChnl=0 "
        "greenChnl=0 blueChnl=0" % (ascent + descent, ascent, sheet_width, sheet_height),
        'page id=0 file="%s"' % sheet_path,
        "chars count=%d" % len(chars),
    ]
    for ch, (_, left, top, width, height, advance), (x, y) in zip(chars, glyphs, places):
        lines.append(
            "char id=%d x=%d y=%d width=%d height=%d xoffset=%d yoffset=%d xadvance=%d page=0 chnl=15"
            % (ord(ch), x, y, width, height, left, top, advance)
        )
    lines.append("kernings count=0")
    with open(os.path.join(ROOT, "fonts/%s.fnt" % stem), "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


def main():
    os.makedirs(os.path.join(ROOT, "fonts"), exist_ok=True)
    for stem, source, size, sheet_width, outline in FONTS:
        make(stem, source, size, sheet_width, outline)


if __name__ == "__main__":
    main()
