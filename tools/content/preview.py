#!/usr/bin/python3
"""Keeps a small copy of a picture of the game (such as one tools/render_mission drew) in
tools/content/previews/, half its size, so a change of content can be seen in review.

Run: tools/content/preview.py PICTURE.png NAME   (writes tools/content/previews/NAME.png)
"""

import os
import sys

from PIL import Image

PREVIEWS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "previews")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    picture = Image.open(sys.argv[1]).convert("RGB")
    small = picture.resize((picture.width // 2, picture.height // 2), Image.LANCZOS)
    os.makedirs(PREVIEWS, exist_ok=True)
    small.save(os.path.join(PREVIEWS, sys.argv[2] + ".png"), optimize=True)


if __name__ == "__main__":
    main()
