// The program's side of start-up: the main procedure that every program defines, and the entry
// point that calls it. program_entry prepares the process (data image, start-up values,
// per-thread state, control word), calls app_main and ends the process when it returns.
#pragma once
#include <stdint.h>
#include <windows.h>

// The application's main procedure.
int32_t app_main(HINSTANCE instance, uintptr_t previous, const char* command_tail,
                 uint32_t show_state);

extern "C" void program_entry();
