#!/usr/bin/env python3
"""Draws the program's icons into res/icons/hicolor/: the program (a speech
bubble holding three lines of text) and its file type (a sheet holding the
bubble), each as a scalable SVG and as PNGs of 16 to 256 pixels. Both
formats are drawn from the same shapes, laid out on a 32 x 32 grid.
Standard library only; run it again after changing a shape."""
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 64, 128, 256)
EDGE = (92, 52, 18)
FILL = (246, 214, 140)
INK = (70, 40, 14)
SHEET_EDGE = (96, 96, 96)
SHEET = (252, 252, 248)
FOLD = (212, 212, 206)


# A shape is (kind, colour, geometry): ("rect", c, (x, y, w, h, radius)) or
# ("poly", c, [(x, y), ...]) for a convex polygon given clockwise on screen.
def bubble(x, y, w, h, r, tail, line_widths, edge):
    """A bubble with its edge, its tail below on the left and its lines of text."""
    tx, ty, tw, th = tail
    shapes = [
        ("rect", EDGE, (x, y, w, h, r)),
        ("poly", EDGE, [(tx, ty), (tx + tw, ty), (tx, ty + th)]),
        ("rect", FILL, (x + edge, y + edge, w - 2 * edge, h - 2 * edge, r - edge)),
    ]
    # The tail's inside: its left side and its slope moved in by the edge.
    slope = tw / th
    inset = edge * (1 + slope * slope) ** 0.5
    top = ty - 2 * edge
    bottom_x = tx + edge
    shapes.append(("poly", FILL, [(bottom_x, top), (tx + tw + slope * (ty - top) - inset, top),
                                  (bottom_x, ty + th - (edge + inset) / slope)]))
    row_height = h / (len(line_widths) + 2)
    for i, width in enumerate(line_widths):
        shapes.append(("rect", INK, (x + 2 * r / 2 + edge, y + row_height * (i + 1) + row_height / 4,
                                     width, row_height / 2, 0)))
    return shapes


APP = bubble(2, 3, 27, 19, 5, (7, 21, 6.3, 7), (18, 15, 11), 1.3)

FILE_TYPE = [
    ("poly", SHEET_EDGE, [(5, 1), (20, 1), (27, 8), (27, 31), (5, 31)]),
    ("poly", SHEET, [(6, 2), (19.6, 2), (26, 8.4), (26, 30), (6, 30)]),
    ("poly", SHEET_EDGE, [(19, 1), (27, 9), (19, 9)]),
    ("poly", FOLD, [(20, 3), (25, 8), (20, 8)]),
] + bubble(8, 12, 16, 12, 3, (11, 23, 4, 5), (9, 6), 1)


def inside(shape, px, py):
    kind, _, geometry = shape
    if kind == "rect":
        x, y, w, h, r = geometry
        cx = min(max(px, x + r), x + w - r)
        cy = min(max(py, y + r), y + h - r)
        return x <= px <= x + w and y <= py <= y + h and (px - cx) ** 2 + (py - cy) ** 2 <= r * r
    points = geometry
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        if (bx - ax) * (py - ay) - (by - ay) * (px - ax) < 0:
            return False
    return True


def render(shapes, size):
    """RGBA rows; each pixel averages a grid of samples, the last shape on top."""
    samples = 4 if size >= 64 else 8
    scale = 32 / size
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            total = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    px = (x + (sx + 0.5) / samples) * scale
                    py = (y + (sy + 0.5) / samples) * scale
                    for shape in reversed(shapes):
                        if inside(shape, px, py):
                            total = [t + c for t, c in zip(total, shape[1] + (1,))]
                            break
            n = samples * samples
            alpha = total[3]
            row.append((0, 0, 0, 0) if alpha == 0 else
                       tuple(round(c / alpha) for c in total[:3]) + (round(255 * alpha / n),))
        rows.append(row)
    return rows


def png(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg(shapes):
    def number(v):
        return f"{v:.2f}".rstrip("0").rstrip(".")
    out = ['<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">']
    for kind, colour, geometry in shapes:
        fill = "#%02x%02x%02x" % colour
        if kind == "rect":
            x, y, w, h, r = (number(v) for v in geometry)
            out.append(f'  <rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}" fill="{fill}"/>')
        else:
            points = " ".join(f"{number(px)},{number(py)}" for px, py in geometry)
            out.append(f'  <polygon points="{points}" fill="{fill}"/>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "res", "icons", "hicolor")
    for shapes, folder, name in ((APP, "apps", "talkwright"), (FILE_TYPE, "mimetypes", "application-x-quorvel-dialog")):
        write(os.path.join(root, "scalable", folder, name + ".svg"), svg(shapes).encode())
        for size in SIZES:
            write(os.path.join(root, f"{size}x{size}", folder, name + ".png"), png(render(shapes, size)))
