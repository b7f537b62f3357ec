#!/usr/bin/env bash
# Installs what is missing, builds everything with clang (the fuzz target needs it) and
# runs the whole test suite: engine, command-line tool, interoperation, widgets, fuzzing;
# then the window tests once more, built alone with AddressSanitizer and
# UndefinedBehaviorSanitizer, so that freed memory or a leak fails them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
cmake --build build/test -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/test --output-on-failure -j2 --timeout 600

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DKBM_SANITIZE=ON -DKBM_BUILD_BENCH=OFF
cmake --build build/asan -j"$(nproc)" --target kbm_window_tests
ctest --test-dir build/asan --output-on-failure -L window --timeout 600
