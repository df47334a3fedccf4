// A program built on program_entry that starts with every TLS slot of the process taken: start-up
// must end the process with 255 without running the main procedure. The slots are taken before
// the entry point runs, so start-up's own TlsAlloc meets the system's real failure.
#include <windows.h>

#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/startup.hpp"
#include "tests/win32/programs/before_entry.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

// Windows has 1,088 slots; the bound only keeps a system without a limit from looping forever.
static void take_every_tls_slot() {
  for (int i = 0; i < 100000 && TlsAlloc() != TLS_OUT_OF_INDEXES; ++i) {
  }
}
BEFORE_ENTRY(take_every_tls_slot);

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ExitProcess(7);  // never reached: start-up fails first
}
