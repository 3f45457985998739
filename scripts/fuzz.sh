#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UBSan in build/fuzz (the libraries
# and the targets only, no Qt shell, no tests) and runs each for SECONDS (default 60) on a
# copy of its seeds in fuzz/corpus/<target>, so that a run never grows the committed corpus.
# Stops at the first target that fails, printing the end of its log; the input that failed
# is kept in build/fuzz/artifacts. FUZZ_TARGETS="s19_fuzzer asm11_fuzzer" runs only those.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash scripts/deps.sh

all_targets=(s19_fuzzer symbol_fuzzer debug_fuzzer project_fuzzer disassembler_fuzzer
             hc11run_options_fuzzer asm11_options_fuzzer asm11_fuzzer)
read -r -a targets <<< "${FUZZ_TARGETS:-${all_targets[*]}}"

# Optimised a little, with line tables for the sanitizers' reports, assertions on.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" -DTARNWICK_SANITIZE=ON -DTARNWICK_FUZZ=ON \
  -DTARNWICK_SHELL=OFF -DTARNWICK_TESTS=OFF > /dev/null
cmake --build build/fuzz -j "$(nproc)" --target "${targets[@]}"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p build/fuzz/artifacts
# The targets write their scratch files under TMPDIR; memory is faster than a disk for the
# project target's synced saves.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

for target in "${targets[@]}"; do
  corpus="$scratch/$target"
  mkdir "$corpus"
  cp -R "fuzz/corpus/$target/." "$corpus/"
  options=(-max_total_time="$seconds" -timeout=20 -print_final_stats=1
           -artifact_prefix="build/fuzz/artifacts/$target-")
  dictionary="fuzz/${target%_fuzzer}.dict"
  [ -f "$dictionary" ] && options+=(-dict="$dictionary")
  log="$scratch/$target.log"
  if ! "build/fuzz/fuzz/$target" "${options[@]}" "$corpus" > "$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz: $target failed; the input is in build/fuzz/artifacts" >&2
    exit 1
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  echo "fuzz: $target: $runs runs in ${seconds} s, corpus $(ls "$corpus" | wc -l) inputs"
done
