#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Brevane Team <packaging@brevane.org>
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's icon, an amber fuel drop, and writes brevane.ico and the PNGs.

The .ico holds nine images: 48, 32 and 16 pixels square, each at 4, 8 and 32 bits per
pixel. The PNGs are for desktop entries: brevane.png (256 pixels) and brevane-48.png,
brevane-32.png and brevane-16.png, the same pixels as the .ico's 32-bit images.
Standard library only; the output is the same on every run.

    python3 make_icon.py [output-directory]
"""

import math
import os
import struct
import sys
import zlib

SIZES = (48, 32, 16)
DEPTHS = (4, 8, 32)
SUPERSAMPLE = 4

BODY_LIGHT = (255, 204, 64)
BODY_DARK = (222, 130, 0)
OUTLINE = (96, 48, 0)
HIGHLIGHT = (255, 250, 230)

# The drop in unit coordinates (y grows downwards): a round belly and a tip above it.
CENTRE_X, CENTRE_Y, RADIUS = 0.5, 0.63, 0.31
TIP_Y = 0.05

# The sixteen colours every 4-bit display has.
VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def inside_drop(x, y):
    dx, dy = x - CENTRE_X, y - CENTRE_Y
    if dx * dx + dy * dy <= RADIUS * RADIUS:
        return True
    # The cone from the tip to the two points where its sides touch the belly.
    d = CENTRE_Y - TIP_Y
    half_angle = math.asin(RADIUS / d)
    vx, vy = x - CENTRE_X, y - TIP_Y
    length = math.hypot(vx, vy)
    if length == 0.0:
        return True
    if vy <= 0 or length > math.sqrt(d * d - RADIUS * RADIUS):
        return False
    return math.acos(vy / length) <= half_angle


def inside_highlight(x, y):
    ex, ey = (x - 0.39) / 0.075, (y - 0.60) / 0.13
    return ex * ex + ey * ey <= 1.0


def sample(x, y, edge):
    """Colour of one point, or None outside the drop."""
    if not inside_drop(x, y):
        return None
    for ox, oy in ((edge, 0), (-edge, 0), (0, edge), (0, -edge),
                   (edge * 0.7, edge * 0.7), (-edge * 0.7, edge * 0.7),
                   (edge * 0.7, -edge * 0.7), (-edge * 0.7, -edge * 0.7)):
        if not inside_drop(x + ox, y + oy):
            return OUTLINE
    if inside_highlight(x, y):
        return HIGHLIGHT
    t = min(max((y - TIP_Y) / (CENTRE_Y + RADIUS - TIP_Y) + (x - 0.5) * 0.6, 0.0), 1.0)
    return tuple(round(a + (b - a) * t) for a, b in zip(BODY_LIGHT, BODY_DARK))


def render(size):
    """Rows of (r, g, b, a), top row first."""
    edge = max(1.2 / size, 0.02)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) / size
                    y = (py + (sy + 0.5) / SUPERSAMPLE) / size
                    colour = sample(x, y, edge)
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                n = SUPERSAMPLE * SUPERSAMPLE
                row.append((r // a, g // a, b // a, round(255 * a / n)))
        rows.append(row)
    return rows


def eight_bit_palette():
    levels = (0, 51, 102, 153, 204, 255)
    palette = [(r, g, b) for r in levels for g in levels for b in levels]
    palette += [(v, v, v) for v in range(8, 256, 16)][: 256 - len(palette)]
    palette += [BODY_LIGHT, BODY_DARK, OUTLINE, HIGHLIGHT]
    return palette + [(0, 0, 0)] * (256 - len(palette))


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], colour)))


def row_bytes(bits):
    return (bits + 31) // 32 * 4


def and_mask(rows, size):
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(row_bytes(size))
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return out


def dib(rows, size, depth):
    """One icon image: header, palette, colour bits bottom-up, transparency mask."""
    colour = bytearray()
    palette = []
    if depth == 32:
        for row in reversed(rows):
            for r, g, b, a in row:
                colour += bytes((b, g, r, a))
    else:
        palette = VGA_PALETTE if depth == 4 else eight_bit_palette()
        cache = {}
        for row in reversed(rows):
            indices = []
            for r, g, b, a in row:
                key = (r, g, b)
                if a < 128:
                    indices.append(0)
                    continue
                if key not in cache:
                    cache[key] = nearest(palette, key)
                indices.append(cache[key])
            line = bytearray(row_bytes(size * depth))
            for x, index in enumerate(indices):
                if depth == 8:
                    line[x] = index
                else:
                    line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            colour += line
    mask = and_mask(rows, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, depth, 0,
                         len(colour) + len(mask), 0, 0, len(palette), 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + bytes(colour) + bytes(mask)


def write_ico(path):
    images = []
    for size in SIZES:
        rows = render(size)
        for depth in DEPTHS:
            images.append((size, depth, dib(rows, size, depth)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, depth, data in images:
        colours = 16 if depth == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, depth, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def write_png(path, size):
    rows = render(size)
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(out_dir, "brevane.ico"))
    write_png(os.path.join(out_dir, "brevane.png"), 256)
    for size in SIZES:
        write_png(os.path.join(out_dir, f"brevane-{size}.png"), size)


if __name__ == "__main__":
    main()
