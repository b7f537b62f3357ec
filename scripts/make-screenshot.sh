#!/usr/bin/env bash
# Makes the README's screenshot, docs/screenshot.png, again: builds the editor and
# d64tool (in build/release), builds two images with d64tool, starts the editor on them
# (the command-line arguments LEFT RIGHT) on a private X server (Xvfb) with openbox, and
# grabs its window with ImageMagick's import. Then the viewer's, docs/viewer.png: a BASIC
# program (tokenised here, as the C64 stores it) in an image of its own, the editor started
# on it, F3 on the program, the viewer's window grabbed.
#   scripts/make-screenshot.sh [OUTPUT.png [VIEWER.png]]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "${1:-}" != --on-x ]; then
    out=$(realpath -m "${1:-docs/screenshot.png}")
    viewer_out=$(realpath -m "${2:-docs/viewer.png}")
    scripts/install-deps.sh
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKBM_BUILD_TESTS=OFF -DKBM_BUILD_BENCH=OFF >/dev/null
    cmake --build build/release -j"$(nproc)" --target kobaltmandrexis d64tool kbm_fonts
    exec tests/x11/run-on-x.sh "$0" --on-x "$out" "$viewer_out"
fi
out=$2
viewer_out=$3
bin="$root/build/release/bin"
work=$(mktemp -d)
trap 'kill "${pid:-}" "${viewer_pid:-}" 2>/dev/null; rm -rf "$work"' EXIT

# Two disks as a collector keeps them: programs of several sizes, SEQ and USR files.
# disk IMAGE NAME ID NAME:BYTES:TYPE...
disk() {
    local image=$1 name=$2 id=$3
    shift 3
    "$bin/d64tool" format "$work/$image" --name "$name" --id "$id" >/dev/null
    for entry in "$@"; do
        IFS=: read -r file bytes type <<<"$entry"
        head -c "$bytes" /dev/zero | tr '\0' '\251' >"$work/$file"
        "$bin/d64tool" import "$work/$image" "$work/$file" --name "$file" --type "$type" >/dev/null
    done
}
disk games.d64 "cobalt games" 86 "star mandrex:9000:prg" "cave of pixels:21000:prg" "sprite racer:15500:prg" \
    "jump cobalt jump:33000:prg" "highscores:700:seq"
disk tools.d64 "tools + demos" 2a "disk doctor:6100:prg" "petscii paint:12800:prg" "sid player:4200:prg" \
    "turbo copy:2500:prg" "raster demo:18000:prg" "readme:1300:usr"

# Settings of its own, so the window opens at its first-run place and size.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config"
mkdir -p "$HOME"
cd "$work"
"$bin/kobaltmandrexis" games.d64 tools.d64 &
pid=$!
id=$(xdotool search --sync --onlyvisible --name ' - Kobaltmandrexis 0.2$' | head -n1)
# The splash goes after 2.5 seconds; the left pane takes the focus, as after Alt+F1.
sleep 3.5
xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
xdotool key --window "$id" Tab
sleep 0.5
import -window "$id" "$out"
echo "make-screenshot: $out ($(identify -format '%wx%h' "$out"))"

# A game menu with colour codes in its strings, and machine code after its end.
python3 - "$work/menu.prg" <<'PY'
import sys
KEYWORDS = ("END FOR NEXT DATA INPUT# INPUT DIM READ LET GOTO RUN IF RESTORE GOSUB RETURN REM STOP ON "
            "WAIT LOAD SAVE VERIFY DEF POKE PRINT# PRINT CONT LIST CLR CMD SYS OPEN CLOSE GET NEW TAB( TO "
            "FN SPC( THEN NOT STEP + - * / ^ AND OR > = < SGN INT ABS USR FRE POS SQR RND LOG EXP COS SIN "
            "TAN ATN PEEK LEN STR$ VAL ASC CHR$ LEFT$ RIGHT$ MID$ GO").split()

def tokenise(text):
    """Keywords outside quotes as tokens, {$XX} as a byte, up to a REM."""
    out, quoted, rem, i = bytearray(), False, False, 0
    while i < len(text):
        if text[i] == "{":
            end = text.index("}", i)
            out.append(int(text[i + 2:end], 16))
            i = end + 1
            continue
        if text[i] == '"':
            quoted = not quoted
        word = None if quoted or rem else next((k for k in KEYWORDS if text.startswith(k, i)), None)
        if word:
            out.append(0x80 + KEYWORDS.index(word))
            rem = word == "REM"
            i += len(word)
        else:
            out.append(ord(text[i]))
            i += 1
    return bytes(out)

LINES = [
    (10, "REM *** COBALT GAMES MENU ***"),
    (20, "POKE53280,0:POKE53281,0"),
    (30, 'PRINT"{$93}{$05}   COBALT GAMES {$9E}1986"'),
    (40, 'PRINT"{$11}{$1C}1{$05} STAR MANDREX"'),
    (50, 'PRINT"{$1E}2{$05} CAVE OF PIXELS"'),
    (60, 'PRINT"{$9F}3{$05} SPRITE RACER"'),
    (70, 'GETK$:IFK$=""THEN70'),
    (80, "K=VAL(K$):IFK<1ORK>3THEN70"),
    (90, "ONKGOSUB200,300,400"),
    (100, "GOTO30"),
    (200, 'LOAD"STAR MANDREX",8,1'),
    (300, 'LOAD"CAVE OF PIXELS",8,1'),
    (400, 'LOAD"SPRITE RACER",8,1'),
]
program, address = bytearray(b"\x01\x08"), 0x0801
for number, text in LINES:
    body = tokenise(text)
    address += 4 + len(body) + 1
    program += bytes([address & 255, address >> 8, number & 255, number >> 8]) + body + b"\0"
program += b"\0\0" + bytes((0xA9 + i * 7) & 255 for i in range(211))
open(sys.argv[1], "wb").write(program)
PY
"$bin/d64tool" format "$work/menu.d64" --name "cobalt games" --id 86 >/dev/null
"$bin/d64tool" import "$work/menu.d64" "$work/menu.prg" --name "menu" >/dev/null


# The viewer: the editor (alone, so that the start is no hand-over to the first one) on an
# image holding the program only, F3 on its first row.
kill "$pid"
wait "$pid" 2>/dev/null || true
"$bin/kobaltmandrexis" menu.d64 &
viewer_pid=$!
id=$(xdotool search --sync --onlyvisible --name ' - Kobaltmandrexis 0.2$' | head -n1)
# The splash goes after 2.5 seconds; the pane has the focus, its first row selected.
sleep 3.5
xdotool windowactivate --sync "$id" >/dev/null 2>&1 || true
xdotool key --window "$id" F3
viewer=$(xdotool search --sync --onlyvisible --name ' - View$' | head -n1)
sleep 1
import -window "$viewer" "$viewer_out"
echo "make-screenshot: $viewer_out ($(identify -format '%wx%h' "$viewer_out"))"
