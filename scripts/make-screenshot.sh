#!/usr/bin/env bash
# Makes the README's screenshot, docs/screenshot.png, again: builds the editor and
# d64tool (in build/release), builds two images with d64tool, starts the editor on them
# (the command-line arguments LEFT RIGHT) on a private X server (Xvfb) with openbox, and
# grabs its window with ImageMagick's import.
#   scripts/make-screenshot.sh [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "${1:-}" != --on-x ]; then
    out=$(realpath -m "${1:-docs/screenshot.png}")
    scripts/install-deps.sh
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKBM_BUILD_TESTS=OFF -DKBM_BUILD_BENCH=OFF >/dev/null
    cmake --build build/release -j"$(nproc)" --target kobaltmandrexis d64tool kbm_fonts
    exec tests/x11/run-on-x.sh "$0" --on-x "$out"
fi
out=$2
bin="$root/build/release/bin"
work=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null; rm -rf "$work"' EXIT

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
