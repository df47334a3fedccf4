# Cross toolchain for the 32-bit Windows product build (mingw-w64, i686). Its programs run under
# 32-bit Wine (natively, or under qemu-i386 where the kernel cannot run 32-bit programs:
# scripts/wine32-mode.sh).
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(WINE_LOADER_NAME wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
