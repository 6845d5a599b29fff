#!/usr/bin/env python3
"""Generates the pictures of Tarnwick from code.

    res/db25.bmp      the DB25 pin-assignment picture shown in the main window:
                      314 x 286 pixels, 24 bits per pixel, uncompressed BMP
    res/db25_125.bmp  the same picture drawn for screens at 125, 150 and 200 %
    res/db25_150.bmp  (120, 144 and 192 pixels per inch): every size scaled and
    res/db25_200.bmp  rounded as the window rounds its layout (393 x 358,
                      471 x 429, 628 x 572), 8 bits per pixel with a palette
                      of the colours used, run-length encoded (BI_RLE8)
    res/tarnwick.ico  the application icon at every size Windows shows it, from
                      16 x 16 to 256 x 256 (icon_picture.py)
    docs/icon-16.png  the icon at 16, 32 and 256 pixels, for the guides
    docs/icon-32.png
    docs/icon-256.png

Run from anywhere (the outputs always land next to this script):

    python3 res/make_pictures.py

Python 3 standard library only. The output is deterministic: the same script
always writes the same bytes. The outputs are committed, so the build does not
need Python; change this script and rerun it to change a picture.
"""

import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import icon_picture  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------------------
# Colours (R, G, B)

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
PINK = (255, 182, 193)  # light pink contacts

# ---------------------------------------------------------------------------
# A small 5 x 7 pixel font. Each glyph is 7 rows above the baseline, plus up to
# two rows of descender ('#' = ink). Letters are spaced proportionally (their
# inked columns plus one blank column); digits all take the full five columns
# so that pin numbers line up.

