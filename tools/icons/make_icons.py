#!/usr/bin/env python3
"""Draws the launcher's emblem (two white peaks on a violet-to-rose rounded square) and writes
the bundle icons and the raw 32 x 32 RGBA window icon. Pure standard library, so it runs on any
build machine; the outputs are committed and only need regenerating when the artwork changes.

usage: make_icons.py ICON_DIR WINDOW_ICON_RGBA
"""
import struct
import sys
import zlib

VIOLET = (124, 58, 237)
ROSE = (225, 29, 72)
PEAKS = [(0.18, 0.76), (0.38, 0.28), (0.5, 0.5), (0.62, 0.28), (0.82, 0.76)]


def inside_rounded_square(x, y, inset=0.05, radius=0.22):
    lo, hi = inset, 1 - inset
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def inside_polygon(x, y, points):
    result = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def sample(x, y):
    if not inside_rounded_square(x, y):
        return (0, 0, 0, 0)
    if inside_polygon(x, y, PEAKS):
        return (255, 255, 255, 240)
    t = (x + y) / 2
    return tuple(round(a + (b - a) * t) for a, b in zip(VIOLET, ROSE)) + (255,)


def render(size, grid=4):
    """Premultiplied supersampling so the edges are smooth at every size."""
    pixels = bytearray()
    for py in range(size):
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(grid):
                for sx in range(grid):
                    r, g, b, a = sample((px + (sx + 0.5) / grid) / size, (py + (sy + 0.5) / grid) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = grid * grid
            alpha = acc[3] / n
            if alpha == 0:
                pixels += bytes(4)
            else:
                pixels += bytes(round(c / acc[3]) for c in acc[:3]) + bytes([round(alpha)])
    return bytes(pixels)


def png(size, rgba):
    rows = b"".join(b"\0" + rgba[y * size * 4:(y + 1) * size * 4] for y in range(size))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")


def ico(images):
    """An ICO whose entries are PNG images, in the order given."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    return out + body


def icns(images):
    """An ICNS holding PNG entries of the sizes macOS reads them by."""
    types = {32: b"ic11", 64: b"ic12", 128: b"ic07", 256: b"ic08", 512: b"ic09"}
    body = b"".join(types[s] + struct.pack(">I", len(d) + 8) + d for s, d in images if s in types)
    return b"icns" + struct.pack(">I", len(body) + 8) + body


def main():
    icon_dir, window_icon = sys.argv[1], sys.argv[2]
    sizes = [16, 24, 32, 48, 64, 128, 256, 512]
    rendered = {s: render(s, grid=4 if s <= 128 else 2) for s in sizes}
    pngs = {s: png(s, rendered[s]) for s in sizes}
    files = {
        "32x32.png": pngs[32],
        "128x128.png": pngs[128],
        "128x128@2x.png": pngs[256],
        "icon.ico": ico([(s, pngs[s]) for s in (32, 16, 24, 48, 64, 256)]),
        "icon.icns": icns([(s, pngs[s]) for s in (32, 64, 128, 256, 512)]),
    }
    for name, data in files.items():
        with open(f"{icon_dir}/{name}", "wb") as f:
            f.write(data)
    with open(window_icon, "wb") as f:
        f.write(rendered[32])


if __name__ == "__main__":
    main()
