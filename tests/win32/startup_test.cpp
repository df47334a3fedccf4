// Start-up and shutdown of programs built on program_entry: what the main procedure receives,
// the state it finds, and the exit codes, observed by launching the programs with CreateProcessA.
#include <gtest/gtest.h>
#include <windows.h>

#include <cpuid.h>
#include <stdlib.h>
#include <string>

#include "runtime/platform.hpp"
#include "tests/win32/programs/startup_report.hpp"
#include "tests/win32/support/test_support.hpp"

namespace {

struct Launch {
  DWORD exit_code;
  StartupReport report;
  bool reported;
};

// What this processor reads back after loading `word` into the x87 control word.
uint16_t control_word_read_back(uint16_t word) {
  uint16_t saved, read;
  __asm__ volatile("fnstcw %0" : "=m"(saved));
  __asm__ volatile("fldcw %0" : : "m"(word));
  __asm__ volatile("fnstcw %0" : "=m"(read));
  __asm__ volatile("fldcw %0" : : "m"(saved));
  return read;
}

// Starts `program` of the test's folder with the command line `"<program path>"<rest>` and waits
// for it; its exit code (0 when it cannot be started).
DWORD run_program(const char* program, const std::string& rest, const STARTUPINFOA& si) {
  std::string path = program_directory() + program;
  std::string line = "\"" + path + "\"" + rest;
  STARTUPINFOA startup = si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &pi)) {
    ADD_FAILURE() << "cannot start " << path;
    return 0;
  }
  // Two minutes: under an emulated 32-bit Wine a process takes most of a minute to start.
  if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 99);
    ADD_FAILURE() << program << " did not end";
  }
  DWORD exit_code = 0;
  GetExitCodeProcess(pi.hProcess, &exit_code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return exit_code;
}

// Runs `program` with the tail `<rest>>report file`, and reads the report file that the tail
// names after '>'.
Launch launch(const char* program, const std::string& rest, bool use_show_window, WORD show) {
  std::string report_file = program_directory() + program + std::string(".report");
  DeleteFileA(report_file.c_str());
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  if (use_show_window) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = show;
  }
  Launch result = {};
  result.exit_code = run_program(program, rest + ">" + report_file, si);
  HANDLE file = CreateFileA(report_file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD read = 0;
    ReadFile(file, &result.report, sizeof result.report, &read, nullptr);
    result.reported = read == sizeof result.report && result.report.magic == STARTUP_REPORT_MAGIC;
    CloseHandle(file);
  }
  return result;
}

TEST(Startup, MainProcedureReceivesTheStartValues) {
  Launch run = launch("startup_report.exe", "  one two ", true, 3);
  ASSERT_TRUE(run.reported);
  const StartupReport& r = run.report;
  EXPECT_EQ(run.exit_code, 0u) << "the main procedure's result must not become the exit code";
  EXPECT_EQ(r.calls, 1u);
  EXPECT_EQ(r.instance, r.module);
  EXPECT_EQ(r.previous, 0u);
  EXPECT_EQ(r.show_state, 3u);
  EXPECT_EQ(std::string(r.tail).substr(0, 9), "one two >");
  // 0x133F as written; an x86 processor reads the reserved bit 6 back as 1 (0x137F), while an
  // emulator may give the word back as written.
  EXPECT_EQ(r.control_word, control_word_read_back(0x133F));
  EXPECT_EQ(r.control_word | 0x40u, 0x137Fu);
  EXPECT_TRUE(r.shared_zero);
  // The program's module stores non-zero bytes in the globals area: the reset cleared them.
  EXPECT_TRUE(r.globals_stored);
  EXPECT_TRUE(r.globals_zero);
  EXPECT_TRUE(r.constant_intact);
  EXPECT_TRUE(r.thread_state_present);
  EXPECT_EQ(r.version_size, 148u);
}

TEST(Startup, ShowStateIsShowDefaultWithoutTheFlag) {
  Launch run = launch("startup_report.exe", " x", false, 3);
  ASSERT_TRUE(run.reported);
  EXPECT_EQ(run.report.show_state, 10u);
  EXPECT_EQ(std::string(run.report.tail).substr(0, 2), "x>");
}

