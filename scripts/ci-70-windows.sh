#!/usr/bin/env bash
# Windows stage: cross-builds the Windows programs, their zip and installer
# and their tests (scripts/build-windows.sh), checks that the programs need
# no DLL beyond Windows' own, and runs under Wine the unit tests on a virtual
# display, the checks of the programs' resources, the zip and the installer
# (a silent install and uninstall), and the viewer end to end on its own
# Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_WINDOWS:-build-windows}
start=$SECONDS
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-treskviewer}
export DEBIAN_FRONTEND=noninteractive

WINDOWS_TESTS=1 ./scripts/build-windows.sh "$build"
built=$SECONDS

echo "--- DLLs the programs import"
for exe in "$build"/dist/TreskViewer.exe "$build"/dist/treskdump.exe; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -u)
  echo "$(basename "$exe"): $(echo $dlls)"
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | msvcrt.dll | user32.dll | gdi32.dll | comctl32.dll | comdlg32.dll | shell32.dll | advapi32.dll | ole32.dll) ;;
      *) echo "$(basename "$exe") needs $dll, which Windows does not bring"; exit 1 ;;
    esac
  done <<<"$dlls"
done

echo "--- tests under Wine"
# On one virtual display: Wine's desktop process takes the display of the
# first program that makes a window, and the tests that make windows share it.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
  './scripts/wine-prefix.sh && cd "$0" && ctest --output-on-failure -j "$(nproc)"' "$build"
tested=$SECONDS
# That Wine session keeps the display that has just ended: end it too, so
# that the next Wine program starts a session of its own.
wineserver -k || true

echo "--- resources, zip and installer"
tests/windows/check_dist.sh "$build/dist"
echo "--- the viewer under Wine, driven with xdotool"
tests/windows/viewer_wine_test.sh "$build/dist/TreskViewer.exe" examples
echo "windows stage: build $((built - start)) s, Wine prefix and tests $((tested - built)) s," \
  "package and end-to-end checks $((SECONDS - tested)) s"
