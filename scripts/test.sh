#!/usr/bin/env bash
# Installs what is missing, builds everything with clang (the fuzz target needs it) and
# runs the whole test suite: engine, command-line tool, interoperation, widgets, fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
cmake --build build/test -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/test --output-on-failure -j2 --timeout 600
