// A program built on program_entry in which the first ThreadState cannot be allocated: start-up
// must end the process with 255 without running the main procedure. The import of GlobalAlloc is
// replaced by a function of this program that always fails.
#include <windows.h>

#include "runtime/startup.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

static HGLOBAL WINAPI failing_global_alloc(UINT, SIZE_T) { return nullptr; }
#ifdef _WIN64
extern "C" void* global_alloc_import __asm__("__imp_GlobalAlloc");
#else
extern "C" void* global_alloc_import __asm__("__imp__GlobalAlloc@8");
#endif
void* global_alloc_import = reinterpret_cast<void*>(&failing_global_alloc);

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ExitProcess(7);  // never reached: start-up fails first
}
