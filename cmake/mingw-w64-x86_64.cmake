# Cross-builds the Windows programs on Debian with mingw-w64 (posix threads),
# 64-bit only, statically linked so the .exe needs no DLL beyond Windows' own:
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake
# Tests run under Wine (CMAKE_CROSSCOMPILING_EMULATOR), in the Wine prefix
# TRESK_WINEPREFIX; scripts/build-windows.sh prepares it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

if(NOT DEFINED TRESK_WINEPREFIX)
  if(DEFINED ENV{WINEPREFIX})
    set(TRESK_WINEPREFIX "$ENV{WINEPREFIX}")
  else()
    set(TRESK_WINEPREFIX "$ENV{HOME}/.wine-treskviewer")
  endif()
endif()
set(TRESK_WINEPREFIX "${TRESK_WINEPREFIX}" CACHE PATH "Wine prefix the Windows tests run in")
find_program(TRESK_WINE NAMES wine wine64 PATHS /usr/lib/wine)
if(TRESK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEPREFIX=${TRESK_WINEPREFIX} WINEDEBUG=-all
      ${TRESK_WINE})
endif()
