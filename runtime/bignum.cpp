// Unsigned integers of any size (see bignum.hpp). Plain schoolbook arithmetic: the numbers are
// used only for the rare texts whose rounding the fast path cannot settle and for exact display
// digits, where simplicity is worth more than speed.
#include "runtime/bignum.hpp"

#include "runtime/memory_blocks.hpp"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-loop-distribute-patterns")
#endif

namespace {

void trim(Big* a) {
  while (a->count > 0 && a->limb[a->count - 1] == 0) --a->count;
}

}  // namespace

void big_set(Big* a, uint64_t value) {
  a->limb[0] = static_cast<uint32_t>(value);
  a->limb[1] = static_cast<uint32_t>(value >> 32);
  a->count = 2;
  trim(a);
}

void big_mul_add_small(Big* a, uint32_t factor, uint32_t addend) {
  uint64_t carry = addend;
  for (int32_t i = 0; i < a->count; ++i) {
    const uint64_t p = static_cast<uint64_t>(a->limb[i]) * factor + carry;
    a->limb[i] = static_cast<uint32_t>(p);
    carry = p >> 32;
  }
  if (carry != 0) a->limb[a->count++] = static_cast<uint32_t>(carry);
}

void big_mul_pow5(Big* a, int32_t k) {
  constexpr uint32_t FIVE_TO_13 = 1220703125u;  // the largest power of five below 2^32
  for (; k >= 13; k -= 13) big_mul_add_small(a, FIVE_TO_13, 0);
  uint32_t f = 1;
  for (; k > 0; --k) f *= 5;
  if (f != 1) big_mul_add_small(a, f, 0);
}

void big_shift_left(Big* a, int32_t bits) {
  if (a->count == 0 || bits <= 0) return;
  const int32_t limbs = bits / 32, shift = bits % 32;
  int32_t n = a->count;
  a->limb[n + limbs] = 0;
  for (int32_t i = n - 1; i >= 0; --i) {
    const uint32_t v = a->limb[i];
    if (shift != 0) a->limb[i + limbs + 1] |= v >> (32 - shift);
    a->limb[i + limbs] = v << shift;
  }
  for (int32_t i = 0; i < limbs; ++i) a->limb[i] = 0;
  a->count = n + limbs + 1;
  trim(a);
}

int big_shift_right_rounding(Big* a, int32_t bits) {
  if (bits <= 0) return 0;
  // The bits that leave: the highest of them is the half, the others below it.
  const int32_t top = bits - 1;
  const bool half = big_bit(a, top);
  bool below = false;
  for (int32_t i = 0; i < top / 32 && i < a->count && !below; ++i) below = a->limb[i] != 0;
  if (!below && top / 32 < a->count) below = (a->limb[top / 32] & ((1u << (top % 32)) - 1)) != 0;
  const int32_t limbs = bits / 32, shift = bits % 32;
  int32_t n = a->count - limbs;
  if (n <= 0) {
    a->count = 0;
  } else {
    for (int32_t i = 0; i < n; ++i) {
      uint32_t v = a->limb[i + limbs] >> shift;
      if (shift != 0 && i + limbs + 1 < a->count) v |= a->limb[i + limbs + 1] << (32 - shift);
      a->limb[i] = v;
    }
    a->count = n;
    trim(a);
  }
  return half ? (below ? 3 : 2) : (below ? 1 : 0);
}

int big_compare(const Big* a, const Big* b) {
  if (a->count != b->count) return a->count < b->count ? -1 : 1;
  for (int32_t i = a->count - 1; i >= 0; --i)
    if (a->limb[i] != b->limb[i]) return a->limb[i] < b->limb[i] ? -1 : 1;
  return 0;
}

void big_subtract(Big* a, const Big* b) {
  uint32_t borrow = 0;
  for (int32_t i = 0; i < a->count; ++i) {
    const uint64_t d = static_cast<uint64_t>(a->limb[i]) - (i < b->count ? b->limb[i] : 0) - borrow;
    a->limb[i] = static_cast<uint32_t>(d);
    borrow = static_cast<uint32_t>(d >> 63);
  }
  trim(a);
}

int32_t big_bit_length(const Big* a) {
  if (a->count == 0) return 0;
  return 32 * a->count - __builtin_clz(a->limb[a->count - 1]);
}

bool big_bit(const Big* a, int32_t n) {
  return n / 32 < a->count && ((a->limb[n / 32] >> (n % 32)) & 1) != 0;
}

uint32_t big_divide_small(Big* a, uint32_t divisor) {
  uint64_t rest = 0;
  for (int32_t i = a->count - 1; i >= 0; --i) {
    const uint64_t v = rest << 32 | a->limb[i];
    a->limb[i] = static_cast<uint32_t>(v / divisor);
    rest = v % divisor;
  }
  trim(a);
  return static_cast<uint32_t>(rest);
}

void big_divide_rounded(Big* a, Big* b, Big* q) {
  q->count = 0;
  const int32_t shift = big_bit_length(a) - big_bit_length(b);
  // b is moved up to a's length (and back down at the end), then a moves up one bit per quotient
  // bit rather than b down, so that no bit of b is ever lost.
  if (shift >= 0) big_shift_left(b, shift);
  for (int32_t i = shift; i >= 0; --i) {
    const bool one = big_compare(a, b) >= 0;
    if (one) big_subtract(a, b);
    big_mul_add_small(q, 2, one ? 1 : 0);
    if (i > 0) big_shift_left(a, 1);
  }
  // The remainder r = a / 2^shift: compare 2r with the divisor, both scaled by 2^shift.
  big_shift_left(a, 1);
  const int c = big_compare(a, b);
  if (shift > 0) big_shift_right_rounding(b, shift);
  if (c > 0 || (c == 0 && q->count > 0 && (q->limb[0] & 1))) big_mul_add_small(q, 1, 1);
}

bool big_work_begin(BigWork* work, Big* numbers, int count, int32_t limbs) {
  work->block = nullptr;
  uint32_t* storage = work->stack;
  if (static_cast<int64_t>(limbs) * count > BIG_STACK_LIMBS) {
    if (mem_alloc(static_cast<uint32_t>(limbs) * count * 4u, &work->block) != ERR_NONE) return false;
    storage = static_cast<uint32_t*>(work->block);
  } else {
    limbs = BIG_STACK_LIMBS / count;
  }
  for (int i = 0; i < count; ++i) {
    numbers[i].limb = storage + static_cast<int64_t>(i) * limbs;
    numbers[i].count = 0;
    numbers[i].capacity = limbs;
  }
  return true;
}

void big_work_end(BigWork* work) {
  if (work->block) mem_free(work->block);
}
