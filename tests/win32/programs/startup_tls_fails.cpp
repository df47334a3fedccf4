// A program built on program_entry in which the TLS slot cannot be had: start-up must end the
// process with 255 without running the main procedure. The import of TlsAlloc is replaced by a
// function of this program that always fails.
#include <windows.h>

#include "runtime/startup.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

static DWORD WINAPI failing_tls_alloc() { return TLS_OUT_OF_INDEXES; }
#ifdef _WIN64
extern "C" void* tls_alloc_import __asm__("__imp_TlsAlloc");
#else
extern "C" void* tls_alloc_import __asm__("__imp__TlsAlloc@0");
#endif
void* tls_alloc_import = reinterpret_cast<void*>(&failing_tls_alloc);

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ExitProcess(7);  // never reached: start-up fails first
}
