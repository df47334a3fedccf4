# Windows builds (mingw-w64): the DialogKit libraries, their public headers and their package;
# when this is the top-level project also the product resizing.exe, the examples, and the
# programs and tests that run on the Windows API under Wine.
# Link-time optimisation is on by default: through the package, add_subdirectory and FetchContent
# alike, the libraries and every program built on them with add_dialog_program get it in every
# build type but Debug, where the libraries hold plain object code. A program then carries only
# the code its calls reach. DIALOGKIT_LTO=OFF turns it off everywhere.
option(DIALOGKIT_LTO "Link-time optimisation of the libraries and of the programs built on them (not in Debug builds)" ON)
get_property(dialogkit_multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
if(DIALOGKIT_LTO AND (dialogkit_multi_config OR NOT CMAKE_BUILD_TYPE STREQUAL "Debug"))
  set(DIALOGKIT_LTO_BUILT ON)
else()
  set(DIALOGKIT_LTO_BUILT OFF)
endif()
option(DIALOGKIT_INSTALL "Install the libraries, their headers and their package configuration"
       ${PROJECT_IS_TOP_LEVEL})
include(${CMAKE_CURRENT_LIST_DIR}/DialogKitProgram.cmake)
include(GNUInstallDirs)

set(WINDOWS_LIBS user32 gdi32 ole32 oleaut32 advapi32 kernel32)
# Every target of this tree names the system libraries it links: the compiler's default list
# would put them on the link line a second time, with four more that nothing here uses.
set(CMAKE_CXX_STANDARD_LIBRARIES "")
set(CMAKE_C_STANDARD_LIBRARIES "")

# The public headers, copied at configure time (again whenever one changes) into one folder with
# the umbrella header and the version header. That folder is what every program sees, in the
# tree as after an install: the examples include <dialogkit.hpp> and nothing else.
set(DIALOGKIT_INCLUDE_DIR ${CMAKE_CURRENT_BINARY_DIR}/include/dialogkit)
foreach(header ${DIALOGKIT_PUBLIC_HEADERS})
  configure_file(${header} ${DIALOGKIT_INCLUDE_DIR}/${header} COPYONLY)
endforeach()
list(TRANSFORM DIALOGKIT_PUBLIC_HEADERS REPLACE "(.+)" "#include \"\\1\"" OUTPUT_VARIABLE umbrella_lines)
list(JOIN umbrella_lines "\n" DIALOGKIT_UMBRELLA_INCLUDES)
configure_file(${CMAKE_CURRENT_LIST_DIR}/dialogkit_version.hpp.in
               ${DIALOGKIT_INCLUDE_DIR}/dialogkit_version.hpp @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/dialogkit.hpp.in ${DIALOGKIT_INCLUDE_DIR}/dialogkit.hpp @ONLY)

# dialogkit_library(NAME EXPORT_NAME SOURCES...): one of the libraries, DialogKit::EXPORT_NAME in
# the tree (an alias) and in the package. Its sources include the headers of the source tree;
# what links it sees the public folder. Built with the programs' options, and with link-time
# optimisation exactly when DIALOGKIT_LTO asks for it and the build is not a Debug build (whatever
# a parent project's CMAKE_INTERPROCEDURAL_OPTIMIZATION says), since every program must then use
# it too.
dialogkit_program_flags(DIALOGKIT_CODE_FLAGS DIALOGKIT_SIZE_FLAGS)
function(dialogkit_library name export_name)
  add_library(${name} STATIC ${ARGN})
  add_library(DialogKit::${export_name} ALIAS ${name})
  set_target_properties(${name} PROPERTIES EXPORT_NAME ${export_name} CXX_EXTENSIONS ON)
  target_compile_features(${name} PUBLIC cxx_std_17)
  target_compile_options(${name} PRIVATE -Wall -Wextra ${DIALOGKIT_CODE_FLAGS} ${DIALOGKIT_SIZE_FLAGS})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                             INTERFACE $<BUILD_INTERFACE:${DIALOGKIT_INCLUDE_DIR}>
                                       $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/dialogkit>)
  set_target_properties(${name} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ${DIALOGKIT_LTO_BUILT}
                                           INTERPROCEDURAL_OPTIMIZATION_DEBUG OFF)
endfunction()

