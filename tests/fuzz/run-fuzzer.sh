#!/usr/bin/env bash
# Runs the image fuzzer for a number of seconds (default 600) from the committed seeds.
# Usage: tests/fuzz/run-fuzzer.sh path/to/fuzz_image [seconds]
set -euo pipefail
fuzzer=$1
seconds=${2:-600}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here"/seeds/* "$work"/
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="${FUZZ_ARTIFACTS:-$work/}" "$work"
