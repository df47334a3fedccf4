// Process start-up and shutdown as program_entry runs them: the one unit that calls the others.
// It prepares the data image, stores the start-up values in ProcessState, opens the per-thread
// state, stores the platform information, resets the shared variables and the control word,
// calls the application's main procedure (startup.hpp) and closes everything again.
#pragma once
#include "runtime/os.hpp"

// Build-time options: the word and the size of a ThreadState record. Only OPT_LIBRARY is
// consulted, and it is never set: library builds are not made, start-up refuses them.
enum : uint16_t { OPT_LIBRARY = 0x0004 };
struct BuildOptions {
  uint16_t word;
  uint32_t thread_state_size;
};
extern const BuildOptions build_options;

// Where the arguments begin in the process command line (a pointer into it, never a copy).
const char* command_line_tail(const char* command_line);

// Zeroes the application's globals and the shared variables and loads the working control word.
void runtime_reset();
// runtime_reset, then the application's main procedure with the start-up values.
void main_sequence();

// Opens the process: returns 0, or the exit code 255 when the per-thread state cannot be had.
uint32_t startup_open();
// Closes it: the starting thread's record and the TLS slot (when open), then OLE.
void startup_close(bool thread_state_open);
