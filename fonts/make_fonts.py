#!/usr/bin/env python3
"""Builds the two C64 TrueType faces of Kobaltmandrexis from c64glyphs.txt.

Usage: make_fonts.py <c64glyphs.txt> <output dir>

Writes CBM64_G.fon ("CBM64 Big/Graphic") and CBM64_S.fon ("CBM64 Small/Big").
Both hold TrueType data; the .fon names are the ones the program installs.
Every pixel is 128 font units (1 em = 8 pixels), so at a pixel size of 8 each
glyph lands on the device pixel grid; the outlines are one rectangle per
horizontal run of ink. Glyph N is mapped at U+00NN and at U+E000+N, because Qt
treats some Latin-1 codes as controls and the program shows those through the
private-use copies.
"""

import os
import re
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import newTable
from fontTools.ttLib.tables import ttProgram

PIXEL = 128
CELL = 8
UNITS_PER_EM = PIXEL * CELL
PRIVATE_BASE = 0xE000
NO_OP_PREP = bytes([0xB0, 0x00, 0x21])  # PUSHB[0] 0, POP
FIXED_TIMESTAMP = 3786912000  # 2024-01-01, seconds since 1904

FACES = [
    # (set name in the source, family name, output file, PostScript name)
    ("Big/Graphic", "CBM64 Big/Graphic", "CBM64_G.fon", "CBM64-BigGraphic"),
    ("Small/Big", "CBM64 Small/Big", "CBM64_S.fon", "CBM64-SmallBig"),
]

HEADER = re.compile(r"^== (\S+) \$([0-9A-Fa-f]{2})(?: .*)?$")
ROW = re.compile(r"^[#.]{8}$")
LISTED = list(range(0x20, 0x60)) + list(range(0xA0, 0xE0))


class GlyphSourceError(Exception):
    pass


def parse_source(path):
    """Returns {set name: {code: [8 rows of 8 bools]}} for the listed codes."""
    sets = {}
    current = None
    with open(path, encoding="utf-8") as source:
        for number, raw in enumerate(source, 1):
            line = raw.rstrip("\r\n")
            where = "%s:%d" % (path, number)
            if not line or line == "#" or line.startswith("# "):
                continue
            header = HEADER.match(line)
            if header:
                if current is not None and len(current) != CELL:
                    raise GlyphSourceError("%s: previous glyph has %d rows" % (where, len(current)))
                name, code = header.group(1), int(header.group(2), 16)
                if code not in LISTED:
                    raise GlyphSourceError("%s: code $%02X is not a listed code" % (where, code))
                glyphs = sets.setdefault(name, {})
                if code in glyphs:
                    raise GlyphSourceError("%s: %s $%02X given twice" % (where, name, code))
                current = glyphs[code] = []
                continue
            if not ROW.match(line):
                raise GlyphSourceError("%s: not a glyph row: %r" % (where, line))
            if current is None or len(current) == CELL:
                raise GlyphSourceError("%s: glyph row outside a glyph" % where)
            current.append([c == "#" for c in line])
    if current is not None and len(current) != CELL:
        raise GlyphSourceError("%s: last glyph has %d rows" % (path, len(current)))
    for name, _, _, _ in FACES:
        missing = [c for c in LISTED if c not in sets.get(name, {})]
        if missing:
            raise GlyphSourceError("%s: set %s lacks $%02X" % (path, name, missing[0]))
    return sets


def reversed_glyph(rows):
    return [[not bit for bit in row] for row in rows]


def full_charset(listed):
    """Extends the listed codes to all 256 the way a C64 shows them."""
    glyphs = dict(listed)
    for code in range(0x60, 0x80):
        glyphs[code] = listed[code + 0x60]
    for code in range(0xE0, 0xFF):
        glyphs[code] = listed[code - 0x40]
    glyphs[0xFF] = glyphs[0x7E]
    for code in range(0x00, 0x20):
        glyphs[code] = reversed_glyph(listed[code + 0x40])
    for code in range(0x80, 0xA0):
        glyphs[code] = reversed_glyph(listed[code + 0x40])
    return glyphs


