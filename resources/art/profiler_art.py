"""Draws the profile manager's icons and bitmaps: a game pad motif at every size.

Run from the repository root: python3 resources/art/profiler_art.py
Writes resources/profiler/*.ico and *.bmp (committed; the build does not run this script).
"""
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import pixmap  # noqa: E402

OUT = os.path.join(os.path.dirname(__file__), '..', 'profiler')

CLEAR = (0, 0, 0, 0)
OUTLINE = (20, 26, 38, 255)
BODY = (58, 72, 98, 255)
BODY_LIGHT = (92, 110, 142, 255)
GREY_OUTLINE = (70, 70, 70, 255)
GREY_BODY = (150, 150, 150, 255)
GREY_LIGHT = (190, 190, 190, 255)
DPAD = (225, 230, 238, 255)
RED = (226, 58, 52, 255)
GREEN = (60, 180, 75, 255)
BLUE = (50, 120, 230, 255)
YELLOW = (245, 200, 40, 255)
WHITE = (255, 255, 255, 255)
FACE = (212, 208, 200, 255)
SHADOW = (128, 128, 128, 255)
DARK = (64, 64, 64, 255)

# The 16x16 pad is drawn by hand so that every pixel stays legible.
PAD16 = [
    "................",
    "................",
    "................",
    "...oooooooooo...",
    "..ohhhhhhhhhho..",
    ".o#w#######y##o.",
    ".owww#####b#r#o.",
    ".o#w#######g##o.",
    ".o############o.",
    ".o####oooo####o.",
    ".o###o....o###o.",
    ".o###o....o###o.",
    "..ooo......ooo..",
    "................",
    "................",
    "................",
]


def from_art(rows, palette):
    return [[palette[c] for c in row] for row in rows]


def pad_palette(grey=False):
    if grey:
        return {'.': CLEAR, 'o': GREY_OUTLINE, '#': GREY_BODY, 'h': GREY_LIGHT, 'w': WHITE,
                'r': GREY_LIGHT, 'g': GREY_LIGHT, 'b': GREY_LIGHT, 'y': GREY_LIGHT}
    return {'.': CLEAR, 'o': OUTLINE, '#': BODY, 'h': BODY_LIGHT, 'w': DPAD,
            'r': RED, 'g': GREEN, 'b': BLUE, 'y': YELLOW}


def in_round_rect(u, v, x0, y0, x1, y1, r):
    if u < x0 or u > x1 or v < y0 or v > y1:
        return False
    cx = min(max(u, x0 + r), x1 - r)
    cy = min(max(v, y0 + r), y1 - r)
    return (u - cx) ** 2 + (v - cy) ** 2 <= r * r


def in_ellipse(u, v, cx, cy, rx, ry):
    return ((u - cx) / rx) ** 2 + ((v - cy) / ry) ** 2 <= 1.0


def in_pad(u, v):
    return (in_round_rect(u, v, 0.08, 0.26, 0.92, 0.64, 0.12)
            or in_ellipse(u, v, 0.25, 0.62, 0.17, 0.25)
            or in_ellipse(u, v, 0.75, 0.62, 0.17, 0.25))


def pad_feature(u, v, palette):
    """Colour of the pad's face at (u, v), or None for plain body."""
    if (abs(u - 0.28) < 0.04 and abs(v - 0.45) < 0.12) or (abs(v - 0.45) < 0.04 and abs(u - 0.28) < 0.12):
        return palette['w']
    for cx, cy, key in ((0.72, 0.35, 'y'), (0.81, 0.45, 'r'), (0.72, 0.55, 'g'), (0.63, 0.45, 'b')):
        if in_ellipse(u, v, cx, cy, 0.055, 0.055):
            return palette[key]
    return None


