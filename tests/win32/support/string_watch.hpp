// Watches the runtime's string allocator inside a test program: the program's own import slots of
// SysAllocStringByteLen and SysFreeString are pointed at counting stand-ins that call through, so
// a test can see which strings an operation allocates and which it releases.
#pragma once
#include <windows.h>

#include <vector>

#include "runtime/frame.hpp"

struct StringWatch {
  StringWatch();   // starts counting from zero
  ~StringWatch();  // stops recording
  // Blocks allocated and not released since the watch began.
  int live() const;
  bool freed(DynString reference) const;
  std::vector<DynString> allocated, released;
};