def outline(rows):
    """One clockwise rectangle per horizontal run of ink; y grows upwards."""
    pen = TTGlyphPen(None)
    for y, row in enumerate(rows):
        top = (CELL - y) * PIXEL
        bottom = top - PIXEL
        x = 0
        while x < CELL:
            if not row[x]:
                x += 1
                continue
            start = x
            while x < CELL and row[x]:
                x += 1
            left, right = start * PIXEL, x * PIXEL
            pen.moveTo((left, bottom))
            pen.lineTo((left, top))
            pen.lineTo((right, top))
            pen.lineTo((right, bottom))
            pen.closePath()
    return pen.glyph()


def build_face(glyphs, family, psname):
    names = [".notdef"] + ["c%02x" % code for code in range(256)]
    builder = FontBuilder(UNITS_PER_EM, isTTF=True)
    builder.setupGlyphOrder(names)
    cmap = {}
    for code in range(256):
        cmap[code] = "c%02x" % code
        cmap[PRIVATE_BASE + code] = "c%02x" % code
    builder.setupCharacterMap(cmap)
    outlines = {".notdef": TTGlyphPen(None).glyph()}
    for code in range(256):
        outlines["c%02x" % code] = outline(glyphs[code])
    builder.setupGlyf(outlines)
    metrics = {}
    for name in names:
        glyph = outlines[name]
        lsb = glyph.xMin if glyph.numberOfContours else 0
        metrics[name] = (UNITS_PER_EM, lsb)
    builder.setupHorizontalMetrics(metrics)
    # Ascent is the whole cell and descent 0, so a line is exactly 8 pixels at size 8.
    builder.setupHorizontalHeader(ascent=UNITS_PER_EM, descent=0, lineGap=0)
    builder.setupNameTable({
        "familyName": family,
        "styleName": "Regular",
        "uniqueFontIdentifier": "Kobaltmandrexis: " + family,
        "fullName": family,
        "psName": psname,
        "version": "Version 1.000",
    })
    builder.setupOS2(
        sTypoAscender=UNITS_PER_EM, sTypoDescender=0, sTypoLineGap=0,
        usWinAscent=UNITS_PER_EM, usWinDescent=0,
        sxHeight=5 * PIXEL, sCapHeight=7 * PIXEL,
        xAvgCharWidth=UNITS_PER_EM,
        fsSelection=0x40 | 0x80,  # REGULAR, USE_TYPO_METRICS
        achVendID="KBMX",
        version=4,
        panose=_monospaced_panose(),
    )
    builder.setupPost(isFixedPitch=1, underlinePosition=-PIXEL, underlineThickness=PIXEL)
    # A fixed date keeps the output byte-identical from build to build.
    builder.setupHead(unitsPerEm=UNITS_PER_EM, flags=0x000B,
                      created=FIXED_TIMESTAMP, modified=FIXED_TIMESTAMP)
    builder.font.recalcTimestamp = False
    # The outlines already sit on the pixel grid, so nothing may move them. A font with no
    # instructions at all is handed to FreeType's auto-hinter, which thins the 2-pixel
    # strokes in monochrome rendering; a prep program that does nothing (push 0, pop)
    # keeps the font on the TrueType interpreter, which leaves unhinted glyphs alone.
    prep = newTable("prep")
    prep.program = ttProgram.Program()
    prep.program.fromBytecode(NO_OP_PREP)
    builder.font["prep"] = prep
    builder.font["maxp"].maxStackElements = 1
    return builder.font


def _monospaced_panose():
    from fontTools.ttLib.tables.O_S_2f_2 import Panose
    panose = Panose()
    for field in ("bFamilyType", "bSerifStyle", "bWeight", "bProportion", "bContrast",
                  "bStrokeVariation", "bArmStyle", "bLetterForm", "bMidline", "bXHeight"):
        setattr(panose, field, 0)
    panose.bFamilyType = 2  # Latin text
    panose.bProportion = 9  # monospaced
    return panose


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: make_fonts.py <c64glyphs.txt> <output dir>\n")
        return 2
    source, out_dir = argv[1], argv[2]
    try:
        sets = parse_source(source)
    except (OSError, GlyphSourceError) as error:
        sys.stderr.write("make_fonts.py: %s\n" % error)
        return 1
    os.makedirs(out_dir, exist_ok=True)
    for set_name, family, file_name, psname in FACES:
        font = build_face(full_charset(sets[set_name]), family, psname)
        target = os.path.join(out_dir, file_name)
        # Write beside the target and rename, so a failed run leaves no half file.
        font.save(target + ".tmp")
        os.replace(target + ".tmp", target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
