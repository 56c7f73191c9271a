#!/usr/bin/env python3
"""Build the program icons from assets/icons/quorvane.svg.

Writes
  assets/icons/hicolor/<N>x<N>/apps/quorvane.png   (N = 16 ... 256, RGBA)
  assets/quorvane.ico                              (Windows icon)

The .ico deliberately holds old-style palette images only, in this order:
  32x32, 2 colours  (1 bpp)
  32x32, 16 colours (4 bpp)
  16x16, 16 colours (4 bpp)
each as a DIB with an AND mask for transparency, so it also works with
tools and systems that do not understand PNG-compressed icon entries.

Rendering uses rsvg-convert (Debian package librsvg2-bin) when available,
otherwise ImageMagick or Inkscape.  Pixel data is read back with ImageMagick.
Only the Python standard library is used.

Usage: tools/make-icon.py
"""

import os
import shutil
import struct
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.normpath(os.path.join(HERE, "..", "assets"))
SVG = os.path.join(ASSETS, "icons", "quorvane.svg")
ICO = os.path.join(ASSETS, "quorvane.ico")
HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

# The classic Windows 16-colour palette; every Windows version can show it.
WINDOWS_16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
MONO = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF)]

# Palette entries the drop may use: black, navy, blue, aqua and white.  The
# palette has no mid blue, and letting the quantiser pick teal, silver or grey
# for the gradient turns the water murky; restricted to the blues, the light
# top of the drop becomes aqua and the rest blue, which reads as water.
# Extend this list if the artwork gains other colours.
DROP_COLOURS = (0, 4, 12, 14, 15)

# Luminance (0-255) from which a pixel is white in the 2-colour image: only
# the highlight and the clock hands, the whole body stays black.
MONO_WHITE_FROM = 210

# Pixels at least this opaque are drawn; the rest become transparent
# through the AND mask.
ALPHA_CUTOFF = 128


def imagemagick():
    tool = shutil.which("magick") or shutil.which("convert")
    if tool is None:
        sys.exit("ImageMagick (magick or convert) is required")
    return tool


def render_png(size, out):
    """Render the SVG master to a size x size RGBA PNG."""
    os.makedirs(os.path.dirname(out), exist_ok=True)
    if shutil.which("rsvg-convert"):
        cmd = ["rsvg-convert", "-w", str(size), "-h", str(size), "-o", out, SVG]
    elif shutil.which("inkscape"):
        cmd = ["inkscape", SVG, "--export-type=png", f"--export-filename={out}",
               "-w", str(size), "-h", str(size)]
    else:
        cmd = [imagemagick(), "-background", "none", "-density", "384", SVG,
               "-resize", f"{size}x{size}", out]
    subprocess.run(cmd, check=True)
    # Drop ancillary chunks (timestamps etc.) so reruns give identical files.
    subprocess.run([imagemagick(), out, "-strip", f"PNG32:{out}"], check=True)


def read_rgba(path):
    """Return (width, height, [(r, g, b, a), ...]) in top-down row order."""
    tool = imagemagick()
    size = subprocess.run([tool, path, "-format", "%w %h", "info:"],
                          check=True, capture_output=True, text=True).stdout
    width, height = (int(v) for v in size.split())
    raw = subprocess.run([tool, path, "-depth", "8", "rgba:-"],
                         check=True, capture_output=True).stdout
    if len(raw) != width * height * 4:
        sys.exit(f"{path}: unexpected pixel data size")
    pixels = [tuple(raw[i:i + 4]) for i in range(0, len(raw), 4)]
    return width, height, pixels


def quantise(pixels, palette, allowed):
    """Map opaque pixels to the nearest allowed palette index; transparent
    pixels become None.

    Plain nearest-colour matching, no dithering: at 16 and 32 pixels a
    dither pattern reads as noise, while flat areas keep the drop crisp.
    """
    cache = {}
    out = []
    for r, g, b, a in pixels:
        if a < ALPHA_CUTOFF:
            out.append(None)
            continue
        key = (r, g, b)
        if key not in cache:
            cache[key] = min(allowed, key=lambda i: sum(
                (c - p) ** 2 for c, p in zip(key, palette[i])))
        out.append(cache[key])
    return out


def threshold_mono(pixels):
    """Index 1 (white) for light pixels, 0 (black) for the rest, None if
    transparent."""
    out = []
    for r, g, b, a in pixels:
        if a < ALPHA_CUTOFF:
            out.append(None)
        else:
            light = 0.299 * r + 0.587 * g + 0.114 * b >= MONO_WHITE_FROM
            out.append(1 if light else 0)
    return out


def pack_rows(width, height, values, bpp):
    """Pack per-pixel values into bottom-up DIB rows padded to 4 bytes."""
    stride = ((width * bpp + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            v = values[y * width + x]
            bit = x * bpp
            shift = 8 - bpp - (bit % 8)
            row[bit // 8] |= (v & ((1 << bpp) - 1)) << shift
        data += row
    return bytes(data)


def dib_entry(width, height, indices, palette, bpp):
    """One icon image: BITMAPINFOHEADER, palette, XOR bitmap, AND mask."""
    # Transparent pixels: colour index 0 (black) in the XOR bitmap and a set
    # bit in the AND mask, so the screen shows through unchanged.
    xor = pack_rows(width, height, [0 if i is None else i for i in indices], bpp)
    mask = pack_rows(width, height, [1 if i is None else 0 for i in indices], 1)
    colours = 1 << bpp
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bpp, 0,
                         len(xor) + len(mask), 0, 0, colours, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    table += b"\0\0\0\0" * (colours - len(palette))
    return header + table + xor + mask


def write_ico(path, images):
    """images: list of (width, height, colour_count, bpp, data)."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for width, height, colours, bpp, data in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256,
                               colours % 256, 0, 1, bpp, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(directory + entries + b"".join(img[4] for img in images))


def main():
    pngs = {}
    for size in HICOLOR_SIZES:
        out = os.path.join(ASSETS, "icons", "hicolor", f"{size}x{size}", "apps",
                           "quorvane.png")
        render_png(size, out)
        pngs[size] = out
        print("wrote", os.path.relpath(out, os.path.join(ASSETS, "..")))

    w32, h32, px32 = read_rgba(pngs[32])
    w16, h16, px16 = read_rgba(pngs[16])

    images = [
        (w32, h32, 2, 1,
         dib_entry(w32, h32, threshold_mono(px32), MONO, 1)),
        (w32, h32, 16, 4,
         dib_entry(w32, h32, quantise(px32, WINDOWS_16, DROP_COLOURS), WINDOWS_16, 4)),
        (w16, h16, 16, 4,
         dib_entry(w16, h16, quantise(px16, WINDOWS_16, DROP_COLOURS), WINDOWS_16, 4)),
    ]
    write_ico(ICO, images)
    print("wrote", os.path.relpath(ICO, os.path.join(ASSETS, "..")))


if __name__ == "__main__":
    main()
