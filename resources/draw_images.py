#!/usr/bin/env python3
"""Draws the Kadrelle tool icon and painting cursor and writes them as
kadrelle.ico and kadrelle.cur next to this script.

Standard library only; the files are written byte by byte:
  .ico  ICONDIR, one ICONDIRENTRY, BITMAPINFOHEADER (height doubled),
        16-entry palette, 4-bit XOR bitmap, 1-bit AND mask.
  .cur  the same layout with type 2, the hot spot in the directory entry,
        a 2-entry palette and a 1-bit XOR bitmap.
Bitmaps are stored bottom row first; every row is padded to 4 bytes.

Run it again after changing a drawing and commit both output files.
"""

import math
import os
import struct
import sys

SIZE = 32

# The standard 16-colour palette, as (red, green, blue).
PALETTE16 = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
BLACK, DARK_RED, OLIVE, NAVY, SILVER, GREY = 0, 1, 3, 4, 7, 8
RED, GREEN, YELLOW, BLUE, MAGENTA, WHITE = 9, 10, 11, 12, 13, 15

CURSOR_HOT_SPOT = (14, 16)


class Canvas:
    """A SIZE x SIZE grid of palette indices; None is transparent."""

    def __init__(self):
        self.pixels = [[None] * SIZE for _ in range(SIZE)]

    def put(self, x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.pixels[y][x] = colour

    def get(self, x, y):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            return self.pixels[y][x]
        return None

    def stroke(self, x0, y0, x1, y1, radius, colour):
        """Fills every pixel whose centre lies within radius of the segment."""
        dx, dy = x1 - x0, y1 - y0
        length_sq = dx * dx + dy * dy
        for y in range(SIZE):
            for x in range(SIZE):
                t = 0.0
                if length_sq:
                    t = ((x - x0) * dx + (y - y0) * dy) / length_sq
                    t = max(0.0, min(1.0, t))
                px, py = x0 + t * dx, y0 + t * dy
                if math.hypot(x - px, y - py) <= radius:
                    self.put(x, y, colour)

    def outline(self, colour):
        """Gives every drawn shape a one-pixel border on transparent ground."""
        edge = []
        for y in range(SIZE):
            for x in range(SIZE):
                if self.pixels[y][x] is not None:
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if self.get(nx, ny) is not None:
                        edge.append((x, y))
                        break
        for x, y in edge:
            self.put(x, y, colour)

    def sparkle(self, cx, cy, colour, arm=1):
        """A small four-pointed star."""
        self.put(cx, cy, colour)
        for step in range(1, arm + 1):
            for x, y in ((cx - step, cy), (cx + step, cy),
                         (cx, cy - step), (cx, cy + step)):
                self.put(x, y, colour)


def draw_icon():
    """A paint brush, tip down to the left, laying a trail of small stars."""
    canvas = Canvas()
    # Handle, from the top right corner down to the ferrule.
    canvas.stroke(28.0, 3.0, 18.0, 13.0, 1.9, DARK_RED)
    canvas.stroke(27.0, 4.0, 19.5, 11.5, 0.6, RED)
    # Ferrule.
    canvas.stroke(18.0, 13.0, 14.5, 16.5, 2.1, SILVER)
    canvas.stroke(17.5, 12.5, 14.0, 16.0, 0.5, WHITE)
    # Bristles, tapering to the tip.
    canvas.stroke(14.5, 16.5, 11.0, 20.0, 2.2, NAVY)
    canvas.stroke(11.0, 20.0, 8.0, 23.0, 1.2, NAVY)
    canvas.stroke(13.0, 17.0, 9.5, 20.5, 0.5, BLUE)
    canvas.outline(BLACK)
    # The trail of painted symbols.
    canvas.sparkle(4, 27, YELLOW, arm=2)
    canvas.sparkle(11, 28, MAGENTA)
    canvas.sparkle(3, 19, GREEN)
    canvas.sparkle(6, 11, YELLOW, arm=2)
    canvas.sparkle(17, 27, BLUE)
    canvas.sparkle(12, 5, RED)
    canvas.put(21, 23, GREEN)
    canvas.put(24, 28, MAGENTA)
    canvas.put(9, 15, BLUE)
    return canvas


def draw_cursor():
    """A crosshair centred on the hot spot, with a small brush beside it.

    Colours are 0 black and 1 white; None is transparent."""
    canvas = Canvas()
    hx, hy = CURSOR_HOT_SPOT
    # Crosshair: white arms with a black core, open in the middle so the
    # pixel under the hot spot stays visible.
    for d in range(3, 10):
        for sign in (-1, 1):
            for w in (-1, 0, 1):
                canvas.put(hx + sign * d, hy + w, 1)
                canvas.put(hx + w, hy + sign * d, 1)
    for d in range(3, 9):
        for sign in (-1, 1):
            canvas.put(hx + sign * d, hy, 0)
            canvas.put(hx, hy + sign * d, 0)
    canvas.put(hx, hy, 0)
    # The brush, down and to the right, its tip towards the crosshair.
    brush = Canvas()
    brush.stroke(21.0, 23.0, 29.0, 31.0, 1.4, 0)
    brush.stroke(20.0, 22.0, 21.5, 23.5, 1.0, 0)
    brush.outline(1)
    for y in range(SIZE):
        for x in range(SIZE):
            if brush.pixels[y][x] is not None and canvas.pixels[y][x] is None:
                canvas.pixels[y][x] = brush.pixels[y][x]
    return canvas


def pack_rows(rows, bits_per_pixel):
    """Packs rows of small integers, bottom row first, each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        acc = 0
        nbits = 0
        line = bytearray()
        for value in row:
            acc = (acc << bits_per_pixel) | value
            nbits += bits_per_pixel
            if nbits == 8:
                line.append(acc)
                acc = 0
                nbits = 0
        if nbits:
            line.append(acc << (8 - nbits))
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def dib(canvas, bit_count, palette):
    """BITMAPINFOHEADER, palette, XOR bitmap and AND mask for one image."""
    colours = [[0 if p is None else p for p in row] for row in canvas.pixels]
    mask = [[1 if p is None else 0 for p in row] for row in canvas.pixels]
    xor_bits = pack_rows(colours, bit_count)
    and_bits = pack_rows(mask, 1)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,                          # biSize
        SIZE,                        # biWidth
        SIZE * 2,                    # biHeight: XOR and AND stacked
        1,                           # biPlanes
        bit_count,                   # biBitCount
        0,                           # biCompression: BI_RGB
        len(xor_bits) + len(and_bits),
        0, 0,                        # resolution, unused
        0, 0)                        # all palette entries used, all important
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + xor_bits + and_bits


def icon_file(canvas):
    image = dib(canvas, 4, PALETTE16)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image),
                        len(directory) + 16)
    return directory + entry + image


def cursor_file(canvas):
    image = dib(canvas, 1, [(0, 0, 0), (0xFF, 0xFF, 0xFF)])
    hx, hy = CURSOR_HOT_SPOT
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hx, hy, len(image),
                        len(directory) + 16)
    return directory + entry + image


def show(canvas, symbols):
    for row in canvas.pixels:
        print("".join(symbols(p) for p in row))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    icon = draw_icon()
    cursor = draw_cursor()
    with open(os.path.join(here, "kadrelle.ico"), "wb") as f:
        f.write(icon_file(icon))
    with open(os.path.join(here, "kadrelle.cur"), "wb") as f:
        f.write(cursor_file(cursor))
    if "--show" in argv:
        show(icon, lambda p: "." if p is None else "0123456789ABCDEF"[p])
        print()
        show(cursor, lambda p: "." if p is None else ("#" if p == 0 else "o"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
