#!/usr/bin/env python3
"""Draws lexpatch.ico: a page of text lines, one line patched, and a pen.

Writes 16, 32 and 48 pixel images, 32-bit BGRA with alpha, antialiased by
sampling every pixel 4 x 4 times. Usage: make_icon.py [output.ico]
"""
import struct, sys

def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return ((px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2) ** 0.5, t

def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1

def page(inset):  # page with its top-right corner folded away
    return lambda x, y: (0.16 + inset <= x <= 0.78 - inset and 0.05 + inset <= y <= 0.95 - inset
                         and x - 0.58 <= y - 0.05 - inset * 1.4)

def pen_body(x, y):
    return seg_dist(x, y, 0.95, 0.36, 0.66, 0.65)[0] <= 0.075

def pen_tip(x, y, scale=1.0):
    d, t = seg_dist(x, y, 0.66, 0.65, 0.47, 0.84)
    return d <= 0.075 * (1 - t) * scale and t < 1

def shapes(size):  # painted back to front: (inside test, RGB); the frame is at least 1 pixel
    return [
        (page(0.0), (70, 78, 92)),
        (page(max(0.035, 1.0 / size)), (255, 255, 255)),
        (lambda x, y: x >= 0.58 and y <= 0.27 and x - 0.58 <= y - 0.05, (190, 198, 210)),
        (box(0.25, 0.33, 0.66, 0.38), (120, 132, 150)),
        (box(0.22, 0.45, 0.62, 0.57), (255, 176, 32)),      # the patched text
        (box(0.25, 0.485, 0.58, 0.535), (150, 80, 0)),
        (box(0.25, 0.64, 0.52, 0.69), (120, 132, 150)),
        (box(0.25, 0.78, 0.44, 0.83), (120, 132, 150)),
        (pen_body, (32, 96, 200)),
        (pen_tip, (240, 214, 160)),
        (lambda x, y: pen_tip(x, y, 0.45) and seg_dist(x, y, 0.66, 0.65, 0.47, 0.84)[1] > 0.55, (40, 40, 40)),
    ]

def render(size, n=4):
    layers = shapes(size)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(n):
                for sx in range(n):
                    x, y = (px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size
                    col = None
                    for inside, rgb in layers:
                        if inside(x, y):
                            col = rgb
                    if col:
                        r, g, b, a = r + col[0], g + col[1], b + col[2], a + 1
            row.append((round(r / a), round(g / a), round(b / a), round(255 * a / (n * n))) if a else (0, 0, 0, 0))
        rows.append(row)
    return rows

def dib(rows):  # BITMAPINFOHEADER, BGRA pixels bottom-up, then the AND mask
    size = len(rows)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for i, p in enumerate(row):
            if p[3] == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bytes(bits)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask

images = [dib(render(s)) for s in (16, 32, 48)]
out = struct.pack("<HHH", 0, 1, len(images))
offset = 6 + 16 * len(images)
for s, img in zip((16, 32, 48), images):
    out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
    offset += len(img)
with open(sys.argv[1] if len(sys.argv) > 1 else "lexpatch.ico", "wb") as f:
    f.write(out + b"".join(images))
