#!/usr/bin/env bash
# Static analysis of the project's own sources: formatting (clang-format, the
# checked-in .clang-format), cppcheck, and clang-tidy (the checked-in
# .clang-tidy, every finding an error) over a clang compilation database in
# build-tidy. Every tool runs even when an earlier one failed, so one CI run
# shows all findings.
set -uo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh ci  # what this stage uses, if .ci/run has not installed it yet
root=$(pwd)
build=${TRESK_TIDY_BUILD:-build-tidy}
start=$SECONDS
mkdir -p "$build"
status=0
dirs=()
for d in core platform framework shell resources tools fuzz tests bench; do
  [ -d "$d" ] && dirs+=("$d")
done

mapfile -t sources < <(git ls-files -- '*.cpp' '*.h' | grep -E "^($(IFS='|'; echo "${dirs[*]}"))/")

echo "--- clang-format (${#sources[@]} files)"
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "clang-format: files differ from .clang-format (run clang-format -i on them)"
  status=1
fi
format_done=$SECONDS

echo "--- cppcheck"
if ! cppcheck --std=c++20 --library=googletest --library=posix --library=wxwidgets \
    --enable=warning,performance,portability --inline-suppr --error-exitcode=1 --quiet \
    -I . --suppressions-list=.cppcheck-suppressions "${dirs[@]}"; then
  status=1
fi
cppcheck_done=$SECONDS

echo "--- clang-tidy"
if CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTRESK_BUILD_GUI=ON \
    -DTRESK_BUILD_TESTS=ON -DTRESK_BUILD_BENCH=ON >"$build/configure.log" 2>&1; then
  if ! run-clang-tidy -p "$build" -j "$(nproc)" -quiet \
      "^$root/($(IFS='|'; echo "${dirs[*]}"))/" >"$build/clang-tidy.log" 2>&1; then
    sed 's/\x1b\[[0-9;]*m//g' "$build/clang-tidy.log" | grep -E 'error:|warning:' | sort -u
    echo "clang-tidy: findings above (whole log: $build/clang-tidy.log)"
    status=1
  fi
else
  cat "$build/configure.log"
  status=1
fi
echo "static stage: clang-format $((format_done - start)) s, cppcheck $((cppcheck_done - format_done)) s," \
  "clang-tidy $((SECONDS - cppcheck_done)) s"
exit "$status"
