// The counting stand-ins of the string allocator, installed in the test program's import table.
#include "tests/win32/support/string_watch.hpp"

#include <oleauto.h>

#include <algorithm>

#include "tests/win32/support/test_support.hpp"

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

void install() {
  if (real_alloc) return;
  real_alloc = reinterpret_cast<AllocFunction>(import_patch(
      "oleaut32.dll", "SysAllocStringByteLen", reinterpret_cast<void*>(counting_alloc)));
  real_free = reinterpret_cast<FreeFunction>(
      import_patch("oleaut32.dll", "SysFreeString", reinterpret_cast<void*>(counting_free)));
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
