# What the two mingw-w64 toolchain files share. The including file sets MINGW_TRIPLE (the
# compilers' prefix), CMAKE_SYSTEM_PROCESSOR and WINE_LOADER_NAME (the Wine loader of its
# architecture) first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Its programs run under Wine: the loader of the build's architecture is the emulator through
# which CTest runs them. Debian keeps both loaders in /usr/lib/wine; /usr/bin/wine is a wrapper
# that picks one by itself.
find_program(WINE_LOADER NAMES ${WINE_LOADER_NAME} HINTS /usr/lib/wine
             DOC "The Wine loader that runs this build's programs")
if(WINE_LOADER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_LOADER})
endif()
