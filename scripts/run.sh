#!/usr/bin/env bash
# Fresh machine to running viewer: checks for a display first, installs only
# the Debian packages that building and running need (make and the compiler
# among them), builds only the viewer and treskdump, and starts the viewer in
# examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/run-viewer.sh --check-display
./scripts/install-deps.sh run
exec make run
