// The shifts' reference model (see shift_model.hpp).
#include "tests/support/shift_model.hpp"

uint64_t shift_reference(ShiftOp op, uint64_t value, int bits, uint32_t count) {
  const uint64_t top_bit = uint64_t{1} << (bits - 1);
  const uint64_t mask = top_bit | (top_bit - 1);
  uint64_t v = value & mask;
  const uint32_t steps = bits < 64 ? count % 32 : count;
  for (uint32_t s = 0; s < steps; ++s) {
    // Every bit moves one place; the place left empty takes the bit the operation names.
    const bool top = (v & top_bit) != 0, bottom = (v & 1) != 0;
    if (op == SHL || op == ROL) {
      v = ((v << 1) & mask) | (op == ROL && top ? 1 : 0);
    } else {
      const bool enter = op == ROR ? bottom : op == SAR ? top : false;
      v = (v >> 1) | (enter ? top_bit : 0);
    }
  }
  return v;
}
