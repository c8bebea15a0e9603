#!/usr/bin/env bash
# Fresh machine to test results, in one pass: installs the Debian packages
# that building and testing need (make and the compiler among them), then
# `make check` builds everything and runs every test (it installs nothing).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh test
exec make check