FONT = {
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
    "A": [".###.", "#...#", "#...#", "#...#", "#####", "#...#", "#...#"],
    "B": ["####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "D": ["###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "N": ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "c": [".....", ".....", ".###.", "#....", "#....", "#...#", ".###."],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "i": [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    "l": ["##.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.",
          "#....", "#...."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "t": [".#..", ".#..", "###.", ".#..", ".#..", ".#.#", "..#."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
}
CAP_HEIGHT = 7
SPACE_ADVANCE = 3
DIGIT_WIDTH = 5


def glyph_columns(ch):
    """The inked column range (first, last + 1) that a glyph occupies."""
    rows = FONT[ch]
    if ch.isdigit():
        return 0, DIGIT_WIDTH
    cols = [x for row in rows for x, c in enumerate(row) if c == "#"]
    return min(cols), max(cols) + 1


def text_width(text):
    width = 0
    for i, ch in enumerate(text):
        if i:
            width += 1
        if ch == " ":
            width += SPACE_ADVANCE - 1
        else:
            first, last = glyph_columns(ch)
            width += last - first
    return width


# ---------------------------------------------------------------------------
# A plain RGB canvas


def scaled(value, percent):
    """A size at 100 % at `percent`, rounded halves up, as the window's
    layout is (the Windows MulDiv)."""
    return (value * percent * 2 + 100) // 200


class Canvas:
    """Drawn in the coordinates of the 100 % picture; at another scale every
    coordinate is scaled, and a pixel of the 100 % picture becomes a block
    with its edges on whole pixels, so lines and letters stay sharp."""

    def __init__(self, width, height, background, percent=100):
        self.percent = percent
        self.scale = percent / 100
        self.width = scaled(width, percent)
        self.height = scaled(height, percent)
        self.px = [[background] * self.width for _ in range(self.height)]

    def edge(self, x):
        return int(x * self.scale + 0.5)

    def set(self, x, y, colour):
        for py in range(max(0, self.edge(y)), min(self.height, self.edge(y + 1))):
            for px in range(max(0, self.edge(x)), min(self.width, self.edge(x + 1))):
                self.px[py][px] = colour

    def blend(self, x, y, colour, coverage):
        """Mixes colour over the (scaled) pixel by coverage (0..1)."""
        if coverage <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        old = self.px[y][x]
        self.px[y][x] = tuple(
            int(round(o + (c - o) * coverage)) for o, c in zip(old, colour)
        )

    def hline(self, x0, x1, y, colour):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.set(x, y, colour)

    def vline(self, x, y0, y1, colour):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.set(x, y, colour)

    def text(self, x, top, text, colour):
        """Draws text with its left edge at x and its cap top at row top."""
        for i, ch in enumerate(text):
            if i:
                x += 1
            if ch == " ":
                x += SPACE_ADVANCE - 1
                continue
            first, last = glyph_columns(ch)
            for dy, row in enumerate(FONT[ch]):
                for dx in range(first, last):
                    if dx < len(row) and row[dx] == "#":
                        self.set(x + dx - first, top + dy, colour)
            x += last - first

    def fill_shape(self, inside, box, colour, samples=4):
        """Fills the shape given by inside(x, y) -> bool, anti-aliased by
        samples x samples points in each pixel of the box (x0, y0, x1, y1),
        drawn at the canvas's scale."""
        x0, y0, x1, y1 = box
        n = samples * samples
        offsets = [(i + 0.5) / samples for i in range(samples)]
        s = self.scale
        for y in range(self.edge(y0), self.edge(y1 + 1)):
            for x in range(self.edge(x0), self.edge(x1 + 1)):
                hits = sum(
                    1 for oy in offsets for ox in offsets
                    if inside((x + ox) / s, (y + oy) / s)
                )
                self.blend(x, y, colour, hits / n)


# ---------------------------------------------------------------------------
# The DB25 picture

BMP_WIDTH = 314
BMP_HEIGHT = 286

PITCH = 20              # vertical distance between pins of one row
FIRST_PIN_Y = 24        # centre row of pin 1
CENTRE_X = 144          # centre line of the connector
ROW_HALF_GAP = 10       # each pin row stands this far from the centre line
CONTACT_RADIUS = 4.6
SHELL_TOP = FIRST_PIN_Y - 16
SHELL_BOTTOM = FIRST_PIN_Y + 12 * PITCH + 16
SHELL_HALF_TOP = 31     # half the width of the shell at the top ...
SHELL_HALF_BOTTOM = 22  # ... and at the bottom
SHELL_CORNER = 7        # radius of the rounded corners

GAP = 5                 # space between number, arrow and name
NUMBER_WIDTH = 2 * DIGIT_WIDTH + 1
ARROW_LENGTH = 22
HEAD_LENGTH = 4         # arrow heads: this long, 2 * (HEAD_LENGTH - 1) + 1 high

# The pins: number, name, bar over the name, and what sits between number and
# name: "out" points away from the connector, "in" toward it, "both" has two
# heads, "line" none.
PINS = [
    (1, "STROBE", True, "both"),
    (2, "D0", False, "out"),
    (3, "D1", False, "out"),
    (4, "D2", False, "out"),
    (5, "D3", False, "out"),
    (6, "D4", False, "out"),
    (7, "D5", False, "out"),
    (8, "D6", False, "out"),
    (9, "D7", False, "out"),
    (10, "ACK", True, "in"),
    (11, "BUSY", False, "in"),
    (12, "Paper Out", True, "in"),
    (13, "Select", True, "in"),
    (14, "Line Feed", True, "both"),
    (15, "Error", True, "in"),
    (16, "RESET", False, "both"),
    (17, "Select Printer", True, "both"),
] + [(n, "GND", False, "line") for n in range(18, 26)]


def pin_position(number):
    """Centre (x, y) of a contact: pins 1..13 in the left row, top to bottom,
    pins 14..25 in the right row, half a pitch lower."""
    if number <= 13:
        return CENTRE_X - ROW_HALF_GAP, FIRST_PIN_Y + (number - 1) * PITCH
    return (CENTRE_X + ROW_HALF_GAP,
            FIRST_PIN_Y + (number - 14) * PITCH + PITCH // 2)


def shell_polygon(inset):
    """The trapezoid of the shell, moved inward by inset on every side, as
    its four corners clockwise from the top left."""
    height = SHELL_BOTTOM - SHELL_TOP
    slope = (SHELL_HALF_TOP - SHELL_HALF_BOTTOM) / height  # x per y
    # Moving a slanted side inward by inset moves it horizontally by this much.
    side_shift = inset * (1 + slope * slope) ** 0.5
    top = SHELL_TOP + inset
    bottom = SHELL_BOTTOM - inset

    def half(y):
        return SHELL_HALF_TOP - slope * (y - SHELL_TOP) - side_shift

    return [
        (CENTRE_X - half(top), top),
        (CENTRE_X + half(top), top),
        (CENTRE_X + half(bottom), bottom),
        (CENTRE_X - half(bottom), bottom),
    ]


def distance_to_convex(px, py, poly):
    """0 inside the convex polygon (clockwise in screen coordinates), else the
    distance to it."""
    inside = True
    best = None
    n = len(poly)
    for i in range(n):
        ax, ay = poly[i]
        bx, by = poly[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        if ex * (py - ay) - ey * (px - ax) < 0:
            inside = False
        t = ((px - ax) * ex + (py - ay) * ey) / (ex * ex + ey * ey)
        t = max(0.0, min(1.0, t))
        d = ((ax + t * ex - px) ** 2 + (ay + t * ey - py) ** 2) ** 0.5
        best = d if best is None else min(best, d)
    return 0.0 if inside else best


def draw_arrow(canvas, x_left, x_right, y, head_left, head_right):
    canvas.hline(x_left, x_right, y, BLACK)
    for k in range(HEAD_LENGTH):
        if head_left:
            canvas.vline(x_left + k, y - k, y + k, BLACK)
        if head_right:
            canvas.vline(x_right - k, y - k, y + k, BLACK)


def make_db25(percent=100):
    canvas = Canvas(BMP_WIDTH, BMP_HEIGHT, WHITE, percent)

    # The shell: a black trapezoid with rounded corners.
    core = shell_polygon(SHELL_CORNER)
    canvas.fill_shape(
        lambda x, y: distance_to_convex(x, y, core) <= SHELL_CORNER,
        (CENTRE_X - SHELL_HALF_TOP - 1, SHELL_TOP - 1,
         CENTRE_X + SHELL_HALF_TOP + 1, SHELL_BOTTOM + 1),
        BLACK,
    )

    # Columns of the labels, outward from the shell's widest part.
    left_number_right = CENTRE_X - SHELL_HALF_TOP - GAP - 1
    left_arrow_right = left_number_right - NUMBER_WIDTH - GAP
    left_arrow_left = left_arrow_right - ARROW_LENGTH + 1
    left_name_right = left_arrow_left - GAP
    right_number_left = CENTRE_X + SHELL_HALF_TOP + GAP + 1
    right_arrow_left = right_number_left + NUMBER_WIDTH + GAP
    right_arrow_right = right_arrow_left + ARROW_LENGTH - 1
    right_name_left = right_arrow_right + GAP + 1

    for number, name, bar, kind in PINS:
        cx, cy = pin_position(number)
        r = CONTACT_RADIUS
        canvas.fill_shape(
            lambda x, y: (x - cx - 0.5) ** 2 + (y - cy - 0.5) ** 2 <= r * r,
            (cx - 6, cy - 6, cx + 6, cy + 6),
            PINK,
        )

        top = cy - CAP_HEIGHT // 2
        label = str(number)
        left_row = number <= 13
        if left_row:
            canvas.text(left_number_right - text_width(label) + 1, top, label,
                        BLACK)
            name_x = left_name_right - text_width(name) + 1
            x0, x1 = left_arrow_left, left_arrow_right
            toward_left = False  # the connector is to the right
        else:
            canvas.text(right_number_left, top, label, BLACK)
            name_x = right_name_left
            x0, x1 = right_arrow_left, right_arrow_right
            toward_left = True
        canvas.text(name_x, top, name, BLACK)
        if bar:
            canvas.hline(name_x, name_x + text_width(name) - 1, top - 3, BLACK)

        heads = {"both": (True, True), "line": (False, False)}.get(kind)
        if heads is None:
            to_left = toward_left if kind == "in" else not toward_left
            heads = (to_left, not to_left)
        draw_arrow(canvas, x0, x1, cy, *heads)

        assert name_x >= 2 and name_x + text_width(name) <= BMP_WIDTH - 2, name
    return canvas


# The scales the picture is drawn at besides 100 %; the window takes the
# nearest at or above the screen's.
SCALES = [125, 150, 200]
METRES_PER_INCH = 0.0254


def rle8(rows):
    """Rows of palette indices, bottom row first, as BI_RLE8: runs of one
    index (at most 255), an end-of-line mark after each row, end-of-bitmap
    after the last. Mostly white, the picture shrinks twelvefold."""
    out = bytearray()
    for row in rows:
        i = 0
        while i < len(row):
            j = i
            while j < len(row) and j - i < 255 and row[j] == row[i]:
                j += 1
            out += bytes((j - i, row[i]))
            i = j
        out += b"\0\0"
    out[-2:] = b"\0\1"
    return bytes(out)


def bmp_bytes(canvas):
    """A bottom-up BMP with a BITMAPINFOHEADER: at 100 % 24 bits per pixel,
    uncompressed; else 8 bits with a palette of the colours used (the
    anti-aliased edges use a few dozen), run-length encoded."""
    palette = []
    if canvas.percent != 100:
        palette = sorted({colour for row in canvas.px for colour in row})
        assert len(palette) <= 256, "more colours than an 8-bit palette holds"
    index = {colour: i for i, colour in enumerate(palette)}
    bpp = 8 if palette else 24
    row_size = (canvas.width * bpp // 8 + 3) // 4 * 4
    rows = []
    for y in range(canvas.height - 1, -1, -1):
        if palette:
            rows.append(bytes(index[colour] for colour in canvas.px[y]))
        else:
            row = b"".join(bytes((b, g, r)) for r, g, b in canvas.px[y])
            rows.append(row + bytes(row_size - len(row)))
    pixels = rle8(rows) if palette else b"".join(rows)
    compression = 1 if palette else 0  # BI_RLE8, BI_RGB
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    resolution = round(96 * canvas.scale / METRES_PER_INCH)  # 3780 at 100 %
    info = struct.pack(
        "<IiiHHIIiiII",
        40, canvas.width, canvas.height, 1, bpp, compression, len(pixels),
        resolution, resolution, len(palette), 0,
    )
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + pixels


def bmp_checker(percent):
    def check_bmp(data):
        magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
        (size, width, height, planes, bpp, compression, image_size,
         _, _, colours_used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
        row_size = (width * bpp // 8 + 3) // 4 * 4
        assert magic == b"BM" and file_size == len(data), "BMP file header"
        assert size == 40, "BITMAPINFOHEADER"
        assert (width, height) == (scaled(BMP_WIDTH, percent),
                                   scaled(BMP_HEIGHT, percent)), "BMP size"
        assert height > 0, "bottom-up"
        assert planes == 1 and bpp == (24 if percent == 100 else 8), "bits per pixel"
        assert compression == (0 if percent == 100 else 1), "BI_RGB at 100 %, else BI_RLE8"
        assert offset == 54 + 4 * colours_used, "palette"
        assert (colours_used == 0) == (percent == 100), "a palette only at 8 bits"
        assert image_size == len(data) - offset, "pixels"
        if compression == 0:
            assert image_size == row_size * height and row_size % 4 == 0, "rows"
        else:
            assert data.endswith(b"\0\1") and data.count(b"\0\0") >= height - 1, "RLE8 rows"
    return check_bmp


# ---------------------------------------------------------------------------


def write(name, data, check):
    check(data)
    path = os.path.join(HERE, name)
    with open(path, "wb") as f:
        f.write(data)
    with open(path, "rb") as f:
        check(f.read())
    print("wrote", os.path.relpath(path), len(data), "bytes")


def main():
    write("db25.bmp", bmp_bytes(make_db25()), bmp_checker(100))
    for percent in SCALES:
        write("db25_%d.bmp" % percent, bmp_bytes(make_db25(percent)), bmp_checker(percent))
    write("tarnwick.ico", icon_picture.ico_bytes(), icon_picture.check_ico)
    for n in icon_picture.PREVIEW_SIZES:
        write(os.path.join("..", "docs", "icon-%d.png" % n), icon_picture.png_bytes(icon_picture.draw(n)),
              lambda data: None)


if __name__ == "__main__":
    main()
