// Unsigned integers of any size, as far as reading and writing decimal numbers exactly needs them:
// built from decimal digits, multiplied by small numbers and powers of five, shifted, compared,
// subtracted and divided. Limbs of 32 bits, least significant first, in storage the caller gives
// (a work area on the stack for the usual sizes, a memory block for the rare large ones). Only
// the number parser's hard cases and the display formats use them.
#pragma once
#include <stdint.h>

struct Big {
  uint32_t* limb;  // limb[0] is the lowest
  int32_t count;   // limbs in use; 0 is the number 0; the top limb in use is not 0
  int32_t capacity;
};

void big_set(Big* a, uint64_t value);
void big_mul_add_small(Big* a, uint32_t factor, uint32_t addend);  // a = a x factor + addend
void big_mul_pow5(Big* a, int32_t k);                               // a = a x 5^k, k >= 0
void big_shift_left(Big* a, int32_t bits);
// a = a >> bits; gives 0 if the bits shifted out were 0, 1 if they were below a half of the
// unit kept, 2 if exactly a half, 3 if above.
int big_shift_right_rounding(Big* a, int32_t bits);
int big_compare(const Big* a, const Big* b);
void big_subtract(Big* a, const Big* b);  // a = a - b, a >= b
int32_t big_bit_length(const Big* a);
bool big_bit(const Big* a, int32_t n);
uint32_t big_divide_small(Big* a, uint32_t divisor);  // a = a / divisor, gives the remainder
// a / b to nearest, ties to an even quotient, into q; a is left with the remainder's double.
// q's bits are found one at a time: meant for quotients of tens of bits.
void big_divide_rounded(Big* a, Big* b, Big* q);  // b is shifted and restored

// The limbs a number of `bits` bits needs, with room to grow by a few.
inline int32_t big_limbs_for(int64_t bits) { return static_cast<int32_t>(bits / 32 + 4); }

// Work storage for `count` numbers of `limbs` limbs each: a buffer on the stack when they fit
// it, a memory block otherwise (given back by big_work_end). False when no block can be had.
constexpr int32_t BIG_STACK_LIMBS = 384;  // 1.5 KiB: below a page, as frames must stay here
struct BigWork {
  uint32_t stack[BIG_STACK_LIMBS];
  void* block;
};
bool big_work_begin(BigWork* work, Big* numbers, int count, int32_t limbs);
void big_work_end(BigWork* work);
