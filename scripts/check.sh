#!/usr/bin/env bash
# Fresh machine to test results: installs the Debian packages that are
# missing for building and testing (make and the compiler among them),
# builds everything, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh test
exec make check
