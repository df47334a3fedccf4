// The counting stand-ins of the string allocator, installed in the test program's import table.
#include "tests/win32/support/string_watch.hpp"

#include <oleauto.h>
#include <string.h>

#include <algorithm>

namespace {

typedef BSTR(WINAPI* AllocFunction)(LPCSTR, UINT);
typedef void(WINAPI* FreeFunction)(BSTR);
AllocFunction real_alloc;
FreeFunction real_free;
StringWatch* active;

BSTR WINAPI counting_alloc(LPCSTR bytes, UINT n) {
  if (active && active->refused_length && n == active->refused_length) return nullptr;
  BSTR block = real_alloc(bytes, n);
  if (active && block) active->allocated.push_back(reinterpret_cast<DynString>(block));
  return block;
}

void WINAPI counting_free(BSTR block) {
  if (active && block) active->released.push_back(reinterpret_cast<DynString>(block));
  real_free(block);
}

// Points the program's import slot of `function` in oleaut32 at `replacement`; returns the
// system's function.
void* patch_import(const char* function, void* replacement) {
  unsigned char* base = reinterpret_cast<unsigned char*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  void* real = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("oleaut32.dll"), function));
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name;
       ++d) {
    if (_stricmp(reinterpret_cast<char*>(base + d->Name), "oleaut32.dll") != 0) continue;
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

void install() {
  if (real_alloc) return;
  real_alloc = reinterpret_cast<AllocFunction>(
      patch_import("SysAllocStringByteLen", reinterpret_cast<void*>(counting_alloc)));
  real_free = reinterpret_cast<FreeFunction>(
      patch_import("SysFreeString", reinterpret_cast<void*>(counting_free)));
}

}  // namespace

StringWatch::StringWatch() {
  install();
  active = this;
}

StringWatch::~StringWatch() { active = nullptr; }

int StringWatch::live() const {
  return static_cast<int>(allocated.size()) - static_cast<int>(released.size());
}

bool StringWatch::freed(DynString reference) const {
  return std::find(released.begin(), released.end(), reference) != released.end();
}
