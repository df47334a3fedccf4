# Host build: the runtime core and the toolkit's pure logic, their tests, benchmarks; with FUZZ,
# built by clang, their libFuzzer targets instead. Nothing here is installed: the host build
# exists to test the code that does not need Windows.
option(SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)
set(FUZZ_SECONDS 20 CACHE STRING "How long each fuzz target runs as a test")

# The options of every host target: the code options of the Windows build; no position
# independence, as the data image stores 32-bit addresses and static data must stay below 4 GiB;
# the sanitizers where asked for. (The warnings are the tree's: CMakeLists.txt.)
include(${CMAKE_CURRENT_LIST_DIR}/DialogKitProgram.cmake)
dialogkit_program_flags(DIALOGKIT_CODE_FLAGS DIALOGKIT_SIZE_FLAGS)
set(HOST_COMPILE_FLAGS ${DIALOGKIT_CODE_FLAGS})
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
# host_target(NAME): those options, C++17 with GNU extensions, and on the include path the top of
# the tree, its public headers (include/) and the host's stand-in for <windows.h>
# (runtime/host/system/).
function(host_target name)
  target_compile_options(${name} PRIVATE ${HOST_COMPILE_FLAGS})
  target_link_options(${name} PRIVATE ${HOST_LINK_FLAGS})
  target_compile_features(${name} PUBLIC cxx_std_17)
  set_target_properties(${name} PROPERTIES CXX_EXTENSIONS ON)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR} ${DIALOGKIT_PUBLIC_INCLUDE_DIR}
                                            ${PROJECT_SOURCE_DIR}/runtime/host/system)
endfunction()

# The runtime over the host's stand-ins for the system (runtime/host/), and the toolkit's logic.
add_library(dialogkit_runtime_host STATIC ${RUNTIME_SOURCES} ${RUNTIME_HOST_SOURCES})
host_target(dialogkit_runtime_host)
add_library(dialogkit_toolkit_logic STATIC ${TOOLKIT_LOGIC_SOURCES})
host_target(dialogkit_toolkit_logic)
target_link_libraries(dialogkit_toolkit_logic PUBLIC dialogkit_runtime_host)

if(NOT DIALOGKIT_BUILD_TESTS)
  return()
endif()

# GMP, for the test support's exact arithmetic and the oracle of text to number.
find_path(GMP_INCLUDE_DIR gmp.h REQUIRED)
find_library(GMP_LIBRARY gmp REQUIRED)
# The tests (tests/, the host suite unless FUZZ), the fuzz targets with FUZZ (fuzz/), the
# benchmarks otherwise.
add_subdirectory(tests)
if(FUZZ)
  add_subdirectory(fuzz)
  return()
endif()
if(NOT SANITIZE)
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS bench/*_bench.cpp)
    foreach(src ${BENCH_SOURCES})
      get_filename_component(name ${src} NAME_WE)
      add_executable(${name} ${src})
      host_target(${name})
      target_link_libraries(${name} PRIVATE dialogkit_toolkit_logic dialogkit_runtime_host benchmark::benchmark)
    endforeach()
  endif()
endif()

