#!/usr/bin/env bash
# Runs the image fuzzer for a number of seconds (default 600) from the committed seeds.
# Usage: tests/fuzz/run-fuzzer.sh path/to/fuzz_image [seconds]
set -euo pipefail
fuzzer=$1
seconds=${2:-600}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
# The images of each run go to tmpfs where there is one, and are removed however the
# fuzzer ends.
images=$(mktemp -d /dev/shm/kbm-fuzz-XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$images"' EXIT
export KBM_FUZZ_DIR=$images
cp "$here"/seeds/* "$work"/
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="${FUZZ_ARTIFACTS:-$work/}" "$work"
