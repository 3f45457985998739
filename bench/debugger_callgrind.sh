#!/usr/bin/env bash
# Host instructions per source line of a debug start and stop under callgrind, at 2,000 and at
# 16,000 source lines, and the minor page faults of each start after the first. The starts are
# those of one session, started and stopped again; the first start is left out of both
# figures. Builds nothing: give it the built debugger_bench, a Release build for figures worth
# comparing.
#   bench/debugger_callgrind.sh build/release/bench/debugger_bench
set -uo pipefail
if [ "$#" -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 path/to/debugger_bench" >&2
  exit 1
fi
bench=$1
starts=5

# Prints the instructions callgrind collected inside the start and stop of the sessions.
collected() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    --toggle-collect='tarnwick::Debugger::startOrStop()' "$bench" --starts "$1" "$2" 2>&1 |
    sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p'
}

status=0
for lines in 2000 16000; do
  once=$(collected "$lines" 1)
  more=$(collected "$lines" "$starts")
  faults=$("$bench" --starts "$lines" "$starts" | sed -n 's/.*, \([0-9.]*\) minor page faults.*/\1/p')
  if [ -z "$once" ] || [ -z "$more" ] || [ -z "$faults" ]; then
    echo "$lines lines: no figures" >&2
    status=1
    continue
  fi
  awk -v a="$once" -v b="$more" -v n="$starts" -v l="$lines" -v f="$faults" 'BEGIN {
    start = (b - a) / (n - 1)
    printf "%5d lines: %.0f host instructions per start and stop, %.0f per line; %s page faults\n",
      l, start, start / l, f }'
done
exit $status
