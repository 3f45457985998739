#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
set -euo pipefail
# clang and its runtime libraries build the fuzz targets (libFuzzer and the sanitizers); man
# renders the manual pages for their test; the JSON library reads hc11run's summaries.
packages=(cmake ninja-build g++ make libgtest-dev libgmock-dev nlohmann-json3-dev binutils-m68hc1x
          qt6-base-dev libqscintilla2-qt6-dev libqt6svg6 fonts-dejavu-core clang libclang-rt-14-dev
          dpkg-dev file desktop-file-utils appstream man-db groff-base)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
