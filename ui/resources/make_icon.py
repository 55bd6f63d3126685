#!/usr/bin/env python3
"""Draws the program's icon (a shaded ball on a tilted floor tile) and writes
scene3d.ico with a 32x32 and a 16x16 image, 32 bits with alpha.

    python3 make_icon.py [OUTPUT]     default: scene3d.ico next to this script
"""
import math
import os
import struct
import sys

SUB = 4  # subsamples per pixel and axis


def inside_polygon(x, y, corners):
    hit = False
    n = len(corners)
    for i in range(n):
        x1, y1 = corners[i]
        x2, y2 = corners[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            hit = not hit
    return hit


def shade(x, y):
    """Colour (r, g, b, a) of one sample in a unit square, y downwards."""
    # The ball, lit from the upper left: ambient plus diffuse, as the renderer does.
    cx, cy, r = 0.52, 0.40, 0.30
    dx, dy = (x - cx) / r, (y - cy) / r
    d2 = dx * dx + dy * dy
    if d2 <= 1.0:
        nz = math.sqrt(1.0 - d2)
        light = (-0.45, -0.55, 0.70)
        length = math.sqrt(sum(c * c for c in light))
        cos = max(0.0, (dx * light[0] + dy * light[1] + nz * light[2]) / length)
        base = (220, 60, 40)
        return tuple(min(255, int(c * (0.25 + 0.75 * cos))) for c in base) + (255,)
    # Its shadow on the tile.
    sx, sy = (x - 0.58) / 0.30, (y - 0.80) / 0.09
    tile = [(0.06, 0.78), (0.42, 0.60), (0.94, 0.76), (0.58, 0.95)]
    if inside_polygon(x, y, tile):
        if sx * sx + sy * sy <= 1.0:
            return (70, 80, 100, 255)
        return (120, 150, 200, 255)
    return (0, 0, 0, 0)


def image(size):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x = (px + (sx + 0.5) / SUB) / size
                    y = (py + (sy + 0.5) / SUB) / size
                    r, g, b, a = shade(x, y)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SUB * SUB
            alpha = acc[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(acc[i] / acc[3])) for i in range(3)) + (int(round(alpha)),))
        rows.append(row)
    return rows


def icon_entry(size):
    """The BMP form inside an icon: header with doubled height, colour rows
    bottom-up as blue, green, red, alpha, then the 1-bit mask."""
    pixels = image(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + colour + mask


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), 'scene3d.ico')
    sizes = [32, 16]
    blobs = [icon_entry(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, blob in zip(sizes, blobs):
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    data += b''.join(blobs)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
