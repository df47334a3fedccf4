# Tests on the real Windows API, run by CTest through Wine: the toolchain's emulator is the Wine
# loader of this build's architecture. They run in the machine's Wine prefix, which the
# wine_prefix test makes on first use (a fixture every Wine test requires), with the settings of
# scripts/wine-env.sh, the one place that says how Wine runs here.
execute_process(
  COMMAND bash -c "source scripts/wine-env.sh && echo \"$(wine_prefix_path)|$WINEDEBUG|$WINEDLLOVERRIDES|$WINE_PREFIX_ROOT\""
  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} OUTPUT_VARIABLE wine_settings OUTPUT_STRIP_TRAILING_WHITESPACE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_CURRENT_SOURCE_DIR}/scripts/wine-env.sh ${CMAKE_CURRENT_SOURCE_DIR}/scripts/wine-prefix.sh)
string(REPLACE "|" ";" wine_settings "${wine_settings}")
list(GET wine_settings 0 WINE_PREFIX)
list(GET wine_settings 1 wine_debug)
list(GET wine_settings 2 wine_overrides)
list(GET wine_settings 3 wine_prefix_root)
# The prefix root too: a test that needs a prefix for another resolution makes it beside this one.
set(WINE_TEST_ENVIRONMENT WINEPREFIX=${WINE_PREFIX} WINEDEBUG=${wine_debug} WINEDLLOVERRIDES=${wine_overrides}
                          WINE_PREFIX_ROOT=${wine_prefix_root})
