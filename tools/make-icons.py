#!/usr/bin/env python3
"""Draws Quorvane's icon and writes res/Quorvane.ico.

The picture is a sheet of paper with lines of text and a pencil across its
lower right corner. It is drawn from convex polygons on a 16-unit grid, so
the page and the text lines fall on whole pixels at 16, 32 and 48 pixels.

The file holds eight DIB images (BITMAPINFOHEADER, XOR image, AND mask), in
this order: 32 and 16 pixels with 4 bits (the standard 16-colour VGA
palette), 48, 32 and 16 pixels with 8 bits (a palette made from the image),
48, 32 and 16 pixels with 32 bits (alpha). The 4-bit images are drawn
without smoothing in palette colours; the others are smoothed by
supersampling. Output is deterministic: running the script again gives the
same bytes.

    python3 tools/make-icons.py [--preview DIR]

--preview also writes enlarged PNG copies of every image into DIR.
Python 3 standard library only.
"""

import argparse
import math
import os
import struct
import sys
import zlib

# The standard 16-colour VGA palette, in palette order (R, G, B).
VGA = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, GRAY, SILVER, NAVY, RED, YELLOW, WHITE = 0, 1, 8, 7, 4, 9, 11, 15

# Each ink: the colour of the smoothed images and the VGA index of the 4-bit ones.
INK = {
    "outline": ((0x33, 0x3A, 0x48), BLACK),
    "paper": ((0xFF, 0xFF, 0xFF), WHITE),
    "fold": ((0xCF, 0xD6, 0xE0), SILVER),
    "text": ((0x2A, 0x5C, 0xB0), NAVY),
    "pencil": ((0xF5, 0xB4, 0x25), YELLOW),
    "pencil-edge": ((0xC8, 0x82, 0x10), GRAY),
    "wood": ((0xF3, 0xD9, 0xA8), WHITE),
    "lead": ((0x33, 0x3A, 0x48), BLACK),
    "band": ((0xA8, 0xB0, 0xBC), SILVER),
    "eraser": ((0xE8, 0x6A, 0x7A), RED),
}

# (size in pixels, bits per pixel), in the order of the file.
IMAGES = [(32, 4), (16, 4), (48, 8), (32, 8), (16, 8), (48, 32), (32, 32), (16, 32)]


# --- geometry -------------------------------------------------------------

def clip(poly, a, b, c):
    """Keeps the part of a convex polygon where a*x + b*y <= c."""
    out = []
    for i, p in enumerate(poly):
        q = poly[(i + 1) % len(poly)]
        dp = a * p[0] + b * p[1] - c
        dq = a * q[0] + b * q[1] - c
        if dp <= 0:
            out.append(p)
        if (dp < 0 < dq) or (dq < 0 < dp):
            t = dp / (dp - dq)
            out.append((p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1])))
    return out


def clockwise(poly):
    """The polygon in clockwise order on screen (y grows downwards)."""
    area = sum(p[0] * q[1] - q[0] * p[1] for p, q in zip(poly, poly[1:] + poly[:1]))
    return list(poly) if area > 0 else list(reversed(poly))


