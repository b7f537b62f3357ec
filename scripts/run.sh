#!/usr/bin/env bash
# Installs what is missing, builds Kobaltmandrexis and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKBM_BUILD_TESTS=OFF -DKBM_BUILD_BENCH=OFF
cmake --build build/release -j"$(nproc)"
exec build/release/bin/kobaltmandrexis "$@"
