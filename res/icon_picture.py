"""The application icon, drawn at every size Windows shows it (used by
make_pictures.py).

The face of a DB25 connector (grey flange with two screw holes, dark shell,
gold contacts) under a lit green lamp, drawn from shapes on a 32 x 32 grid
at each size, smoothed by sampling each pixel several times:

    16, 20, 24, 32, 40, 48, 64   32-bit colour with alpha (and an AND mask)
    256                           32-bit colour, stored as PNG
    16, 32                        16 colours, for Windows XP's basic themes
                                  (the 32 x 32 one drawn pixel by pixel)

Windows takes the size nearest to what it needs (16 and 32 at 100 %, 20 and
40 at 125 %, 24 and 48 at 150 %, 32 and 64 at 200 %).
"""

import struct
import zlib

TRUE_COLOUR_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
PNG_SIZES = [256]
SIXTEEN_COLOUR_SIZES = [16, 32]
PREVIEW_SIZES = [16, 32, 256]

# ---------------------------------------------------------------------------
# The shapes, on a 32 x 32 grid, topmost last. Each is a test of a point and
# a colour (R, G, B).

FLANGE_EDGE = (96, 96, 96)
FLANGE = (196, 196, 196)
SHELL = (28, 28, 28)
SHELL_RIM = (110, 110, 110)
GOLD = (236, 196, 52)
GOLD_SHADE = (150, 116, 20)
LAMP_RIM = (0, 60, 0)
LAMP = (0, 150, 0)
LAMP_LIT = (70, 235, 70)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def trapezoid(top, bottom, top_left, top_right, bottom_left, bottom_right):
    def inside(x, y):
        if not (top <= y <= bottom):
            return False
        t = (y - top) / (bottom - top)
        return top_left + t * (bottom_left - top_left) <= x <= top_right + t * (bottom_right - top_right)
    return inside


def shapes(line):
    """The shapes for an outline `line` units wide (at least a pixel)."""
    found = [
        (rounded_rect(0, 12, 32, 30, 2), FLANGE_EDGE),
        (rounded_rect(line, 12 + line, 32 - line, 30 - line, max(0.1, 2 - line)), FLANGE),
        (disc(2.8, 21, 1.5), BLACK),
        (disc(29.2, 21, 1.5), BLACK),
        (trapezoid(15, 27, 4.5, 27.5, 7.5, 24.5), SHELL),
        (trapezoid(15, 15 + line, 4.5, 27.5, 4.5, 27.5), SHELL_RIM),
    ]
    for k in range(7):
        x = 6 + 3 * k
        found.append((rounded_rect(x, 18, x + 2, 20, 0.3), GOLD_SHADE))
        found.append((rounded_rect(x, 18, x + 2, 19, 0.3), GOLD))
    for k in range(6):
        x = 7.5 + 3 * k
        found.append((rounded_rect(x, 22, x + 2, 24, 0.3), GOLD_SHADE))
        found.append((rounded_rect(x, 22, x + 2, 23, 0.3), GOLD))
    found += [
        (rounded_rect(15, 10, 17, 12.5, 0), BLACK),  # the lamp's leg
        (disc(16, 6, 5.8), LAMP_RIM),
        (disc(16, 6, 5.8 - line), LAMP),
        (disc(16, 6, 3.6), LAMP_LIT),
        (disc(14.3, 4.3, 1.2), WHITE),
    ]
    return found


def draw(n):
    """The icon at n x n pixels: rows of (R, G, B, A), top row first."""
    unit = 32.0 / n
    line = max(unit, 0.6)
    found = list(reversed(shapes(line)))
    samples = 4 if n <= 64 else 2
    step = unit / samples
    pixels = []
    for py in range(n):
        row = []
        for px in range(n):
            r = g = b = a = 0
            for sy in range(samples):
                y = (py * samples + sy + 0.5) * step
                for sx in range(samples):
                    x = (px * samples + sx + 0.5) * step
                    for inside, colour in found:
                        if inside(x, y):
                            r += colour[0]
                            g += colour[1]
                            b += colour[2]
                            a += 1
                            break
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                # Colour averaged over the covered samples, alpha their share.
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / samples ** 2)))
        pixels.append(row)
    return pixels


# ---------------------------------------------------------------------------
# 16 colours

PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
(I_BLACK, I_MAROON, I_GREEN, I_OLIVE, I_NAVY, I_PURPLE, I_TEAL, I_SILVER,
 I_GREY, I_RED, I_LIME, I_YELLOW, I_BLUE, I_FUCHSIA, I_AQUA, I_WHITE) = range(16)
TRANSPARENT = None


