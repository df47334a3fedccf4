// Host stand-ins for the Windows services of the runtime (see os_host.hpp).
#include "os_host.hpp"

#include <stdlib.h>
#include <string.h>

HostOs host_os;

void host_os_reset() {
  host_os = HostOs{};
  host_os.string_allocs_until_failure = -1;
  host_os.global_allocs_until_failure = -1;
  host_os.fpu_key_present = true;
}

namespace {
struct Init { Init() { host_os_reset(); } } init;

bool take_failure(int& countdown) {
  if (countdown < 0) return false;
  if (countdown-- == 0) return true;  // fails once, then never again until set anew
  return false;
}

constexpr int kTlsSlots = 64;
thread_local void* tls_values[kTlsSlots];
bool tls_used[kTlsSlots];
}  // namespace

// The system string allocator's block: the 32-bit byte count just before the first byte, the
// bytes, then a zero byte (two, as the system writes a wide terminator).
BSTR SysAllocStringByteLen(const char* psz, UINT len) {
  if (take_failure(host_os.string_allocs_until_failure)) return nullptr;
  unsigned char* block = static_cast<unsigned char*>(malloc(sizeof(uint32_t) + len + 2));
  if (!block) return nullptr;
  uint32_t n = len;
  memcpy(block, &n, sizeof n);
  if (psz) memcpy(block + 4, psz, len);
  block[4 + len] = 0;
  block[5 + len] = 0;
  ++host_os.string_blocks_live;
  ++host_os.string_allocs_total;
  return reinterpret_cast<BSTR>(block + 4);
}

void SysFreeString(BSTR bstr) {
  if (!bstr) return;
  --host_os.string_blocks_live;
  ++host_os.string_frees_total;
  free(reinterpret_cast<unsigned char*>(bstr) - 4);
}

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  if (take_failure(host_os.global_allocs_until_failure)) return nullptr;
  void* p = (flags & GPTR) == GPTR ? calloc(1, bytes ? bytes : 1) : malloc(bytes ? bytes : 1);
  if (p) ++host_os.global_blocks_live;
  return p;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
  if (host_os.global_free_fails) return mem;
  if (mem) --host_os.global_blocks_live;
  free(mem);
  return nullptr;
}

DWORD TlsAlloc(void) {
  if (host_os.tls_alloc_fails) return TLS_OUT_OF_INDEXES;
  for (int i = 0; i < kTlsSlots; ++i)
    if (!tls_used[i]) { tls_used[i] = true; tls_values[i] = nullptr; return static_cast<DWORD>(i); }
  return TLS_OUT_OF_INDEXES;
}
LPVOID TlsGetValue(DWORD index) { return index < kTlsSlots ? tls_values[index] : nullptr; }
BOOL TlsSetValue(DWORD index, LPVOID value) {
  if (index >= kTlsSlots) return 0;
  tls_values[index] = value;
  return 1;
}
BOOL TlsFree(DWORD index) {
  if (index >= kTlsSlots || !tls_used[index]) return 0;
  tls_used[index] = false;
  return 1;
}

BOOL CloseHandle(HANDLE) { ++host_os.close_handle_calls; return 1; }

BOOL GetVersionExA(OSVERSIONINFOA* info) {
  if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return 0;
  info->dwMajorVersion = 6;
  info->dwMinorVersion = 1;
  info->dwBuildNumber = 7601;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  return 1;
}

void GetStartupInfoA(STARTUPINFOA* info) { info->dwFlags = 0; }

LPSTR GetCommandLineA(void) {
  static char line[] = "host.exe";
  return line;
}
char* GetEnvironmentStringsA(void) {
  static char env[] = "\0";
  return env;
}
HMODULE GetModuleHandleA(LPCSTR) {
  static char module;
  return &module;
}

void GetSystemInfo(SYSTEM_INFO* info) {
  memset(info, 0, sizeof *info);
  info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
  info->wProcessorLevel = 6;
}

LONG RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, HKEY* result) {
  ++host_os.reg_open_calls;
  if (!host_os.fpu_key_present) return 2;  // ERROR_FILE_NOT_FOUND
  *result = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234));
  return ERROR_SUCCESS;
}
LONG RegCloseKey(HKEY) { ++host_os.reg_close_calls; return ERROR_SUCCESS; }

HRESULT OleInitialize(LPVOID) { return 0; }
void OleUninitialize(void) {}
