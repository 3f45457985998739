#!/usr/bin/env bash
# Builds the Debian package of the IDE and the tools under build/package and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNWICK_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build build/package -j "$(nproc)" --target tarnwick asm11 hc11run hc11dis man_pages
(cd build/package && cpack -G DEB >/dev/null)
ls build/package/tarnwick_*.deb
