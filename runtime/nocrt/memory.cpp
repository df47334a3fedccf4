// The few memory routines the compiler may emit calls to. Programs without a C runtime link
// these instead of importing them from a C runtime DLL.
#include <stddef.h>

extern "C" {

// The loops must not be turned back into calls of themselves; kept under link-time optimisation,
// where calls to them may appear only after the code is generated.
__attribute__((used, optimize("no-tree-loop-distribute-patterns"))) void* memcpy(void* to, const void* from, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(to);
  const unsigned char* s = static_cast<const unsigned char*>(from);
  while (n--) *d++ = *s++;
  return to;
}

__attribute__((used, optimize("no-tree-loop-distribute-patterns"))) void* memmove(void* to, const void* from, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(to);
  const unsigned char* s = static_cast<const unsigned char*>(from);
  if (d < s) {
    while (n--) *d++ = *s++;
  } else {
    while (n--) d[n] = s[n];
  }
  return to;
}

__attribute__((used, optimize("no-tree-loop-distribute-patterns"))) void* memset(void* to, int value, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(to);
  while (n--) *d++ = static_cast<unsigned char>(value);
  return to;
}

}  // extern "C"
