#!/usr/bin/env bash
# Cross-builds the Windows programs on Debian 12: installs what is missing
# (Debian packages only), configures Release builds with the mingw-w64
# toolchain files, 64-bit in BUILD_DIR and 32-bit in BUILD_DIR/win32, builds
# them statically linked, and leaves in BUILD_DIR/dist/ the 64-bit
# TreskViewer.exe and treskdump.exe, the 32-bit ones in dist/win32/,
# TreskViewer-<version>-win64.zip and -win32.zip (the programs and
# LEGGIMI.txt) and TreskViewer-<version>-setup.exe (NSIS, both builds).
# The 32-bit build makes only the programs and the tests of the file layer,
# the core and the converter; the 64-bit build makes every Windows test.
# With TRESK_SIGN_PFX (a PKCS#12 file) and TRESK_SIGN_PASSWORD set, the
# programs of both builds, the uninstaller and the installer are signed.
# Runs nothing: scripts/ci-70-windows.sh runs the tests under Wine (with
# WINDOWS_TESTS=1 this script installs Wine and the test tools too).
#   ./scripts/build-windows.sh [BUILD_DIR]     (default build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-windows}
jobs=${JOBS:-$(nproc)}

if [ "${WINDOWS_TESTS:-0}" = 1 ]; then
  ./scripts/install-deps.sh windows-test
else
  ./scripts/install-deps.sh windows
fi

mkdir -p "$build/win32"
build=$(realpath "$build")
prefix=${WINEPREFIX:-$HOME/.wine-treskviewer}
cmake -S . -B "$build/win32" --toolchain "$(pwd)/cmake/mingw-w64-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTRESK_BUILD_GUI=ON \
  -DTRESK_WINEPREFIX="$prefix" >"$build/win32/configure.log"
cmake --build "$build/win32" -j "$jobs" \
  --target treskviewer treskdump core_tests platform_tests tools_tests

cmake -S . -B "$build" --toolchain "$(pwd)/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTRESK_BUILD_GUI=ON -DTRESK_WIN32_BUILD_DIR="$build/win32" \
  -DTRESK_WINEPREFIX="$prefix" >"$build/configure.log"
cmake --build "$build" -j "$jobs"

# The programs, the zips and the installer (packaging/windows/). Signing
# does not show in the build's dependencies: with a certificate they are made
# afresh, and once more unsigned after a signed build.
signing=${TRESK_SIGN_PFX:-unsigned}
if [ "$signing" != unsigned ] || [ "$(cat "$build/dist-signing" 2>/dev/null)" != unsigned ]; then
  rm -rf "$build/dist"
fi
echo "$signing" >"$build/dist-signing"
cmake --build "$build" --target dist
echo "Windows programs in $build/dist:"
ls -l "$build/dist" "$build/dist/win32"
