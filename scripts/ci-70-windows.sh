#!/usr/bin/env bash
# Windows stage: cross-builds the Windows programs and their tests
# (scripts/build-windows.sh), checks that the programs need no DLL beyond
# Windows' own, and runs the tests under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_WINDOWS:-build-windows}
start=$SECONDS
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-treskviewer}
export DEBIAN_FRONTEND=noninteractive

WINDOWS_TESTS=1 ./scripts/build-windows.sh "$build"
built=$SECONDS

echo "--- DLLs the programs import"
for exe in "$build"/dist/*.exe; do
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
echo "windows stage: build $((built - start)) s, Wine prefix and tests $((SECONDS - built)) s"
