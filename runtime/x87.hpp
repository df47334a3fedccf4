// The x87 unit as the runtime works it: the control word that start-up loads for the whole run,
// and the integer stores (FISTP) that round a working value under it.
//
// The functions have internal linkage: each unit inlines its own copy as it would a local helper.
// (As external inline functions they change the size-optimising inliner's choices in number to
// text, and the product grows.)
#pragma once
#include <stdint.h>

#if !defined(__i386__) && !defined(__x86_64__)
#error "the working form needs the x87 unit"
#endif

// All six exceptions masked, 64-bit significand, rounding to nearest even, infinity control set;
// the processor reads the reserved bit 6 back as 1 (0x137F).
constexpr uint16_t FPU_CONTROL_WORD = 0x133F;

static inline void fpu_load_control_word(uint16_t word) { __asm__ volatile("fldcw %0" : : "m"(word)); }

static inline uint16_t fpu_read_control_word() {
  uint16_t word;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}

// The value rounded to an integer under the control word (nearest, ties to even in the working
// mode). With the invalid-operation exception masked, a value beyond the target's signed range or
// not a number gives the integer indefinite: only the top bit set.
static inline int32_t fpu_round_int32(long double value) {
  int32_t n;
  __asm__("fistpl %0" : "=m"(n) : "t"(value) : "st");
  return n;
}

// The same rounding to 64 bits.
static inline int64_t fpu_round_int64(long double value) {
  int64_t n;
  __asm__("fistpll %0" : "=m"(n) : "t"(value) : "st");
  return n;
}

// The 64-bit rounding stored straight into `to`, a frame's 8-byte conversion scratch field.
template <class Bytes8>
static inline void fpu_store_int64(Bytes8& to, long double value) {
  static_assert(sizeof(Bytes8) == 8, "an 8-byte destination");
  __asm__("fistpll %0" : "=m"(to) : "t"(value) : "st");
}
