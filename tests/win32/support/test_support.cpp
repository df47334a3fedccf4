// Shared helpers of the Windows test programs.
#include "tests/win32/support/test_support.hpp"

#include <commctrl.h>

#include <string.h>

void pump_messages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string program_directory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of('\\') + 1);
}

void* import_patch(const char* dll, const char* function, void* replacement) {
  unsigned char* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  void* real = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(dll), function));
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name;
       ++d) {
    if (_stricmp(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
    for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); t->u1.Function; ++t) {
      if (reinterpret_cast<void*>(t->u1.Function) != real) continue;
      DWORD old;
      VirtualProtect(&t->u1.Function, sizeof t->u1.Function, PAGE_READWRITE, &old);
      t->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&t->u1.Function, sizeof t->u1.Function, old, &old);
    }
  }
  return real;
}

std::string base_class_name(const std::string& name) {
  size_t mark = name.find('!');
  return mark == std::string::npos ? name : name.substr(mark + 1);
}

bool version6_button(HWND button) {
  SIZE size = {};
  return SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&size)) && size.cx > 0;
}
