#!/usr/bin/env python3
"""Draws the drive badge shown in the corner of the BAM dialog: a dark plate with a
disk emblem of our own, "COMMODORE 1541-II" (or the drive given) above "FLOPPY DISK
DRIVE", 150 by 27 pixels. The pixels are drawn here and written as a PNG with the
standard library alone.

    python3 make_badge.py [output.png [DRIVE]]   (default: badge.png beside this script, 1541-II)
    python3 make_badge.py badge1571.png 1571
    python3 make_badge.py badge1581.png 1581
"""
import os
import struct
import sys
import zlib

from make_splash import GLYPHS, Canvas

WIDTH, HEIGHT = 150, 27

PLATE = (0x2A, 0x2A, 0x2E)
RIM = (0x8E, 0x8A, 0x80)
LETTERS = (0xE8, 0xE4, 0xD8)
SMALL_LETTERS = (0xB8, 0xB4, 0xA8)
RED = (0xC8, 0x3C, 0x32)
BLUE = (0x4A, 0x6E, 0xC8)

# The letters the badge needs beyond the splash's (the splash's canvas draws from this table).
GLYPHS.update({
    "C": [" ### ", "#   #", "#    ", "#    ", "#    ", "#   #", " ### "],
    "F": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#    "],
    "P": ["#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "],
    "V": ["#   #", "#   #", "#   #", "#   #", "#   #", " # # ", "  #  "],
    "-": ["     ", "     ", "     ", "#####", "     ", "     ", "     "],
    "7": ["#####", "    #", "   # ", "  #  ", "  #  ", "  #  ", "  #  "],
})


def draw(drive):
    c = Canvas(WIDTH, HEIGHT, RIM)
    c.rect(1, 1, WIDTH - 2, HEIGHT - 2, PLATE)
    # The emblem: a disk in its jacket, split in a red and a blue half.
    c.rect(5, 4, 19, 19, RIM)
    c.rect(6, 5, 17, 17, PLATE)
    for row in range(6, 21):
        for col in range(7, 22):
            if (col - 14) ** 2 + (row - 13) ** 2 <= 49:
                c.put(col, row, RED if col < 14 else BLUE)
    c.disc(14, 13, 2, PLATE)
    c.text(30, 4, "COMMODORE " + drive, 1, 1, LETTERS)
    c.text(30, 16, "FLOPPY DISK DRIVE", 1, 1, SMALL_LETTERS)
    return c


def png(canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    rows = b"".join(b"\x00" + bytes(row) for row in canvas.pixels)
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9)) +
            chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "badge.png")
    drive = sys.argv[2] if len(sys.argv) > 2 else "1541-II"
    with open(output, "wb") as f:
        f.write(png(draw(drive)))


if __name__ == "__main__":
    main()
