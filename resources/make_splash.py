#!/usr/bin/env python3
"""Draws the splash picture: a C64-screen panel with the program's name in blocky
letters, the version and a 5.25" floppy, 382 by 273 pixels. The pixels are drawn here
and written as PPM; ImageMagick's `convert` turns them into a baseline JPEG.

    python3 make_splash.py [output.jpg]      (default: splash.jpg beside this script)
"""
import os
import subprocess
import sys
import tempfile

WIDTH, HEIGHT = 382, 273

# Colours of the C64 palette.
BLUE = (0x35, 0x28, 0x79)
LIGHT_BLUE = (0x6C, 0x5E, 0xB5)
WHITE = (0xFF, 0xFF, 0xFF)
BLACK = (0x10, 0x10, 0x14)
GREY = (0x6C, 0x6C, 0x6C)
LIGHT_GREY = (0x95, 0x95, 0x95)
DARK_GREY = (0x44, 0x44, 0x44)
YELLOW = (0xEE, 0xEE, 0x77)

# A 5 by 7 block font, one string per row, '#' set.
GLYPHS = {
    "A": [" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"],
    "B": ["#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "],
    "D": ["#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "],
    "E": ["#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"],
    "I": [" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "K": ["#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"],
    "L": ["#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"],
    "M": ["#   #", "## ##", "# # #", "#   #", "#   #", "#   #", "#   #"],
    "N": ["#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"],
    "O": [" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "],
    "R": ["#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"],
    "S": [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    "T": ["#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "],
    "X": ["#   #", "#   #", " # # ", "  #  ", " # # ", "#   #", "#   #"],
    "Y": ["#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "],
    "0": [" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "],
    "2": [" ### ", "#   #", "    #", "  ## ", " #   ", "#    ", "#####"],
    "4": ["   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "],
    "5": ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    "1": ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "6": [" ### ", "#    ", "#    ", "#### ", "#   #", "#   #", " ### "],
    "8": [" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "],
    ".": ["     ", "     ", "     ", "     ", "     ", " ##  ", " ##  "],
    ",": ["     ", "     ", "     ", "     ", " ##  ", "  #  ", " #   "],
    '"': [" # # ", " # # ", "     ", "     ", "     ", "     ", "     "],
    "$": ["  #  ", " ####", "# #  ", " ### ", "  # #", "#### ", "  #  "],
    " ": ["     "] * 7,
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [list(colour) * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][3 * x:3 * x + 3] = colour

    def rect(self, x, y, w, h, colour):
        for row in range(max(0, y), min(self.height, y + h)):
            for col in range(max(0, x), min(self.width, x + w)):
                self.pixels[row][3 * col:3 * col + 3] = colour

    def disc(self, cx, cy, radius, colour):
        for row in range(cy - radius, cy + radius + 1):
            for col in range(cx - radius, cx + radius + 1):
                if (col - cx) ** 2 + (row - cy) ** 2 <= radius * radius:
                    self.put(col, row, colour)

    def text(self, x, y, text, block_w, block_h, colour, spacing=1):
        """Block letters; each font dot is a block_w by block_h rectangle."""
        for index, char in enumerate(text):
            left = x + index * (5 + spacing) * block_w
            for row, line in enumerate(GLYPHS[char]):
                for col, dot in enumerate(line):
                    if dot == "#":
                        self.rect(left + col * block_w, y + row * block_h, block_w, block_h, colour)

    def ppm(self):
        header = b"P6\n%d %d\n255\n" % (self.width, self.height)
        return header + b"".join(bytes(row) for row in self.pixels)


def text_width(text, block_w, spacing=1):
    return len(text) * (5 + spacing) * block_w - spacing * block_w


def draw_floppy(c, x, y, size):
    c.rect(x + 4, y + 4, size, size, BLACK)  # shadow
    c.rect(x, y, size, size, DARK_GREY)  # jacket
    c.rect(x + 2, y + 2, size - 4, size - 4, GREY)
    c.rect(x + size - 2, y + 14, 2, 10, BLUE)  # write-protect notch
    c.rect(x + 14, y + 8, size - 28, 22, WHITE)  # label
    for line in range(3):
        c.rect(x + 18, y + 13 + 6 * line, size - 36, 1, LIGHT_BLUE)
    centre_x, centre_y = x + size // 2, y + size // 2 + 6
    c.disc(centre_x, centre_y, 17, LIGHT_GREY)  # hub ring
    c.disc(centre_x, centre_y, 10, BLUE)  # spindle hole
    c.disc(centre_x + 22, centre_y - 4, 3, BLACK)  # index hole
    c.rect(centre_x - 6, centre_y + 21, 12, size // 2 - 30, BLACK)  # head window


def draw():
    c = Canvas(WIDTH, HEIGHT, LIGHT_BLUE)
    border = 16
    c.rect(border, border, WIDTH - 2 * border, HEIGHT - 2 * border, BLUE)

    title = "KOBALTMANDREXIS"
    title_x = (WIDTH - text_width(title, 3)) // 2
    c.text(title_x + 2, 34 + 2, title, 3, 4, BLACK)  # drop shadow
    c.text(title_x, 34, title, 3, 4, WHITE)
    c.rect(title_x, 72, text_width(title, 3), 3, LIGHT_BLUE)

    version = "0.2"
    c.text(WIDTH - border - 14 - text_width(version, 4), 86, version, 4, 4, YELLOW)

    draw_floppy(c, 38, 112, 112)

    left = 176
    c.text(left, 150, "1541 D64", 2, 2, LIGHT_BLUE)
    c.text(left, 172, 'LOAD"$",8', 2, 2, LIGHT_BLUE)
    c.text(left, 194, "READY.", 2, 2, LIGHT_BLUE)
    c.rect(left, 214, 10, 14, LIGHT_BLUE)  # the cursor
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "splash.jpg")
    with tempfile.TemporaryDirectory() as work:
        ppm = os.path.join(work, "splash.ppm")
        with open(ppm, "wb") as f:
            f.write(draw().ppm())
        # -interlace none keeps it baseline (sequential); -strip drops the metadata.
        subprocess.run(["convert", ppm, "-strip", "-interlace", "none", "-quality", "90",
                        "-sampling-factor", "2x2,1x1,1x1", output], check=True)


if __name__ == "__main__":
    main()
