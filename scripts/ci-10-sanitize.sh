#!/usr/bin/env bash
# The whole test suite (GUI tests included, on a private Xvfb display) built
# with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan; the first
# error stops the test that met it and fails the stage.
#  - Core, converter, platform, hardening and fuzz-replay tests run with leak
#    checking on.
#  - GUI tests run with leak checking off: GTK, GLib, fontconfig and the X
#    libraries keep process-lifetime allocations that LeakSanitizer reports as
#    leaks, and a suppression broad enough to silence them (any stack through
#    those libraries) would also hide every leak in our own event handlers.
#    Memory errors and undefined behaviour still stop them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TRESK_ASAN_BUILD:-build-asan}
start=$SECONDS

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRESK_SANITIZE=ON \
  >"$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j "$(nproc)"
built=$SECONDS

common=halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# Names of the GUI tests, as a regular expression for ctest -R / -E.
gui_regex=
if [ -f "$build/tests/gui/CTestTestfile.cmake" ]; then
  gui_regex=$(ctest --test-dir "$build/tests/gui" -N |
    sed -n 's/^ *Test *#[0-9]*: *//p' | sed 's/[][\.*^$+?(){}|]/\\&/g' | paste -sd'|' -)
fi

if [ -n "$gui_regex" ]; then
  ASAN_OPTIONS=$common:detect_leaks=1 ./scripts/run-tests.sh "$build" -E "^($gui_regex)\$"
  ASAN_OPTIONS=$common:detect_leaks=0 ./scripts/run-tests.sh "$build" -R "^($gui_regex)\$"
else
  ASAN_OPTIONS=$common:detect_leaks=1 ./scripts/run-tests.sh "$build"
fi
echo "sanitizer stage: build $((built - start)) s, tests $((SECONDS - built)) s"
