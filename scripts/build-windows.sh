#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian 12: installs what is missing
# (Debian packages only), configures a Release with the mingw-w64 toolchain
# file, builds it statically linked, and leaves in BUILD_DIR/dist/
# TreskViewer.exe, treskdump.exe, TreskViewer-<version>-win64.zip (both
# programs and LEGGIMI.txt) and TreskViewer-<version>-setup.exe (NSIS).
# Runs nothing: scripts/ci-70-windows.sh runs the tests under Wine (with
# WINDOWS_TESTS=1 this script installs Wine and the test tools too).
#   ./scripts/build-windows.sh [BUILD_DIR]     (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}

if [ "${WINDOWS_TESTS:-0}" = 1 ]; then
  ./scripts/install-deps.sh windows-test
else
  ./scripts/install-deps.sh windows
fi

mkdir -p "$build"
cmake -S . -B "$build" --toolchain "$(pwd)/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTRESK_BUILD_GUI=ON \
  -DTRESK_WINEPREFIX="${WINEPREFIX:-$HOME/.wine-treskviewer}" >"$build/configure.log"
cmake --build "$build" -j "$(nproc)"

# The programs, the zip and the installer (packaging/windows/).
cmake --build "$build" --target dist
echo "Windows programs in $build/dist:"
ls -l "$build/dist"
