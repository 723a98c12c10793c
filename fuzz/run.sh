#!/usr/bin/env bash
# Runs each fuzz target for a bounded time, starting from a scratch copy of its
# seed corpus (the repository is never changed). Fails on any crash, hang,
# leak, AddressSanitizer or UndefinedBehaviorSanitizer report; the input that
# did it is kept in <build>/fuzz-artifacts/ for reproduction:
#   <build>/fuzz/<target> <build>/fuzz-artifacts/<target>-crash-...
#
# Usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
set -euo pipefail

build=$(cd "$1" && pwd)
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_settings fuzz_replay fuzz_reply fuzz_convert)
corpus=$(cd "$(dirname "$0")/corpus" && pwd)

scratch=$(mktemp -d "${TMPDIR:-/tmp}/pom_fuzz_run.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

failed=0
for target in "${targets[@]}"; do
  work="$scratch/$target"
  mkdir -p "$work/tmp"
  cp -R "$corpus/$target" "$work/corpus"
  log="$work/log"
  status=0
  # TMPDIR: the target's private working directories go into the scratch area too.
  TMPDIR="$work/tmp" "$build/fuzz/$target" "$work/corpus" \
    -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target-" >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$target: ${executions:-?} executions in ${seconds} s, exit status $status"
  if [ "$status" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$log"; then
    tail -n 60 "$log"
    failed=1
  fi
done
exit "$failed"
