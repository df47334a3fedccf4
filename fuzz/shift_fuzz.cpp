// Fuzz target for the in-place shifts and rotations: an arbitrary 8-byte value, operation, size
// selector and count up to 1000, compared with the reference model that moves the variable one
// bit at a time (tests/support/shift_model.hpp), and checked for writes outside the selected
// width.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tests/support/shift_model.hpp"

namespace {

int selected_bytes(uint32_t size) {
  for (int b = 1; b <= 4; b <<= 1) {
    if (size & (uint32_t)b) return b;
  }
  return 8;
}

void check(ShiftOp op, uint64_t value, uint32_t size, uint32_t count) {
  int bytes = selected_bytes(size);
  unsigned char buffer[24];
  memset(buffer, 0xC3, sizeof buffer);
  memcpy(buffer + 8, &value, 8);  // the bytes past a narrow variable stay as guards too
  unsigned char before[24];
  memcpy(before, buffer, sizeof buffer);
  shift_apply(op, buffer + 8, size, count);
  uint64_t got = 0;
  for (int i = 0; i < bytes; ++i) got |= (uint64_t)buffer[8 + i] << (8 * i);
  uint64_t want = shift_reference(op, value, 8 * bytes, count);
  bool guards_ok = true;
  for (int i = 0; i < 24; ++i) {
    if (i < 8 || i >= 8 + bytes) guards_ok &= buffer[i] == before[i];
  }
  if (got != want || !guards_ok) {
    fprintf(stderr, "op %d size %u count %u value %016llx: got %016llx want %016llx guards %d\n", op,
            size, count, (unsigned long long)value, (unsigned long long)got, (unsigned long long)want,
            guards_ok);
    abort();
  }
}

}  // namespace

// Input: 8 bytes value, 1 byte operation, 2 bytes count (taken modulo 1001), 4 bytes selector.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 11) return 0;
  uint64_t value;
  memcpy(&value, data, 8);
  ShiftOp op = (ShiftOp)(data[8] % SHIFT_OP_COUNT);
  uint32_t count = (uint32_t)(data[9] | data[10] << 8) % 1001;
  uint32_t selector = 8;
  if (size >= 15) memcpy(&selector, data + 11, 4);
  // Every width with this value and count, then the selector the input names.
  const uint32_t widths[] = {1, 2, 4, 8};
  for (uint32_t s : widths) check(op, value, s, count);
  check(op, value, selector, count);
  return 0;
}
