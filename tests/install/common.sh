# Shared pieces of the install and package checks (sourced): a work folder removed at the
# end, failing with a message, the file list of an installed tree, and a run of the
# editor on the offscreen platform.
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "$(basename "$0"): $*" >&2
    exit 1
}

# Files and links below a folder, relative to it, sorted bytewise.
installed_files() {
    (cd "$1" && find . \( -type f -o -type l \) | sed 's#^\./##' | LC_ALL=C sort)
}

# run_until_box LOG COMMAND...: runs the editor's command with settings in the work
# folder and waits (up to 30 s) until it has shown a box (the offscreen platform writes
# each box's text to the error stream, after the caption) or ended; then ends it.
run_until_box() {
    local log=$1
    shift
    mkdir -p "$work/home" "$work/runtime"
    chmod 700 "$work/runtime"
    HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/runtime" "$@" >"$log" 2>&1 &
    local pid=$!
    pids+=("$pid")
    for _ in $(seq 300); do
        grep -qi '^kobaltmandrexis: ' "$log" && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# start_offscreen PROGRAM LOG ARGUMENTS...: the editor on the offscreen platform.
start_offscreen() {
    local program=$1 log=$2
    shift 2
    run_until_box "$log" env QT_QPA_PLATFORM=offscreen "$program" "$@"
}