dialogkit_library(dialogkit_runtime runtime ${RUNTIME_SOURCES})
target_link_libraries(dialogkit_runtime INTERFACE kernel32 ole32 oleaut32 advapi32)
# Whether the libraries hold intermediate code for link-time optimisation, which every program
# linking them must then use as well: add_dialog_program reads it, also from the package.
set_target_properties(dialogkit_runtime PROPERTIES DIALOGKIT_LTO ${DIALOGKIT_LTO_BUILT}
                                                   EXPORT_PROPERTIES DIALOGKIT_LTO)
# The data image stores 32-bit addresses: a 64-bit program keeps its image below 4 GiB.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  target_link_options(dialogkit_runtime INTERFACE -Wl,--image-base,0x10000000 -Wl,--disable-dynamicbase
                      -Wl,--disable-high-entropy-va)
endif()
dialogkit_library(dialogkit_toolkit toolkit ${TOOLKIT_SOURCES})
target_link_libraries(dialogkit_toolkit PUBLIC dialogkit_runtime INTERFACE user32)
# A program with no C runtime: entered at program_entry, which calls start-up in the runtime;
# the routines the compiler may call (memcpy and the like) are a library of their own, linked
# last. add_dialog_program links both. The routines are plain code, never intermediate code for
# link-time optimisation: calls to them appear only when the program's code is generated, after
# the linker has handed the optimiser the archive members it chose, and only object code can
# still be linked in then.
dialogkit_library(dialogkit_entry entry ${RUNTIME_ENTRY_SOURCES})
target_link_libraries(dialogkit_entry INTERFACE dialogkit_runtime)
dialogkit_library(dialogkit_nocrt nocrt ${RUNTIME_NOCRT_SOURCES})
set_target_properties(dialogkit_nocrt PROPERTIES INTERPROCEDURAL_OPTIMIZATION OFF)

# dialogkit-driver.exe (tools/driver/): drives a running program's dialog from outside, by its
# caption, for tests of one's own program; the run command and the end-to-end tests use it too. A
# 64-bit program in every build, as the probe below is, so that under an emulated 32-bit Wine only
# the programs under test pay for the emulator. DIALOGKIT_DRIVER names it (also for a project that
# adds this tree); the package installs it into bin/.
option(DIALOGKIT_BUILD_DRIVER "Build dialogkit-driver.exe, which drives a program's dialog from outside"
       ${PROJECT_IS_TOP_LEVEL})
