#!/usr/bin/env bash
# Runs the whole CTest suite of a build directory. The GUI tests need an X
# display: a private Xvfb server is started for the run, so the tests never
# draw on the user's desktop.
set -euo pipefail
build=${1:-build}
shift || true
cd "$build"
exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)" "$@"
