#!/usr/bin/env python3
"""Renders the program's icon, kobaltmandrexis.svg, and the icon of .d64 files,
application-x-d64.svg, into the PNG sizes the desktop's icon theme wants
(icons/<name>-<size>.png), with rsvg-convert (Debian: librsvg2-bin).

Run it again after changing the drawing and commit the PNGs with it:
    desktop/make_icons.py
"""
import pathlib
import shutil
import subprocess
import sys

SIZES = (16, 32, 48, 64, 128, 256)


def main() -> int:
    here = pathlib.Path(__file__).resolve().parent
    converter = shutil.which("rsvg-convert")
    if converter is None:
        print("make_icons: rsvg-convert is missing (scripts/install-deps.sh)", file=sys.stderr)
        return 1
    out = here / "icons"
    out.mkdir(exist_ok=True)
    for name in ("kobaltmandrexis", "application-x-d64"):
        svg = here / f"{name}.svg"
        for size in SIZES:
            png = out / f"{name}-{size}.png"
            subprocess.run([converter, "--width", str(size), "--height", str(size),
                            "--keep-aspect-ratio", "--output", str(png), str(svg)], check=True)
            print(png.relative_to(here.parent))
    return 0


if __name__ == "__main__":
    sys.exit(main())
