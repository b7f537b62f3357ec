#!/usr/bin/env python3
"""Writes a program's manual page from its --help output and a template, so that the two
always agree:
    make_manpage.py PROGRAM TEMPLATE VERSION OUTPUT.gz
In the template, @VERSION@ becomes the version, @SYNOPSIS@ the usage lines of --help,
@OPTIONS@ its option lines ("  -x, --long  what it does") and @TEXT@ its other lines, as
paragraphs. The page is written gzip-compressed without a time stamp.
"""
import gzip
import os
import pathlib
import re
import subprocess
import sys


def roff(text: str) -> str:
    """Text as roff reads it literally: backslashes and hyphens escaped, no leading dot."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text[:1] in (".", "'") else text


def sections(program: str, help_text: str) -> dict:
    name = pathlib.Path(program).name
    synopsis, options, text = [], [], [[]]
    for line in help_text.splitlines():
        usage = re.match(r"^usage:\s*(.*)$", line, re.IGNORECASE)
        command = re.match(rf"^\s+({re.escape(name)}(\s.*)?)$", line)
        option = re.match(r"^\s+(-\S.*?)(?:\s{2,}(.*))?$", line)
        if usage or command:
            words = (usage.group(1) if usage else command.group(1)).split(" ", 1)
            if words[0]:
                synopsis.append(f".B {roff(words[0])}\n{roff(words[1]) if len(words) > 1 else ''}".rstrip())
        elif option:
            options.append(f".TP\n.B {roff(option.group(1))}\n{roff(option.group(2) or '')}".rstrip())
        elif line.strip():
            text[-1].append(roff(line.strip()))
        elif text[-1]:
            text.append([])
    return {
        "@SYNOPSIS@": "\n.br\n".join(synopsis),
        "@OPTIONS@": "\n".join(options),
        "@TEXT@": "\n.PP\n".join("\n".join(paragraph) for paragraph in text if paragraph),
    }


def main() -> int:
    program, template, version, output = sys.argv[1:5]
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    help_text = subprocess.run([program, "--help"], check=True, capture_output=True, text=True, env=env).stdout
    page = pathlib.Path(template).read_text().replace("@VERSION@", version)
    for key, value in sections(program, help_text).items():
        page = page.replace(key, value)
    with open(output, "wb") as raw, gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=0) as out:
        out.write(page.encode())
    return 0


if __name__ == "__main__":
    sys.exit(main())
