// Watches the runtime's string allocator inside a test program: the program's own import slots of
// SysAllocStringByteLen and SysFreeString are pointed at counting stand-ins that call through, so
// a test can see which strings an operation allocates and which it releases, and can make one
// size of allocation fail.
#pragma once
#include <windows.h>

#include <vector>

#include "dialogkit/runtime/frame.hpp"

struct StringWatch {
  StringWatch();   // starts counting from zero
  ~StringWatch();  // stops recording
  // Blocks allocated and not released since the watch began.
  int live() const;
  bool freed(DynString reference) const;
  std::vector<DynString> allocated, released;
  // An allocation of exactly this many bytes fails as the system's does without memory; 0 for
  // none.
  unsigned refused_length = 0;
};
