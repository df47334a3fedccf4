// Fuzz target for the in-place shifts and rotations: an arbitrary 8-byte value, operation, size
// selector and count up to 1000, compared with a reference that moves the variable literally one
// bit at a time (an 8-byte value as two 32-bit halves with the carry passed between them), and
// checked for writes outside the selected width.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "runtime/numeric.hpp"

namespace {

enum Op { SHL, SHR, SAR, ROL, ROR, OP_COUNT };

// One single-bit step of a value `bits` wide held in two 32-bit halves (high is 0 when narrow).
void step(Op op, uint32_t& low, uint32_t& high, int bits) {
  if (bits == 64) {
    uint32_t low_top = low >> 31, high_top = high >> 31, low_bottom = low & 1, high_bottom = high & 1;
    if (op == SHL || op == ROL) {
      high = (high << 1) | low_top;
      low = (low << 1) | (op == ROL ? high_top : 0);
    } else {
      uint32_t enter = op == ROR ? low_bottom : op == SAR ? high_top : 0;
      low = (low >> 1) | (high_bottom << 31);
      high = (high >> 1) | (enter << 31);
    }
    return;
  }
  uint32_t mask = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
  uint32_t top = (low >> (bits - 1)) & 1, bottom = low & 1;
  if (op == SHL || op == ROL) {
    low = ((low << 1) | (op == ROL ? top : 0)) & mask;
  } else {
    uint32_t enter = op == ROR ? bottom : op == SAR ? top : 0;
    low = (low >> 1) | (enter << (bits - 1));
  }
}

uint64_t reference(Op op, uint64_t value, int bits, uint32_t count) {
  uint32_t low = (uint32_t)value, high = bits == 64 ? (uint32_t)(value >> 32) : 0;
  if (bits < 32) low &= (1u << bits) - 1;
  uint32_t steps = bits == 64 ? count : count & 31;
  for (uint32_t i = 0; i < steps; ++i) step(op, low, high, bits);
  return (uint64_t)high << 32 | low;
}

void apply(Op op, void* p, uint32_t size, uint32_t count) {
  switch (op) {
    case SHL: shift_left(p, size, count); break;
    case SHR: shift_right(p, size, count); break;
    case SAR: shift_right_signed(p, size, count); break;
    case ROL: rotate_left(p, size, count); break;
    default: rotate_right(p, size, count); break;
  }
}

int selected_bytes(uint32_t size) {
  for (int b = 1; b <= 4; b <<= 1) {
    if (size & (uint32_t)b) return b;
  }
  return 8;
}

void check(Op op, uint64_t value, uint32_t size, uint32_t count) {
  int bytes = selected_bytes(size);
  unsigned char buffer[24];
  memset(buffer, 0xC3, sizeof buffer);
  memcpy(buffer + 8, &value, 8);  // the bytes past a narrow variable stay as guards too
  unsigned char before[24];
  memcpy(before, buffer, sizeof buffer);
  apply(op, buffer + 8, size, count);
  uint64_t got = 0;
  for (int i = 0; i < bytes; ++i) got |= (uint64_t)buffer[8 + i] << (8 * i);
  uint64_t want = reference(op, value, 8 * bytes, count);
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
  Op op = (Op)(data[8] % OP_COUNT);
  uint32_t count = (uint32_t)(data[9] | data[10] << 8) % 1001;
  uint32_t selector = 8;
  if (size >= 15) memcpy(&selector, data + 11, 4);
  // Every width with this value and count, then the selector the input names.
  const uint32_t widths[] = {1, 2, 4, 8};
  for (uint32_t s : widths) check(op, value, s, count);
  check(op, value, selector, count);
  return 0;
}
