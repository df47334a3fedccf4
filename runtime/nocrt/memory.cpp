// The routines the compiler may emit calls to on its own: memcpy, memmove, memset and memcmp
// (for copies, fills and comparisons of blocks) and strlen (for a loop that counts up to a zero
// byte). Programs without a C runtime link these instead of importing them from a C runtime DLL.
// Each is a section of its own: a program holds only those it calls. The library is plain object
// code even in a build with link-time optimisation (cmake/windows.cmake says why).
#include <stddef.h>

extern "C" {

// The loops must not be turned back into calls of themselves.
#define COMPILER_ROUTINE __attribute__((optimize("no-tree-loop-distribute-patterns")))

COMPILER_ROUTINE void* memcpy(void* to, const void* from, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(to);
  const unsigned char* s = static_cast<const unsigned char*>(from);
  while (n--) *d++ = *s++;
  return to;
}

COMPILER_ROUTINE void* memmove(void* to, const void* from, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(to);
  const unsigned char* s = static_cast<const unsigned char*>(from);
  if (d < s) {
    while (n--) *d++ = *s++;
  } else {
    while (n--) d[n] = s[n];
  }
  return to;
}

COMPILER_ROUTINE void* memset(void* to, int value, size_t n) {
  unsigned char* d = static_cast<unsigned char*>(to);
  while (n--) *d++ = static_cast<unsigned char>(value);
  return to;
}

// The first differing bytes compared as unsigned.
COMPILER_ROUTINE int memcmp(const void* a, const void* b, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(a);
  const unsigned char* q = static_cast<const unsigned char*>(b);
  for (; n; --n, ++p, ++q)
    if (*p != *q) return *p - *q;
  return 0;
}

COMPILER_ROUTINE size_t strlen(const char* text) {
  const char* end = text;
  while (*end) ++end;
  return static_cast<size_t>(end - text);
}

}  // extern "C"
