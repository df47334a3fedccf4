// Host stand-ins for the kernel, OLE and registry functions the runtime calls, with the same
// signatures and observable contract as on Windows, plus switches that make them fail on demand.
// Nothing of user32 or gdi32 is here: that code is built and tested only for Windows.
#pragma once
#include <stddef.h>
#include <stdint.h>

typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int32_t LONG;
typedef int BOOL;
typedef unsigned int UINT;
typedef void* HANDLE;
typedef void* HGLOBAL;
typedef void* HMODULE;
typedef void* HINSTANCE;
typedef void* HKEY;
typedef void* LPVOID;
typedef DWORD REGSAM;
typedef LONG HRESULT;
typedef size_t SIZE_T;
typedef uintptr_t DWORD_PTR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef wchar_t* BSTR;

#define TLS_OUT_OF_INDEXES 0xFFFFFFFFu
#define GPTR 0x40u
#define STARTF_USESHOWWINDOW 0x1u
#define KEY_READ 0x20019u
#define ERROR_SUCCESS 0L
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define VER_PLATFORM_WIN32s 0u
#define VER_PLATFORM_WIN32_WINDOWS 1u
#define VER_PLATFORM_WIN32_NT 2u
#define PROCESSOR_ARCHITECTURE_INTEL 0u
#define PROCESSOR_INTEL_386 386u
#define PROCESSOR_INTEL_486 486u
#define PROCESSOR_INTEL_PENTIUM 586u
#define SW_SHOWDEFAULT 10

typedef struct {
  DWORD dwOSVersionInfoSize, dwMajorVersion, dwMinorVersion, dwBuildNumber, dwPlatformId;
  char szCSDVersion[128];
} OSVERSIONINFOA;

typedef struct {
  DWORD cb;
  LPSTR lpReserved, lpDesktop, lpTitle;
  DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
  WORD wShowWindow, cbReserved2;
  BYTE* lpReserved2;
  HANDLE hStdInput, hStdOutput, hStdError;
} STARTUPINFOA;

typedef struct {
  WORD wProcessorArchitecture, wReserved;
  DWORD dwPageSize;
  LPVOID lpMinimumApplicationAddress, lpMaximumApplicationAddress;
  DWORD_PTR dwActiveProcessorMask;
  DWORD dwNumberOfProcessors, dwProcessorType, dwAllocationGranularity;
  WORD wProcessorLevel, wProcessorRevision;
} SYSTEM_INFO;

BSTR SysAllocStringByteLen(const char* psz, UINT len);
void SysFreeString(BSTR bstr);
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL GlobalFree(HGLOBAL mem);
DWORD TlsAlloc(void);
LPVOID TlsGetValue(DWORD index);
BOOL TlsSetValue(DWORD index, LPVOID value);
BOOL TlsFree(DWORD index);
BOOL CloseHandle(HANDLE handle);
BOOL GetVersionExA(OSVERSIONINFOA* info);
void GetStartupInfoA(STARTUPINFOA* info);
LPSTR GetCommandLineA(void);
char* GetEnvironmentStringsA(void);
HMODULE GetModuleHandleA(LPCSTR name);
void GetSystemInfo(SYSTEM_INFO* info);
LONG RegOpenKeyExA(HKEY root, LPCSTR subkey, DWORD options, REGSAM access, HKEY* result);
LONG RegCloseKey(HKEY key);
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize(void);

// Test switches and counters of the host layer.
struct HostOs {
  int string_allocs_until_failure;  // < 0: never fail; n: the allocation after the next n fails, once
  int string_blocks_live;           // string blocks allocated and not yet freed
  int string_allocs_total;          // string allocations made (successful ones)
  int string_frees_total;
  int global_allocs_until_failure;  // as above, for GlobalAlloc
  bool global_free_fails;
  bool tls_alloc_fails;
  int global_blocks_live;
  int close_handle_calls;
  bool fpu_key_present;
  int reg_open_calls, reg_close_calls;
  int ole_initialized;  // OleInitialize calls not yet balanced by OleUninitialize
};
extern HostOs host_os;
void host_os_reset();
