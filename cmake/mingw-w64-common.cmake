# What the mingw-w64 toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR
# and tresk_mingw_triple (x86_64-w64-mingw32, i686-w64-mingw32) first.
# Debian's compilers with posix threads; the programs are linked statically,
# so that the .exe needs no DLL beyond Windows' own. Libraries (zlib from
# libz-mingw-w64-dev) are found in the target's own tree, as static archives.
# Tests run under Wine (CMAKE_CROSSCOMPILING_EMULATOR), in the Wine prefix
# TRESK_WINEPREFIX; scripts/wine-prefix.sh prepares it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${tresk_mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tresk_mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${tresk_mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tresk_mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# libz.a rather than the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

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