# The fixture also keeps the prefix's Wine server running while the tests run, and ends it after.
add_test(NAME wine_prefix COMMAND bash -c "source scripts/wine-env.sh && prefix=$(wine_prefix_ready) && wine_server_keep \"$prefix\""
         WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
# Both run with the settings the tests run with, so that they make and end the prefix the tests use
# even when CTest runs in a shell without them.
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 1200 ENVIRONMENT "${WINE_TEST_ENVIRONMENT}")
add_test(NAME wine_server_end COMMAND bash -c "source scripts/wine-env.sh && wine_server_end \"$(wine_prefix_path)\""
         WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
set_tests_properties(wine_server_end PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${WINE_TEST_ENVIRONMENT}")
# The Wine loader runs with those settings also when CTest asks a test program for its cases.
set(CMAKE_CROSSCOMPILING_EMULATOR env ${WINE_TEST_ENVIRONMENT} ${CMAKE_CROSSCOMPILING_EMULATOR})
include(GoogleTest)
# Asking a program for its cases starts it once more under Wine: where that costs much, the
# suites can be registered one test per program only.
option(WINE_TEST_CASES "Each GoogleTest case of the Wine suites a test of its own" ON)
# How long one whole test program may take: a program that starts others (the start-up test
# starts six) needs many minutes under an emulated 32-bit Wine.
set(WINE_PROGRAM_TIMEOUT 300 CACHE STRING "Time limit in seconds of one whole Wine test program")
# The properties of every test that runs under Wine.
function(wine_test name timeout)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${WINE_TEST_ENVIRONMENT}"
                                          TIMEOUT ${timeout})
endfunction()

# GoogleTest from the sources Debian installs, built for this target and linked statically.
set(GTEST_SRC /usr/src/googletest/googletest)
add_library(gtest_win STATIC ${GTEST_SRC}/src/gtest-all.cc)
target_include_directories(gtest_win SYSTEM PUBLIC ${GTEST_SRC}/include PRIVATE ${GTEST_SRC})
target_compile_definitions(gtest_win PUBLIC GTEST_HAS_EXCEPTIONS=0 GTEST_HAS_RTTI=0)
target_compile_options(gtest_win PRIVATE -w ${DIALOGKIT_CODE_FLAGS})

# Test resources: a small bitmap and a small icon for the image kinds.
file(GLOB WIN_TEST_RESOURCES CONFIGURE_DEPENDS tests/win32/resources/*.rc)
file(GLOB WIN_TEST_SUPPORT CONFIGURE_DEPENDS tests/win32/support/*.cpp)
# The default data image and main procedure go into each program that has none of its own.
set(WIN_TEST_DATA ${CMAKE_CURRENT_SOURCE_DIR}/tests/win32/support/test_data.cpp)
list(REMOVE_ITEM WIN_TEST_SUPPORT ${WIN_TEST_DATA})
add_library(win_test_support STATIC ${WIN_TEST_SUPPORT})
# The tests include the libraries' headers from the source tree, internal ones as well.
target_include_directories(win_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_options(win_test_support PUBLIC ${TEST_FLAGS})
target_link_libraries(win_test_support PUBLIC gtest_win DialogKit::toolkit DialogKit::runtime ${WINDOWS_LIBS})
# Test programs carry their C++ runtime inside: no DLLs beside them.
target_link_options(win_test_support INTERFACE -static)

# One test program per unit; the application's test runs its own code in process, with its data
# image, the others have the default data image and main procedure of the test support. Each has
# the manifest add_dialog_program gives a program by default (version 6 controls, UTF-8 as the
# code page, the supported versions, DPI awareness), so the toolkit is tested as programs ship.
# The programs of WIN_TESTS_CLASSIC run again as NAME_classic, built without a manifest: the
# system's own controls and the ANSI code page, which a program still gets with the options off.
set(WIN_TESTS control_ops_test controls_test dialog_modal_test dialog_test fault_injection_test geometry_test
              layout_test menus_test startup_test text_test)
set(WIN_TESTS_CLASSIC control_ops_test controls_test dialog_modal_test dialog_test layout_test text_test)
set(WIN_TEST_MANIFEST VISUAL_STYLES UTF8 SUPPORTED_OS DPI_AWARE)
set(WIN_TEST_PROGRAMS ${WIN_TESTS} app_resizing_test)
foreach(name ${WIN_TESTS_CLASSIC})
  list(APPEND WIN_TEST_PROGRAMS ${name}_classic)
endforeach()
foreach(name ${WIN_TEST_PROGRAMS})
  string(REGEX REPLACE "_classic$" "" source ${name})
  if(name STREQUAL source)
    dialogkit_manifest_resource(${name} manifest_rc ${WIN_TEST_MANIFEST})
  else()
    set(manifest_rc)
  endif()
  add_executable(${name} tests/win32/${source}.cpp ${WIN_TEST_RESOURCES} ${manifest_rc})
  target_link_libraries(${name} PRIVATE win_test_support)
  if(NOT manifest_rc)
    target_compile_definitions(${name} PRIVATE TEST_WITHOUT_MANIFEST)
  endif()
  # Each case is a test of its own (label "case"): `ctest -R` picks one and a failure names it.
  # The whole program is one test as well (label "whole"), for an emulated 32-bit Wine, where
  # each start of a program takes most of a minute. The test presets choose one of the two.
  # The fault-injection test starts its program once for every call refused (a sample of them
  # where a process is slow to start): up to a few minutes, twenty under an emulated 32-bit Wine.
  set(case_timeout 120)
  set(program_timeout ${WINE_PROGRAM_TIMEOUT})
  if(name STREQUAL fault_injection_test)
    set(case_timeout 1200)
    set(program_timeout 1200)
  endif()
  if(WINE_TEST_CASES)
    gtest_discover_tests(${name} TEST_PREFIX ${name}. DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 300
                         PROPERTIES LABELS case FIXTURES_REQUIRED wine TIMEOUT ${case_timeout})
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  wine_test(${name} ${program_timeout})
  set_tests_properties(${name} PROPERTIES LABELS whole)
endforeach()
target_sources(app_resizing_test PRIVATE ${APP_SOURCES})
foreach(name ${WIN_TEST_PROGRAMS})
  if(NOT name STREQUAL app_resizing_test)
    target_sources(${name} PRIVATE ${WIN_TEST_DATA})
  endif()
endforeach()

# The layout limits and menu_attach_keep_size with menu bars of one and two lines, again at 120
# and 144 dpi (125 % and 150 % on Windows), in the prefixes of those resolutions; in the 32-bit
# build, the product's.
set(menu_line_dpis)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(menu_line_dpis 120 144)
endif()
foreach(dpi ${menu_line_dpis})
  add_test(NAME menu_lines_dpi${dpi}
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/win32/at_dpi.sh ${dpi}
                   $<TARGET_FILE:layout_test> "LayoutTest.LimitsHoldWithAMenuBarOfTwoLines:LayoutTest.LeastSizeAppliedAtAttach"
                   $<TARGET_FILE:menus_test> "MenuKeepSize.*")
  wine_test(menu_lines_dpi${dpi} 600)
  set_tests_properties(menu_lines_dpi${dpi} PROPERTIES RESOURCE_LOCK resizing_dialog)
endforeach()

# Small programs built on program_entry (no C runtime), launched by the start-up tests. A
# program's resources, if it has any, are in the .rc file of the same name beside it.
file(GLOB WIN_PROGRAMS CONFIGURE_DEPENDS tests/win32/programs/*.cpp)
foreach(src ${WIN_PROGRAMS})
  get_filename_component(name ${src} NAME_WE)
  set(program_rc)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/win32/programs/${name}.rc)
    set(program_rc ${CMAKE_CURRENT_SOURCE_DIR}/tests/win32/programs/${name}.rc)
  endif()
  set(options)
  if(name STREQUAL dpi_report)
    set(options NO_DPI_AWARE)
  endif()
  add_dialog_program(${name} ${options} ${src} ${program_rc})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endforeach()
# Programs built again with other manifest options; the start-up test runs them and compares how
# the system sees each. dpi_report (above) declares no DPI awareness, dpi_report_aware the
# default; manifest_report (above) has the default manifest, the others each lack a part, or all.
foreach(variant "dpi_report_aware;dpi_report;DPI_AWARE" "manifest_report_ansi;manifest_report;NO_UTF8"
                "manifest_report_classic;manifest_report;NO_VISUAL_STYLES"
                "manifest_report_no_os;manifest_report;NO_SUPPORTED_OS"
                "manifest_report_none;manifest_report;NO_MANIFEST")
  list(GET variant 0 name)
  list(GET variant 1 source)
  list(GET variant 2 option)
  add_dialog_program(${name} ${option} ${CMAKE_CURRENT_SOURCE_DIR}/tests/win32/programs/${source}.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endforeach()
# The start-up failure programs use up a resource before their entry point runs, and the
# fault-injection session puts its stand-ins in place, from a TLS callback (before_entry.hpp):
# their links keep the TLS directory, which nothing references.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TLS_DIRECTORY_SYMBOL __tls_used)
else()
  set(TLS_DIRECTORY_SYMBOL _tls_used)
endif()
foreach(name startup_tls_fails startup_record_fails fault_session)
  target_link_options(${name} PRIVATE -Wl,-u,${TLS_DIRECTORY_SYMBOL})
endforeach()
# The loops of compiler_routines become calls of the routines the runtime provides (copies and
# fills too, which code built for size otherwise does in place), and each is really called; the
# start-up test runs the program and checks the results.
target_compile_options(compiler_routines PRIVATE -mstringop-strategy=libcall)
target_link_options(compiler_routines PRIVATE -mstringop-strategy=libcall)
add_test(NAME compiler_routine_calls COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/check-calls.sh
                                             $<TARGET_FILE:compiler_routines> strlen memcpy memmove memset memcmp)

# End to end: the scripts that drive resizing.exe and the examples with the probe (built with the
# product). They share the X display and look for the one dialog they drive: one at a time. The
# Resizing test and the layout example's run at 96 dpi and again at 120 and 144 (125 % and 150 %
# on Windows).
file(GLOB E2E_SCRIPTS CONFIGURE_DEPENDS tests/e2e/*_test.sh)
foreach(script ${E2E_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME ${name} COMMAND bash ${script} ${CMAKE_CURRENT_BINARY_DIR})
  wine_test(${name} 900)
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK resizing_dialog)
endforeach()
foreach(dpi 120 144)
  foreach(name resizing_test layout_example_test)
    add_test(NAME ${name}_dpi${dpi} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/e2e/${name}.sh
                                            ${CMAKE_CURRENT_BINARY_DIR} ${dpi})
    wine_test(${name}_dpi${dpi} 900)
    set_tests_properties(${name}_dpi${dpi} PROPERTIES RESOURCE_LOCK resizing_dialog)
  endforeach()
endforeach()

# Another project's program on this build's libraries (tests/consumer/): built against an install
# of this build with the source tree out of reach, and with the source tree added to it
# (add_subdirectory, FetchContent); each one runs, greets and ends with 0. It installs this
# build, so it needs the install rules.
if(DIALOGKIT_INSTALL)
  get_filename_component(toolchain_name ${CMAKE_TOOLCHAIN_FILE} NAME)
  add_test(NAME consumer_test COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/consumer/consumer_test.sh
                                      ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR} ${toolchain_name}
                                      ${CMAKE_BUILD_TYPE} ${DIALOGKIT_LTO_BUILT} ${PROJECT_VERSION})
  wine_test(consumer_test 1800)
  set_tests_properties(consumer_test PROPERTIES RESOURCE_LOCK resizing_dialog)
  # The starter project copied out of the tree, built against the package and by FetchContent,
  # its tests run through the installed test kit.
  add_test(NAME starter_test COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/tests/consumer/starter_test.sh
                                     ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR} ${toolchain_name})
  wine_test(starter_test 1800)
  set_tests_properties(starter_test PROPERTIES RESOURCE_LOCK resizing_dialog)
endif()
