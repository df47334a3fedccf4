# Host build: the runtime core and the toolkit's pure logic, their tests, benchmarks; with FUZZ,
# built by clang, their libFuzzer targets instead. Nothing here is installed: the host build
# exists to test the code that does not need Windows.
option(SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)
set(FUZZ_SECONDS 20 CACHE STRING "How long each fuzz target runs as a test")

# The options of every host target: the tree's warnings and the code options of the Windows
# build; no position independence, as the data image stores 32-bit addresses and static data
# must stay below 4 GiB; the sanitizers where asked for.
include(${CMAKE_CURRENT_LIST_DIR}/DialogKitProgram.cmake)
dialogkit_program_flags(DIALOGKIT_CODE_FLAGS DIALOGKIT_SIZE_FLAGS)
set(HOST_COMPILE_FLAGS -Wall -Wextra ${DIALOGKIT_CODE_FLAGS})
set(HOST_LINK_FLAGS -no-pie)
if(SANITIZE)
  list(APPEND HOST_COMPILE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  list(APPEND HOST_LINK_FLAGS -fsanitize=address,undefined)
endif()
if(FUZZ)
  list(APPEND HOST_COMPILE_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  list(APPEND HOST_LINK_FLAGS -fsanitize=address,undefined)
endif()
list(APPEND HOST_COMPILE_FLAGS -fno-pie)
# host_target(NAME): those options, C++17 with GNU extensions, and the source tree with the host's
# stand-in for <windows.h> (runtime/host/system/) on the include path.
function(host_target name)
  target_compile_options(${name} PRIVATE ${HOST_COMPILE_FLAGS})
  target_link_options(${name} PRIVATE ${HOST_LINK_FLAGS})
  target_compile_features(${name} PUBLIC cxx_std_17)
  set_target_properties(${name} PROPERTIES CXX_EXTENSIONS ON)
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}
                                            ${CMAKE_CURRENT_SOURCE_DIR}/runtime/host/system)
endfunction()

add_library(dialogkit_runtime STATIC ${RUNTIME_SOURCES} ${RUNTIME_HOST_SOURCES})
host_target(dialogkit_runtime)
add_library(dialogkit_toolkit_logic STATIC ${TOOLKIT_LOGIC_SOURCES})
host_target(dialogkit_toolkit_logic)
target_link_libraries(dialogkit_toolkit_logic PUBLIC dialogkit_runtime)

if(NOT DIALOGKIT_BUILD_TESTS)
  return()
endif()

# Test support shared by the host tests and the fuzz targets (tests/support/): exact decimal
# arithmetic on GMP integers, the grammar of number to text's texts, the shifts' reference model,
# scoped host switches. It calls nothing of the runtime: each program links the runtime it tests.
find_path(GMP_INCLUDE_DIR gmp.h REQUIRED)
find_library(GMP_LIBRARY gmp REQUIRED)
add_library(test_support STATIC tests/support/exact_decimal.cpp tests/support/number_text_grammar.cpp
                                tests/support/shift_model.cpp)
host_target(test_support)
target_include_directories(test_support SYSTEM PRIVATE ${GMP_INCLUDE_DIR})
target_link_libraries(test_support PRIVATE ${GMP_LIBRARY})

# Each fuzz target runs for a bounded time on its corpus (fuzz/corpus/<target>/, kept in the
# repository); what it finds new goes to the build folder.
if(FUZZ)
  file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS fuzz/*_fuzz.cpp)
  foreach(src ${FUZZ_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    host_target(${name})
    target_link_libraries(${name} PRIVATE dialogkit_toolkit_logic dialogkit_runtime test_support)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/found/${name})
    add_test(NAME ${name}
             COMMAND ${name} -max_total_time=${FUZZ_SECONDS} -print_final_stats=0
                     ${CMAKE_CURRENT_BINARY_DIR}/found/${name} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
file(GLOB HOST_TEST_SOURCES CONFIGURE_DEPENDS tests/host/*.cpp)
add_executable(host_tests ${HOST_TEST_SOURCES})
host_target(host_tests)
target_link_libraries(host_tests PRIVATE dialogkit_toolkit_logic dialogkit_runtime test_support GTest::gtest)
include(GoogleTest)
gtest_discover_tests(host_tests)

# Number to text's digit code for 32-bit words, and text to number's and the display formats'
# code without 128-bit integers and with the x87 unit's way for doubles: what the 32-bit product
# runs, against the same tests (the host build otherwise takes the 64-bit code).
add_library(runtime_narrow_digits STATIC ${RUNTIME_SOURCES} ${RUNTIME_HOST_SOURCES})
host_target(runtime_narrow_digits)
target_compile_definitions(runtime_narrow_digits PRIVATE NUMTEXT_WIDE_WORDS=0 NUMREAD_NARROW=1)
add_executable(numtext_narrow_tests tests/host/numtext_test.cpp tests/host/numread_test.cpp
                                    tests/host/numshow_test.cpp tests/host/main.cpp)
host_target(numtext_narrow_tests)
target_link_libraries(numtext_narrow_tests PRIVATE runtime_narrow_digits test_support GTest::gtest)
gtest_discover_tests(numtext_narrow_tests TEST_PREFIX narrow_digits.)

# Text to number against the C library's readers: the oracle program reads texts of every kind
# (see fuzz/number_read_oracle.cpp); the test runs a bounded share of them, a few seconds' worth.
add_executable(number_read_oracle fuzz/number_read_oracle.cpp)
host_target(number_read_oracle)
target_include_directories(number_read_oracle SYSTEM PRIVATE ${GMP_INCLUDE_DIR})
target_link_libraries(number_read_oracle PRIVATE dialogkit_runtime ${GMP_LIBRARY})
# The oracle again on the 32-bit product's code (runtime_narrow_digits, above).
add_executable(number_read_oracle_narrow fuzz/number_read_oracle.cpp)
host_target(number_read_oracle_narrow)
target_include_directories(number_read_oracle_narrow SYSTEM PRIVATE ${GMP_INCLUDE_DIR})
target_link_libraries(number_read_oracle_narrow PRIVATE runtime_narrow_digits ${GMP_LIBRARY})
if(SANITIZE)
  add_test(NAME number_read_oracle COMMAND number_read_oracle 20000)
  add_test(NAME number_read_oracle_narrow COMMAND number_read_oracle_narrow 10000)
else()
  add_test(NAME number_read_oracle COMMAND number_read_oracle 100000)
  add_test(NAME number_read_oracle_narrow COMMAND number_read_oracle_narrow 50000)
endif()

# The runtime's units include one another without a loop.
add_test(NAME runtime_include_graph COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/runtime-includes.sh)

if(NOT SANITIZE)
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*_bench.cpp)
    foreach(src ${BENCH_SOURCES})
      get_filename_component(name ${src} NAME_WE)
      add_executable(${name} ${src})
      host_target(${name})
      target_link_libraries(${name} PRIVATE dialogkit_toolkit_logic dialogkit_runtime benchmark::benchmark)
    endforeach()
  endif()
endif()

# Every C++ snippet of the toolkit guide is taken from an example that the Windows build compiles.
add_test(NAME guide_snippets COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/guide-snippets.sh
         ${CMAKE_CURRENT_SOURCE_DIR}/docs/toolkit.md ${CMAKE_CURRENT_SOURCE_DIR}/examples)
# The versions the README, the guide and the starter project name are the project's.
add_test(NAME version_names COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/version-check.sh ${CMAKE_CURRENT_SOURCE_DIR})
