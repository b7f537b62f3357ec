#!/usr/bin/env bash
# d64tool killed at random moments while it copies a full disk into an image (replaced
# by a rename, written in place for a second hard link, and, as root, written in place by
# another user in a folder he may not write): after the next command, which tells of a
# restore, the image is the old or the new one and nothing the killed command made is
# left. SIGINT or SIGTERM leave nothing at once. $1 is the d64tool binary.
set -euo pipefail
D64TOOL=${1:?usage: $0 PATH-TO-D64TOOL}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/d64tool-interrupted-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" && chmod 0755 . && mkdir -m 0777 state run in
export XDG_STATE_HOME="$WORK/state" XDG_RUNTIME_DIR="$WORK/run"
FAILURES=0
fail() { echo "FAIL: $*" >&2 && FAILURES=$((FAILURES + 1)); }
# Everything but the image and its link, in its folder, the runtime and state folders.
leftovers() { ls -A img run state/kobaltmandrexis 2>/dev/null | grep -v -e '^[xy].d64$' -e ':$' -e '^$' || true; }

for i in $(seq 1 100); do head -c 1000 /dev/urandom >"in/f$i"; done
"$D64TOOL" format full.d64 && "$D64TOOL" import full.d64 in/* >/dev/null
"$D64TOOL" format old.d64 && cp old.d64 new.d64 && "$D64TOOL" copy full.d64 new.d64
kinds=(renamed linked)
[ "$(id -u)" = 0 ] && command -v setpriv >/dev/null && kinds+=(foreign)
old=0 new=0 restored=0
for run in $(seq 1 150); do
    ((SECONDS < 40)) || break
    kind=${kinds[run % ${#kinds[@]}]} signal=KILL runner=""
    ((run % 5 == 0)) && signal=TERM
    ((run % 5 == 1)) && signal=INT
    rm -rf img && mkdir -m 0755 img && cp old.d64 img/x.d64
    [ "$kind" = linked ] && ln img/x.d64 img/y.d64
    [ "$kind" = foreign ] && chown nobody:nogroup img/x.d64 && runner="setpriv --reuid=nobody --regid=nogroup --clear-groups"
    $runner "$D64TOOL" copy full.d64 img/x.d64 2>/dev/null &
    pid=$!
    sleep "$(printf "0.%03d" $((RANDOM % 50)))"
    kill -"$signal" "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [ "$signal" = KILL ] || [ -z "$(leftovers)" ] || fail "SIG$signal ($kind) left: $(leftovers)"
    # A journal beside an image that differs from the old one is a write cut short.
    torn=$(leftovers | grep -q journal && ! cmp -s img/x.d64 old.d64 && echo 1 || true)
    err=$($runner "$D64TOOL" list img/x.d64 2>&1 >/dev/null) || fail "list after SIG$signal ($kind) failed: $err"
    if [ -n "$torn" ]; then
        restored=$((restored + 1))
        grep -q "was undone: the diskimage was restored from its journal" <<<"$err" || fail "restore untold: $err"
    fi
    if cmp -s img/x.d64 old.d64; then old=$((old + 1)); elif cmp -s img/x.d64 new.d64; then new=$((new + 1)); else
        fail "run $run ($kind, SIG$signal): the image is neither the old nor the new one"
    fi
    [ -z "$(leftovers)" ] || fail "run $run ($kind, SIG$signal) left after the next command: $(leftovers)"
done
echo "runs: $run, old: $old, new: $new, cut short and restored: $restored"
((FAILURES == 0)) || { echo "$FAILURES check(s) failed" >&2 && exit 1; }
