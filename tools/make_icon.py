#!/usr/bin/env python3
"""Draws Velmora's program icon and writes it as an ICO file: a blue tile
with a white play mark over a download tray, at 16, 32 and 48 pixels, each a
32-bit image with alpha.

usage: make_icon.py OUTPUT.ico
"""

import struct
import sys

SIZES = (16, 32, 48)
SUPERSAMPLE = 4  # samples per pixel side, for smooth edges
TILE = (0x2D, 0x6C, 0xDF)
MARK = (0xFF, 0xFF, 0xFF)


def inside_rounded_square(x, y, radius):
    """Whether (x, y) in the unit square lies on the tile."""
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_play_mark(x, y):
    """A triangle pointing right, above the tray."""
    left, top, bottom, tip = 0.34, 0.18, 0.62, 0.72
    if x < left or y < top or y > bottom:
        return False
    middle = (top + bottom) / 2
    half = (bottom - top) / 2 * (tip - x) / (tip - left)
    return abs(y - middle) <= half


def inside_tray(x, y):
    """A bar with raised ends under the mark: where the download lands."""
    if 0.22 <= x <= 0.78 and 0.74 <= y <= 0.82:
        return True
    return (0.22 <= x <= 0.30 or 0.70 <= x <= 0.78) and 0.66 <= y <= 0.82


def pixel(px, py, size):
    """Blue, white or transparent by coverage: (b, g, r, a)."""
    tile = mark = 0
    for sy in range(SUPERSAMPLE):
        for sx in range(SUPERSAMPLE):
            x = (px + (sx + 0.5) / SUPERSAMPLE) / size
            y = (py + (sy + 0.5) / SUPERSAMPLE) / size
            if inside_rounded_square(x, y, 0.2):
                tile += 1
                if inside_play_mark(x, y) or inside_tray(x, y):
                    mark += 1
    samples = SUPERSAMPLE * SUPERSAMPLE
    if tile == 0:
        return (0, 0, 0, 0)
    share = mark / tile
    r, g, b = (round(t + (m - t) * share) for t, m in zip(TILE, MARK))
    return (b, g, r, round(255 * tile / samples))


def image(size):
    """BITMAPINFOHEADER, bottom-up BGRA rows, and an empty AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b"".join(bytes(c for px in range(size) for c in pixel(px, py, size))
                    for py in reversed(range(size)))
    mask_row = ((size + 31) // 32) * 4
    return header + rows + bytes(mask_row * size)


def icon():
    images = [image(size) for size in SIZES]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits in zip(SIZES, images):
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(bits), offset)
        offset += len(bits)
    return data + b"".join(images)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(icon())


if __name__ == "__main__":
    main()
