// Start-up and shutdown of the process: the data image, the start-up values in ProcessState,
// the per-thread state, the platform information, the reset of the shared variables and the
// floating-point control word. The units it calls do not call back into it.
#include "runtime/startup_steps.hpp"

#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/frame.hpp"
#include "runtime/platform.hpp"
#include "runtime/process.hpp"
#include "runtime/threadstate.hpp"
#include "runtime/x87.hpp"

const BuildOptions build_options = {0x01C0, sizeof(ThreadState)};

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
  state->platform = platform_detect(state->version);
  return 0;
}

void startup_close(bool thread_state_open) {
  if (thread_state_open && thread_state_release() == ERR_NONE) TlsFree(process_state()->tls_index);
  OleUninitialize();
}
