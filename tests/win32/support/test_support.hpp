// Shared helpers of the Windows test programs.
#pragma once
#include <windows.h>

#include <string>

// Runs the calling thread's pending messages without blocking.
void pump_messages();
// The directory of the running test program, with a trailing backslash.
std::string program_directory();
