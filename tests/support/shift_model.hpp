// The reference model of the in-place shifts and rotations (runtime/numeric.hpp): the variable
// moved one bit per step, each step moving every bit one place and filling the place left empty
// with a zero, the sign or the bit moved out. Byte, word and dword variables take the count
// modulo 32; an 8-byte variable takes every step.
#pragma once
#include <stdint.h>

#include "dialogkit/runtime/numeric.hpp"

enum ShiftOp { SHL, SHR, SAR, ROL, ROR, SHIFT_OP_COUNT };

// What `op` makes of a variable `bits` wide (8, 16, 32 or 64) holding `value` after `count` steps.
uint64_t shift_reference(ShiftOp op, uint64_t value, int bits, uint32_t count);

// The runtime's operation for `op` on the variable at `variable`, selected by `size`.
inline void shift_apply(ShiftOp op, void* variable, uint32_t size, uint32_t count) {
  switch (op) {
    case SHL: shift_left(variable, size, count); break;
    case SHR: shift_right(variable, size, count); break;
    case SAR: shift_right_signed(variable, size, count); break;
    case ROL: rotate_left(variable, size, count); break;
    default: rotate_right(variable, size, count); break;
  }
}