# The driver and the probe below share tools/remote/ (another program's dialog seen from outside).
set(REMOTE_DIALOG_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tools/remote/remote_dialog.cpp)
set(REMOTE_DIALOG_HEADERS ${CMAKE_CURRENT_SOURCE_DIR}/tools/remote/remote_dialog.hpp
                          ${CMAKE_CURRENT_SOURCE_DIR}/tools/remote/dialog_units.hpp)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_library(dialogkit_remote_dialog STATIC EXCLUDE_FROM_ALL ${REMOTE_DIALOG_SOURCES})
  target_include_directories(dialogkit_remote_dialog PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(dialogkit_remote_dialog PRIVATE -Wall -Wextra)
  target_link_libraries(dialogkit_remote_dialog PUBLIC user32 kernel32)
endif()
if(DIALOGKIT_BUILD_DRIVER)
  set(DIALOGKIT_DRIVER ${PROJECT_BINARY_DIR}/dialogkit-driver.exe CACHE INTERNAL "dialogkit-driver.exe of this build")
  set(driver_sources)
  foreach(part main actions keyboard screenshot)
    list(APPEND driver_sources ${CMAKE_CURRENT_SOURCE_DIR}/tools/driver/${part}.cpp)
  endforeach()
  set(driver_headers ${CMAKE_CURRENT_SOURCE_DIR}/tools/driver/driver.hpp ${REMOTE_DIALOG_HEADERS})
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_executable(dialogkit_driver ${driver_sources})
    set_target_properties(dialogkit_driver PROPERTIES OUTPUT_NAME dialogkit-driver
                                                      RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
    target_compile_options(dialogkit_driver PRIVATE -Wall -Wextra)
    target_link_libraries(dialogkit_driver PRIVATE dialogkit_remote_dialog user32 gdi32 kernel32)
    # Entered at wmain: its arguments in UTF-16.
    target_link_options(dialogkit_driver PRIVATE -static -municode)
  else()
    find_program(DIALOGKIT_DRIVER_CXX x86_64-w64-mingw32-g++ REQUIRED)
    add_custom_command(OUTPUT ${DIALOGKIT_DRIVER}
                       COMMAND ${DIALOGKIT_DRIVER_CXX} -std=gnu++17 -O2 -Wall -Wextra -static
                               -municode -I${CMAKE_CURRENT_SOURCE_DIR} -o ${DIALOGKIT_DRIVER}
                               ${driver_sources} ${REMOTE_DIALOG_SOURCES} -luser32 -lgdi32 -lkernel32
                       DEPENDS ${driver_sources} ${driver_headers} ${REMOTE_DIALOG_SOURCES} VERBATIM)
    add_custom_target(dialogkit_driver ALL DEPENDS ${DIALOGKIT_DRIVER})
  endif()
else()
  unset(DIALOGKIT_DRIVER CACHE)
endif()
# The test kit: dialogkit_add_test and the command it runs (tools/kit/), installed with the package.
set(DIALOGKIT_TEST_COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tools/kit/dialogkit-test CACHE INTERNAL "dialogkit-test of this tree")
include(${CMAKE_CURRENT_LIST_DIR}/DialogKitTest.cmake)

if(DIALOGKIT_INSTALL)
  include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)
endif()

if(DIALOGKIT_BUILD_APP)
  add_dialog_program(resizing ${APP_SOURCES})
  target_include_directories(resizing PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endif()
if(DIALOGKIT_BUILD_EXAMPLES)
  # Example programs for people who write their own with the toolkit.
  add_subdirectory(examples)
endif()
if(NOT DIALOGKIT_BUILD_TESTS)
  return()
endif()
if(NOT DIALOGKIT_BUILD_APP OR NOT DIALOGKIT_BUILD_EXAMPLES)
  message(FATAL_ERROR "DIALOGKIT_BUILD_TESTS needs DIALOGKIT_BUILD_APP and DIALOGKIT_BUILD_EXAMPLES: "
                      "the end-to-end tests drive resizing.exe and the examples")
endif()
# The tests of this tree's own code compile with its warnings and its code options.
set(TEST_FLAGS -Wall -Wextra ${DIALOGKIT_CODE_FLAGS})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(ENTRY_SYMBOL _program_entry)
else()
  set(ENTRY_SYMBOL program_entry)
endif()
add_test(NAME product_imports COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check-imports.sh
                                      $<TARGET_FILE:resizing> ${ENTRY_SYMBOL})

# The programs that stand for a user's program have byte budgets in the product's build, the
# 32-bit one (tests/size_budgets.txt): the test fails when one is built larger. The size probes
# of bench/size_table.sh are built on demand (target size_probes), never by default.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME size_budgets COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check-sizes.sh
                                     ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/tests/size_budgets.txt)
endif()
add_subdirectory(bench/size_probes)

# The probe drives the programs from outside, as a user's system does (end-to-end tests, the run
# command, timing). It is a 64-bit program in every build: where the kernel cannot run 32-bit
# programs and each start of one under the emulator takes most of a minute, only the programs
# under test pay for it, not the dozens of probe runs that drive them. A 64-bit prefix runs both.
set(PROBE_SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/probe.cpp)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_executable(probe ${PROBE_SOURCE})
  target_compile_options(probe PRIVATE ${TEST_FLAGS})
  target_link_libraries(probe PRIVATE dialogkit_remote_dialog ${WINDOWS_LIBS})
  target_link_options(probe PRIVATE -static)
else()
  find_program(PROBE_CXX x86_64-w64-mingw32-g++ REQUIRED)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/probe.exe
                     COMMAND ${PROBE_CXX} -std=gnu++17 -O2 -Wall -Wextra -static -I${CMAKE_CURRENT_SOURCE_DIR}
                             -o ${CMAKE_CURRENT_BINARY_DIR}/probe.exe ${PROBE_SOURCE} ${REMOTE_DIALOG_SOURCES}
                             -luser32 -lgdi32 -lkernel32
                     DEPENDS ${PROBE_SOURCE} ${REMOTE_DIALOG_SOURCES} ${REMOTE_DIALOG_HEADERS} VERBATIM)
  add_custom_target(probe ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/probe.exe)
endif()

option(WINE_TESTS "Build the tests that run under Wine" ON)
if(WINE_TESTS)
  include(${CMAKE_CURRENT_LIST_DIR}/wine-tests.cmake)
endif()
