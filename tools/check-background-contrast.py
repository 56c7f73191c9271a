#!/usr/bin/env python3
"""Check that the labels drawn over the main window's background stay readable.

The labels have a transparent background, so what the user actually sees is
the text colour against the picture.  For every label area we take the mean
colour of the picture and compute the WCAG contrast ratio against the label's
text colour.  Small (12pt) black text needs 4.5, everything else 3.0.

The darkest/lightest single pixel in each area is reported as well; it is only
informational, but a poor value there means a cloud sits right behind a label.

Usage: tools/check-background-contrast.py [background.jpg]
Exit status is 1 if any area falls below its threshold.
Needs ImageMagick (convert or magick) to decode the picture.
"""

import os
import shutil
import subprocess
import sys

# (x, y, w, h), text colour, minimum ratio, description
AREAS = [
    ((232, 8, 193, 49), (128, 255, 255), 3.0, "cyan heading"),
    ((232, 136, 193, 49), (0, 255, 0), 3.0, "green heading"),
    ((232, 264, 193, 49), (255, 255, 255), 3.0, "white heading"),
    ((80, 376, 49, 25), (0, 0, 0), 4.5, "black 12pt, left"),
    ((312, 376, 49, 25), (0, 0, 0), 4.5, "black 12pt, middle"),
    ((544, 376, 49, 25), (0, 0, 0), 4.5, "black 12pt, right"),
    ((192, 424, 289, 41), (0, 0, 0), 3.0, "black caption"),
]


def channel_to_linear(c8):
    c = c8 / 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def luminance(rgb):
    r, g, b = (channel_to_linear(v) for v in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(rgb1, rgb2):
    l1, l2 = luminance(rgb1), luminance(rgb2)
    hi, lo = max(l1, l2), min(l1, l2)
    return (hi + 0.05) / (lo + 0.05)


def load_rgb(path):
    """Return (width, height, bytes) with 8-bit RGB pixels of the image."""
    tool = shutil.which("magick") or shutil.which("convert")
    if tool is None:
        sys.exit("ImageMagick (magick or convert) is required")
    size = subprocess.run([tool, path, "-format", "%w %h", "info:"],
                          check=True, capture_output=True, text=True).stdout
    width, height = (int(v) for v in size.split())
    data = subprocess.run([tool, path, "-alpha", "off", "-depth", "8", "rgb:-"],
                          check=True, capture_output=True).stdout
    if len(data) != width * height * 3:
        sys.exit("unexpected pixel data size from ImageMagick")
    return width, height, data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, "..", "assets", "background.jpg")
    width, height, data = load_rgb(path)
    print(f"{path}: {width}x{height}")

    failed = False
    for (x, y, w, h), text, minimum, name in AREAS:
        if x + w > width or y + h > height:
            print(f"FAIL {name}: area {x},{y} {w}x{h} lies outside the picture")
            failed = True
            continue
        sums = [0, 0, 0]
        worst = None
        for row in range(y, y + h):
            start = (row * width + x) * 3
            line = data[start:start + w * 3]
            for i in range(0, len(line), 3):
                px = line[i], line[i + 1], line[i + 2]
                sums[0] += px[0]
                sums[1] += px[1]
                sums[2] += px[2]
                ratio = contrast(px, text)
                if worst is None or ratio < worst:
                    worst = ratio
        n = w * h
        mean = tuple(round(s / n) for s in sums)
        mean_exact = tuple(s / n for s in sums)
        ratio = contrast(mean_exact, text)
        ok = ratio >= minimum
        failed |= not ok
        print(f"{'ok  ' if ok else 'FAIL'} {name:20s} ({x},{y} {w}x{h}) "
              f"mean rgb{mean} L={luminance(mean_exact):.3f} "
              f"ratio {ratio:.2f} (need {minimum}), worst pixel {worst:.2f}")

    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
