// Processor detection decisions as a function of their inputs, and the registry test.
#include <gtest/gtest.h>

#include "runtime/platform.hpp"
#include "tests/support/host_switch.hpp"

namespace {

struct CpuidSource {
  uint32_t edx;
  int calls;
};
uint32_t counting_cpuid(void* context) {
  CpuidSource* source = static_cast<CpuidSource*>(context);
  ++source->calls;
  return source->edx;
}

struct Case {
  const char* name;
  DWORD platform_id, build, major, minor;
  WORD architecture;
  DWORD processor_type;
  WORD level;
  uint32_t edx;
  uint16_t flags;
  uint8_t family;
  int cpuid_calls;
  uint16_t os_version;
};

TEST(PlatformDecide, Table) {
  const uint32_t MMX = 0x800000;
  const Case cases[] = {
      {"nt level 6 mmx", 2, 7601, 6, 1, 0, 586, 6, MMX, SYS_NT | SYS_MMX, 5, 1, 0x0601},
      {"nt level 6 no mmx", 2, 7601, 6, 1, 0, 586, 6, 0, SYS_NT, 5, 1, 0x0601},
      {"nt level 5", 2, 1381, 4, 0, 0, 586, 5, MMX, SYS_NT | SYS_MMX, 5, 1, 0x0400},
      {"nt level 4", 2, 1381, 4, 0, 0, 486, 4, MMX, SYS_NT, 4, 0, 0x0400},
      {"nt level 3", 2, 1381, 4, 0, 0, 386, 3, MMX, SYS_NT, 3, 0, 0x0400},
      {"nt level 2", 2, 1381, 4, 0, 0, 386, 2, MMX, SYS_NT, 3, 0, 0x0400},
      {"nt level low byte", 2, 1381, 4, 0, 0, 386, 0x0106, MMX, SYS_NT | SYS_MMX, 5, 1, 0x0400},
      {"nt not intel", 2, 1381, 4, 0, 9, 8664, 6, MMX, SYS_NT, 3, 0, 0x0400},
      {"win 950 486", 1, 950, 4, 0, 0, 486, 0, MMX, SYS_WIN_BUILD_950, 4, 0, 0x0400},
      {"win 1111 586", 1, 1111, 4, 0, 0, 586, 0, MMX, SYS_WIN_BUILD_1111 | SYS_MMX, 5, 1, 0x0400},
      {"win 2222 386", 1, 2222, 4, 10, 0, 386, 0, MMX, SYS_WIN_LATER, 3, 0, 0x040A},
      {"win build high bits", 1, 0x040A0000 | 950, 4, 10, 0, 586, 0, 0, SYS_WIN_BUILD_950, 5, 1, 0x040A},
      {"win 486 below 586", 1, 2222, 4, 90, 0, 585, 0, MMX, SYS_WIN_LATER, 4, 0, 0x045A},
      {"win32s", 0, 0, 3, 10, 0, 586, 6, MMX, 0, 3, 0, 0x030A},
      {"version bytes", 2, 1, 0x105, 0x201, 0, 586, 6, 0, SYS_NT, 5, 1, 0x0501},
  };
  for (const Case& c : cases) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    version.dwPlatformId = c.platform_id;
    version.dwBuildNumber = c.build;
    version.dwMajorVersion = c.major;
    version.dwMinorVersion = c.minor;
    SYSTEM_INFO system = {};
    system.wProcessorArchitecture = c.architecture;
    system.dwProcessorType = c.processor_type;
    system.wProcessorLevel = c.level;
    CpuidSource source = {c.edx, 0};
    PlatformInfo info = platform_decide(version, system, counting_cpuid, &source);
    EXPECT_EQ(info.flags, c.flags) << c.name;
    EXPECT_EQ(info.family, c.family) << c.name;
    EXPECT_EQ(source.calls, c.cpuid_calls) << c.name;
    EXPECT_EQ(info.os_version, c.os_version) << c.name;
  }
}

TEST(PlatformDetect, FloatingPointKeyDecidesSysFpu) {
  for (bool present : {true, false}) {
    FpuKeyPresent key(present);
    int opens = host_os.reg_open_calls, closes = host_os.reg_close_calls;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    GetVersionExA(&version);
    PlatformInfo info = platform_detect(version);
    EXPECT_EQ((info.flags & SYS_FPU) != 0, present);
    EXPECT_EQ(host_os.reg_open_calls, opens + 1);
    EXPECT_EQ(host_os.reg_close_calls, closes + (present ? 1 : 0));
    EXPECT_TRUE(info.flags & SYS_NT);
  }
}

}  // namespace
