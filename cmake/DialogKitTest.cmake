# dialogkit_add_test(NAME name PROGRAM target [ARGS arg...] [ACTIONS action...] [DPI n]
#                    [SCREENSHOT file] [TIMEOUT seconds]): a CTest test that runs the program
# built by `target` under Wine (in Xvfb when there is no display), acts on its dialog with
# dialogkit-driver's ACTIONS, photographs it into SCREENSHOT (a BMP, relative to the build folder)
# if asked, closes it unless the actions ended it, and passes when every action passed and the
# program ended with exit code 0. DPI is the resolution the program sees (96 unless given).
#
# The tests of one resolution share a session that a fixture makes before the first of them and
# ends after the last (dialogkit-test --begin / --end): the machine's Wine prefix, made on first
# use (Wine's Windows fonts, no crash dialog, windows neither managed nor decorated), copied for
# the resolution; its lock, so that a second run waits for the first; Xvfb when there is no
# display; one Wine server with its desktop kept from the first test to the last. The tests run
# one at a time (they share the display).
#
# The command is dialogkit-test: installed into the package's bin/ beside dialogkit-driver.exe,
# or tools/kit/ of the source tree when DialogKit is added to the project (DIALOGKIT_TEST_COMMAND
# names it). The driver is DIALOGKIT_DRIVER.
include_guard(GLOBAL)

if(NOT DIALOGKIT_TEST_COMMAND)
  get_filename_component(dialogkit_installed_command "${CMAKE_CURRENT_LIST_DIR}/../../../bin/dialogkit-test" ABSOLUTE)
  if(EXISTS "${dialogkit_installed_command}")
    set(DIALOGKIT_TEST_COMMAND "${dialogkit_installed_command}")
  endif()
endif()

function(dialogkit_add_test)
  cmake_parse_arguments(PARSE_ARGV 0 test "" "NAME;PROGRAM;DPI;SCREENSHOT;TIMEOUT" "ARGS;ACTIONS")
  if(NOT test_NAME OR NOT test_PROGRAM)
    message(FATAL_ERROR "dialogkit_add_test: NAME and PROGRAM are needed")
  endif()
  if(NOT DIALOGKIT_TEST_COMMAND OR NOT DIALOGKIT_DRIVER)
    message(FATAL_ERROR "dialogkit_add_test: the test kit needs dialogkit-test and dialogkit-driver.exe; "
                        "a DialogKit added to the project builds the driver with DIALOGKIT_BUILD_DRIVER ON")
  endif()
  if(NOT test_DPI)
    set(test_DPI 96)
  endif()
  if(NOT test_TIMEOUT)
    set(test_TIMEOUT 300)
  endif()
  set(state ${CMAKE_BINARY_DIR}/dialogkit-test-${test_DPI})
  set(fixture dialogkit_session_${test_DPI})
  # One session per resolution and build folder, made before its first test, ended after its last.
  if(NOT TEST dialogkit_session_begin_${test_DPI})
    add_test(NAME dialogkit_session_begin_${test_DPI}
             COMMAND bash ${DIALOGKIT_TEST_COMMAND} --begin --state ${state} --dpi ${test_DPI})
    set_tests_properties(dialogkit_session_begin_${test_DPI} PROPERTIES FIXTURES_SETUP ${fixture}
                         TIMEOUT 1800 RESOURCE_LOCK dialogkit_display)
    add_test(NAME dialogkit_session_end_${test_DPI} COMMAND bash ${DIALOGKIT_TEST_COMMAND} --end --state ${state})
    set_tests_properties(dialogkit_session_end_${test_DPI} PROPERTIES FIXTURES_CLEANUP ${fixture})
  endif()
  set(options --state ${state})
  if(test_SCREENSHOT)
    list(APPEND options --screenshot ${test_SCREENSHOT})
  endif()
  add_test(NAME ${test_NAME}
           COMMAND bash ${DIALOGKIT_TEST_COMMAND} ${options} $<TARGET_FILE:${test_PROGRAM}> ${test_ARGS}
                   -- ${test_ACTIONS}
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${test_NAME} PROPERTIES FIXTURES_REQUIRED ${fixture} RESOURCE_LOCK dialogkit_display
                       TIMEOUT ${test_TIMEOUT} ENVIRONMENT "DIALOGKIT_DRIVER=${DIALOGKIT_DRIVER}")
endfunction()
