#!/usr/bin/python3
"""Cuts one of the program's own faces: the characters the program shows, from an installed
CJK face, renamed so that no name of the original stands on the cut.

    cut-face.py OUT PATTERN FAMILY POSTSCRIPT TEXTS...

OUT: the OpenType file to write. PATTERN: the installed face, as fontconfig names it
("Noto Serif CJK SC:style=Bold"). FAMILY: the cut's family name, or "name/中文名" for an
English and a Simplified Chinese one. POSTSCRIPT: its PostScript name, without the style.
TEXTS: files whose characters the program shows (its sources, and the list of what it
shows that they do not spell out); every character in them that is not ASCII goes in, and
printable ASCII always does. Needs fontTools (Debian's python3-fonttools) and fc-match.
"""
import subprocess
import sys

from fontTools import subset
from fontTools.ttLib import TTFont


def installed_face(pattern):
    found = subprocess.run(["fc-match", "-f", "%{file}\n%{index}\n%{family}\n%{style}", pattern],
                           capture_output=True, text=True, check=True).stdout.split("\n")
    family, _, style = pattern.partition(":style=")
    if len(found) < 4 or family not in found[2].split(",") or (style and style not in found[3].split(",")):
        sys.exit(f"cut-face: {pattern} is not installed (Debian's fonts-noto-cjk)")
    return found[0], int(found[1] or 0)


def characters(paths):
    chars = {chr(c) for c in range(0x20, 0x7F)}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            chars.update(c for c in f.read() if ord(c) >= 0xA0)
    return chars


def rename(font, families, postscript):
    # A modified version may not use the Reserved Font Name of the face's licence: the cut
    # goes by names of its own.
    names = font["name"]
    style = names.getDebugName(2) or "Regular"
    keep = {0, 7, 13, 14}  # copyright, trademark, licence and its address
    names.names = [n for n in names.names if n.nameID in keep]
    for lang, family in families:
        names.setName(family, 1, 3, 1, lang)
        names.setName(style, 2, 3, 1, lang)
        names.setName(family if style == "Regular" else f"{family} {style}", 4, 3, 1, lang)
    full = f"{postscript}-{style}"
    names.setName(f"Quorvane;{full}", 3, 3, 1, 0x409)
    names.setName(f"Version {font['head'].fontRevision:.3f}", 5, 3, 1, 0x409)
    names.setName(full, 6, 3, 1, 0x409)
    if "CFF " in font:
        cff = font["CFF "].cff
        cff.fontNames = [full]
        top = cff.topDictIndex[0]
        for key, value in (("FullName", full), ("FamilyName", families[0][1])):
            if hasattr(top, key):
                setattr(top, key, value)


def main():
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    out, pattern, family, postscript, texts = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
    english, _, chinese = family.partition("/")
    families = [(0x409, english)] + ([(0x804, chinese)] if chinese else [])
    path, index = installed_face(pattern)
    font = TTFont(path, fontNumber=index, lazy=False, recalcTimestamp=False)
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(text="".join(sorted(characters(texts))))
    subsetter.subset(font)
    rename(font, families, postscript)
    font.save(out)


if __name__ == "__main__":
    main()
