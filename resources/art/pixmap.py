"""Tiny image writer for the programs' art: RGBA pixel grids to .ico and 24-bit .bmp files.

A picture is a list of rows, top row first, each a list of (r, g, b, a) tuples.
"""
import struct


def blank(width, height, colour=(0, 0, 0, 0)):
    return [[colour for _ in range(width)] for _ in range(height)]


def _dib(pixels, with_mask):
    height = len(pixels)
    width = len(pixels[0])
    header = struct.pack('<IiiHHIIiiII', 40, width, height * (2 if with_mask else 1), 1, 32, 0,
                         0, 0, 0, 0, 0)
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            body += bytes((b, g, r, a))
    if with_mask:
        stride = ((width + 31) // 32) * 4
        for row in reversed(pixels):
            bits = bytearray(stride)
            for x, (_, _, _, a) in enumerate(row):
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            body += bits
    return header + bytes(body)


def write_ico(path, images):
    """images: pictures of different sizes, each stored as a 32-bit image with an AND mask."""
    blobs = [_dib(p, True) for p in images]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for picture, blob in zip(images, blobs):
        w, h = len(picture[0]), len(picture)
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, 'wb') as f:
        f.write(out)


def write_bmp(path, pixels, background=(255, 255, 255)):
    """24-bit bitmap; transparent pixels take the background colour."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, a in row:
            k = a / 255.0
            line += bytes((round(b * k + background[2] * (1 - k)),
                           round(g * k + background[1] * (1 - k)),
                           round(r * k + background[0] * (1 - k))))
        line += bytes(stride - len(line))
        body += line
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(body), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + body)


def fill_rect(pixels, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(len(pixels), y1)):
        for x in range(max(0, x0), min(len(pixels[0]), x1)):
            pixels[y][x] = colour


def fill_ellipse(pixels, cx, cy, rx, ry, colour):
    for y in range(len(pixels)):
        for x in range(len(pixels[0])):
            dx = (x + 0.5 - cx) / rx
            dy = (y + 0.5 - cy) / ry
            if dx * dx + dy * dy <= 1.0:
                pixels[y][x] = colour
