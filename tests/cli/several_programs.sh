#!/usr/bin/env bash
# d64tool with other programs at work on the same image: concurrent commands lose
# nothing, a command waits for a lock a script holds, and an interrupted command leaves
# no scratch file behind. $1 is the d64tool binary.
set -euo pipefail
export LC_ALL=C
D64TOOL=${1:?usage: $0 PATH-TO-D64TOOL}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/d64tool-several-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
FAILURES=0
fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}
files_on_disk() { "$D64TOOL" list "$1" | sed -n 's/.* \([0-9]*\) FILE(S) ON DISK$/\1/p'; }

# Two loops import 50 files each into one image at the same time: all 100 arrive.
"$D64TOOL" format shared.d64
mkdir -p in
for i in $(seq 1 100); do printf 'file %d' "$i" >"in/f$i"; done
loop() { for i in $(seq "$1" "$2"); do "$D64TOOL" import shared.d64 "in/f$i" 2>/dev/null || echo "import f$i failed"; done; }
loop 1 50 >a.log &
loop 51 100 >b.log &
wait
[ -s a.log ] || [ -s b.log ] && fail "imports failed: $(cat a.log b.log)"
[ "$(files_on_disk shared.d64)" = 100 ] || fail "expected 100 files, found $(files_on_disk shared.d64)"

# Two loops scratch them again at the same time: none comes back.
sloop() { for i in $(seq "$1" "$2"); do "$D64TOOL" scratch shared.d64 "f$i" 2>/dev/null || echo "scratch f$i failed"; done; }
sloop 1 50 >a.log 2>&1 &
sloop 51 100 >b.log 2>&1 &
wait
[ -s a.log ] || [ -s b.log ] && fail "scratches failed: $(cat a.log b.log)"
[ "$(files_on_disk shared.d64)" = 0 ] || fail "expected 0 files, found $(files_on_disk shared.d64)"

# A script that locks the image makes d64tool wait, with a note, and then go on.
flock shared.d64 sleep 1 &
sleep 0.3
if err=$("$D64TOOL" import shared.d64 in/f1 2>&1); then
    grep -q "waiting for shared.d64" <<<"$err" || fail "no note while waiting: $err"
else
    fail "import under a short lock failed: $err"
fi
wait
[ "$(files_on_disk shared.d64)" = 1 ] || fail "the import after the wait is missing"

# An interrupted import leaves nothing beside the image. A large host file keeps it busy
# (it is read with the image locked) long enough to be caught.
truncate -s 400M in/big
for sig in TERM HUP; do
    "$D64TOOL" import shared.d64 in/big 2>/dev/null &
    pid=$!
    seen=""
    for _ in $(seq 1 5000); do
        if ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "in/big"; then seen=1; break; fi
        kill -0 "$pid" 2>/dev/null || break
    done
    kill -"$sig" "$pid" 2>/dev/null || true
    wait "$pid" && fail "import of a 400 MB file ended well"
    [ -n "$seen" ] || fail "never saw the import read its file ($sig)"
    left=$(compgen -G ".shared.d64*" || true)
    [ -z "$left" ] || fail "SIG$sig left $left behind"
done
[ "$(files_on_disk shared.d64)" = 1 ] || fail "an interrupted import changed the image"

# An image the user may write in a folder he may not (run as nobody when we are root),
# with a second hard link, and owned by someone else: changed in place, links and owner kept.
mkdir -m 0755 locked
"$D64TOOL" format locked/own.d64
ln locked/own.d64 other-link.d64
chmod 0666 locked/own.d64
chmod 0755 "$WORK"
chmod 0644 in/f2
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    chown nobody:nogroup locked/own.d64
    # The journal of the in-place write goes to nobody's state folder.
    mkdir -m 0700 nobody-state && chown nobody:nogroup nobody-state
    XDG_STATE_HOME="$WORK/nobody-state" setpriv --reuid=nobody --regid=nogroup --clear-groups \
        "$D64TOOL" import locked/own.d64 in/f2 ||
        fail "import into an image in a folder nobody may write failed"
    [ "$(stat -c %U:%G locked/own.d64)" = nobody:nogroup ] || fail "owner changed: $(stat -c %U:%G locked/own.d64)"
else
    echo "note: not root, the unwritable-folder case runs as the current user"
    "$D64TOOL" import locked/own.d64 in/f2 || fail "import failed"
fi
"$D64TOOL" import locked/own.d64 in/f3 || fail "import by the owner of the folder failed"
[ "$(files_on_disk other-link.d64)" = 2 ] || fail "the other hard link does not see the imports"
[ "$(stat -c %i locked/own.d64)" = "$(stat -c %i other-link.d64)" ] || fail "the hard link was broken"
[ -z "$(ls -A locked | grep -v '^own.d64$')" ] || fail "left behind in the folder: $(ls -A locked)"
[ -z "$(ls -A nobody-state/kobaltmandrexis 2>/dev/null)" ] || fail "a journal was left behind"

if ((FAILURES > 0)); then
    echo "$FAILURES check(s) failed" >&2
    exit 1
fi
echo "all checks passed"
