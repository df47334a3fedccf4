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

# Every target of this tree names the system libraries it links: the compiler's default list
# would put them on the link line a second time, with four more that nothing here uses.
set(CMAKE_CXX_STANDARD_LIBRARIES "")
set(CMAKE_C_STANDARD_LIBRARIES "")

# The version header, generated into include/dialogkit/ of the build folder; the public headers
# are include/dialogkit/ of the source tree. A program sees both folders, and the folder of
# dialogkit.hpp too, in the tree as after an install: the examples include <dialogkit.hpp> and
# nothing else, and a program's "toolkit/controls.hpp" of the folder's own spelling still works.
set(DIALOGKIT_GENERATED_INCLUDE_DIR ${CMAKE_CURRENT_BINARY_DIR}/include)
configure_file(${CMAKE_CURRENT_LIST_DIR}/dialogkit_version.hpp.in
               ${DIALOGKIT_GENERATED_INCLUDE_DIR}/dialogkit/dialogkit_version.hpp @ONLY)

# dialogkit_library(NAME EXPORT_NAME SOURCES...): one of the libraries, DialogKit::EXPORT_NAME in
# the tree (an alias) and in the package. Its sources also see the libraries' own headers (from
# the top of the tree); what links it sees the public folders. Built with the programs' options, and with link-time
# optimisation exactly when DIALOGKIT_LTO asks for it and the build is not a Debug build (whatever
# a parent project's CMAKE_INTERPROCEDURAL_OPTIMIZATION says), since every program must then use
# it too.
dialogkit_program_flags(DIALOGKIT_CODE_FLAGS DIALOGKIT_SIZE_FLAGS)
function(dialogkit_library name export_name)
  add_library(${name} STATIC ${ARGN})
  add_library(DialogKit::${export_name} ALIAS ${name})
  set_target_properties(${name} PROPERTIES EXPORT_NAME ${export_name} CXX_EXTENSIONS ON)
  target_compile_features(${name} PUBLIC cxx_std_17)
  target_compile_options(${name} PRIVATE ${DIALOGKIT_CODE_FLAGS} ${DIALOGKIT_SIZE_FLAGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}
                             PUBLIC $<BUILD_INTERFACE:${DIALOGKIT_PUBLIC_INCLUDE_DIR}>
                                    $<BUILD_INTERFACE:${DIALOGKIT_PUBLIC_INCLUDE_DIR}/dialogkit>
                                    $<BUILD_INTERFACE:${DIALOGKIT_GENERATED_INCLUDE_DIR}>
                                    $<BUILD_INTERFACE:${DIALOGKIT_GENERATED_INCLUDE_DIR}/dialogkit>
                                    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
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
target_link_libraries(dialogkit_toolkit PUBLIC dialogkit_runtime INTERFACE user32 gdi32 kernel32)
# A program with no C runtime: entered at program_entry, which calls start-up in the runtime;
# the routines the compiler may call (memcpy and the like) are a library of their own, linked
# last. add_dialog_program links both. The routines are plain code, never intermediate code for
# link-time optimisation: calls to them appear only when the program's code is generated, after
# the linker has handed the optimiser the archive members it chose, and only object code can
# still be linked in then.
dialogkit_library(dialogkit_entry entry ${RUNTIME_ENTRY_SOURCES})
target_link_libraries(dialogkit_entry INTERFACE dialogkit_runtime kernel32)
dialogkit_library(dialogkit_nocrt nocrt ${RUNTIME_NOCRT_SOURCES})
set_target_properties(dialogkit_nocrt PROPERTIES INTERPROCEDURAL_OPTIMIZATION OFF)

# dialogkit-driver.exe (tools/driver/): drives a running program's dialog from outside, by its
# caption, for tests of one's own program; the run command and the end-to-end tests use it too. A
# 64-bit program in every build, as the probe below is, so that under an emulated 32-bit Wine only
# the programs under test pay for the emulator. DIALOGKIT_DRIVER names it (also for a project that
# adds this tree); the package installs it into bin/.
option(DIALOGKIT_BUILD_DRIVER "Build dialogkit-driver.exe, which drives a program's dialog from outside"
       ${PROJECT_IS_TOP_LEVEL})
if(DIALOGKIT_BUILD_DRIVER)
  set(DIALOGKIT_DRIVER ${PROJECT_BINARY_DIR}/dialogkit-driver.exe CACHE INTERNAL "dialogkit-driver.exe of this build")
else()
  unset(DIALOGKIT_DRIVER CACHE)
endif()
# It and the probe (with the tests).
include(${CMAKE_CURRENT_LIST_DIR}/tools.cmake)
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
# The programs that stand for a user's program have byte budgets in the product's build; the
# size probes of bench/size_table.sh are built on demand (target size_probes), never by default.
add_subdirectory(bench/size_probes)
add_subdirectory(tests)
