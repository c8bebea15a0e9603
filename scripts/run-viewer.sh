#!/usr/bin/env bash
# Starts the viewer from the examples folder, so the open-file dialog shows
# the sample cut lists. Without a display there is nothing to show the
# dialog on: say so and point to the converter.
#   run-viewer.sh [BUILD_DIR]        start the viewer of BUILD_DIR (build/)
#   run-viewer.sh --check-display    only the check (run.sh asks it before
#                                    installing or building anything)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "TreskViewer needs a graphical display (DISPLAY is not set); nothing was started." >&2
  echo "To turn a cut list into its text report without one, use the converter:" >&2
  echo "  cmake -S . -B build -DTRESK_BUILD_TESTS=OFF && cmake --build build --target treskdump" >&2
  echo "  build/tools/treskdump examples/lista_nuova.PRG" >&2
  exit 1
fi
[ "${1:-}" = --check-display ] && exit 0
build=$(cd "${1:-build}" && pwd)
cd "$root/examples"
exec "$build/shell/treskviewer"
