#!/usr/bin/env bash
# Host instructions per source line of asm11 under callgrind, for the plain and the structured
# generated program. Builds nothing: give it the built asm11_bench, a Release build for figures
# worth comparing. Only assembleOnce is counted, not the generation of the source.
#   bench/asm11_callgrind.sh build/release/bench/asm11_bench
set -uo pipefail
if [ "$#" -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 path/to/asm11_bench" >&2
  exit 1
fi
bench=$1
status=0
for variant in plain structured; do
  log=$(valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    --toggle-collect='*assembleOnce*' "$bench" --once "$variant" 2>&1)
  # The program's own line: "asm11 plain: 50000 lines, 0 errors, ..."
  report=$(grep -m1 "^asm11 $variant: " <<<"$log")
  lines=$(sed -n 's/^asm11 [a-z]*: \([0-9]*\) lines.*/\1/p' <<<"$report")
  instructions=$(sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p' <<<"$log")
  if [ -z "$lines" ] || [ -z "$instructions" ]; then
    echo "$variant: no figures from callgrind" >&2
    echo "$log" >&2
    status=1
    continue
  fi
  echo "$report"
  grep -m1 "^asm11 $variant: [0-9]* errors, the first" <<<"$log"
  awk -v n="$instructions" -v l="$lines" -v v="$variant" \
    'BEGIN { printf "%s: %d host instructions in %d lines, %.0f host instructions per line\n", v, n, l, n / l }'
done
exit $status
