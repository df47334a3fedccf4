// A program built on program_entry whose main procedure reports what it received, to the file
// named by its command-line tail (everything after the first blank that follows ">").
#include <cpuid.h>
#include <stddef.h>
#include <windows.h>

#include "dialogkit/runtime/data_image.hpp"
#include "runtime/process.hpp"
#include "dialogkit/runtime/startup.hpp"
#include "runtime/x87.hpp"
#include "tests/win32/programs/startup_report.hpp"

struct ReportConstants {
  uint16_t length;
  char text[20];
  unsigned char rest[DATA_CONSTANTS_SIZE - 22];
};

// The data section of this program stores more than the 512 bytes that RUNTIME_DATA_SECTION
// gives a program: its stored part goes on up to the end of the globals area and stores non-zero
// bytes there. So the globals hold those bytes when the entry point starts (the move of the image
// writes the header copy below them and the constants above them, nothing in between), and they
// read zero in the main procedure only if runtime_reset clears them.
struct ReportSection {
  DataImage<ReportConstants> image;
  unsigned char after_image[DATA_GLOBALS_OFFSET - DATA_STORED_SIZE];
  unsigned char globals[DATA_GLOBALS_SIZE];
};
static_assert(sizeof(ReportConstants) == DATA_CONSTANTS_SIZE, "constants area size");
static_assert(offsetof(ReportSection, globals) == DATA_GLOBALS_OFFSET, "the globals area");
__attribute__((section(".rtdata"), aligned(16), used)) ReportSection report_section
    __asm__(RUNTIME_STRINGIFY(__USER_LABEL_PREFIX__) "runtime_data_section") = {
        {{},
         {DATA_GLOBALS_SIZE, DATA_GLOBALS_OFFSET, 0, DATA_STORED_AREA_OFFSET, DATA_CONSTANTS_SIZE,
          DATA_CONSTANTS_OFFSET},
         {20,
          {'c', 'o', 'n', 's', 't', 'a', 'n', 't', 's', ' ', 'i', 'n', ' ', 'p', 'l', 'a', 'c', 'e', '!', '!'},
          {0xA5}},
         {}},
        {},
        {0x47, 0x4C, 0x4F, 0x42, 0x41, 0x4C, 0x53, 0x21, 0x5A, 0xA5, 0xFF, 0x01}};  // none is 0

// Whether the module stores the bytes of the globals area: the raw data of its data section,
// as the section table of the loaded image gives it, reaches to the end of the area.
static bool globals_stored() {
  const unsigned char* module = reinterpret_cast<const unsigned char*>(GetModuleHandleA(nullptr));
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
  const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(module + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  const uintptr_t data_rva = static_cast<uintptr_t>(data_section_base() - module);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
    if (section->VirtualAddress == data_rva)
      return section->SizeOfRawData >= DATA_GLOBALS_OFFSET + DATA_GLOBALS_SIZE;
  return false;
}

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
  report.globals_stored = globals_stored();
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
