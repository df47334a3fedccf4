# add_dialog_program(NAME [NO_VISUAL_STYLES] [NO_UTF8] [NO_SUPPORTED_OS] [NO_DPI_AWARE]
#                    [NO_MANIFEST] [DPI_AWARE] SOURCES...): a Windows program built on DialogKit as
# resizing.exe is. The sources define app_main and the program's data image
# (RUNTIME_DATA_SECTION); a .rc file among them gives it resources. The program has no C runtime:
# it is entered at program_entry, imports only system DLLs and is built for size. Everything it
# needs comes from here and from the DialogKit:: targets, so it is built the same way in the
# tree, in a project that adds the tree (add_subdirectory, FetchContent) and in one that finds
# the installed package.
#
# Every program gets an application manifest (resource 1 of type RT_MANIFEST, 24) that asks for:
#   - the common controls of version 6, which draw the visual styles (NO_VISUAL_STYLES: the
#     system's classic controls);
#   - UTF-8 as the process's code page, so that every text the program hands the system's
#     "A" functions, and every text it gets from them, is UTF-8 (NO_UTF8: the machine's ANSI code
#     page);
#   - the versions of Windows it is written for, 7 to 11, so that the system applies none of its
#     compatibility behaviour for older programs (NO_SUPPORTED_OS: none declared);
#   - awareness of the system's resolution: on a display scaled to 125, 150 or 200 % the system
#     lets the program draw at the real resolution (its dialog units grow with the font) instead
#     of stretching a 96-dpi picture of it (NO_DPI_AWARE: not declared).
# NO_MANIFEST, or every part turned off, embeds none. DPI_AWARE, which once asked for the only
# part there was, is still accepted and changes nothing.
#
# The section layout, nocrt.ld, lies beside this file, in the tree and in the installed package.
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

# The name the linker sees for the C symbol `name`, in `out`: 32-bit x86 Windows prefixes an
# underscore, 64-bit Windows nothing. Every symbol named to the linker comes from here.
function(dialogkit_c_symbol out name)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(${out} _${name} PARENT_SCOPE)
  else()
    set(${out} ${name} PARENT_SCOPE)
  endif()
endfunction()

# The application manifest with the parts named in ARGN (VISUAL_STYLES, UTF8, SUPPORTED_OS,
# DPI_AWARE) as one line of XML without blanks, in `text_out`; empty when no part is named. Short
# forms where XML allows them; no declaration (UTF-8 is XML's default) and no identity of its own
# (an application's manifest needs none).
function(dialogkit_manifest_text text_out)
  set(body)
  if(VISUAL_STYLES IN_LIST ARGN)
    string(APPEND body "<dependency><dependentAssembly><assemblyIdentity type=\"win32\" "
           "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" processorArchitecture=\"*\" "
           "publicKeyToken=\"6595b64144ccf1df\"/></dependentAssembly></dependency>")
  endif()
  if(SUPPORTED_OS IN_LIST ARGN)
    # Windows 7, 8, 8.1, and 10 and 11 (which share one).
    string(APPEND body "<compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\"><application>")
    foreach(id 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38
               1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a)
      string(APPEND body "<supportedOS Id=\"{${id}}\"/>")
    endforeach()
    string(APPEND body "</application></compatibility>")
  endif()
  set(settings)
  if(DPI_AWARE IN_LIST ARGN)
    string(APPEND settings "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>")
  endif()
  if(UTF8 IN_LIST ARGN)
    string(APPEND settings "<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8</activeCodePage>")
  endif()
  if(settings)
    string(APPEND body "<application xmlns=\"urn:schemas-microsoft-com:asm.v3\"><windowsSettings>${settings}"
           "</windowsSettings></application>")
  endif()
  if(body)
    set(body "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">${body}</assembly>")
  endif()
  set(${text_out} "${body}" PARENT_SCOPE)
endfunction()

# The resource script that embeds, for program or test program `name`, the manifest with the
# parts named in ARGN (as dialogkit_manifest_text), in `rc_out`; empty when no part is named.
# Written only when its text changes, so an unchanged manifest rebuilds nothing.
function(dialogkit_manifest_resource name rc_out)
  dialogkit_manifest_text(text ${ARGN})
  if(NOT text)
    set(${rc_out} "" PARENT_SCOPE)
    return()
  endif()
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${name}_manifest.rc)
  file(CONFIGURE OUTPUT ${manifest} CONTENT "${text}" @ONLY)
  file(CONFIGURE OUTPUT ${rc} CONTENT "1 24 \"${manifest}\"\n" @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  set(${rc_out} ${rc} PARENT_SCOPE)
endfunction()

# The resource script of a manifest that declares DPI awareness alone, in `rc_out` (the manifest
# DPI_AWARE embedded before the other parts came).
function(dialogkit_dpi_aware_resource name rc_out)
  dialogkit_manifest_resource(${name} rc DPI_AWARE)
  set(${rc_out} ${rc} PARENT_SCOPE)
endfunction()

function(add_dialog_program name)
  cmake_parse_arguments(PARSE_ARGV 1 program
                        "DPI_AWARE;NO_VISUAL_STYLES;NO_UTF8;NO_SUPPORTED_OS;NO_DPI_AWARE;NO_MANIFEST" "" "")
  if(program_DPI_AWARE AND program_NO_DPI_AWARE)
    message(FATAL_ERROR "add_dialog_program(${name}): DPI_AWARE and NO_DPI_AWARE contradict each other")
  endif()
  set(sources ${program_UNPARSED_ARGUMENTS})
  set(parts)
  if(NOT program_NO_MANIFEST)
    foreach(part VISUAL_STYLES UTF8 SUPPORTED_OS DPI_AWARE)
      if(NOT program_NO_${part})
        list(APPEND parts ${part})
      endif()
    endforeach()
  endif()
  dialogkit_manifest_resource(${name} manifest_rc ${parts})
  list(APPEND sources ${manifest_rc})
  add_executable(${name} ${sources})
  dialogkit_program_flags(code_flags size_flags)
  dialogkit_c_symbol(entry_symbol program_entry)
  set(linker_script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/nocrt.ld)
  # Libraries built with link-time optimisation (the default, in every build type but Debug) hold
  # only the compiler's intermediate code: the program is then linked with it too (by the same
  # compiler), and keeps only what its calls reach.
  get_target_property(lto DialogKit::runtime DIALOGKIT_LTO)
  if(lto)
    set_target_properties(${name} PROPERTIES INTERPROCEDURAL_OPTIMIZATION ON
                                             INTERPROCEDURAL_OPTIMIZATION_DEBUG OFF)
  endif()
  # The program's own warnings are its project's to choose.
  target_compile_options(${name} PRIVATE ${code_flags} ${size_flags})
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
