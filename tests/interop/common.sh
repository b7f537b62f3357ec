# Shared helpers of the interoperation tests: a scratch folder, random files, checks.
# Sourced by the test scripts; $1 of the script is the d64tool binary.
set -euo pipefail
export LC_ALL=C

D64TOOL=${1:?usage: $0 PATH-TO-D64TOOL}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/d64tool-interop-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
FAILURES=0

# Skip (ctest SKIP_RETURN_CODE 77) when an outside tool is not installed.
need() {
    command -v "$1" >/dev/null || { echo "SKIP: $1 not installed"; exit 77; }
}

fail() {
    echo "FAIL: $*" >&2
    FAILURES=$((FAILURES + 1))
}

finish() {
    if ((FAILURES > 0)); then
        echo "$FAILURES check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}

# random_file PATH SIZE: SIZE random bytes.
random_file() {
    head -c "$2" /dev/urandom >"$1"
}

# blocks SIZE: sectors a file of SIZE bytes takes (254 data bytes each).
blocks() {
    echo $((($1 + 253) / 254))
}

# list_line_matches LISTING BLOCKS NAME TYPE: a listing row with these fields.
list_line_matches() {
    grep -qE "^$2 +\"$3\" +$4( |\$)" <<<"$1"
}
