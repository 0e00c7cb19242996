#!/usr/bin/env python3
"""Draws the demonstration knob (45 x 45, 24-bit BMP) and the window icon
(32 x 32 and 16 x 16 PNG-free BMPs packed in one .ico). Run once; the files
are kept beside this script."""
import math
import struct

def knob_pixel(x, y, size, grip_dark):
    """Colour at (x, y) of a knob drawn into a size x size square, or None
    outside the knob (the background shows)."""
    c = (size - 1) / 2.0
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    outer = size / 2.0 - 1.0
    if r > outer:
        return None
    # Light from the top left: a shaded cap inside a darker rim.
    light = 0.5 - 0.5 * (dx + dy) / (outer * 1.6)
    if r > outer * 0.82:  # rim with grip notches
        notch = math.cos(math.atan2(dy, dx) * 12) > 0.6
        base = 70 if notch else 95
        v = base + 60 * light
        return (int(v), int(v), int(v + 8))
    v = 150 + 90 * light
    col = [int(v), int(v), int(v + 10)]
    # Pointer mark: a red bar from near the centre to the rim, pointing up,
    # and a dot near its tip, so a turn is plain to see.
    if abs(dx) <= outer * 0.09 and -outer * 0.78 <= dy <= -outer * 0.18:
        col = [200, 30, 30]
    if math.hypot(dx, dy + outer * 0.55) <= outer * 0.05:
        col = [255, 240, 240]
    # A small off-centre mark so that no turn looks like another.
    if math.hypot(dx - outer * 0.45, dy - outer * 0.35) <= outer * 0.08:
        col = [grip_dark, grip_dark, grip_dark + 40]
    return tuple(col)

def render(size, background, samples=4):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    px = x - 0.5 + (sx + 0.5) / samples
                    py = y - 0.5 + (sy + 0.5) / samples
                    p = knob_pixel(px, py, size, 40) or background
                    for k in range(3):
                        acc[k] += p[k]
            n = samples * samples
            row.append(tuple(int(round(a / n)) for a in acc))
        rows.append(row)
    return rows

def bmp24(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    return header + info + data

def ico_image(rows):
    """An icon image: 32-bit BMP without file header, doubled height, AND mask."""
    h, w = len(rows), len(rows[0])
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = b"\0" * (mask_stride * h)
    return info + pixels + mask

def icon_rows(size):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc, cover = [0, 0, 0], 0
            s = 4
            for sy in range(s):
                for sx in range(s):
                    p = knob_pixel(x - 0.5 + (sx + 0.5) / s, y - 0.5 + (sy + 0.5) / s, size, 40)
                    if p:
                        cover += 1
                        for k in range(3):
                            acc[k] += p[k]
            if cover:
                row.append(tuple(int(round(a / cover)) for a in acc) + (int(round(255 * cover / (s * s))),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows

def ico(sizes):
    images = [ico_image(icon_rows(s)) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    return out + b"".join(images)

if __name__ == "__main__":
    with open("demo_knob.bmp", "wb") as f:
        f.write(bmp24(render(45, (192, 192, 192))))
    with open("torvelink.ico", "wb") as f:
        f.write(ico([32, 16]))
