// The process entry point of every program built on the runtime. No C runtime start-up runs
// before it and nothing after it.
#include "dialogkit/runtime/startup.hpp"
#include "runtime/startup_steps.hpp"

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void program_entry() {
  uint32_t exit_code = startup_open();
  if (exit_code == 0) {
    main_sequence();
    startup_close(true);
  } else {
    startup_close(false);  // a failed start-up goes straight to OleUninitialize
  }
  ExitProcess(exit_code);
}