def draw_pad(pixels, x0, y0, size, grey=False):
    """Draws the pad into the size x size square at (x0, y0)."""
    palette = pad_palette(grey)

    def inside(px, py):
        return in_pad((px + 0.5) / size, (py + 0.5) / size)

    for py in range(size):
        for px in range(size):
            if not inside(px, py):
                continue
            edge = not all(inside(px + dx, py + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            u, v = (px + 0.5) / size, (py + 0.5) / size
            if edge:
                colour = palette['o']
            else:
                colour = pad_feature(u, v, palette) or (palette['h'] if v < 0.34 else palette['#'])
            pixels[y0 + py][x0 + px] = colour


def pad_icon(size, grey=False):
    if size == 16:
        return from_art(PAD16, pad_palette(grey))
    pixels = pixmap.blank(size, size)
    draw_pad(pixels, 0, 0, size, grey)
    return pixels


def options_icon(size):
    """The editor's options picture: the pad with force-feedback waves above it."""
    pixels = pixmap.blank(size, size)
    pad = size * 3 // 4
    draw_pad(pixels, (size - pad) // 2, size - pad, pad)
    for i, radius in enumerate((0.20, 0.30)):
        for px in range(size):
            for py in range(size // 2):
                u, v = (px + 0.5) / size - 0.5, (py + 0.5) / size - 0.42
                d = (u * u + v * v) ** 0.5
                if v < -0.05 and abs(d - radius) < 0.8 / size:
                    pixels[py][px] = (RED if i == 0 else YELLOW)
    return pixels


def button_face(glyph, pressed):
    """36x36 face of a picture button: a raised (or pressed) bevel around a glyph."""
    size = 36
    pixels = pixmap.blank(size, size, FACE)
    light, dark = (WHITE, DARK) if not pressed else (DARK, WHITE)
    for i in range(size):
        pixels[0][i] = light
        pixels[i][0] = light
        pixels[size - 1][i] = dark
        pixels[i][size - 1] = dark
    inner = SHADOW
    for i in range(1, size - 1):
        if not pressed:
            pixels[size - 2][i] = inner
            pixels[i][size - 2] = inner
        else:
            pixels[1][i] = inner
            pixels[i][1] = inner
    shift = 1 if pressed else 0
    glyph(pixels, 4 + shift, 4 + shift)
    return pixels


def glyph_new(pixels, x, y):
    draw_pad(pixels, x, y + 2, 24)
    pixmap.fill_ellipse(pixels, x + 21.5, y + 21.5, 6.5, 6.5, OUTLINE)
    pixmap.fill_ellipse(pixels, x + 21.5, y + 21.5, 5.5, 5.5, GREEN)
    pixmap.fill_rect(pixels, x + 18, y + 21, x + 25, y + 22 + 1, WHITE)
    pixmap.fill_rect(pixels, x + 21, y + 18, x + 23, y + 25, WHITE)


def glyph_delete(pixels, x, y):
    draw_pad(pixels, x, y + 2, 24)
    for i in range(11):
        for t in (0, 1):
            pixels[y + 16 + i][x + 16 + i + t] = RED
            pixels[y + 16 + i][x + 26 - i + t] = RED


def glyph_run(pixels, x, y):
    draw_pad(pixels, x, y, 20, grey=False)
    # a green "play" triangle at the lower right
    for row in range(14):
        half = row if row < 7 else 13 - row
        for col in range(half * 2 + 1):
            colour = OUTLINE if col == half * 2 or row in (0, 13) else GREEN
            pixels[y + 13 + row][x + 14 + col] = colour
        pixels[y + 13 + row][x + 14] = OUTLINE


def glyph_edit(pixels, x, y):
    draw_pad(pixels, x, y + 2, 24)
    # a pencil from the lower left to the upper right
    for i in range(14):
        px, py = x + 12 + i, y + 26 - i
        for t in range(-1, 2):
            pixels[py + t][px] = YELLOW if t == 0 else OUTLINE
    pixels[y + 27][x + 11] = OUTLINE
    pixels[y + 12][x + 26] = RED
    pixels[y + 13][x + 26] = RED


FONT = {  # 5x7 capitals for the About banner
    'P': ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'D': ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    'W': ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    'I': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
}


def about_banner():
    width, height = 240, 61
    pixels = pixmap.blank(width, height)
    for y in range(height):
        for x in range(width):
            k = x / (width - 1)
            pixels[y][x] = (int(24 + 20 * k), int(40 + 70 * k), int(90 + 60 * k), 255)
    draw_pad(pixels, 6, 3, 56)
    scale, x = 4, 70
    for letter in "PADWISE":
        for row, line in enumerate(FONT[letter]):
            for col, c in enumerate(line):
                if c == '#':
                    pixmap.fill_rect(pixels, x + col * scale + 2, 18 + row * scale + 2,
                                     x + col * scale + scale + 2, 18 + row * scale + scale + 2, OUTLINE)
                    pixmap.fill_rect(pixels, x + col * scale, 18 + row * scale,
                                     x + col * scale + scale, 18 + row * scale + scale, WHITE)
        x += 5 * scale + 3
    return pixels


def main():
    os.makedirs(OUT, exist_ok=True)
    # The small icon at 100, 125, 150 and 200 % (16, 20, 24, 32 pixels) for the tray and the list.
    small_sizes = (16, 20, 24, 32, 48)
    pixmap.write_ico(os.path.join(OUT, 'profiler.ico'), [pad_icon(size) for size in small_sizes])
    pixmap.write_ico(os.path.join(OUT, 'no_icon.ico'), [pad_icon(size, grey=True) for size in small_sizes])
    pixmap.write_ico(os.path.join(OUT, 'options.ico'), [options_icon(16), options_icon(32)])
    pixmap.write_bmp(os.path.join(OUT, 'about.bmp'), about_banner())
    for name, glyph in (('new', glyph_new), ('delete', glyph_delete), ('run', glyph_run), ('edit', glyph_edit)):
        pixmap.write_bmp(os.path.join(OUT, name + '_up.bmp'), button_face(glyph, False), FACE[:3])
        pixmap.write_bmp(os.path.join(OUT, name + '_down.bmp'), button_face(glyph, True), FACE[:3])


if __name__ == '__main__':
    main()
