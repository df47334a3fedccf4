// A program built on program_entry that starts with its memory used up: the first ThreadState
// cannot be allocated, and start-up must end the process with 255 without running the main
// procedure. Before the entry point runs, every free part of the address space is reserved (so
// no heap can grow) and the process heap is filled, so start-up's own GlobalAlloc meets the system's real
// failure. COM is started first: OLE does not survive an exhausted heap, and start-up's own
// OleInitialize then only counts a second start on the thread, which needs no memory.
#include <windows.h>

#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/startup.hpp"
#include "tests/win32/programs/before_entry.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

static void use_up_memory() {
  OleInitialize(nullptr);
  // Every free region of the address space, reserved where it lies (a reservation that leaves
  // the system to find the place would search the whole space at every failure).
  const uintptr_t granularity = 0x10000;
  MEMORY_BASIC_INFORMATION region;
  for (uintptr_t at = granularity; VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof region);
       at = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize) {
    if (region.State != MEM_FREE) continue;
    uintptr_t start = (reinterpret_cast<uintptr_t>(region.BaseAddress) + granularity - 1) & ~(granularity - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize) & ~(granularity - 1);
    if (end > start) VirtualAlloc(reinterpret_cast<void*>(start), end - start, MEM_RESERVE, PAGE_NOACCESS);
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
