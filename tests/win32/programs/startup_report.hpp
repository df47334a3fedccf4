// What the start-up test program's main procedure received and saw, written to the file named by
// its command-line tail.
#pragma once
#include <stdint.h>

struct StartupReport {
  uint32_t magic;            // STARTUP_REPORT_MAGIC
  uint32_t calls;
  uint64_t instance;
  uint64_t module;           // GetModuleHandleA(0), for comparison
  uint64_t previous;
  uint32_t show_state;
  uint32_t control_word;
  uint32_t shared_zero;      // the shared variable block read all zeros
  uint32_t globals_stored;   // the module stores non-zero bytes in the globals area
  uint32_t globals_zero;     // the globals area read all zeros after all
  uint32_t constant_intact;  // the test literal is at its working address, unchanged
  uint32_t live_records;     // read after the shared block was checked (start-up's record)
  uint32_t thread_state_present;
  uint32_t platform_flags;
  uint32_t platform_family;
  uint32_t os_version;
  uint32_t version_size;
  uint32_t cpuid_mmx;        // CPUID leaf 1 EDX bit 23, as this program reads it itself
  char tail[260];
};

constexpr uint32_t STARTUP_REPORT_MAGIC = 0x52505452;
