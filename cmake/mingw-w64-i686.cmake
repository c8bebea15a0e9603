# Cross-builds the 32-bit Windows programs (for 32-bit PCs) on Debian with
# mingw-w64; their tests need 32-bit Wine (wine32:i386):
#   cmake -S . -B build-windows/win32 --toolchain cmake/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(tresk_mingw_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
