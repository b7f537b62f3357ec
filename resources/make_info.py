#!/usr/bin/env python3
"""Draws the About box picture: the program's name over a C64 rainbow, a 1541 drive
and a floppy, 215 by 110 pixels. The pixels are drawn with the splash's canvas and
block font and written as an 8-bit (palette) BMP. The bottom-left pixel holds the
colour that the About box draws transparent.

    python3 make_info.py [output.bmp]      (default: info.bmp beside this script)
"""
import os
import struct
import sys

from make_splash import BLACK, BLUE, DARK_GREY, LIGHT_BLUE, LIGHT_GREY, Canvas, draw_floppy, text_width

WIDTH, HEIGHT = 215, 110

TRANSPARENT = (0xFF, 0x00, 0xFF)
CREAM = (0xE2, 0xDA, 0xBC)
LIGHT_CREAM = (0xF2, 0xEC, 0xD8)
TAN = (0xB6, 0xAC, 0x8A)
LED_GREEN = (0x55, 0xC0, 0x49)
LED_RED = (0xE0, 0x30, 0x30)
# The stripes of the C64 badge, top to bottom.
RAINBOW = [(0xB8, 0x38, 0x38), (0xE0, 0x80, 0x30), (0xE8, 0xD8, 0x50), (0x58, 0xA8, 0x48), (0x48, 0x70, 0xC8)]


def draw_drive(c, x, y, w, h):
    c.rect(x + 3, y + 3, w, h, BLACK)  # shadow
    c.rect(x, y, w, h, CREAM)  # case
    c.rect(x, y, w, 2, LIGHT_CREAM)
    c.rect(x, y + h - 8, w, 8, TAN)  # base
    c.text(x + 6, y + 6, "1541", 1, 1, DARK_GREY)
    c.rect(x + 10, y + 22, w - 20, 14, TAN)  # front recess
    c.rect(x + 14, y + 28, w - 28, 3, BLACK)  # slot
    c.rect(x + w // 2 - 3, y + 20, 6, 18, DARK_GREY)  # door lever
    c.rect(x + 8, y + h - 16, 5, 3, LED_GREEN)  # power
    c.rect(x + 16, y + h - 16, 5, 3, LED_RED)  # drive busy


def draw():
    c = Canvas(WIDTH, HEIGHT, TRANSPARENT)
    title = "KOBALTMANDREXIS"
    title_w = text_width(title, 2)
    title_x = (WIDTH - title_w) // 2
    c.text(title_x + 1, 5, title, 2, 2, LIGHT_BLUE)  # shadow
    c.text(title_x, 4, title, 2, 2, BLUE)
    for index, colour in enumerate(RAINBOW):
        c.rect(title_x, 22 + index, title_w, 1, colour)
    draw_drive(c, 12, 38, 106, 62)
    draw_floppy(c, 132, 32, 70)
    c.rect(0, HEIGHT - 1, 1, 1, TRANSPARENT)
    return c


def bmp8(canvas):
    """The canvas as an uncompressed 8-bit BMP with its own palette (at most 256 colours)."""
    colours, indices = [], {}
    rows = []
    for y in range(canvas.height - 1, -1, -1):  # BMP rows run bottom-up
        line = canvas.pixels[y]
        row = bytearray()
        for x in range(canvas.width):
            rgb = tuple(line[3 * x:3 * x + 3])
            if rgb not in indices:
                indices[rgb] = len(colours)
                colours.append(rgb)
            row.append(indices[rgb])
        row.extend(b"\0" * (-len(row) % 4))
        rows.append(bytes(row))
    assert len(colours) <= 256
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) + b"\0" * 4 * (256 - len(colours))
    pixels = b"".join(rows)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    return header + info + palette + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "info.bmp")
    with open(output, "wb") as f:
        f.write(bmp8(draw()))


if __name__ == "__main__":
    main()
