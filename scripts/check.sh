#!/usr/bin/env bash
# Fresh machine to test results: installs the Debian packages that are
# missing (make and the compiler among them), builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
exec make check
