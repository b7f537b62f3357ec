#!/usr/bin/env bash
# d64tool killed at random moments while it copies a full disk into an image (replaced
# by a rename, written in place for a second hard link, and, when we are root, written
# in place by another user in a folder he may not write): after the next command every
# image is the old or the new one, and nothing the killed command made is left. Ended by
# SIGINT or SIGTERM instead, it leaves nothing at once. $1 is the d64tool binary.
set -euo pipefail
export LC_ALL=C
D64TOOL=${1:?usage: $0 PATH-TO-D64TOOL}
RUNS=${RUNS:-150}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/d64tool-interrupted-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
chmod 0755 "$WORK"
mkdir -m 0777 state run
export XDG_STATE_HOME="$WORK/state" XDG_RUNTIME_DIR="$WORK/run"
FAILURES=0
fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}

mkdir in
for i in $(seq 1 100); do head -c 1000 /dev/urandom >"in/f$i"; done
"$D64TOOL" format full.d64
"$D64TOOL" import full.d64 in/* >/dev/null
"$D64TOOL" format old.d64
cp old.d64 new.d64
"$D64TOOL" copy full.d64 new.d64

as_nobody=""
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    as_nobody="setpriv --reuid=nobody --regid=nogroup --clear-groups"
fi
kinds="renamed linked"
[ -n "$as_nobody" ] && kinds="$kinds foreign"

declare -A seen
start=$SECONDS
for run in $(seq 1 "$RUNS"); do
    ((SECONDS - start < 40)) || break
    set -- $kinds
    shift $((run % $#))
    kind=$1
    rm -rf img && mkdir -m 0755 img
    cp old.d64 img/x.d64
    runner=""
    case $kind in
    linked) ln img/x.d64 img/y.d64 ;;
    foreign)
        chown nobody:nogroup img/x.d64
        runner=$as_nobody
        ;;
    esac
    signal=KILL
    ((run % 5 == 0)) && signal=TERM
    ((run % 5 == 1)) && signal=INT
    $runner "$D64TOOL" copy full.d64 img/x.d64 2>/dev/null &
    pid=$!
    sleep "0.0$((RANDOM % 50))"
    kill -"$signal" "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if [ "$signal" != KILL ]; then
        left=$(ls -A img run | grep -v -e '^x.d64$' -e '^y.d64$' -e '^img:$' -e '^run:$' -e '^$' || true)
        [ -z "$left" ] || fail "SIG$signal ($kind) left: $left"
    fi
    journal=$(ls -A img state/kobaltmandrexis 2>/dev/null | grep journal || true)
    err=$($runner "$D64TOOL" list img/x.d64 2>&1 >/dev/null) || fail "list after SIG$signal ($kind) failed: $err"
    if [ -n "$journal" ]; then
        seen[journal]=$((${seen[journal]:-0} + 1))
        grep -q "was undone: the diskimage was restored from its journal" <<<"$err" || fail "no word of the restore: $err"
    fi
    if cmp -s img/x.d64 old.d64; then
        seen[old]=$((${seen[old]:-0} + 1))
    elif cmp -s img/x.d64 new.d64; then
        seen[new]=$((${seen[new]:-0} + 1))
    else
        fail "run $run ($kind, SIG$signal): the image is neither the old nor the new one"
    fi
    left=$(ls -A img run state/kobaltmandrexis 2>/dev/null | grep -v -e '^x.d64$' -e '^y.d64$' -e ':$' -e '^$' || true)
    [ -z "$left" ] || fail "run $run ($kind, SIG$signal) left after the next command: $left"
done
echo "runs: $run, old: ${seen[old]:-0}, new: ${seen[new]:-0}, journals restored: ${seen[journal]:-0}"

if ((FAILURES > 0)); then
    echo "$FAILURES check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
