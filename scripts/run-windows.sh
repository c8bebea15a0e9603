#!/usr/bin/env bash
# Starts the Windows viewer under Wine, for a look at it from Linux: checks
# for a display first, builds the Windows programs if needed
# (scripts/build-windows.sh, which installs Wine too), prepares the Wine
# prefix, and starts TreskViewer.exe in examples/ (so the "Apri" dialog shows
# the sample cut lists), passing on the arguments.
#   ./scripts/run-windows.sh [ARGS...]    (BUILD_WINDOWS=dir, default build-windows)
# LANG=it_IT.UTF-8 gives Wine's own dialogs in Italian, as on an Italian PC.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_WINDOWS:-build-windows}
if [ -z "${DISPLAY:-}" ]; then
  echo "TreskViewer.exe needs an X display for Wine (DISPLAY is not set); nothing was started." >&2
  echo "Without one, treskdump.exe converts a cut list: after ./scripts/build-windows.sh," >&2
  echo "  wine $build/dist/treskdump.exe examples/lista_nuova.PRG" >&2
  exit 1
fi
cd "$root"
# Up to date with the sources: an unchanged build takes a few seconds.
mkdir -p "$build"
log=$build/run-windows.log
WINDOWS_TESTS=1 ./scripts/build-windows.sh "$build" >"$log" 2>&1 || {
  tail -n 30 "$log" >&2
  echo "the Windows build failed (whole log: $log)" >&2
  exit 1
}
exe=$(cd "$build/dist" && pwd)/TreskViewer.exe
if [ ! -f "$exe" ]; then
  echo "$build/dist has no TreskViewer.exe: the build makes only treskdump.exe (TRESK_BUILD_GUI is OFF)" >&2
  exit 1
fi
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-treskviewer}
export WINEDEBUG=${WINEDEBUG:--all}
./scripts/wine-prefix.sh
cd "$root/examples"
exec wine "$exe" "$@"
