// A program built on program_entry whose main procedure reports what it received, to the file
// named by its command-line tail (everything after the first blank that follows ">").
#include <cpuid.h>
#include <windows.h>

#include "runtime/data_image.hpp"
#include "runtime/process.hpp"
#include "runtime/startup.hpp"
#include "runtime/x87.hpp"
#include "tests/win32/programs/startup_report.hpp"

struct ReportConstants {
  uint16_t length;
  char text[20];
  unsigned char rest[DATA_CONSTANTS_SIZE - 22];
};
RUNTIME_DATA_SECTION(ReportConstants, {20, {'c', 'o', 'n', 's', 't', 'a', 'n', 't', 's', ' ', 'i', 'n',
                                            ' ', 'p', 'l', 'a', 'c', 'e', '!', '!'}, {0xA5}});

static bool all_zero(const unsigned char* p, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i)
    if (p[i]) return false;
  return true;
}

int32_t app_main(HINSTANCE instance, uintptr_t previous, const char* tail, uint32_t show_state) {
  static StartupReport report;  // zero-initialised, in .bss
  report.magic = STARTUP_REPORT_MAGIC;
  ++report.calls;
  report.instance = reinterpret_cast<uintptr_t>(instance);
  report.module = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
  report.previous = previous;
  report.show_state = show_state;
  report.control_word = fpu_read_control_word();
  ProcessState* state = process_state();
  // The live-record count is part of the shared block; start-up's record was counted before
  // runtime_reset cleared the block, so the block reads zero here.
  report.shared_zero = all_zero(reinterpret_cast<unsigned char*>(&state->shared), sizeof(SharedVariables));
  report.globals_zero = all_zero(data_globals(), DATA_GLOBALS_SIZE);
  const ReportConstants* c = reinterpret_cast<const ReportConstants*>(data_constants());
  const char want[] = "constants in place!!";
  bool intact = c->length == 20 && c->rest[0] == 0xA5 &&
                data_constants() == data_section_base() + DATA_CONSTANTS_OFFSET;
  for (int i = 0; i < 20; ++i) intact = intact && c->text[i] == want[i];
  report.constant_intact = intact;
  report.live_records = static_cast<uint32_t>(state->shared.live_records);
  report.thread_state_present = TlsGetValue(state->tls_index) != nullptr;
  report.platform_flags = state->platform.flags;
  report.platform_family = state->platform.family;
  report.os_version = state->platform.os_version;
  report.version_size = state->version.dwOSVersionInfoSize;
  unsigned int a, b, cx, d;
  __cpuid(1, a, b, cx, d);
  report.cpuid_mmx = (d >> 23) & 1;
  int n = 0;
  for (const char* p = tail; *p && n < 259; ++p) report.tail[n++] = *p;
  // The file name is the tail after its first '>' marker.
  const char* name = tail;
  while (*name && *name != '>') ++name;
  if (*name) ++name;
  HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(file, &report, sizeof report, &written, nullptr);
  CloseHandle(file);
  return 1234;  // must not become the exit code
}
