// Processor and platform detection: what kind of Windows and x86 processor the process runs on,
// recorded once at start-up in PlatformInfo.
#pragma once
#include "runtime/os.hpp"

enum : uint16_t {
  SYS_FPU = 0x0002,
  SYS_MMX = 0x0040,
  SYS_WIN_BUILD_950 = 0x0080,
  SYS_WIN_BUILD_1111 = 0x0100,
  SYS_WIN_LATER = 0x0200,
  SYS_NT = 0x0400,
};

struct PlatformInfo {
  uint16_t flags;
  uint16_t os_version;  // major in the high byte, minor in the low byte
  uint8_t family;       // 3, 4 or 5
};
static_assert(sizeof(PlatformInfo) == 6, "PlatformInfo is 16 + 16 + 8 bits (padded)");

// EDX of CPUID leaf 1, asked for only when the decision needs it.
typedef uint32_t (*CpuidEdxSource)(void* context);
uint32_t cpuid_leaf1_edx(void* context);

// Everything but the registry test, as a function of the version record, the system information
// and the CPUID source.
PlatformInfo platform_decide(const OSVERSIONINFOA& version, const SYSTEM_INFO& system,
                             CpuidEdxSource cpuid, void* context);

// The PlatformInfo of the running system, from the version record that start-up filled and the
// real sources, the registry key included.
PlatformInfo platform_detect(const OSVERSIONINFOA& version);
