#!/usr/bin/env bash
# Fresh machine to running viewer, in one pass: checks for a display first,
# installs only the Debian packages that building and running need (make and
# the compiler among them), then `make run` builds only the viewer and
# treskdump and starts the viewer in examples/ (it installs nothing).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/run-viewer.sh --check-display
./scripts/install-deps.sh run
exec make run
