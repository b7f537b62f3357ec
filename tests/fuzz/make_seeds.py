#!/usr/bin/env python3
"""Writes the fuzzer's seed inputs: small records that give a directory with a few files."""
import os

here = os.path.dirname(os.path.abspath(__file__))
out = os.path.join(here, "seeds")
os.makedirs(out, exist_ok=True)


def record(track, sector, data):
    # Tracks and sectors are taken modulo the geometry by the fuzzer (track = byte % tracks + 1).
    return bytes([track - 1, sector]) + bytes(data).ljust(256, b"\0")


def entry(type_byte, track, sector, name, blocks, side=(0, 0), record_length=0):
    e = bytearray(32)
    e[2] = type_byte
    e[3], e[4] = track, sector
    e[21], e[22], e[23] = side[0], side[1], record_length
    n = name.encode("ascii")[:16]
    e[5:21] = n + b"\xa0" * (16 - len(n))
    e[30], e[31] = blocks & 0xFF, blocks >> 8
    return e


def dir_sector(link, entries):
    d = bytearray(256)
    for i, e in enumerate(entries):
        d[32 * i:32 * i + 32] = e
    d[0], d[1] = link
    return d


def data_sector(link, fill):
    return bytes(link) + bytes([fill]) * 254


seeds = {
    "two-files": [
        record(18, 1, dir_sector((0, 255), [entry(0x82, 17, 0, "HELLO", 2), entry(0xC1, 17, 10, "SEQ", 1)])),
        record(17, 0, data_sector((17, 5), 0x11)),
        record(17, 5, data_sector((0, 100), 0x22)),
        record(17, 10, data_sector((0, 1), 0x33)),
    ],
    "looping-chain": [
        record(18, 1, dir_sector((0, 255), [entry(0x82, 17, 0, "LOOP", 2)])),
        record(17, 0, data_sector((17, 1), 0x44)),
        record(17, 1, data_sector((17, 0), 0x55)),
    ],
    "looping-directory": [
        record(18, 1, dir_sector((18, 4), [entry(0x82, 18, 0, "EMPTY", 0)])),
        record(18, 4, dir_sector((18, 1), [entry(0x84, 17, 0, "REL", 1)])),
        record(17, 0, data_sector((0, 255), 0x66)),
    ],
    "bad-links": [
        record(18, 1, dir_sector((41 % 35, 30), [entry(0x82, 0, 3, "ZERO", 1), entry(0x82, 36, 0, "HIGH", 1)])),
    ],
}
for name, records in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(bytes([0, 0]) + b"".join(records))
    with open(os.path.join(out, name + "-40"), "wb") as f:
        f.write(bytes([2, 1]) + b"".join(records))

# A 1581 image: a file, a REL file with its super side sector (39/3) and side sector
# (39/4), and a partition (a run of sectors, not a chain) in the directory at 40/3.
def side_sector(link, number, record_length, sides, data):
    s = bytearray(256)
    s[0], s[1], s[2], s[3] = link[0], link[1], number, record_length
    for i, ts in enumerate(sides + data):
        s[4 + 2 * i], s[5 + 2 * i] = ts
    return s


def super_side_sector(first, groups):
    s = bytearray(256)
    s[0], s[1], s[2] = first[0], first[1], 0xFE
    for i, ts in enumerate(groups):
        s[3 + 2 * i], s[4 + 2 * i] = ts
    return s


d81 = [
    record(40, 3, dir_sector((0, 255), [entry(0x82, 39, 0, "FILE", 2),
                                       entry(0x84, 39, 2, "REL", 3, (39, 3), 20),
                                       entry(0x85, 41, 0, "PART", 80)])),
    record(39, 0, data_sector((39, 1), 0x11)),
    record(39, 1, data_sector((0, 100), 0x22)),
    record(39, 2, data_sector((0, 20), 0x33)),
    record(39, 3, super_side_sector((39, 4), [(39, 4)])),
    record(39, 4, side_sector((0, 17), 0, 20, [(39, 4)] + [(0, 0)] * 5, [(39, 2)])),
    record(41, 0, data_sector((41, 0), 0x44)),
]
with open(os.path.join(out, "d81-files"), "wb") as f:
    f.write(bytes([0x80, 0]) + b"".join(d81))
# The same with a side sector that links back to the super side sector.
d81[5] = record(39, 4, side_sector((39, 3), 0, 20, [(39, 4)] + [(0, 0)] * 5, [(39, 2)]))
with open(os.path.join(out, "d81-rel-loop"), "wb") as f:
    f.write(bytes([0x80, 0]) + b"".join(d81))
