"""Draws fitkit's icons: the program icon (103) and the five frames of the install animation (104-108).

Run from the repository root: python3 resources/art/fitkit_art.py
Writes resources/fitkit/setup.ico and resources/fitkit/frame1.ico ... frame5.ico.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(__file__))
import pixmap  # noqa: E402

OUT = os.path.join(os.path.dirname(__file__), '..', 'fitkit')

BODY = (58, 64, 80, 255)
EDGE = (30, 34, 44, 255)
BUTTON_A = (220, 60, 60, 255)
BUTTON_B = (60, 170, 80, 255)
DPAD = (200, 205, 215, 255)
BOX = (236, 196, 92, 255)
BOX_EDGE = (150, 110, 30, 255)
SPARK = (70, 140, 230, 255)


def pad(p, size, top):
    """A game pad seen from above, in the lower part of the picture from row `top`."""
    s = size / 32.0
    h = int(12 * s)
    pixmap.fill_ellipse(p, 7 * s, top + h * 0.65, 6 * s, h * 0.55, EDGE)
    pixmap.fill_ellipse(p, 25 * s, top + h * 0.65, 6 * s, h * 0.55, EDGE)
    pixmap.fill_rect(p, int(6 * s), top, int(26 * s), top + int(h * 0.8), EDGE)
    pixmap.fill_ellipse(p, 7 * s, top + h * 0.65, 5 * s, h * 0.48, BODY)
    pixmap.fill_ellipse(p, 25 * s, top + h * 0.65, 5 * s, h * 0.48, BODY)
    pixmap.fill_rect(p, int(7 * s), top + 1, int(25 * s), top + int(h * 0.8) - 1, BODY)
    cy = top + int(h * 0.4)
    arm = max(1, int(1.2 * s))
    pixmap.fill_rect(p, int(7 * s) - 2 * arm, cy - arm // 2, int(7 * s) + 2 * arm + 1, cy + arm // 2 + 1, DPAD)
    pixmap.fill_rect(p, int(7 * s) - arm // 2, cy - 2 * arm, int(7 * s) + arm // 2 + 1, cy + 2 * arm + 1, DPAD)
    pixmap.fill_ellipse(p, 23 * s, cy + 0.5, 1.6 * s, 1.6 * s, BUTTON_A)
    pixmap.fill_ellipse(p, 27 * s, cy - 1.5 * s, 1.6 * s, 1.6 * s, BUTTON_B)


def package(p, size):
    """The driver package: a box above the pad."""
    s = size / 32.0
    pixmap.fill_rect(p, int(9 * s), int(2 * s), int(23 * s), int(15 * s), BOX_EDGE)
    pixmap.fill_rect(p, int(10 * s), int(3 * s), int(22 * s), int(14 * s), BOX)
    pixmap.fill_rect(p, int(15 * s), int(3 * s), int(17 * s), int(14 * s), BOX_EDGE)


def spark(p, size, step):
    """One of five positions of a dot circling the box: the animation frame `step`."""
    s = size / 32.0
    angle = -math.pi / 2 + step * 2 * math.pi / 5
    cx = 16 * s + math.cos(angle) * 9.5 * s
    cy = 8.5 * s + math.sin(angle) * 7 * s
    pixmap.fill_ellipse(p, cx, cy, 2.6 * s, 2.6 * s, EDGE)
    pixmap.fill_ellipse(p, cx, cy, 2.0 * s, 2.0 * s, SPARK)


def picture(size, step=None):
    p = pixmap.blank(size, size)
    package(p, size)
    pad(p, size, int(size * 0.58))
    if step is not None:
        spark(p, size, step)
    return p


def main():
    os.makedirs(OUT, exist_ok=True)
    pixmap.write_ico(os.path.join(OUT, 'setup.ico'), [picture(32), picture(16)])
    for step in range(5):
        pixmap.write_ico(os.path.join(OUT, 'frame%d.ico' % (step + 1)), [picture(32, step), picture(16, step)])


if __name__ == '__main__':
    main()
