#!/usr/bin/env bash
# Builds everything with the sanitizers on and runs every test, then gives each fuzz target a
# short run on its seeds, so that a target that no longer builds or fails on a seed shows, and
# builds and checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# Without debug information: the sanitizers still name the functions, and the build is faster.
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O0 \
  -DTARNWICK_SANITIZE=ON
cmake --build build/test -j "$(nproc)"
ctest --test-dir build/test --output-on-failure -j "$(nproc)"
bash scripts/fuzz.sh 10
# The Debian package: built in Release, validated, unpacked and its tools run on its example.
bash scripts/package.sh
bash scripts/check_package.sh
