#!/usr/bin/env bash
# One window for every image:  single_instance.sh PROGRAM
# A second start hands its image to the running editor and ends with 0, and the first
# opens it; --new-window starts a window of its own; a socket that a killed editor left
# behind does not stop the next start.
set -euo pipefail
program=$1
. "$(dirname "$0")/../install/common.sh"
export QT_QPA_PLATFORM=offscreen HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket="$XDG_RUNTIME_DIR/kobaltmandrexis"
# Not an image: opening it shows a box, which the offscreen platform writes to the error stream.
head -c 1000 /dev/zero >"$work/junk.d64"
opened() { grep -qx "Kobaltmandrexis: Unknown diskformat!" "$1"; }

"$program" >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
for _ in $(seq 100); do
    [ -S "$socket" ] && break
    sleep 0.1
done
[ -S "$socket" ] || fail "the first editor does not listen: $(cat "$work/first.log")"
[[ "$(stat -c %a "$socket")" == ?00 ]] || fail "the socket is open to other users: $(stat -c %a "$socket")"
[ "$(ls -A "$XDG_RUNTIME_DIR")" = kobaltmandrexis ] || fail "the listen left files behind: $(ls -A "$XDG_RUNTIME_DIR")"

status=0
timeout 20 "$program" "$work/junk.d64" >"$work/second.log" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the second start ended with $status: $(cat "$work/second.log")"
for _ in $(seq 100); do
    opened "$work/first.log" && break
    sleep 0.1
done
opened "$work/first.log" || fail "the running editor did not open the image: $(cat "$work/first.log")"
if opened "$work/second.log"; then fail "the second start opened a window"; fi

# --new-window: a window of its own, while the first keeps its socket.
run_until_box "$work/new.log" "$program" --new-window "$work/junk.d64"
opened "$work/new.log" || fail "--new-window did not open its own window: $(cat "$work/new.log")"
[ -S "$socket" ] || fail "--new-window took the running editor's socket"

# A crash leaves the socket file behind: the next start finds nobody there and starts.
kill -9 "$first"
wait "$first" 2>/dev/null || true
[ -S "$socket" ] || fail "the killed editor's socket is gone (the check would not see a stale one)"
run_until_box "$work/third.log" "$program" "$work/junk.d64"
opened "$work/third.log" || fail "a stale socket stopped the start: $(cat "$work/third.log")"
echo "single_instance: images go to the running editor; --new-window and stale sockets work"