def inset(poly, d):
    """Moves every edge of a convex polygon inwards by d."""
    poly = clockwise(poly)
    lines = []
    n = len(poly)
    for i in range(n):
        (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
        ex, ey = x1 - x0, y1 - y0
        length = math.hypot(ex, ey)
        nx, ny = -ey / length, ex / length  # inward normal for clockwise order
        lines.append((nx, ny, nx * x0 + ny * y0 + d))
    out = []
    for i in range(n):
        a1, b1, c1 = lines[i - 1]
        a2, b2, c2 = lines[i]
        det = a1 * b2 - a2 * b1
        out.append(((c1 * b2 - c2 * b1) / det, (a1 * c2 - a2 * c1) / det))
    return out


def inside(poly, x, y):
    """True when (x, y) lies in the convex, clockwise (y down) polygon."""
    n = len(poly)
    for i in range(n):
        (x0, y0), (x1, y1) = poly[i], poly[(i + 1) % n]
        if (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0) < 0:
            return False
    return n >= 3


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


# --- the picture ----------------------------------------------------------

def shapes(size, smooth):
    """The picture as (ink, polygon) in drawing order, in 16-unit coordinates.
    Smoothed at 16 pixels, a full-pixel outline would swallow the pencil's
    colour, so it gets a thinner one there."""
    px = 16.0 / size                 # one pixel in units
    line = px * (1 if size <= 16 else 2 if size <= 32 else 3)
    edge = px * (1 if size <= 32 else 2)
    out = []

    page = [(3, 1), (10, 1), (13, 4), (13, 15), (3, 15)]
    out.append(("outline", page))
    out.append(("paper", inset(page, edge)))
    fold = [(10, 1), (13, 4), (10, 4)]
    out.append(("outline", fold))
    out.append(("fold", inset(fold, edge)))

    # Lines of text, ragged on the right like a paragraph.
    for y, x1 in ((4, 9), (6, 11), (8, 11), (10, 10), (12, 8)):
        out.append(("text", rect(5, y, x1, y + line)))

    # The pencil: its axis runs from the point (lower left) up to the eraser.
    tip = (5.5, 15.0)
    ux, uy = math.sqrt(0.5), -math.sqrt(0.5)
    vx, vy = -uy, ux
    half = 1.55 if size <= 16 else 1.45
    cone, body, band, eraser = 2.6, 9.2, 0.9, 1.5

    def at(u, v):
        return (tip[0] + u * ux + v * vx, tip[1] + u * uy + v * vy)

    end = cone + body + band + eraser
    whole = [at(0, 0), at(cone, -half), at(end, -half), at(end, half), at(cone, half)]
    out.append(("outline", whole))
    inner = inset(whole, edge * 0.6 if smooth and size <= 16 else edge)

    def part(u0, u1):
        # Slice of the pencil between the axis positions u0 and u1.
        p = clip(inner, -ux, -uy, -(ux * tip[0] + uy * tip[1] + u0))
        return clip(p, ux, uy, ux * tip[0] + uy * tip[1] + u1)

    out.append(("wood", part(0, cone)))
    out.append(("lead", part(0, cone * 0.38)))
    out.append(("pencil", part(cone, cone + body)))
    if size >= 32:
        stripe = clip(part(cone, cone + body), vx, vy,
                      vx * tip[0] + vy * tip[1] - half * 0.25)
        out.append(("pencil-edge", stripe))
    out.append(("band", part(cone + body, cone + body + band)))
    out.append(("eraser", part(cone + body + band, end)))
    return [(ink, clockwise(poly)) for ink, poly in out if len(poly) >= 3]


def topmost(drawing, x, y):
    ink = None
    for name, poly in drawing:
        if inside(poly, x, y):
            ink = name
    return ink


def render_smooth(size, samples=8):
    """RGBA rows (top row first), alpha 0-255, by supersampling."""
    drawing = shapes(size, True)
    scale = 16.0 / size
    rows = []
    for py in range(size):
        row = []
        for px_ in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px_ + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    ink = topmost(drawing, x, y)
                    if ink is not None:
                        cr, cg, cb = INK[ink][0]
                        r, g, b, a = r + cr, g + cg, b + cb, a + 1
            n = samples * samples
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                # Colour without premultiplication; alpha is the coverage.
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
        rows.append(row)
    return rows


def render_vga(size):
    """Rows of VGA indices, or None where transparent, sampled at pixel centres."""
    drawing = shapes(size, False)
    scale = 16.0 / size
    rows = []
    for py in range(size):
        row = []
        for px_ in range(size):
            ink = topmost(drawing, (px_ + 0.5) * scale, (py + 0.5) * scale)
            row.append(None if ink is None else INK[ink][1])
        rows.append(row)
    return rows


# --- palettes ---------------------------------------------------------------

def make_palette(rgba_rows):
    """A palette for the opaque colours: entry 0 stays black for the
    transparent pixels; colours are merged by dropping low bits until they fit."""
    colours = sorted({p[:3] for row in rgba_rows for p in row if p[3] >= 128})
    shift = 0
    while True:
        merged = {}
        for c in colours:
            key = tuple(v >> shift for v in c)
            merged.setdefault(key, []).append(c)
        if len(merged) <= 255:
            break
        shift += 1
    palette = [(0, 0, 0)]
    lookup = {}
    for key in sorted(merged):
        group = merged[key]
        mean = tuple(round(sum(c[i] for c in group) / len(group)) for i in range(3))
        for c in group:
            lookup[c] = len(palette)
        palette.append(mean)
    palette += [(0, 0, 0)] * (256 - len(palette))
    return palette, lookup


# --- ICO writing ----------------------------------------------------------

def row_bytes(bits, width):
    return ((bits * width + 31) // 32) * 4


def pack_mask(mask_rows, size):
    stride = row_bytes(1, size)
    out = bytearray()
    for row in reversed(mask_rows):  # bottom-up
        line = bytearray(stride)
        for x, transparent in enumerate(row):
            if transparent:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def dib(size, bits, palette, xor_bytes, mask_rows):
    and_bytes = pack_mask(mask_rows, size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(xor_bytes) + len(and_bytes), 0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + pal + xor_bytes + and_bytes


def image_4bit(size):
    rows = render_vga(size)
    stride = row_bytes(4, size)
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, index in enumerate(row):
            line[x // 2] |= (index or 0) << (4 if x % 2 == 0 else 0)
        xor += line
    mask = [[index is None for index in row] for row in rows]
    return dib(size, 4, VGA, bytes(xor), mask), [[None if i is None else VGA[i] + (255,)
                                                  for i in row] for row in rows]


def image_8bit(size):
    rows = render_smooth(size)
    palette, lookup = make_palette(rows)
    stride = row_bytes(8, size)
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] >= 128:
                line[x] = lookup[p[:3]]
        xor += line
    mask = [[p[3] < 128 for p in row] for row in rows]
    shown = [[palette[lookup[p[:3]]] + (255,) if p[3] >= 128 else None for p in row]
             for row in rows]
    return dib(size, 8, palette, bytes(xor), mask), shown


def image_32bit(size):
    rows = render_smooth(size)
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a)) if a else bytes(4)
    mask = [[p[3] < 128 for p in row] for row in rows]
    shown = [[p if p[3] else None for p in row] for row in rows]
    return dib(size, 32, [], bytes(xor), mask), shown


def build_ico():
    images, previews = [], []
    for size, bits in IMAGES:
        maker = {4: image_4bit, 8: image_8bit, 32: image_32bit}[bits]
        data, shown = maker(size)
        images.append((size, bits, data))
        previews.append((size, bits, shown))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return bytes(out), images, previews


# --- previews -------------------------------------------------------------

def write_png(path, rows, zoom, checker=True):
    size = len(rows)
    raw = bytearray()
    for y in range(size * zoom):
        raw.append(0)
        for x in range(size * zoom):
            p = rows[y // zoom][x // zoom]
            back = (0xE0, 0xE0, 0xE0) if ((x // 8 + y // 8) % 2 and checker) else (0xFF, 0xFF, 0xFF)
            if p is None:
                raw += bytes(back)
            else:
                a = p[3] / 255.0 if len(p) == 4 else 1.0
                raw += bytes(round(p[i] * a + back[i] * (1 - a)) for i in range(3))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + \
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size * zoom, size * zoom,
                                                             8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "res", "Quorvane.ico"))
    parser.add_argument("--preview", metavar="DIR")
    args = parser.parse_args()

    ico, images, previews = build_ico()
    expected = {(32, 4): 744, (16, 4): 296, (48, 8): 3752, (32, 8): 2216, (16, 8): 1384,
                (48, 32): 9640, (32, 32): 4264, (16, 32): 1128}
    for size, bits, data in images:
        if len(data) != expected[(size, bits)]:
            sys.exit(f"make-icons: {size}x{size} {bits}-bit image is {len(data)} bytes, "
                     f"expected {expected[(size, bits)]}")
    with open(args.output, "wb") as f:
        f.write(ico)
    print(f"make-icons: wrote {os.path.normpath(args.output)} ({len(ico)} bytes)")

    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for size, bits, shown in previews:
            path = os.path.join(args.preview, f"icon-{size}-{bits}bit.png")
            write_png(path, shown, max(1, 192 // size))


if __name__ == "__main__":
    main()
