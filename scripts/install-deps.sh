#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the viewer and the tests need,
# skipping the update and the install when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev
  libgtest-dev googletest libgmock-dev libbenchmark-dev
  xvfb xauth fonts-dejavu-core librsvg2-common adwaita-icon-theme
  clang libclang-rt-14-dev clang-tidy clang-format cppcheck
  locales imagemagick xdotool
  time xxd
  desktop-file-utils appstream dpkg-dev file
  x11-utils groff-base
)

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
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The tests check that numbers keep their decimal point under an Italian
# locale, which needs that locale to exist.
if ! locale -a 2>/dev/null | grep -qi '^it_IT\.utf-\?8$'; then
  $sudo localedef -i it_IT -f UTF-8 it_IT.UTF-8 || echo "warning: could not generate it_IT.UTF-8" >&2
fi
