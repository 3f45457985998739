#!/usr/bin/env bash
# Builds Tarnwick and starts the IDE. With no arguments it opens a copy of the bundled example
# project (kept in the user's data directory); otherwise the project file given, or whatever
# arguments tarnwick takes (see tarnwick --help).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_TESTS=OFF
cmake --build build/release -j "$(nproc)"
# The programs now land in build/release/bin; copies an older build left elsewhere are no
# longer updated, so that an IDE which remembered one of them finds it gone, not stale.
rm -f build/release/asm11 build/release/tarnwick build/release/tools/hc11run/hc11run \
  build/release/tools/hc11dis/hc11dis
if [ "$#" -eq 0 ]; then set -- --example; fi
exec build/release/bin/tarnwick "$@"
