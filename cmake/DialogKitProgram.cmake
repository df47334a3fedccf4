# add_dialog_program(NAME [DPI_AWARE] SOURCES...): a Windows program built on DialogKit as
# resizing.exe is. The sources define app_main and the program's data image
# (RUNTIME_DATA_SECTION); a .rc file among them gives it resources. The program has no C runtime:
# it is entered at program_entry, imports only system DLLs and is built for size. Everything it
# needs comes from here and from the DialogKit:: targets, so it is built the same way in the
# tree, in a project that adds the tree (add_subdirectory, FetchContent) and in one that finds
# the installed package.
#
# DPI_AWARE embeds an application manifest (resource 1 of type RT_MANIFEST, 24) that declares the
# program aware of the system's resolution: on a display scaled to 125, 150 or 200 % the system
# then lets it draw at the real resolution (its dialog units grow with the font) instead of
# stretching a 96-dpi picture of it. Without it a program has no manifest at all.
#
# The section layout, nocrt.ld, and the manifest's template, dpi_aware.manifest.in, lie beside
# this file, in the tree and in the installed package.
include_guard(GLOBAL)

# The compile options of code without a C runtime behind it, in `code_out`: no exceptions, no
# RTTI, no unwind tables, no guards on local statics; every function and datum in its own
# section, collected by --gc-sections. The size options, in `size_out`: optimised for size, data
# aligned only as far as the ABI asks (no padding of tables to 32 bytes), no stack protector,
# probes or frame pointer; the 32-bit stack stays at the 4 bytes its ABI guarantees instead of
# every frame being padded to 16, as nothing here needs more. The libraries are compiled with the
# same options.
function(dialogkit_program_flags code_out size_out)
  set(code -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables
           -ffunction-sections -fdata-sections -fno-threadsafe-statics)
  set(size -Oz -fno-stack-protector -fno-ident -mno-stack-arg-probe -fomit-frame-pointer
           -malign-data=abi)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(APPEND size -mpreferred-stack-boundary=2)
  endif()
  set(${code_out} ${code} PARENT_SCOPE)
  set(${size_out} ${size} PARENT_SCOPE)
endfunction()

# The resource script that embeds the DPI-aware manifest for program `name`, in `rc_out`.
function(dialogkit_dpi_aware_resource name rc_out)
  set(DIALOGKIT_PROGRAM_NAME ${name})
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}_manifest.rc)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/dpi_aware.manifest.in ${manifest} @ONLY)
  file(CONFIGURE OUTPUT ${rc} CONTENT "1 24 \"${manifest}\"\n")
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  set(${rc_out} ${rc} PARENT_SCOPE)
endfunction()

function(add_dialog_program name)
  cmake_parse_arguments(PARSE_ARGV 1 program "DPI_AWARE" "" "")
  set(sources ${program_UNPARSED_ARGUMENTS})
  if(program_DPI_AWARE)
    dialogkit_dpi_aware_resource(${name} manifest_rc)
    list(APPEND sources ${manifest_rc})
  endif()
  add_executable(${name} ${sources})
  dialogkit_program_flags(code_flags size_flags)
  # The entry symbol carries the 32-bit ABI's underscore.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(entry_symbol _program_entry)
  else()
    set(entry_symbol program_entry)
  endif()
  set(linker_script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/nocrt.ld)
  # Libraries built with link-time optimisation hold only the compiler's intermediate code: the
  # program is then linked with it too (by the same compiler).
  get_target_property(lto DialogKit::runtime DIALOGKIT_LTO)
  if(lto)
    set_target_properties(${name} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON)
  endif()
  target_compile_options(${name} PRIVATE -Wall -Wextra ${code_flags} ${size_flags})
  # The section layout of its own (nocrt.ld): code and constants in one section. The size flags
  # again, for the code that link-time optimisation generates. A windowed program: the system
  # opens no console for it. No link time stamp in the header: the same sources build the same
  # bytes, wherever and whenever they are built. The link map lies beside the program.
  target_link_options(${name} PRIVATE ${size_flags} -nostdlib -nostartfiles -Wl,-e,${entry_symbol}
                      -Wl,--subsystem,windows -Wl,--no-insert-timestamp
                      -Wl,--gc-sections -Wl,--disable-dynamicbase -Wl,--disable-reloc-section
                      -Wl,-T,${linker_script} -Wl,-Map,$<TARGET_FILE:${name}>.map -s)
  set_target_properties(${name} PROPERTIES LINK_DEPENDS ${linker_script})
  # Each library once, every one before those it calls: entry -> toolkit -> runtime -> the
  # compiler's routines -> the system DLLs -> libgcc (64-bit division on 32-bit x86).
  target_link_libraries(${name} PRIVATE DialogKit::entry DialogKit::toolkit DialogKit::runtime
                        DialogKit::nocrt user32 gdi32 ole32 oleaut32 advapi32 kernel32 gcc)
endfunction()
