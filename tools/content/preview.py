#!/usr/bin/python3
"""Keeps a small copy of a picture of the game (such as one tools/render_mission drew) in
tools/content/previews/, half its size, so a change of content can be seen in review; or a
contact sheet of several pictures, each at half its size, three a row, as a JPEG.

Run: tools/content/preview.py PICTURE.png NAME   (writes tools/content/previews/NAME.png)
     tools/content/preview.py --sheet NAME PICTURE.png...   (writes previews/NAME.jpg)
"""

import os
import sys

from PIL import Image

PREVIEWS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "previews")
SHEET_COLUMNS = 3


def half(path):
    picture = Image.open(path).convert("RGB")
    return picture.resize((picture.width // 2, picture.height // 2), Image.LANCZOS)


def sheet(paths):
    """The pictures at half size, left to right in rows, with a dark gap of 4 pixels."""
    smalls = [half(path) for path in paths]
    width, height = smalls[0].size
    rows = (len(smalls) + SHEET_COLUMNS - 1) // SHEET_COLUMNS
    gap = 4
    page = Image.new("RGB", (SHEET_COLUMNS * (width + gap) - gap, rows * (height + gap) - gap), (32, 32, 32))
    for i, small in enumerate(smalls):
        page.paste(small, ((i % SHEET_COLUMNS) * (width + gap), (i // SHEET_COLUMNS) * (height + gap)))
    return page


def main():
    os.makedirs(PREVIEWS, exist_ok=True)
    if len(sys.argv) >= 4 and sys.argv[1] == "--sheet":
        sheet(sys.argv[3:]).save(os.path.join(PREVIEWS, sys.argv[2] + ".jpg"), quality=88)
    elif len(sys.argv) == 3 and not sys.argv[1].startswith("--"):
        half(sys.argv[1]).save(os.path.join(PREVIEWS, sys.argv[2] + ".png"), optimize=True)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
