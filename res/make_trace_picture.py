#!/usr/bin/env python3
"""Draws a trace picture from a VCD file that PortCheck --watch recorded:
one row per wire (the lines and "blind"), high and low over a time axis.

    python3 res/make_trace_picture.py docs/watch-example.vcd docs/watch-trace.png
    python3 res/make_trace_picture.py IN.vcd OUT.png --start-us 2000 --span-us 12000

Without --start-us the picture starts shortly before the first change.
Python 3 standard library only; the lettering is the DB25 picture's own
font (make_pictures.py). The same VCD always gives the same bytes.
"""

import argparse
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from make_pictures import BLACK, FONT, WHITE, Canvas, text_width  # noqa: E402

# Letters the DB25 picture does not need.
FONT.update({
    "/": ["....#", "....#", "...#.", "..#..", ".#...", "#....", "#...."],
    "b": ["#....", "#....", "####.", "#...#", "#...#", "#...#", "####."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
})

WIDTH = 760
LABEL_WIDTH = 96
RIGHT_MARGIN = 14
TOP = 12
ROW = 30
LEVEL_HEIGHT = 16
AXIS_HEIGHT = 26
GRID = (225, 225, 225)
TRACE = (0, 90, 170)
BLIND = (200, 40, 40)


class Vcd:
    """The wires of a VCD and each one's changes as (time, value)."""

    def __init__(self, text):
        self.names = {}   # id -> name, in order of declaration
        self.changes = {}
        self.scale_us = 1.0
        time = 0
        words = iter(text.split())
        for word in words:
            if word == "$timescale":
                scale = ""
                for part in words:
                    if part == "$end":
                        break
                    scale += part
                number = int("".join(c for c in scale if c.isdigit()) or "1")
                unit = scale.lstrip("0123456789")
                self.scale_us = number * {"s": 1e6, "ms": 1e3, "us": 1.0, "ns": 1e-3, "ps": 1e-6}[unit]
            elif word == "$var":
                _kind, _size, ident, name = [next(words) for _ in range(4)]
                self.names[ident] = name
                self.changes[ident] = []
            elif word in ("$comment", "$date", "$version", "$scope"):
                for part in words:
                    if part == "$end":
                        break
            elif word.startswith("#"):
                time = int(word[1:]) * self.scale_us
            elif word[0] in "01xXzZ" and word[1:] in self.changes:
                self.changes[word[1:]].append((time, 1 if word[0] == "1" else 0))
        self.end_us = time

    def level_at(self, ident, us):
        level = 0
        for time, value in self.changes[ident]:
            if time > us:
                break
            level = value
        return level


def label(name):
    """pin10_nACK -> "10 /ACK", pin12_PAPER_OUT -> "12 PAPER OUT"."""
    if not name.startswith("pin"):
        return name
    number, _, signal = name[3:].partition("_")
    if signal.startswith("n") and signal[1:].isupper():
        signal = "/" + signal[1:]
    return number + " " + signal.replace("_", " ")


def draw(vcd, start_us, span_us):
    idents = list(vcd.names)
    height = TOP + ROW * len(idents) + AXIS_HEIGHT
    canvas = Canvas(WIDTH, height, WHITE)
    left, right = LABEL_WIDTH, WIDTH - RIGHT_MARGIN
    x_of = lambda us: left + int(round((us - start_us) * (right - left) / span_us))  # noqa: E731

    step = 1000.0
    while span_us / step > 12:
        step *= 2
    tick = 0.0
    while tick <= span_us:
        x = x_of(start_us + tick)
        canvas.vline(x, TOP - 4, height - AXIS_HEIGHT + 2, GRID)
        text = "%g ms" % (tick / 1000)
        canvas.text(x - text_width(text) // 2, height - AXIS_HEIGHT + 8, text, BLACK)
        tick += step

    for row, ident in enumerate(idents):
        high_y = TOP + row * ROW + 4
        low_y = high_y + LEVEL_HEIGHT
        canvas.text(6, high_y + 5, label(vcd.names[ident]), BLACK)
        colour = BLIND if vcd.names[ident] == "blind" else TRACE
        level = vcd.level_at(ident, start_us)
        x = left
        for time, value in vcd.changes[ident] + [(start_us + span_us, None)]:
            if time <= start_us:
                continue
            x_next = min(x_of(time), right)
            canvas.hline(x, x_next, high_y if level else low_y, colour)
            if value is None or x_next >= right:
                break
            if value != level:
                canvas.vline(x_next, high_y, low_y, colour)
            x, level = x_next, value
    return canvas


def png_bytes(canvas):
    rows = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in canvas.px)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("vcd")
    parser.add_argument("png")
    parser.add_argument("--start-us", type=float)
    parser.add_argument("--span-us", type=float, default=12000)
    args = parser.parse_args()
    with open(args.vcd) as f:
        vcd = Vcd(f.read())
    start = args.start_us
    if start is None:
        firsts = [changes[1][0] for ident, changes in vcd.changes.items()
                  if len(changes) > 1 and vcd.names[ident] != "blind"]
        start = max(0.0, min(firsts) - args.span_us / 20) if firsts else 0.0
    data = png_bytes(draw(vcd, start, args.span_us))
    with open(args.png, "wb") as f:
        f.write(data)
    print("wrote", args.png, len(data), "bytes")


if __name__ == "__main__":
    main()
