#!/usr/bin/env python3
"""Draws the tool-bar and menu icons as 16 by 16 pixel art, and each again doubled to 32 by
32 for high-density screens, written as RGBA PNGs with the standard library alone. The
program carries them as its own resources, so start-up reads no icon theme.

    python3 make_toolicons.py [output-folder]      (default: toolicons/ beside this script)
"""
import os
import struct
import sys
import zlib

PALETTE = {
    ".": (0, 0, 0, 0),
    "k": (0x20, 0x20, 0x24, 255),
    "w": (0xFF, 0xFF, 0xFF, 255),
    "l": (0xC8, 0xC8, 0xC8, 255),
    "g": (0x80, 0x80, 0x80, 255),
    "b": (0x35, 0x28, 0x79, 255),
    "c": (0x6C, 0x5E, 0xB5, 255),
    "y": (0xEE, 0xCC, 0x55, 255),
    "o": (0xB0, 0x88, 0x30, 255),
    "r": (0xC8, 0x3C, 0x32, 255),
}

ICONS = {
    # A blank page with its corner folded.
    "new": [
        "................",
        "..kkkkkkkk......",
        "..kwwwwwwkk.....",
        "..kwwwwwwklk....",
        "..kwwwwwwkllk...",
        "..kwwwwwwkkkkk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kkkkkkkkkkkk..",
        "................",
    ],
    # An open folder.
    "open": [
        "................",
        "................",
        ".kkkkk..........",
        ".kyyyyk.........",
        ".kyyyyykkkkkkk..",
        ".kyyyyyyyyyyyk..",
        ".kyykkkkkkkkkkkk",
        ".kyykooooooooook",
        ".kykoooooooooook",
        ".kykooooooooook.",
        ".kkoooooooooook.",
        ".kkooooooooook..",
        ".kooooooooooook.",
        ".kkkkkkkkkkkkk..",
        "................",
        "................",
    ],
    # An arrow down into a disk: host files brought onto it.
    "import": [
        "......kkkk......",
        "......kcck......",
        "......kcck......",
        "......kcck......",
        "...kkkkcckkkk...",
        "....kcccccck....",
        ".....kcccck.....",
        "......kcck......",
        ".kkkkkkkkkkkkkk.",
        ".kbbbbbbbbbbbbk.",
        ".kbbbwwwwwwbbbk.",
        ".kbbbwwwwwwbbbk.",
        ".kbbbbbbbbbbbbk.",
        ".kbbbbbkkbbbbbk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ],
    # An arrow to the other pane.
    "copy": [
        "................",
        "................",
        "........k.......",
        "........kk......",
        "........kck.....",
        "........kcck....",
        ".kkkkkkkkccck...",
        ".kccccccccccck..",
        ".kbbbbbbbbbbbbk.",
        ".kbbbbbbbbbbbk..",
        ".kkkkkkkkbbbk...",
        "........kbbk....",
        "........kbk.....",
        "........kk......",
        "........k.......",
        "................",
    ],
    # A page with an arrow leaving it.
    "move": [
        "................",
        ".kkkkkkk........",
        ".kwwwwwk........",
        ".kwwwwwk...k....",
        ".kwwwwwk...kk...",
        ".kwwwkkkkkkkck..",
        ".kwwwkcccccccck.",
        ".kwwwkbbbbbbbbbk",
        ".kwwwkkkkkkkbbk.",
        ".kwwwwwk...kbk..",
        ".kwwwwwk...kk...",
        ".kwwwwwk...k....",
        ".kwwwwwk........",
        ".kkkkkkk........",
        "................",
        "................",
    ],
    # A waste basket: scratched files can still be brought back.
    "scratch": [
        "................",
        "......kkkk......",
        "..kkkkkllkkkkk..",
        "..kllllllllllk..",
        "..kkkkkkkkkkkk..",
        "...kllglglglk...",
        "...kllglglglk...",
        "...kllglglglk...",
        "...kllglglglk...",
        "...kllglglglk...",
        "...kllglglglk...",
        "...kllglglglk...",
        "...kllglglglk...",
        "...kkkkkkkkkk...",
        "................",
        "................",
    ],
    # A red cross: deleted files are wiped for good.
    "delete": [
        "................",
        "................",
        "..kk........kk..",
        ".krrk......krrk.",
        ".krrrk....krrrk.",
        "..krrrk..krrrk..",
        "...krrrkkrrrk...",
        "....krrrrrrk....",
        "....krrrrrrk....",
        "...krrrkkrrrk...",
        "..krrrk..krrrk..",
        ".krrrk....krrrk.",
        ".krrk......krrk.",
        "..kk........kk..",
        "................",
        "................",
    ],
    # An "i" in a blue disc: the disk's properties.
    "diskproperties": [
        "................",
        ".....kkkkkk.....",
        "...kkccccccck...",
        "..kccccwwccccc..",
        "..kccccwwcccck..",
        ".kcccccccccccck.",
        ".kccccwwwccccck.",
        ".kbbbbbwwbbbbbk.",
        ".kbbbbbwwbbbbbk.",
        ".kbbbbbwwbbbbbk.",
        ".kbbbbbwwbbbbbk.",
        "..kbbbwwwwbbbk..",
        "..kkbbbbbbbbkk..",
        "....kkbbbbkk....",
        "......kkkk......",
        "................",
    ],
    # A chart of blocks, some used: the Block Availability Map.
    "viewbam": [
        "................",
        "kkkkkkkkkkkkkkkk",
        "kbbkwwkbbkbbkwwk",
        "kbbkwwkbbkbbkwwk",
        "kkkkkkkkkkkkkkkk",
        "kwwkbbkbbkwwkwwk",
        "kwwkbbkbbkwwkwwk",
        "kkkkkkkkkkkkkkkk",
        "kbbkbbkwwkwwkbbk",
        "kbbkbbkwwkwwkbbk",
        "kkkkkkkkkkkkkkkk",
        "kwwkwwkwwkbbkwwk",
        "kwwkwwkwwkbbkwwk",
        "kkkkkkkkkkkkkkkk",
        "................",
        "................",
    ],
}


def png(rows):
    """An RGBA PNG of the given rows, each a list of (r, g, b, a)."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def pixels(art, scale):
    if len(art) != 16 or any(len(line) != 16 for line in art):
        raise ValueError("an icon is 16 rows of 16 pixels")
    return [[PALETTE[ch] for ch in line for _ in range(scale)] for line in art for _ in range(scale)]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "toolicons")
    os.makedirs(out, exist_ok=True)
    for name, art in ICONS.items():
        for scale, suffix in ((1, ""), (2, "@2x")):
            with open(os.path.join(out, f"{name}{suffix}.png"), "wb") as f:
                f.write(png(pixels(art, scale)))


if __name__ == "__main__":
    main()
