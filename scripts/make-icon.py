#!/usr/bin/env python3
"""Draws the program's icon, res/icon128.png: a speech bubble holding three
lines of text, in 32 x 32 pixels. Standard library only."""
import struct
import sys
import zlib

SIZE = 32
BG = (0, 0, 0, 0)
EDGE = (92, 52, 18, 255)
FILL = (246, 214, 140, 255)
INK = (70, 40, 14, 255)


def inside_bubble(x, y):
    # A rounded rectangle from (2,3) to (29,22) and a tail down to the left.
    cx, cy = min(max(x, 7), 24), min(max(y, 8), 17)
    if (x - cx) ** 2 + (y - cy) ** 2 <= 25:
        return True
    return 7 <= x <= 13 and 21 <= y <= 28 and x - 7 <= (28 - y) * 0.9


def pixel(x, y):
    if not inside_bubble(x + 0.5, y + 0.5):
        return BG
    if not all(inside_bubble(x + 0.5 + dx, y + 0.5 + dy) for dx, dy in ((1.3, 0), (-1.3, 0), (0, 1.3), (0, -1.3))):
        return EDGE
    for row, (left, right) in ((8, (7, 25)), (12, (7, 22)), (16, (7, 18))):
        if y in (row, row + 1) and left <= x <= right:
            return INK
    return FILL


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "res/icon128.png"
    with open(out, "wb") as f:
        f.write(png(SIZE, SIZE, [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]))
