// Processor and platform detection.
#include "runtime/platform.hpp"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

uint32_t cpuid_leaf1_edx(void*) {
  unsigned int a, b, c, d;
  __cpuid(1, a, b, c, d);
  return d;
}

PlatformInfo platform_decide(const OSVERSIONINFOA& version, const SYSTEM_INFO& system,
                             CpuidEdxSource cpuid, void* context) {
  PlatformInfo info = {};
  info.os_version = static_cast<uint16_t>(((version.dwMajorVersion & 0xFF) << 8) |
                                          (version.dwMinorVersion & 0xFF));
  if (version.dwPlatformId & 1) {
    uint16_t build = static_cast<uint16_t>(version.dwBuildNumber);
    info.flags |= build == 950 ? SYS_WIN_BUILD_950 : build == 1111 ? SYS_WIN_BUILD_1111 : SYS_WIN_LATER;
  } else if (version.dwPlatformId & 2) {
    info.flags |= SYS_NT;
  }
  info.family = 3;
  bool family_set = false;
  if (info.flags & (SYS_WIN_BUILD_950 | SYS_WIN_BUILD_1111 | SYS_WIN_LATER)) {
    if (system.dwProcessorType > PROCESSOR_INTEL_386) {
      info.family = system.dwProcessorType >= PROCESSOR_INTEL_PENTIUM ? 5 : 4;
      family_set = true;
    }
  } else if (info.flags & SYS_NT) {
    if (system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL) {
      uint8_t level = static_cast<uint8_t>(system.wProcessorLevel);
      if (level >= 3) {
        info.family = level > 5 ? 5 : level;
        family_set = true;
      }
    }
  }
  if (family_set && info.family == 5 && (cpuid(context) & 0x800000)) info.flags |= SYS_MMX;
  return info;
}

PlatformInfo platform_detect(const OSVERSIONINFOA& version) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  PlatformInfo info = platform_decide(version, system, cpuid_leaf1_edx, nullptr);
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\FloatingPointProcessor", 0,
                    KEY_READ, &key) == ERROR_SUCCESS) {
    info.flags |= SYS_FPU;
    RegCloseKey(key);
  }
  return info;
}
