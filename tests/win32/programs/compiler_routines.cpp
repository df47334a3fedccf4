// A program built on program_entry whose plain loops the compiler turns into calls of the
// routines a C runtime would provide: strlen, memcpy, memmove, memset, and a comparison of a
// run-time length that becomes memcmp. It links only because the runtime provides them. Its
// command-line tail is "0123456789" (the loops work on it, so nothing is known at compile time);
// it ends with ExitProcess and an exit code with one bit per routine whose result was right
// (1 strlen, 2 memcpy, 4 memmove, 8 memset, 16 memcmp): 31 when all were. Optimising for size,
// the compiler writes a copy or fill of unknown length as a string instruction in place; this
// program is built with -mstringop-strategy=libcall, so that it calls the routine instead.
#include <stddef.h>
#include <windows.h>

#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/startup.hpp"

struct NoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(NoConstants, {});

namespace {

// Each loop in a function of its own, so that it stays one loop whatever the caller does.
__attribute__((noinline)) size_t count_bytes(const char* text) {
  size_t n = 0;
  while (text[n]) ++n;  // strlen
  return n;
}

__attribute__((noinline)) void copy_bytes(char* __restrict to, const char* __restrict from, size_t n) {
  for (size_t i = 0; i < n; ++i) to[i] = from[i];  // memcpy
}

__attribute__((noinline)) void move_down(char* bytes, size_t by, size_t n) {
  for (size_t i = 0; i < n; ++i) bytes[i] = bytes[i + by];  // memmove: the ranges overlap
}

__attribute__((noinline)) void fill_bytes(char* to, char value, size_t n) {
  for (size_t i = 0; i < n; ++i) to[i] = value;  // memset
}

__attribute__((noinline)) int compare_bytes(const char* a, const char* b, size_t n) {
  return __builtin_memcmp(a, b, n);  // memcmp: the length is known at run time only
}

// Byte by byte, with no routine behind it: the judge of the others.
bool same(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char* tail, uint32_t) {
  uint32_t right = 0;
  char bytes[16] = {};
  size_t n = count_bytes(tail);
  if (n == 10) right |= 1;
  if (n > 10) ExitProcess(0);  // not the expected tail: nothing below would mean anything
  copy_bytes(bytes, tail, n);
  if (same(bytes, "0123456789", 10)) right |= 2;
  move_down(bytes, 3, n - 3);
  if (same(bytes, "3456789789", 10)) right |= 4;
  fill_bytes(bytes + 7, 'x', n - 7);
  if (same(bytes, "3456789xxx", 10)) right |= 8;
  if (compare_bytes(bytes, "3456789xxx", n) == 0 && compare_bytes(bytes, tail, n) > 0 &&
      compare_bytes(tail, bytes, n) < 0)
    right |= 16;
  ExitProcess(right);  // the results as the exit code; start-up's shutdown is not needed here
}
