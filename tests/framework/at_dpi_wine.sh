#!/usr/bin/env bash
# Runs a Windows test program under Wine with the screen at DPI dots per
# inch, in a Wine prefix of its own: a copy of PREFIX's registry (where Wine
# reads the DPI) over PREFIX's drive C:, so the tests that share PREFIX keep
# 96 DPI. The program learns DPI from TRESK_TEST_DPI.
# Usage: at_dpi_wine.sh DPI PREFIX PRIVATE_PREFIX PROGRAM [ARGUMENTS...]
set -euo pipefail
dpi=$1
prefix=$2
private=$3
shift 3
rm -rf "$private"
mkdir -p "$private/dosdevices"
cp "$prefix"/*.reg "$prefix/.update-timestamp" "$private/"
ln -s "$prefix/drive_c" "$private/drive_c"
ln -s ../drive_c "$private/dosdevices/c:"
ln -s / "$private/dosdevices/z:"
export WINEPREFIX=$private WINEDEBUG=-all TRESK_TEST_DPI=$dpi
cleanup() {
    wineserver -k 2>/dev/null || true  # the private prefix's own server
    rm -rf "$private"
}
trap cleanup EXIT
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    </dev/null >/dev/null 2>&1
wine "$@" </dev/null