TEST(Startup, PlatformInfoMatchesTheMachine) {
  Launch run = launch("startup_report.exe", " p", false, 0);
  ASSERT_TRUE(run.reported);
  const StartupReport& r = run.report;
  EXPECT_TRUE(r.platform_flags & SYS_NT);
  EXPECT_FALSE(r.platform_flags & (SYS_WIN_BUILD_950 | SYS_WIN_BUILD_1111 | SYS_WIN_LATER));
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  if (system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL) {
    EXPECT_EQ(r.platform_family, 5u) << "a processor of this century";
    EXPECT_EQ((r.platform_flags & SYS_MMX) != 0, r.cpuid_mmx != 0);
  } else {
    // A 64-bit process is told of an x64 processor, which the detection counts as not Intel.
    EXPECT_EQ(r.platform_family, 3u);
    EXPECT_FALSE(r.platform_flags & SYS_MMX);
  }
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof v;
  GetVersionExA(&v);
  EXPECT_EQ(r.os_version, ((v.dwMajorVersion & 0xFF) << 8) | (v.dwMinorVersion & 0xFF));
  // Only the bits the detection can set.
  EXPECT_EQ(r.platform_flags & ~(SYS_FPU | SYS_MMX | SYS_NT), 0u);
  HKEY key;
  bool fpu_key = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\FloatingPointProcessor",
                               0, KEY_READ, &key) == ERROR_SUCCESS;
  if (fpu_key) RegCloseKey(key);
  EXPECT_EQ((r.platform_flags & SYS_FPU) != 0, fpu_key);
}

// A program whose loops the compiler turned into calls of strlen, memcpy, memmove, memset and
// memcmp (scripts/check-calls.sh finds the calls in it): it links, and each routine gives the
// right result (one bit of the exit code each).
TEST(CompilerRoutines, LoopsThatBecomeCallsLinkAndGiveTheRightResults) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  EXPECT_EQ(run_program("compiler_routines.exe", " 0123456789", si), 31u);
}

// add_dialog_program's default manifest declares the program aware of the display's resolution.
// The loader reads it: the program's activation context holds dpiAware "true", and
// IsProcessDPIAware answers TRUE. The same program built with NO_DPI_AWARE declares nothing and
// is seen as any program that declares nothing: not aware on Windows; under Wine 8 aware all the
// same, since Wine makes every process per-monitor aware before it reads the manifest.
TEST(DpiAwareness, TheManifestMakesTheProgramDpiAware) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  const DWORD AWARE = 1, DECLARED = 2;
  DWORD with = run_program("dpi_report_aware.exe", "", si), without = run_program("dpi_report.exe", "", si);
  printf("IsProcessDPIAware: by default %lu, with NO_DPI_AWARE %lu\n", with & AWARE, without & AWARE);
  EXPECT_EQ(with & ~(AWARE | DECLARED), 16u) << "the program did not report";
  EXPECT_EQ(without & ~(AWARE | DECLARED), 16u) << "the program did not report";
  EXPECT_EQ(with & (AWARE | DECLARED), AWARE | DECLARED);
  EXPECT_EQ(without & DECLARED, 0u);
}

// The ANSI code page of the machine, as its settings name it (the page of a program that keeps it).
DWORD machine_ansi_code_page() {
  char value[16] = {};
  DWORD size = sizeof value - 1;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP",
                   RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return 0;
  return strtoul(value, nullptr, 10);
}

// add_dialog_program's manifest, part by part: each program reports its code page, whether a
// button answers BCM_GETIDEALSIZE (version 6 controls), whether supported versions and DPI
// awareness are declared. The default asks for all four; each option turns off its own part only.
TEST(Manifest, EachPartOfTheDefaultManifestTakesEffectAndEachOptionTurnsItsOwnOff) {
  const DWORD REPORTED = 0x1000000, IDEAL_SIZE = 0x10000, SUPPORTED_OS = 0x20000, DPI = 0x40000;
  DWORD ansi = machine_ansi_code_page();
  ASSERT_NE(ansi, 0u);
  ASSERT_NE(ansi, 65001u) << "the machine's own page is UTF-8: the option's effect cannot be seen";
  struct Case {
    const char* program;
    DWORD code_page, flags;
  } cases[] = {
      {"manifest_report.exe", 65001, IDEAL_SIZE | SUPPORTED_OS | DPI},
      {"manifest_report_ansi.exe", ansi, IDEAL_SIZE | SUPPORTED_OS | DPI},
      {"manifest_report_classic.exe", 65001, SUPPORTED_OS | DPI},
      {"manifest_report_no_os.exe", 65001, IDEAL_SIZE | DPI},
      {"manifest_report_none.exe", ansi, 0},
  };
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  for (const Case& c : cases) {
    DWORD code = run_program(c.program, "", si);
    printf("%s: code page %lu, flags 0x%lx\n", c.program, code & 0xFFFF, code & 0xFF0000);
    ASSERT_EQ(code & 0xFF000000, REPORTED) << c.program << " did not report";
    EXPECT_EQ(code & 0xFFFF, c.code_page) << c.program;
    EXPECT_EQ(code & 0xFF0000, c.flags) << c.program;
  }
}

TEST(Startup, FailedTlsOrRecordEndsWith255WithoutTheApplication) {
  for (const char* program : {"startup_tls_fails.exe", "startup_record_fails.exe"}) {
    Launch run = launch(program, " x", false, 0);
    EXPECT_EQ(run.exit_code, 255u) << program;
  }
}

}  // namespace
