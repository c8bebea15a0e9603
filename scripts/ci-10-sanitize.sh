#!/usr/bin/env bash
# The whole test suite (GUI tests included, on a private Xvfb display) built
# with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan; the first
# error stops the test that met it and fails the stage.
#  - Core, converter, platform, hardening and fuzz-replay tests run with leak
#    checking on and no suppression.
#  - GUI tests (CTest label "gui") run with leak checking on as well, less the
#    process-lifetime caches of fontconfig, D-Bus and GLib
#    (scripts/lsan-gui.supp), which LeakSanitizer would otherwise report.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh ci  # what this stage uses, if .ci/run has not installed it yet
build=${TRESK_ASAN_BUILD:-build-asan}
start=$SECONDS
mkdir -p "$build"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRESK_SANITIZE=ON \
  >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j "$(nproc)"
built=$SECONDS

common=halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

ASAN_OPTIONS=$common:detect_leaks=1 ./scripts/run-tests.sh "$build" -LE gui
ASAN_OPTIONS=$common:detect_leaks=1 LSAN_OPTIONS=suppressions=$(pwd)/scripts/lsan-gui.supp \
  ./scripts/run-tests.sh "$build" -L gui
echo "sanitizer stage: build $((built - start)) s, tests $((SECONDS - built)) s"
