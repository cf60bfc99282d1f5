#!/usr/bin/python3
"""Writes the list of the data tree's files that the game may load ahead behind its loading
screen (data/preload.reg, named by default.root's REGISTER statement): every picture, bitmap
font, cursor, sound and texture atlas by the resource type and flags the game asks them with,
and each atlas's pictures by their names. Left out: what loads before the list is of use (the
skin documents, the dictionary, the window's icon, the intro's logos), the fonts' own pages,
and the music, which plays from its file.

Run after any generator that adds or removes files: /usr/bin/python3 tools/content/preload_list.py
"""

import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from look import ROOT, save_text  # noqa: E402

TYPES = {
    ".png": "class kq::Texture",
    ".jpg": "class kq::Texture",
    ".fnt": "class kq::Font",
    ".cur": "class kq::Cursor",
    ".wav": "class kq::Sample",
    ".res": "class kq::TextureAtlas",
}
SKIPPED = ("art/icon.png", "art/logo/", "fonts/", "music/", "skin/")


def entries():
    found = {}
    for folder, _, files in os.walk(ROOT):
        for name in files:
            path = os.path.relpath(os.path.join(folder, name), ROOT).replace(os.sep, "/")
            kind = TYPES.get(os.path.splitext(name)[1])
            fonts = path.startswith("fonts/") and name.endswith(".fnt")
            if not kind or (path.startswith(SKIPPED) and not fonts):
                continue
            found.setdefault(kind, set()).add(path)
            if name.endswith(".res"):
                with open(os.path.join(folder, name)) as atlas:
                    for sprite in re.findall(r'^Sprite "([^"]+)"', atlas.read(), re.MULTILINE):
                        found.setdefault(TYPES[".png"], set()).add(sprite)
    return found


def main():
    lines = []
    for kind, paths in sorted(entries().items()):
        lines.append('TYPE "%s"' % kind)
        lines.extend('RES "%s" 0' % path for path in sorted(paths))
        lines.append("")
    save_text("preload.reg", "\n".join(lines))


if __name__ == "__main__":
    main()
