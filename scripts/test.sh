#!/usr/bin/env bash
# Builds everything with the sanitizers on and runs every test, then gives each fuzz target a
# short run on its seeds, so that a target that no longer builds or fails on a seed shows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Without debug information: the sanitizers still name the functions, and the build is faster.
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
  -DTARNWICK_SANITIZE=ON
cmake --build build/test -j "$(nproc)"
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
bash scripts/fuzz.sh 10
