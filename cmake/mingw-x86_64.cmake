# Cross toolchain for the 64-bit Windows build of the same sources. Used to run the Windows
# test suite on machines whose kernel cannot execute 32-bit programs (so no 32-bit Wine). Its
# programs run under 64-bit Wine.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(WINE_LOADER_NAME wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
