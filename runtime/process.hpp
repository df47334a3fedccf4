// The process-wide runtime record, ProcessState, and where it lives: at the start of the
// program's data section, below the header copy, once the stored data image has moved out of the
// way. Start-up writes it; the other units and the toolkit only read it, apart from the shared
// variable block.
#pragma once
#include "dialogkit/runtime/data_section.hpp"
#include "runtime/os.hpp"
#include "runtime/platform.hpp"

// The runtime's shared variables, zeroed by runtime_reset.
struct SharedVariables {
  uint32_t empty_length;  // the zero word before shared_empty
  char shared_empty[4];   // shared_empty is the first byte: the text of every empty string
  int32_t live_records;   // ThreadState records stored in the TLS slot (kept, read by nothing)
  uint32_t reserved0;     // the block's layout reserves it; nothing uses it
  uintptr_t dialog_font;  // font of the most recently created dialog (the toolkit's)
  // The toolkit's innermost modal show and innermost dialog ending under way (records on their
  // callers' stacks, dialog.cpp), 0 for none.
  uintptr_t dialog_shows;
  uintptr_t dialog_endings;
  unsigned char reserved[64 - 16 - 3 * sizeof(uintptr_t)];  // reserved by the layout, unused
};
static_assert(sizeof(SharedVariables) == 64, "the shared variable block is 64 bytes");

struct ProcessState {
  SharedVariables shared;
  uint32_t tls_index;
  const char* environment;  // GetEnvironmentStringsA, stored by start-up; read by nothing
  const char* command_tail;
  PlatformInfo platform;
  uint32_t show_state;
  uint16_t library_result;  // for library builds (OPT_LIBRARY), which are not made: only cleared
  HINSTANCE instance;
  uint32_t entry_reason;    // 1 for an executable, the only kind made
  OSVERSIONINFOA version;
};
static_assert(sizeof(OSVERSIONINFOA) == 148, "version record is 148 bytes");

inline ProcessState* process_state() { return reinterpret_cast<ProcessState*>(data_section_base()); }
