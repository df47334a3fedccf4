# Windows builds (mingw-w64): the product resizing.exe and the programs and tests that run on the
# Windows API under Wine.
option(WINE_TESTS "Build the tests that run under Wine" ON)
# Link-time optimisation for the product's code: functions nothing calls are dropped whole.
option(PRODUCT_LTO "Link-time optimisation of the runtime, the toolkit and their programs" OFF)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(ENTRY_SYMBOL _program_entry)
else()
  set(ENTRY_SYMBOL program_entry)
endif()

set(WINDOWS_LIBS user32 gdi32 ole32 oleaut32 advapi32 kernel32)
# Every target names the system libraries it links: the compiler's default list would put them on
# the link line a second time, with four more that nothing here uses.
set(CMAKE_CXX_STANDARD_LIBRARIES "")
set(CMAKE_C_STANDARD_LIBRARIES "")
# Size: every function and datum in its own section, collected by --gc-sections; data aligned
# only as far as the ABI asks (no padding of tables to 32 bytes). The 32-bit stack stays at the
# 4 bytes its ABI guarantees instead of every frame being padded to 16: nothing here needs more.
set(SMALL_FLAGS -Oz -fno-stack-protector -fno-ident -mno-stack-arg-probe -fomit-frame-pointer
                -malign-data=abi)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND SMALL_FLAGS -mpreferred-stack-boundary=2)
endif()
# The data image stores 32-bit addresses: a 64-bit build keeps its image below 4 GiB.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_link_options(-Wl,--image-base,0x10000000 -Wl,--disable-dynamicbase -Wl,--disable-high-entropy-va)
endif()

add_library(runtime STATIC ${RUNTIME_SOURCES})
target_compile_options(runtime PRIVATE ${SMALL_FLAGS})
add_library(toolkit STATIC ${TOOLKIT_SOURCES})
target_compile_options(toolkit PRIVATE ${SMALL_FLAGS})
target_link_libraries(toolkit PUBLIC runtime)

# A program with no C runtime: entered at program_entry, importing only the system DLLs. The
# entry point calls start-up in the runtime; the helper routines the compiler may call (memcpy,
# memset) are a library of their own, linked last.
add_library(runtime_entry STATIC ${RUNTIME_ENTRY_SOURCES})
target_compile_options(runtime_entry PRIVATE ${SMALL_FLAGS})
add_library(runtime_nocrt STATIC ${RUNTIME_NOCRT_SOURCES})
target_compile_options(runtime_nocrt PRIVATE ${SMALL_FLAGS})
if(PRODUCT_LTO)
  set_target_properties(runtime runtime_entry runtime_nocrt toolkit PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
endif()
set(NOCRT_LINKER_SCRIPT ${CMAKE_SOURCE_DIR}/cmake/nocrt.ld)

# add_dialog_program(NAME SOURCES...): a program built on the toolkit and the runtime, as
# resizing.exe is. The sources define app_main and the program's data image
# (RUNTIME_DATA_SECTION); a .rc file among them gives it resources. It is built with the
# product's options (size flags, link-time optimisation where the build has it, no C runtime,
# entered at program_entry) and lands in the build folder beside resizing.exe.
function(add_dialog_program name)
  add_executable(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  if(PRODUCT_LTO)
    set_target_properties(${name} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
  endif()
  target_compile_options(${name} PRIVATE ${SMALL_FLAGS})
  # The section layout of its own (cmake/nocrt.ld): code and constants in one section. The size
  # flags again, for the code that link-time optimisation generates. A windowed program: the
  # system opens no console for it. No link time stamp in the header: the same sources build the
  # same bytes, wherever and whenever they are built.
  target_link_options(${name} PRIVATE ${SMALL_FLAGS} -nostdlib -nostartfiles -Wl,-e,${ENTRY_SYMBOL}
                      -Wl,--subsystem,windows -Wl,--no-insert-timestamp
                      -Wl,--gc-sections -Wl,--disable-dynamicbase -Wl,--disable-reloc-section
                      -Wl,-T,${NOCRT_LINKER_SCRIPT} -Wl,-Map,$<TARGET_FILE:${name}>.map -s)
  set_target_properties(${name} PROPERTIES LINK_DEPENDS ${NOCRT_LINKER_SCRIPT})
  # Each library once, every one before those it calls: entry -> toolkit -> runtime -> helpers.
  target_link_libraries(${name} PRIVATE runtime_entry toolkit runtime runtime_nocrt ${WINDOWS_LIBS} gcc)
endfunction()

add_dialog_program(resizing ${APP_SOURCES})
# Example programs for people who write their own with the toolkit.
add_subdirectory(examples)
add_test(NAME product_imports
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh $<TARGET_FILE:resizing> ${ENTRY_SYMBOL})

# The probe drives the programs from outside, as a user's system does (end-to-end tests, the run
# command, timing). It is a 64-bit program in every build: where the kernel cannot run 32-bit
# programs and each start of one under the emulator takes most of a minute, only the programs
# under test pay for it, not the dozens of probe runs that drive them. A 64-bit prefix runs both.
set(PROBE_SOURCE ${CMAKE_SOURCE_DIR}/tests/e2e/probe.cpp)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_executable(probe ${PROBE_SOURCE})
  target_link_libraries(probe PRIVATE ${WINDOWS_LIBS})
  target_link_options(probe PRIVATE -static)
else()
  find_program(PROBE_CXX x86_64-w64-mingw32-g++ REQUIRED)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/probe.exe
                     COMMAND ${PROBE_CXX} -std=gnu++17 -O2 -Wall -Wextra -static -o ${CMAKE_BINARY_DIR}/probe.exe
                             ${PROBE_SOURCE} -luser32 -lgdi32 -lkernel32
                     DEPENDS ${PROBE_SOURCE} VERBATIM)
  add_custom_target(probe ALL DEPENDS ${CMAKE_BINARY_DIR}/probe.exe)
endif()

if(WINE_TESTS)
  include(cmake/wine-tests.cmake)
endif()
