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


def px(value, k):
    """A length of the 100 % drawing at scale k, in whole pixels."""
    return int(round(value * k))


def button_face(glyph, pressed, k=1):
    """Face of a picture button, 36x36 at 100 % (k = 1): a raised (or pressed) bevel around a glyph."""
    size = px(36, k)
    edge = max(1, int(k))
    pixels = pixmap.blank(size, size, FACE)
    light, dark = (WHITE, DARK) if not pressed else (DARK, WHITE)
    for e in range(edge):
        for i in range(e, size - e):
            pixels[e][i] = light
            pixels[i][e] = light
            pixels[size - 1 - e][i] = dark
            pixels[i][size - 1 - e] = dark
    inner = SHADOW
    for e in range(edge, 2 * edge):
        for i in range(e, size - e):
            if not pressed:
                pixels[size - 1 - e][i] = inner
                pixels[i][size - 1 - e] = inner
            else:
                pixels[e][i] = inner
                pixels[i][e] = inner
    shift = edge if pressed else 0
    glyph(pixels, px(4, k) + shift, px(4, k) + shift, k)
    return pixels


def glyph_new(pixels, x, y, k):
    draw_pad(pixels, x, y + px(2, k), px(24, k))
    pixmap.fill_ellipse(pixels, x + 21.5 * k, y + 21.5 * k, 6.5 * k, 6.5 * k, OUTLINE)
    pixmap.fill_ellipse(pixels, x + 21.5 * k, y + 21.5 * k, 6.5 * k - max(1, int(k)), 6.5 * k - max(1, int(k)),
                        GREEN)
    pixmap.fill_rect(pixels, x + px(18, k), y + px(21, k), x + px(25, k), y + px(23, k), WHITE)
    pixmap.fill_rect(pixels, x + px(21, k), y + px(18, k), x + px(23, k), y + px(25, k), WHITE)


def glyph_delete(pixels, x, y, k):
    draw_pad(pixels, x, y + px(2, k), px(24, k))
    # a red cross over the lower right: two strokes two pixels (at 100 %) wide
    for r in range(px(16, k), px(27, k)):
        for c in range(px(16, k), px(29, k)):
            if 0 <= c - r < px(2, k) or 0 <= c + r - px(42, k) < px(2, k):
                pixels[y + r][x + c] = RED


def glyph_run(pixels, x, y, k):
    draw_pad(pixels, x, y, px(20, k))
    # a green "play" triangle at the lower right, its outline one pixel (at 100 %) wide
    height = px(14, k)
    line = max(1, int(k))
    top, left = y + px(13, k), x + px(14, k)
    for row in range(height):
        tip = 2 * min(row, height - 1 - row)
        for col in range(tip + 1):
            edge = col < line or col > tip - line or row < line or row >= height - line
            pixels[top + row][left + col] = OUTLINE if edge else GREEN


def glyph_edit(pixels, x, y, k):
    draw_pad(pixels, x, y + px(2, k), px(24, k))
    # a pencil from the lower left to the upper right: dark point, yellow body, red end
    line = max(1, int(k))
    body, rim = 0.75 * k, 0.75 * k + line
    for r in range(px(10, k), px(30, k)):
        for c in range(px(11, k), px(27, k)):
            across = (r + 0.5) + (c + 0.5) - 39 * k
            if c < px(12, k):
                colour = OUTLINE if abs(across) < body else None
            elif c >= px(26, k):
                colour = RED if -0.5 * k < across < 1.5 * k else None
            elif abs(across) < body:
                colour = YELLOW
            elif abs(across) < rim:
                colour = OUTLINE
            else:
                colour = None
            if colour:
                pixels[y + r][x + c] = colour


FONT = {  # 5x7 capitals for the About banner
    'P': ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    'D': ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    'W': ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    'I': ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
}


def about_banner(k=1):
    """The About box's banner, 240x61 at 100 % (k = 1): the pad and the program's name on a gradient."""
    width, height = px(240, k), px(61, k)
    pixels = pixmap.blank(width, height)
    for y in range(height):
        for x in range(width):
            t = x / (width - 1)
            pixels[y][x] = (int(24 + 20 * t), int(40 + 70 * t), int(90 + 60 * t), 255)
    draw_pad(pixels, px(6, k), px(3, k), px(56, k))
    cell, shadow, top = px(4, k), px(2, k), px(18, k)
    for i, letter in enumerate("PADWISE"):
        x = px(70 + 23 * i, k)
        for row, line in enumerate(FONT[letter]):
            for col, c in enumerate(line):
                if c == '#':
                    pixmap.fill_rect(pixels, x + col * cell + shadow, top + row * cell + shadow,
                                     x + col * cell + cell + shadow, top + row * cell + cell + shadow, OUTLINE)
                    pixmap.fill_rect(pixels, x + col * cell, top + row * cell,
                                     x + col * cell + cell, top + row * cell + cell, WHITE)
    return pixels


def main():
    os.makedirs(OUT, exist_ok=True)
    # The small icon at 100, 125, 150 and 200 % (16, 20, 24, 32 pixels) for the tray and the list.
    small_sizes = (16, 20, 24, 32, 48)
    pixmap.write_ico(os.path.join(OUT, 'profiler.ico'), [pad_icon(size) for size in small_sizes])
    pixmap.write_ico(os.path.join(OUT, 'no_icon.ico'), [pad_icon(size, grey=True) for size in small_sizes])
    pixmap.write_ico(os.path.join(OUT, 'options.ico'), [options_icon(16), options_icon(32)])
    # The banner and the button faces at 100, 150 and 200 %: name.bmp, name_150.bmp, name_200.bmp.
    for k, suffix in ((1, ''), (1.5, '_150'), (2, '_200')):
        pixmap.write_bmp(os.path.join(OUT, 'about' + suffix + '.bmp'), about_banner(k))
        for name, glyph in (('new', glyph_new), ('delete', glyph_delete), ('run', glyph_run),
                            ('edit', glyph_edit)):
            pixmap.write_bmp(os.path.join(OUT, name + '_up' + suffix + '.bmp'), button_face(glyph, False, k),
                             FACE[:3])
            pixmap.write_bmp(os.path.join(OUT, name + '_down' + suffix + '.bmp'), button_face(glyph, True, k),
                             FACE[:3])


if __name__ == '__main__':
    main()
