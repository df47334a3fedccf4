// A program built on program_entry that starts with its memory used up: the first ThreadState
// cannot be allocated, and start-up must end the process with 255 without running the main
// procedure. Before the entry point runs, the whole address space is reserved (so no heap can
// grow) and the process heap is filled, so start-up's own GlobalAlloc meets the system's real
// failure. COM is started first: OLE does not survive an exhausted heap, and start-up's own
// OleInitialize then only counts a second start on the thread, which needs no memory.
#include <windows.h>

#include "runtime/startup.hpp"
#include "tests/win32/programs/before_entry.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

static void use_up_memory() {
  OleInitialize(nullptr);
  // Reservations of halving sizes, from half the largest user address space down to the 64 KiB
  // granularity of reservations: what is left afterwards is smaller than any reservation.
  for (SIZE_T size = static_cast<SIZE_T>(1) << (sizeof(void*) == 8 ? 46 : 30); size >= 0x10000;) {
    if (!VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS)) size /= 2;
  }
  // Then every block the process heap can still give, large ones first.
  HANDLE heap = GetProcessHeap();
  for (SIZE_T size = 0x100000; size > 0;) {
    if (!HeapAlloc(heap, 0, size)) size /= 2;
  }
}
BEFORE_ENTRY(use_up_memory);

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ExitProcess(7);  // never reached: start-up fails first
}
