// Host stand-ins for the Windows services of the runtime (see os_host.hpp).
#include "runtime/host/os_host.hpp"

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
//
// Like the system's allocator, this one keeps freed small blocks for reuse, per thread: a list
// for each block size of 16, 32, 48 and 64 bytes (count, bytes and terminator), each at most
// kStringCacheDepth blocks long; a thread's blocks go back to malloc when the thread ends. The
// sanitizer builds keep none, so that every block there is a block of its own to the checker.
namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr int kStringCacheDepth = 0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int kStringCacheDepth = 0;
#else
constexpr int kStringCacheDepth = 16;
#endif
#else
constexpr int kStringCacheDepth = 16;
#endif
constexpr size_t kStringCacheGrain = 16;
constexpr int kStringCacheLists = 4;

struct CachedBlock {
  CachedBlock* next;
};
struct StringCache {
  CachedBlock* first[kStringCacheLists];
  int count[kStringCacheLists];
  ~StringCache() {
    for (CachedBlock* block : first)
      while (block) {
        CachedBlock* next = block->next;
        free(block);
        block = next;
      }
  }
};
thread_local StringCache string_cache;

// The list for a block of `size` bytes, or -1 for a block too large for any.
int cache_list(size_t size) {
  const size_t k = (size - 1) / kStringCacheGrain;
  return k < kStringCacheLists ? static_cast<int>(k) : -1;
}
}  // namespace

BSTR SysAllocStringByteLen(const char* psz, UINT len) {
  if (take_failure(host_os.string_allocs_until_failure)) return nullptr;
  const size_t size = sizeof(uint32_t) + size_t{len} + 2;
  const int k = cache_list(size);
  StringCache& cache = string_cache;
  unsigned char* block;
  if (k >= 0 && cache.first[k]) {
    block = reinterpret_cast<unsigned char*>(cache.first[k]);
    cache.first[k] = cache.first[k]->next;
    --cache.count[k];
  } else {
    // A block that may go to a list is made the size of the list's blocks.
    block = static_cast<unsigned char*>(malloc(k >= 0 ? kStringCacheGrain * (k + 1) : size));
    if (!block) return nullptr;
  }
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
  unsigned char* block = reinterpret_cast<unsigned char*>(bstr) - 4;
  uint32_t n;
  memcpy(&n, block, sizeof n);
  const int k = cache_list(sizeof(uint32_t) + size_t{n} + 2);
  StringCache& cache = string_cache;
  if (k >= 0 && cache.count[k] < kStringCacheDepth) {
    CachedBlock* cached = reinterpret_cast<CachedBlock*>(block);
    cached->next = cache.first[k];
    cache.first[k] = cached;
    ++cache.count[k];
    return;
  }
  free(block);
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

HRESULT OleInitialize(LPVOID) { ++host_os.ole_initialized; return 0; }
void OleUninitialize(void) { --host_os.ole_initialized; }
