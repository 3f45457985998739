#!/usr/bin/env bash
# Builds Tarnwick and runs a program on the simulated 68HC11.
# With no arguments it runs the bundled example, which prints through the SCI.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_TESTS=OFF
cmake --build build/release -j "$(nproc)"
if [ $# -eq 0 ]; then
  set -- examples/hello/hello.s19 --until-pc E023
fi
exec build/release/tools/hc11run/hc11run "$@"
