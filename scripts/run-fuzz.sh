#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build.
#   run-fuzz.sh BUILD 0        each target over its committed corpus once (a quick check)
#   run-fuzz.sh BUILD SECONDS  each target fuzzed for SECONDS, new inputs kept in BUILD/corpus
# Exits non-zero when any target crashed, hung (per-input time-out), or used too much memory.
set -uo pipefail

build=$1
seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512)
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
printf '%-26s %12s %8s\n' target executions crashes
for bin in "$build"/fuzz/fuzz_*; do
  name=$(basename "$bin")
  [ -x "$bin" ] && [ "$name" != fuzz_seeds ] || continue
  seeds="$root/fuzz/corpus/$name"
  log="$build/logs/$name.log"
  mkdir -p "$build/logs" "$build/artifacts"
  if [ "$seconds" = 0 ]; then
    inputs=("$seeds"/*)
    [ -e "${inputs[0]}" ] || { echo "$name: no corpus in $seeds" >&2; failed=1; continue; }
    "$bin" "${limits[@]}" "${inputs[@]}" >"$log" 2>&1
    status=$?
    runs=${#inputs[@]}
  else
    work="$build/corpus/$name"
    mkdir -p "$work"
    "$bin" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$name-" "$work" "$seeds" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  fi
  crashes=0
  if [ $status -ne 0 ]; then
    crashes=1
    failed=1
  fi
  printf '%-26s %12s %8s\n' "$name" "${runs:-?}" "$crashes"
  if [ $status -ne 0 ]; then
    echo "--- $name failed (exit $status); log: $log" >&2
    grep -E 'ERROR|SUMMARY|broken|Test unit written|timeout|out-of-memory' "$log" | head -20 >&2
  fi
done
exit $failed
