#!/usr/bin/env bash
# Starts the viewer from the examples folder, so the open-file dialog shows
# the sample cut lists. Without a display there is nothing to show the
# dialog on: say so and point to the converter.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
viewer="$build/shell/treskviewer"
dump="$build/tools/treskdump"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "TreskViewer needs a graphical display (DISPLAY is not set)." >&2
  echo "To turn a cut list into its text report without one, use the converter:" >&2
  echo "  $dump $root/examples/lista_nuova.PRG" >&2
  exit 1
fi
cd "$root/examples"
exec "$viewer"
