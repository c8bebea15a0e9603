#!/usr/bin/env bash
# Windows stage: cross-builds the 64-bit and 32-bit Windows programs, their
# zips and installer and their tests (scripts/build-windows.sh), signed with a
# throwaway self-signed certificate; checks that the programs need no DLL
# beyond Windows' own, and runs under Wine the 64-bit unit tests on a virtual
# display, the 32-bit tests of the file layer, core and converter and one
# converter run compared byte for byte, the checks of the programs'
# resources, signatures, zips and installer (silent installs for the current
# user and for every user, the file class, uninstalls), and the viewer end
# to end on its own Xvfb display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_WINDOWS:-build-windows}
start=$SECONDS
export WINEPREFIX=${WINEPREFIX:-$HOME/.wine-treskviewer}
export DEBIAN_FRONTEND=noninteractive

./scripts/install-deps.sh windows-ci
# The signing certificate: self-signed, for code signing, made afresh.
certs=$(mktemp -d)
trap 'rm -rf "$certs"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=TreskViewer CI" \
  -addext extendedKeyUsage=codeSigning -keyout "$certs/key.pem" -out "$certs/cert.pem" 2>/dev/null
export TRESK_SIGN_PASSWORD=ci-$RANDOM$RANDOM
openssl pkcs12 -export -inkey "$certs/key.pem" -in "$certs/cert.pem" -out "$certs/sign.pfx" \
  -passout env:TRESK_SIGN_PASSWORD
export TRESK_SIGN_PFX=$certs/sign.pfx

WINDOWS_TESTS=1 ./scripts/build-windows.sh "$build"
built=$SECONDS

echo "--- DLLs the programs import"
for exe in "$build"/dist/{,win32/}{TreskViewer,treskdump}.exe; do
  dlls=$(objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -u)
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

# 32-bit Wine runs the 32-bit programs and the installer, itself a 32-bit
# program. Where the mirror could not provide it (install-deps.sh
# windows-ci), the 32-bit runs are skipped and the installer is tested
# through its 64-bit build, which runs the same script.
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  echo "--- 32-bit tests under 32-bit Wine"
  ./scripts/wine-prefix.sh
  for test in core/core_tests platform/platform_tests tools/tools_tests; do
    env WINEDEBUG=-all wine "$build/win32/tests/$test.exe" --gtest_brief=1 </dev/null
  done
  ctest --test-dir "$build/win32" --output-on-failure --no-tests=error -R '^treskdump_exe\.nuova\.txt$'
  wineserver -k || true
  install_setup=""
else
  echo "WARNING: no 32-bit Wine (wine32:i386): the 32-bit programs' tests are NOT run," \
    "and the installer is tested through its 64-bit build"
  cmake --build "$build" --target setup_amd64
  install_setup=$build/packaging/windows/TreskViewer-1.0.0.1-setup-amd64.exe
fi

echo "--- resources, signatures, zips and installer"
TRESK_SIGN_CA=$certs/cert.pem TRESK_INSTALL_SETUP=$install_setup \
  xvfb-run -a -s "-screen 0 1280x1024x24" tests/windows/check_dist.sh "$build/dist"
wineserver -k || true
echo "--- the viewer under Wine, driven with xdotool"
tests/windows/viewer_wine_test.sh "$build/dist/TreskViewer.exe" examples
echo "windows stage: build $((built - start)) s, Wine prefix and tests $((tested - built)) s," \
  "package and end-to-end checks $((SECONDS - tested)) s"
