#!/usr/bin/env bash
# Fresh machine to running viewer: installs the Debian packages that are
# missing (make and the compiler among them), builds, and starts the viewer in
# examples/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
exec make run
