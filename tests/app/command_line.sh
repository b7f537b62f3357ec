#!/usr/bin/env bash
# The real program's command line:  command_line.sh PROGRAM
# --help and --version answer without a display (before Qt starts); an unknown option
# gives the usage line and exit code 2; Qt's own options keep working; an image named on
# the command line is opened once the window is up, with the dialog path's messages.
set -euo pipefail
program=$1
. "$(dirname "$0")/../install/common.sh"
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb)

out=$("${no_display[@]}" "$program" --help) || fail "--help without a display failed"
[ "$(head -n1 <<<"$out")" = "Usage: kobaltmandrexis [OPTION]... [LEFT [RIGHT]]" ] || fail "--help printed: $out"
out=$("${no_display[@]}" "$program" --version) || fail "--version without a display failed"
[ "$out" = "kobaltmandrexis 0.2.0.70" ] || fail "--version printed: $out"

status=0
QT_QPA_PLATFORM=offscreen "$program" --bogus >"$work/out" 2>"$work/err" || status=$?
[ "$status" -eq 2 ] || fail "an unknown option ended with $status, not 2"
[ ! -s "$work/out" ] || fail "an unknown option printed on the output: $(cat "$work/out")"
grep -qx "kobaltmandrexis: unknown option '--bogus'" "$work/err" || fail "unknown option: $(cat "$work/err")"
grep -qx "Usage: kobaltmandrexis \[OPTION\]... \[LEFT \[RIGHT\]\]" "$work/err" || fail "no usage line"

# -platform is Qt's: without a display only it can bring the window up. A relative name
# is found in the working folder; the file is no image, which the open reports.
head -c 1000 /dev/zero >"$work/junk.d64"
cd "$work"
run_until_box "$work/run.log" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" -platform offscreen junk.d64
grep -qx "Kobaltmandrexis: Unknown diskformat!" "$work/run.log" || fail "the image did not open: $(cat "$work/run.log")"
echo "command_line: options, Qt's options and images on the command line work"
