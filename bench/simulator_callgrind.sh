#!/usr/bin/env bash
# Host instructions per simulated instruction (per step: instruction or interrupt entry)
# under callgrind, for every workload of simulator_bench in the plain and the checking run
# loop, and for hc11run running the same program. Builds nothing: give it the built
# simulator_bench and hc11run, from a Release build for figures worth comparing. Only the
# run itself is counted: the bench's run function, and the difference between hc11run runs
# of twice and once the steps, which takes its loading away.
#   bench/simulator_callgrind.sh build/release/bench/simulator_bench \
#       build/release/bin/hc11run [STEPS]
set -uo pipefail
if [ "$#" -lt 2 ] || [ "$#" -gt 3 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
  echo "usage: $0 path/to/simulator_bench path/to/hc11run [STEPS]" >&2
  exit 1
fi
bench=$1
hc11run=$2
steps=${3:-2000000}
if ! [[ $steps =~ ^[1-9][0-9]*000$ ]]; then
  echo "STEPS must be a multiple of 1000, the checking loop's batch" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints the instructions callgrind collected for the command, with its options before it.
collected() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p'
}

hc11run_steps() {
  collected "$hc11run" --bin "$work/$1.bin@2000" --rom "" --ram "0000 0FFF 1040 FFFF" --io "" \
    --steps "$2"
}

status=0
printf '%-13s %8s %8s %8s  (host instructions per simulated instruction, %d steps)\n' \
  workload plain checking hc11run "$steps"
for workload in dex mixed peripherals sci sci-busy-adc; do
  figures=()
  for loop in plain checking; do
    figures+=("$(collected --toggle-collect='tarnwick::run(*' "$bench" --count "$workload" \
      "$loop" "$steps")")
  done
  "$bench" --image "$workload" "$work/$workload.bin" || status=1
  once=$(hc11run_steps "$workload" "$steps")
  twice=$(hc11run_steps "$workload" $((2 * steps)))
  figures+=("$([ -n "$once" ] && [ -n "$twice" ] && echo $((twice - once)))")
  line=$(printf '%-13s' "$workload")
  for figure in "${figures[@]}"; do
    if [ -z "$figure" ]; then
      line+=$(printf ' %8s' '?')
      status=1
    else
      line+=$(awk -v n="$figure" -v s="$steps" 'BEGIN { printf " %8.1f", n / s }')
    fi
  done
  echo "$line"
done
exit $status
