// Start-up and shutdown of the process: the data image, the start-up values in ProcessState,
// the per-thread state, the floating-point control word and the call of the main procedure.
#include "startup.hpp"

#include "threadstate.hpp"

const BuildOptions build_options = {0x01C0, sizeof(ThreadState)};

DataImageHeader* data_header_copy(unsigned char* base) {
  return reinterpret_cast<DataImageHeader*>(base + DATA_HEADER_COPY_OFFSET);
}

void data_image_prepare(unsigned char* base) {
  const DataImageHeader* header = reinterpret_cast<const DataImageHeader*>(base + DATA_HEADER_OFFSET);
  uint32_t n = header->stored_size + header->constants_size;
  // The destination lies above the source and the ranges may overlap: copy from the top down.
  const unsigned char* from = base + DATA_IMAGE_OFFSET;
  unsigned char* to = base + header->stored_offset;
  for (uint32_t i = n; i-- > 0;) to[i] = from[i];
  DataImageHeader* copy = data_header_copy(base);
  const unsigned char* src = base + DATA_HEADER_OFFSET;
  unsigned char* dst = reinterpret_cast<unsigned char*>(copy);
  for (uint32_t i = 0; i < sizeof(DataImageHeader); ++i) dst[i] = src[i];
  ProcessState* state = reinterpret_cast<ProcessState*>(base);
  state->library_result = 0;
  state->version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  // The offsets become absolute addresses. They are 32-bit words, so every build places its data
  // section below 4 GiB.
  uint32_t b = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base));
  copy->globals_offset += b;
  copy->stored_offset += b;
  copy->constants_offset += b;
}

const char* command_line_tail(const char* line) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
    while (*p == ' ') ++p;
  } else if (*p == ' ') {
    while (*p == ' ') ++p;
  } else if (*p) {
    ++p;
    while (*p > 0x20) ++p;
    if (*p == ' ')
      while (*p == ' ') ++p;
  }
  return reinterpret_cast<const char*>(p);
}

void fpu_load_control_word(uint16_t word) { __asm__ volatile("fldcw %0" : : "m"(word)); }

uint16_t fpu_read_control_word() {
  uint16_t word;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}

void runtime_reset() {
  const DataImageHeader* copy = data_header_copy();
  uint32_t* globals = reinterpret_cast<uint32_t*>(static_cast<uintptr_t>(copy->globals_offset));
  for (uint32_t i = 0; i < copy->globals_size / 4; ++i) globals[i] = 0;
  unsigned char* shared = reinterpret_cast<unsigned char*>(&process_state()->shared);
  for (uint32_t i = 0; i < sizeof(SharedVariables); ++i) shared[i] = 0;
  fpu_load_control_word(FPU_CONTROL_WORD);
}

uint32_t startup_open() {
  OleInitialize(nullptr);
  if (build_options.word & OPT_LIBRARY) return 255;  // library builds are not made here
  unsigned char* base = data_section_base();
  data_image_prepare(base);
  ProcessState* state = process_state();
  state->entry_reason = 1;
  GetVersionExA(&state->version);
  STARTUPINFOA startup;
  startup.cb = sizeof(STARTUPINFOA);
  startup.dwFlags = 0;
  GetStartupInfoA(&startup);
  state->show_state = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  state->command_tail = command_line_tail(GetCommandLineA());
  state->environment = GetEnvironmentStringsA();
  state->instance = reinterpret_cast<HINSTANCE>(GetModuleHandleA(nullptr));
  state->tls_index = TlsAlloc();
  if (state->tls_index == TLS_OUT_OF_INDEXES) return 255;
  if (!thread_state_get()) return 255;
  platform_detect();
  return 0;
}

void startup_close(bool thread_state_open) {
  if (thread_state_open && thread_state_release() == ERR_NONE) TlsFree(process_state()->tls_index);
  OleUninitialize();
}
