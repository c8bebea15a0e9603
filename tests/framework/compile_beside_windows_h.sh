#!/usr/bin/env bash
# Compiles the sources that both back ends share (shell/, resources/ and the
# framework's shared code) beside <windows.h>, the way a Win32 build includes
# them (for Windows 7, as the Windows build targets): a header of theirs that
# defined its own IDOK, WS_*, MB_* and the like would clash with Windows'
# macros here. Syntax only; nothing is linked.
#   compile_beside_windows_h.sh MINGW_CXX SOURCE_DIR
set -euo pipefail
cxx=$1
root=$2
export cxx root
check() {
  if ! "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -Werror -DTRESK_FRAMEWORK_WIN32 -DTRESK_VERSION="\"0\"" \
      -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -I"$root" "$1"; then
    echo "does not compile beside <windows.h>: ${1#"$root"/}"
    return 1
  fi
}
export -f check
printf '%s\0' "$root"/shell/*.cpp "$root"/resources/*.cpp "$root"/framework/*.cpp |
  xargs -0 -n 1 -P "$(nproc)" bash -c 'check "$0"'
