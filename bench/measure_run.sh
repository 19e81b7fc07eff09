#!/usr/bin/env bash
# Whole-run cost on the typical input with standard output a pipe:
# instructions retired (valgrind's callgrind counts instructions, so the
# figure repeats run to run) and peak resident memory.
#   beam (dynamically linked) against minimal_writer (the same output, gathered
#   in a std::string and written with fwrite at beam's flush points);
#   with a second build configured -DBEAM_STATIC=ON: its beam against
#   floor_writer (a static C program writing the same bytes with one write).
# Every run has no controlling terminal (setsid), so the final key wait ends
# at once even when this script is started from a terminal.
# Usage: bench/measure_run.sh [build-dir] [static-build-dir]
set -euo pipefail
build=${1:-build}
static_build=${2:-}
input="$(dirname "$0")/../tests/transcripts/typical.in"

log=$(mktemp)
trap 'rm -f "$log"' EXIT

instructions() {
  setsid -w valgrind --tool=callgrind --callgrind-out-file=/dev/null --log-file="$log" "$@" \
    < "$input" | cat >/dev/null
  sed -n 's/.*Collected : \([0-9]*\).*/\1/p' "$log"
}
peak_kib() {
  setsid -w /usr/bin/time -o "$log" -f '%M' "$@" < "$input" | cat >/dev/null
  tail -n 1 "$log"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
for tool in valgrind setsid /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "measure_run.sh: $tool is needed (Debian: valgrind, util-linux, time)" >&2; exit 1; }
done

beam_ir=$(instructions "$build/beam")
writer_ir=$(instructions "$build/minimal_writer")
beam_kib=$(peak_kib "$build/beam")
writer_kib=$(peak_kib "$build/minimal_writer")
echo "instructions: beam $beam_ir, minimal writer $writer_ir, ratio $(ratio "$beam_ir" "$writer_ir")"
echo "peak RSS KiB: beam $beam_kib, minimal writer $writer_kib, difference $((beam_kib - writer_kib)) KiB"

if [ -n "$static_build" ]; then
  static_ir=$(instructions "$static_build/beam")
  floor_ir=$(instructions "$build/floor_writer")
  echo "instructions: static beam $static_ir, floor $floor_ir, ratio $(ratio "$static_ir" "$floor_ir")"
  echo "peak RSS KiB: static beam $(peak_kib "$static_build/beam"), floor $(peak_kib "$build/floor_writer")"
fi
