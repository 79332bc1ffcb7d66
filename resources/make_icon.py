#!/usr/bin/env python3
"""Writes the launcher's icon: one .ico with four 256-colour images (16, 24,
32 and 48 pixels, 8 bits per pixel with a palette, a mask that leaves every
pixel opaque). The picture is a two-by-two checkerboard of green and white
squares, each square bearing one glyph in the opposite colour.

Usage: make_icon.py OUTPUT.ico
"""
import struct
import sys

SIZES = (16, 24, 32, 48)

# Palette index 0: green, 1: white; the other 254 entries are unused black.
PALETTE = [(0x1E, 0x8C, 0x3A), (0xFF, 0xFF, 0xFF)] + [(0, 0, 0)] * 254
GREEN, WHITE = 0, 1

# Glyphs on a 5 x 5 grid, top row first: V, L, M and a four-pointed star.
GLYPHS = (
    ("#...#", "#...#", "#...#", ".#.#.", "..#.."),
    ("#....", "#....", "#....", "#....", "#####"),
    ("#...#", "##.##", "#.#.#", "#...#", "#...#"),
    ("..#..", ".###.", "#####", ".###.", "..#.."),
)


def pixels(size):
    """Rows of palette indexes, top row first."""
    half = size // 2
    # Leave a margin of about a sixth of the square around its glyph.
    margin = max(1, half // 6)
    inner = half - 2 * margin
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            square = (y // half) * 2 + (x // half)
            background = GREEN if (x // half + y // half) % 2 == 0 else WHITE
            foreground = WHITE if background == GREEN else GREEN
            gx, gy = x % half - margin, y % half - margin
            ink = False
            if 0 <= gx < inner and 0 <= gy < inner:
                glyph = GLYPHS[square]
                ink = glyph[gy * 5 // inner][gx * 5 // inner] == "#"
            row.append(foreground if ink else background)
        rows.append(row)
    return rows


def image(size):
    """One icon image: header, palette, colour rows bottom-up, opaque mask."""
    colour_stride = (size + 3) & ~3
    mask_stride = ((size + 31) // 32) * 4
    colour = b"".join(
        bytes(row) + b"\0" * (colour_stride - size) for row in reversed(pixels(size))
    )
    mask = b"\0" * (mask_stride * size)
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(colour) + len(mask), 0, 0, 256, 0
    )
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + colour + mask


def icon():
    images = [image(size) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, data in zip(SIZES, images):
        # A colour count of 0 means 256 colours.
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon())
