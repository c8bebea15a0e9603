#!/usr/bin/env bash
# Runs the whole test suite of `make check`'s build (BUILD, default build/)
# again with LC_ALL=it_IT.UTF-8, where the decimal separator is a comma:
# values in tenths must keep their point. Generates the locale if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh ci  # what this stage uses, if .ci/run has not installed it yet
build=${BUILD:-build}
start=$SECONDS
if ! locale -a 2>/dev/null | grep -qiE '^it_IT\.utf-?8$'; then
  localedef -i it_IT -f UTF-8 it_IT.UTF-8
fi
# Prove the locale is usable before trusting a green run under it.
LC_ALL=it_IT.UTF-8 locale -k decimal_point | grep -q 'decimal_point=","'
TRESK_REQUIRE_IT_LOCALE=1 LC_ALL=it_IT.UTF-8 LANG=it_IT.UTF-8 ./scripts/run-tests.sh "$build"
echo "locale stage: $((SECONDS - start)) s"