def draw_32_in_16_colours():
    """The 32 x 32 icon pixel by pixel: indices into PALETTE16, or TRANSPARENT."""
    n = 32
    px = [[TRANSPARENT] * n for _ in range(n)]

    def put(x, y, c):
        if 0 <= x < n and 0 <= y < n:
            px[y][x] = c

    def fill_disc(cx, cy, r2, c):
        for y in range(n):
            for x in range(n):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r2:
                    put(x, y, c)

    for y in range(12, 30):
        for x in range(0, 32):
            edge = y in (12, 29) or x in (0, 31)
            put(x, y, I_GREY if edge else I_SILVER)
    for x in (0, 31):
        put(x, 12, TRANSPARENT)
        put(x, 29, TRANSPARENT)
    fill_disc(2.5, 20.5, 1.6, I_BLACK)
    fill_disc(28.5, 20.5, 1.6, I_BLACK)
    for i, y in enumerate(range(15, 27)):
        inset = 4 + i // 4
        for x in range(inset, 32 - inset):
            put(x, y, I_BLACK)
    for x in range(5, 27):
        put(x, 15, I_GREY)
    for k in range(7):
        x = 6 + 3 * k
        for dx in (0, 1):
            put(x + dx, 18, I_YELLOW)
            put(x + dx, 19, I_OLIVE)
    for k in range(6):
        x = 8 + 3 * k
        for dx in (0, 1):
            put(x + dx, 22, I_YELLOW)
            put(x + dx, 23, I_OLIVE)
    fill_disc(15.5, 5.5, 30, I_BLACK)
    fill_disc(15.5, 5.5, 20, I_GREEN)
    fill_disc(15.5, 5.5, 12, I_LIME)
    for x, y in ((13, 3), (14, 3), (13, 4)):
        put(x, y, I_WHITE)
    put(15, 11, I_BLACK)
    put(16, 11, I_BLACK)
    return px


def in_16_colours(pixels):
    """A drawing in the nearest of the 16 colours; half-covered pixels or less
    transparent."""
    def nearest(r, g, b):
        return min(range(16), key=lambda i: sum((p - q) ** 2 for p, q in zip(PALETTE16[i], (r, g, b))))
    return [[TRANSPARENT if a < 128 else nearest(r, g, b) for r, g, b, a in row] for row in pixels]


# ---------------------------------------------------------------------------
# The images in the file

def and_mask(n, transparent):
    """The AND mask, bottom-up: 1 where the pixel is transparent."""
    row_bytes = (n + 31) // 32 * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        bits = bytearray(row_bytes)
        for x in range(n):
            if transparent(x, y):
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return bytes(mask)


def dib_header(n, bpp, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, bpp, 0, image_bytes, 0, 0, 0, 0)


def true_colour_image(pixels):
    n = len(pixels)
    xor = bytearray()
    for y in range(n - 1, -1, -1):
        for r, g, b, a in pixels[y]:
            xor += bytes((b, g, r, a))
    mask = and_mask(n, lambda x, y: pixels[y][x][3] == 0)
    return dib_header(n, 32, len(xor) + len(mask)) + bytes(xor) + mask


def sixteen_colour_image(px):
    n = len(px)
    row_bytes = (n * 4 + 31) // 32 * 4
    xor = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(n):
            c = px[y][x] or 0
            row[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor += row
    mask = and_mask(n, lambda x, y: px[y][x] is TRANSPARENT)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE16)
    return dib_header(n, 4, len(xor) + len(mask)) + palette + bytes(xor) + mask


def png_bytes(pixels):
    n = len(pixels)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def images():
    """(size, bits per pixel, image bytes) for every image in the file."""
    found = []
    for n in TRUE_COLOUR_SIZES:
        pixels = draw(n)
        found.append((n, 32, png_bytes(pixels) if n in PNG_SIZES else true_colour_image(pixels)))
    found.append((16, 4, sixteen_colour_image(in_16_colours(draw(16)))))
    found.append((32, 4, sixteen_colour_image(draw_32_in_16_colours())))
    return found


def ico_bytes():
    found = images()
    header = struct.pack("<HHH", 0, 1, len(found))
    entries = b""
    offset = 6 + 16 * len(found)
    for n, bpp, image in found:
        entries += struct.pack("<BBBBHHII", n % 256, n % 256, 16 if bpp == 4 else 0, 0, 1, bpp, len(image), offset)
        offset += len(image)
    return header + entries + b"".join(image for _, _, image in found)


def check_ico(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1), "ICO header"
    expected = sorted([(n, 32) for n in TRUE_COLOUR_SIZES] + [(n, 4) for n in SIXTEEN_COLOUR_SIZES])
    found = []
    end = 6 + 16 * count
    for i in range(count):
        (width, height, colours, _, planes, bpp, size,
         offset) = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        n = width or 256
        assert width == height and planes == 1, "ICO entry %d" % i
        assert offset == end and offset + size <= len(data), "ICO image extent"
        end = offset + size
        image = data[offset:offset + size]
        if image.startswith(b"\x89PNG"):
            w, h = struct.unpack_from(">II", image, 16)
            assert (w, h, n, bpp) == (256, 256, 256, 32), "the 256 x 256 PNG"
        else:
            hsize, bw, bh, _, bbpp, compression = struct.unpack_from("<IiiHHI", image, 0)
            assert (hsize, bw, bh, bbpp, compression) == (40, n, 2 * n, bpp, 0), "BITMAPINFOHEADER %d" % n
            palette = 64 if bpp == 4 else 0
            xor = (n * bpp + 31) // 32 * 4 * n
            mask = (n + 31) // 32 * 4 * n
            assert size == 40 + palette + xor + mask, "image %d x %d, %d bpp" % (n, n, bpp)
            assert colours == (16 if bpp == 4 else 0), "colour count"
        found.append((n, bpp))
    assert end == len(data), "nothing after the images"
    assert sorted(found) == expected, "sizes and depths: %r" % found
