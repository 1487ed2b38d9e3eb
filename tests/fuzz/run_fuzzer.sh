#!/usr/bin/env bash
# Runs a fuzzer for a while on a scratch copy of its corpus.
#   run_fuzzer.sh FUZZER SECONDS [CORPUS [DICTIONARY]]
# Without CORPUS: the scene loader's corpus/ and scene.dict.
# Exits 77 (skipped) when the fuzzer has not been built (./setup.sh builds it
# before the test suite; ./setup.sh fuzz runs it longer).
set -euo pipefail
# The fuzzer runs from a scratch folder: relative paths are made absolute first.
fuzzer="$(realpath -m "$1")"
seconds="${2:-30}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
corpus="$(realpath -m "${3:-$here/corpus}")"
dictionary="${4:-}"
if [ -z "${3:-}" ]; then
  dictionary="$here/scene.dict"
fi
if [ -n "$dictionary" ]; then
  dictionary="$(realpath -m "$dictionary")"
  if [ ! -s "$dictionary" ]; then
    echo "dictionary missing or empty: $dictionary" >&2
    exit 2
  fi
fi
if [ ! -x "$fuzzer" ]; then
  echo "fuzzer not built: $fuzzer"
  exit 77
fi
work="$(mktemp -d /tmp/kelvo-fuzz-run-XXXXXX)"
trap 'rm -rf "$work"' EXIT
cp "$corpus"/* "$work"/
cd "$work"
export UBSAN_OPTIONS="suppressions=$here/../sanitizer/ubsan.supp:halt_on_error=1"
# The loader's error boxes go to standard error; only the fuzzer's own
# report is worth reading.
"$fuzzer" -max_total_time="$seconds" ${dictionary:+-dict="$dictionary"} -print_final_stats=1 \
  -artifact_prefix="$work/" "$work" 2> "$work/fuzz.log" || {
  grep -v -E '^\[(An exception|Error)' "$work/fuzz.log" | tail -60
  # A fuzzer that could not start leaves no input behind: that is no fault
  # found, and saying so would send someone looking for one.
  if ! ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* > /dev/null 2>&1; then
    echo "the fuzzer failed without a faulty input (see its output above)"
    exit 2
  fi
  mkdir -p /tmp/kelvo-fuzz-artifacts && cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* /tmp/kelvo-fuzz-artifacts/ 2>/dev/null || true
  echo "fuzzer found a fault; inputs kept in /tmp/kelvo-fuzz-artifacts"
  exit 1
}
grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units)' "$work/fuzz.log"
