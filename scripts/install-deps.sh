#!/usr/bin/env bash
# Installs the Debian 12 packages one use of the tree needs, skipping the
# update and the install when everything is already there:
#   install-deps.sh run    build and run the viewer and treskdump
#   install-deps.sh test   the above, plus what the test suite uses
#   install-deps.sh ci     the above, plus what the CI stages (scripts/ci-*.sh),
#                          the benchmark and the Debian package use (default)
#   install-deps.sh windows       cross-build the Windows programs
#   install-deps.sh windows-test  the above, plus Wine to run their tests
#   install-deps.sh windows-ci    the above, plus 32-bit Wine when the mirror
#                                 serves it (the Windows CI stage)
set -euo pipefail

# Building and running: the compiler and make, CMake, wxWidgets for GTK and
# its translations (the file dialogs' buttons in the user's language), GTK's
# SVG loader and icon theme (the file dialogs' icons), zlib (the workbook's
# compression), rsvg-convert (the program icon, drawn from its SVG at build
# time).
run_packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev wx3.2-i18n zlib1g-dev
  librsvg2-common adwaita-icon-theme librsvg2-bin
)
# Testing: GoogleTest, a virtual X display with a font, xdotool and xwininfo
# to drive the real program, a session bus with the accessibility bus (as on
# a GNOME desktop), the Italian locale, and the validators and tools of the
# packaging tests, and the readers that check the PDF and the Excel workbook
# (qpdf, pdftotext, openpyxl), ImageMagick for screenshots. acl and attr set
# the ACLs and extended attributes a replaced report must keep; strace sends
# the converter a signal at a chosen system call.
test_packages=(
  libgtest-dev googletest libgmock-dev
  xvfb xauth fonts-dejavu-core xdotool x11-utils
  dbus-daemon at-spi2-core
  locales
  desktop-file-utils appstream shared-mime-info file groff-base
  imagemagick
  qpdf poppler-utils python3-openpyxl
  acl attr strace
)
# CI stages: clang with libFuzzer and the sanitizers, the static checkers,
# Google Benchmark, /usr/bin/time, the package tools (dpkg-shlibdeps,
# lintian), and LibreOffice's spreadsheet without its GUI, the strict reader
# of the Excel workbook (scripts/ci-55-export.sh).
ci_packages=(
  clang libclang-rt-14-dev clang-tidy clang-format cppcheck
  libbenchmark-dev time xxd
  dpkg-dev lintian
  libreoffice-calc-nogui
)
# The Windows build: mingw-w64's compilers with posix threads (64-bit and
# 32-bit) and its zlib (linked statically), GoogleTest's sources to build it with those
# compilers, rsvg-convert and icotool for the program icon, NSIS for the
# installer and osslsigncode to sign them when a certificate is given. To run
# the tests: Wine, 64-bit and, where the mirror serves the i386 architecture's
# index, 32-bit (wine32:i386, below), and its fonts,
# a virtual X display for those that make windows, and for the end-to-end
# tests xdotool, the Italian locale, wrestool to read the executables'
# resources, and openssl for the throwaway signing certificate.
windows_packages=(
  cmake make g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev
  googletest librsvg2-bin icoutils nsis osslsigncode
)
windows_test_packages=(
  wine wine64 fonts-wine
  xvfb xauth xdotool locales openssl
)

set_name=${1:-ci}
case $set_name in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  ci) packages=("${run_packages[@]}" "${test_packages[@]}" "${ci_packages[@]}") ;;
  windows) packages=("${windows_packages[@]}") ;;
  windows-test | windows-ci) packages=("${windows_packages[@]}" "${windows_test_packages[@]}") ;;
  *)
    echo "usage: $0 [run|test|ci|windows|windows-test|windows-ci]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  # An index that fails (see wine32 below) leaves the others usable.
  $sudo apt-get update || echo "warning: apt-get update reported errors" >&2
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# 32-bit Wine, for the 32-bit programs and the installer, comes from the i386
# architecture. A mirror in the middle of a sync serves an i386 index that
# fails its check (apt-get update then fails): a second try may get the
# finished one. Without it the Windows stage says what it cannot run, and the
# architecture goes again when nothing of it is installed, so that the next
# apt-get update does not fail on its index.
if [ "$set_name" = windows-ci ] &&
   ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  for try in 1 2; do
    if $sudo apt-get update &&
       DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends wine32:i386; then
      break
    fi
    if [ "$try" = 2 ]; then
      echo "warning: could not install wine32:i386 (32-bit Wine)" >&2
      if ! dpkg -l '*:i386' 2>/dev/null | grep -q '^ii' &&
         $sudo dpkg --remove-architecture i386; then
        $sudo apt-get update >/dev/null 2>&1 || true
      fi
      break
    fi
    sleep 10
  done
fi

# The tests check that numbers keep their decimal point under an Italian
# locale, which needs that locale to exist.
if { [ "$set_name" = test ] || [ "$set_name" = ci ] || [ "${set_name#windows-}" != "$set_name" ]; } &&
   ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  $sudo localedef -i it_IT -f UTF-8 it_IT.UTF-8 || echo "warning: could not generate it_IT.UTF-8" >&2
fi
