// Shared helpers of the Windows test programs.
#pragma once
#include <windows.h>

#include <string>

// Runs the calling thread's pending messages without blocking.
void pump_messages();
// The directory of the running test program, with a trailing backslash.
std::string program_directory();
// Points the test program's own import slot of `function` from `dll` at `replacement` and returns
// the system's function. Code linked into the program (the toolkit, the runtime) calls through
// that slot, so a stand-in that calls on to the system's function sees every call it makes.
void* import_patch(const char* dll, const char* function, void* replacement);
// A class name without the version a redirected class carries: under Wine, a control of the
// common controls of version 6 is created as "6.0.2600.2982!Button" where "BUTTON" was asked for.
std::string base_class_name(const std::string& name);
// Whether `button` is a button of the common controls of version 6: it answers BCM_GETIDEALSIZE,
// which the system's own button does not.
bool version6_button(HWND button);
