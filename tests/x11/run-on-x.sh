#!/usr/bin/env bash
# Runs one test program on a private X server (Xvfb) with the openbox window manager,
# where window titles, frames, focus and timers behave as on a desktop:
#   run-on-x.sh program [arguments...]
# Each run has its own display, chosen by Xvfb itself (-displayfd), and ends both
# servers whatever the program does.
set -uo pipefail

for tool in Xvfb openbox xprop; do
    command -v "$tool" >/dev/null || { echo "run-on-x: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb writes the display number to the descriptor once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "run-on-x: Xvfb did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

# openbox with its packaged configuration, not the user's.
XDG_CONFIG_HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
# A window manager announces itself on the root window.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill -0 "$wm_pid" 2>/dev/null || break
    sleep 0.1
done
if ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
    echo "run-on-x: openbox did not start" >&2
    cat "$work/openbox.log" >&2
    exit 1
fi

# Should this script be killed outright (a test timeout), the servers end with it.
(
    while kill -0 $$ 2>/dev/null; do sleep 1; done
    kill "$wm_pid" "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
) </dev/null >/dev/null 2>&1 &

status=0
QT_QPA_PLATFORM=xcb "$@" || status=$?
exit "$status"
