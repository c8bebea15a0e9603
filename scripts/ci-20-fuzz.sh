#!/usr/bin/env bash
# Coverage-guided fuzzing under AddressSanitizer and UndefinedBehaviorSanitizer
# (clang 14, libFuzzer): each target runs for a bounded time (60 s, or
# TRESK_FUZZ_SECONDS) from its seed corpus; any crash, invariant failure, leak,
# hang (one input over 10 s) or memory blow-up fails the stage. Prints the
# executions, the speed and the coverage of each target. The targets decode
# from and write to memory files, so no input touches the file system.
# scripts/fuzz-long.sh runs the same for longer.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh ci  # what this stage uses, if .ci/run has not installed it yet
build=${TRESK_FUZZ_BUILD:-build-fuzz}
seconds=${TRESK_FUZZ_SECONDS:-60}
start=$SECONDS
mkdir -p "$build"

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRESK_BUILD_FUZZ=ON -DTRESK_BUILD_GUI=OFF -DTRESK_BUILD_TESTS=OFF >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
targets=(load_report row_table csv)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
for target in "${targets[@]}"; do
  work=fuzz/corpus-work/$target          # new inputs found; not committed
  mkdir -p "$work"
  log=$build/fuzz_$target.log
  echo "--- fuzz_$target: ${seconds}s"
  if ! "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 -error_exitcode=77 -timeout_exitcode=78 \
      -artifact_prefix="$build/fuzz_$target-" "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 80 "$log"
    echo "fuzz_$target: FINDING (input saved as $build/fuzz_$target-*)"
    status=1
    continue
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\) ft: \([0-9]*\) corp: \([0-9]*\).*/edges \1, features \2, corpus \3/p' <<<"$done_line")
  echo "fuzz_$target: $execs executions, $speed exec/s, $cov, no finding"
done
echo "fuzz stage: $((SECONDS - start)) s"
exit "$status"
