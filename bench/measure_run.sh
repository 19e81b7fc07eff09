#!/usr/bin/env bash
# Whole-run cost of beam against the minimal writer, on the typical input with
# standard output a pipe: instructions retired (valgrind's callgrind counts
# instructions, so the figure repeats run to run) and peak resident memory.
# Usage: bench/measure_run.sh [build-dir]
set -euo pipefail
build=${1:-build}
input="$(dirname "$0")/../tests/transcripts/typical.in"

log=$(mktemp)
trap 'rm -f "$log"' EXIT

# Standard output is a pipe (to cat), as when the run is piped onwards.
instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null --log-file="$log" "$@" < "$input" | cat >/dev/null
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$log"
}
peak_kib() {
  /usr/bin/time -o "$log" -f '%M' "$@" < "$input" | cat >/dev/null
  tail -n 1 "$log"
}

beam_ir=$(instructions "$build/beam")
writer_ir=$(instructions "$build/minimal_writer")
beam_kib=$(peak_kib "$build/beam")
writer_kib=$(peak_kib "$build/minimal_writer")
echo "instructions: beam $beam_ir, minimal writer $writer_ir, ratio $(echo "scale=3; $beam_ir / $writer_ir" | bc)"
echo "peak RSS KiB: beam $beam_kib, minimal writer $writer_kib, difference $((beam_kib - writer_kib)) KiB"
