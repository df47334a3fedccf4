// Runs a function of a test program before the program's entry point, through the PE image's
// TLS directory: the loader calls the directory's callbacks with DLL_PROCESS_ATTACH before it
// calls the entry point. The programs that test start-up failures use it to use up a real
// resource (TLS slots, memory), so that start-up meets the failure the system itself reports,
// whatever the compiler and the linker do with the program's own code.
//
// The linker fills the image's TLS data directory from the symbol _tls_used, which the program's
// link keeps with -u (tests/win32/CMakeLists.txt). The directory is written with pointer members,
// so that it is static data without casts; the image is never rebased, so its addresses need no
// relocation.
#pragma once
#include <windows.h>

#include <stddef.h>

struct TlsDirectory {
  const void* raw_data_start;
  const void* raw_data_end;
  DWORD* index;
  const PIMAGE_TLS_CALLBACK* callbacks;
  DWORD zero_fill_size;
  DWORD characteristics;
};
static_assert(sizeof(TlsDirectory) == sizeof(IMAGE_TLS_DIRECTORY), "the image's TLS directory");
static_assert(offsetof(TlsDirectory, callbacks) == offsetof(IMAGE_TLS_DIRECTORY, AddressOfCallBacks),
              "the image's TLS directory");

#define BEFORE_ENTRY(function)                                                                   \
  static void NTAPI before_entry_callback(PVOID, DWORD reason, PVOID) {                          \
    if (reason == DLL_PROCESS_ATTACH) function();                                                \
  }                                                                                              \
  static DWORD before_entry_index;                                                               \
  static const unsigned char before_entry_data[4] = {};                                          \
  static const PIMAGE_TLS_CALLBACK before_entry_callbacks[] = {before_entry_callback, nullptr};  \
  extern "C" __attribute__((used)) const TlsDirectory _tls_used = {                              \
      before_entry_data, before_entry_data + sizeof before_entry_data, &before_entry_index,      \
      before_entry_callbacks, 0, 0}
