# The tree's programs that drive other programs from outside: dialogkit-driver.exe (tools/driver/),
# built when DIALOGKIT_BUILD_DRIVER is on, and the probe of the end-to-end tests
# (tests/e2e/probe.cpp), built with the tests. Both are 64-bit programs in every build, so that
# under an emulated 32-bit Wine only the programs under test pay for the emulator, and both land
# at the top of the build folder (DIALOGKIT_TOOLS_OUTPUT_DIR). The 64-bit build compiles them as
# it compiles everything else. The 32-bit build cannot (one build, one toolchain): it makes them
# in a build of this tree of their own (tools64/ in its build folder) configured with the 64-bit
# toolchain and DIALOGKIT_TOOLS_ONLY, which makes these two and nothing else.
if(NOT DIALOGKIT_TOOLS_OUTPUT_DIR)
  set(DIALOGKIT_TOOLS_OUTPUT_DIR ${PROJECT_BINARY_DIR})
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # dialogkit_tool(NAME OUTPUT_NAME SOURCES...): C++17 with GNU extensions, its C++ runtime inside
  # (no DLLs beside it).
  function(dialogkit_tool name output_name)
    add_executable(${name} ${ARGN})
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${output_name} CXX_EXTENSIONS ON
                                             RUNTIME_OUTPUT_DIRECTORY ${DIALOGKIT_TOOLS_OUTPUT_DIR})
    target_compile_features(${name} PRIVATE cxx_std_17)
    target_link_options(${name} PRIVATE -static)
  endfunction()
  # tools/remote/: another program's dialog seen from outside, which both tools read.
  add_library(dialogkit_remote_dialog STATIC EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/tools/remote/remote_dialog.cpp)
  set_target_properties(dialogkit_remote_dialog PROPERTIES CXX_EXTENSIONS ON)
  target_compile_features(dialogkit_remote_dialog PUBLIC cxx_std_17)
  target_include_directories(dialogkit_remote_dialog PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(dialogkit_remote_dialog PUBLIC user32 kernel32)
  if(DIALOGKIT_BUILD_DRIVER)
    set(driver_sources)
    foreach(part main actions keyboard screenshot)
      list(APPEND driver_sources ${PROJECT_SOURCE_DIR}/tools/driver/${part}.cpp)
    endforeach()
    dialogkit_tool(dialogkit_driver dialogkit-driver ${driver_sources})
    target_link_libraries(dialogkit_driver PRIVATE dialogkit_remote_dialog user32 gdi32 kernel32)
    # Entered at wmain: its arguments in UTF-16.
    target_link_options(dialogkit_driver PRIVATE -municode)
  endif()
  if(DIALOGKIT_BUILD_TESTS)
    dialogkit_tool(probe probe ${PROJECT_SOURCE_DIR}/tests/e2e/probe.cpp)
    target_link_libraries(probe PRIVATE dialogkit_remote_dialog user32 gdi32 kernel32)
  endif()
elseif(DIALOGKIT_BUILD_DRIVER OR DIALOGKIT_BUILD_TESTS)
  include(ExternalProject)
  set(tools)
  if(DIALOGKIT_BUILD_DRIVER)
    list(APPEND tools ${DIALOGKIT_TOOLS_OUTPUT_DIR}/dialogkit-driver.exe)
  endif()
  if(DIALOGKIT_BUILD_TESTS)
    list(APPEND tools ${DIALOGKIT_TOOLS_OUTPUT_DIR}/probe.exe)
  endif()
  # Built on every build of this one (the sources' changes are the inner build's to see).
  ExternalProject_Add(tools64 SOURCE_DIR ${PROJECT_SOURCE_DIR} BINARY_DIR ${PROJECT_BINARY_DIR}/tools64
                      PREFIX ${PROJECT_BINARY_DIR}/tools64-steps
                      CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-x86_64.cmake
                                 -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DDIALOGKIT_TOOLS_ONLY=ON
                                 -DDIALOGKIT_TOOLS_OUTPUT_DIR=${DIALOGKIT_TOOLS_OUTPUT_DIR}
                                 -DDIALOGKIT_BUILD_DRIVER=${DIALOGKIT_BUILD_DRIVER}
                                 -DDIALOGKIT_BUILD_TESTS=${DIALOGKIT_BUILD_TESTS}
                      BUILD_ALWAYS ON INSTALL_COMMAND "" BUILD_BYPRODUCTS ${tools})
  # The targets' names of the 64-bit build, for `cmake --build --target`.
  if(DIALOGKIT_BUILD_DRIVER)
    add_custom_target(dialogkit_driver ALL)
    add_dependencies(dialogkit_driver tools64)
  endif()
  if(DIALOGKIT_BUILD_TESTS)
    add_custom_target(probe ALL)
    add_dependencies(probe tools64)
  endif()
endif()
