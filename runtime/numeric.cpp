// Numeric conversions and bit operations. Values cross between the integer and the working form
// through the frame's conversion scratch with x87 integer loads and stores: FISTP rounds under the
// working control word and, with the invalid-operation exception masked, stores the integer
// indefinite (only the top bit set) for anything beyond the signed 64-bit range or not a number,
// which is exactly the rounded integer's rule. All other integer work is on unsigned values with
// shift distances below their width, so nothing depends on signed overflow or oversized shifts.
#include "dialogkit/runtime/numeric.hpp"

#include "runtime/x87.hpp"

namespace {

typedef unsigned char Scratch[8];

// Scratch bytes are little-endian, as the x87 reads and writes them.
void scratch_put(Scratch& s, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) s[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint64_t scratch_get(const Scratch& s, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(s[i]) << (8 * i);
  return value;
}

void scratch_round(Scratch& s, long double value) { fpu_store_int64(s, value); }

long double scratch_load_int64(const Scratch& s) {
  long double value;
  __asm__("fildll %1" : "=t"(value) : "m"(s));
  return value;
}

// The signed value of the low `width` bits, without relying on out-of-range conversions.
int64_t sign_extend(uint64_t bits, unsigned width) {
  uint64_t sign = uint64_t{1} << (width - 1);
  uint64_t mask = sign | (sign - 1);
  bits &= mask;
  return bits & sign ? -static_cast<int64_t>(~bits & mask) - 1 : static_cast<int64_t>(bits);
}

uint64_t round_low_bits(ProcedureFrame* frame, long double value, int bytes) {
  scratch_round(frame->convert_scratch[0], value);
  return scratch_get(frame->convert_scratch[0], bytes);
}

enum LogicOp { LOGIC_AND, LOGIC_OR, LOGIC_XOR };

long double bit_logic(ProcedureFrame* frame, long double a, long double b, LogicOp op) {
  Scratch& x = frame->convert_scratch[0];
  Scratch& y = frame->convert_scratch[1];
  scratch_round(x, a);
  scratch_round(y, b);
  for (int i = 0; i < 8; ++i) {
    x[i] = static_cast<unsigned char>(op == LOGIC_AND ? x[i] & y[i] : op == LOGIC_OR ? x[i] | y[i] : x[i] ^ y[i]);
  }
  return scratch_load_int64(x);
}

enum ShiftOp { SHIFT_LEFT, SHIFT_RIGHT, SHIFT_RIGHT_SIGNED, ROTATE_LEFT, ROTATE_RIGHT };

int selected_bytes(uint32_t size) {
  if (size & 1) return 1;
  if (size & 2) return 2;
  if (size & 4) return 4;
  return 8;
}

// The variable's value after `count` single-bit steps; `bits` is its width and `value` holds no
// bits above it. Repeated single steps saturate for shifts and wrap for rotations, so the closed
// forms below give the same result as stepping.
uint64_t shifted(uint64_t value, unsigned bits, uint32_t count, ShiftOp op) {
  uint64_t mask = ~uint64_t{0} >> (64 - bits);
  bool negative = (value >> (bits - 1)) & 1;
  switch (op) {
    case SHIFT_LEFT:
      return count >= bits ? 0 : (value << count) & mask;
    case SHIFT_RIGHT:
      return count >= bits ? 0 : value >> count;
    case SHIFT_RIGHT_SIGNED: {
      unsigned c = count >= bits ? bits - 1 : count;
      uint64_t extended = negative ? value | ~mask : value;
      return (negative ? ~(~extended >> c) : extended >> c) & mask;
    }
    case ROTATE_LEFT:
    case ROTATE_RIGHT: {
      unsigned r = count % bits;
      if (op == ROTATE_RIGHT && r) r = bits - r;
      return r ? ((value << r) | (value >> (bits - r))) & mask : value;
    }
  }
  return value;
}

void shift_variable(void* variable, uint32_t size, uint32_t count, ShiftOp op) {
  int bytes = selected_bytes(size);
  // Narrow variables see only the low five bits of the count; 8-byte ones see all of it.
  if (bytes < 8) count &= 31;
  if (count == 0) return;
  unsigned char* p = static_cast<unsigned char*>(variable);
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(p[i]) << (8 * i);
  value = shifted(value, 8 * bytes, count, op);
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

int32_t clamp_byte(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

long double load_int8(ProcedureFrame* frame, int8_t value) {
  return load_int16(frame, value);
}

long double load_int16(ProcedureFrame* frame, int16_t value) {
  Scratch& s = frame->convert_scratch[0];
  scratch_put(s, static_cast<uint16_t>(value), 2);
  long double result;
  __asm__("filds %1" : "=t"(result) : "m"(s));
  return result;
}

long double load_uint16(ProcedureFrame* frame, uint16_t value) {
  return load_int32(frame, value);
}

long double load_int32(ProcedureFrame* frame, int32_t value) {
  Scratch& s = frame->convert_scratch[0];
  scratch_put(s, static_cast<uint32_t>(value), 4);
  long double result;
  __asm__("fildl %1" : "=t"(result) : "m"(s));
  return result;
}

long double load_uint32(ProcedureFrame* frame, uint32_t value) {
  // Zero-extended to 64 bits, the top bit of the 32-bit value is not a sign.
  Scratch& s = frame->convert_scratch[0];
  scratch_put(s, value, 8);
  return scratch_load_int64(s);
}

long double load_single(ProcedureFrame* frame, uint32_t bits) {
  Scratch& s = frame->convert_scratch[0];
  scratch_put(s, bits, 4);
  long double result;
  __asm__("flds %1" : "=t"(result) : "m"(s));
  return result;
}

int64_t rounded_integer(ProcedureFrame* frame, long double value) {
  return sign_extend(round_low_bits(frame, value, 8), 64);
}

int8_t store_int8(ProcedureFrame* frame, long double value) {
  return static_cast<int8_t>(sign_extend(round_low_bits(frame, value, 1), 8));
}

int16_t store_int16(ProcedureFrame* frame, long double value) {
  return static_cast<int16_t>(sign_extend(round_low_bits(frame, value, 2), 16));
}

int32_t store_int32(ProcedureFrame* frame, long double value) {
  return static_cast<int32_t>(sign_extend(round_low_bits(frame, value, 4), 32));
}

uint32_t store_single(ProcedureFrame* frame, long double value) {
  // FSTP to a 32-bit field rounds under the control word; overflow (masked) stores an infinity.
  Scratch& s = frame->convert_scratch[0];
  __asm__("fstps %0" : "=m"(s) : "t"(value) : "st");
  return static_cast<uint32_t>(scratch_get(s, 4));
}

long double wrap_uint32(ProcedureFrame* frame, long double value) {
  Scratch& s = frame->convert_scratch[0];
  scratch_round(s, value);
  scratch_put(s, scratch_get(s, 4), 8);
  return scratch_load_int64(s);
}

long double bit_not(ProcedureFrame* frame, long double a) {
  Scratch& s = frame->convert_scratch[0];
  scratch_round(s, a);
  for (int i = 0; i < 8; ++i) s[i] = static_cast<unsigned char>(~s[i]);
  return scratch_load_int64(s);
}

long double bit_and(ProcedureFrame* frame, long double a, long double b) {
  return bit_logic(frame, a, b, LOGIC_AND);
}

long double bit_or(ProcedureFrame* frame, long double a, long double b) {
  return bit_logic(frame, a, b, LOGIC_OR);
}

long double bit_xor(ProcedureFrame* frame, long double a, long double b) {
  return bit_logic(frame, a, b, LOGIC_XOR);
}

int32_t bit_test(const void* base, uint32_t n) {
  return (static_cast<const unsigned char*>(base)[n >> 3] >> (n & 7)) & 1;
}

void bit_reset(void* base, uint32_t n) {
  unsigned char& byte = static_cast<unsigned char*>(base)[n >> 3];
  byte = static_cast<unsigned char>(byte & ~(1u << (n & 7)));
}

void bit_set(void* base, uint32_t n) {
  unsigned char& byte = static_cast<unsigned char*>(base)[n >> 3];
  byte = static_cast<unsigned char>(byte | (1u << (n & 7)));
}

void bit_toggle(void* base, uint32_t n) {
  unsigned char& byte = static_cast<unsigned char*>(base)[n >> 3];
  byte = static_cast<unsigned char>(byte ^ (1u << (n & 7)));
}

void shift_left(void* variable, uint32_t size, uint32_t count) {
  shift_variable(variable, size, count, SHIFT_LEFT);
}

void shift_right(void* variable, uint32_t size, uint32_t count) {
  shift_variable(variable, size, count, SHIFT_RIGHT);
}

void shift_right_signed(void* variable, uint32_t size, uint32_t count) {
  shift_variable(variable, size, count, SHIFT_RIGHT_SIGNED);
}

void rotate_left(void* variable, uint32_t size, uint32_t count) {
  shift_variable(variable, size, count, ROTATE_LEFT);
}

void rotate_right(void* variable, uint32_t size, uint32_t count) {
  shift_variable(variable, size, count, ROTATE_RIGHT);
}

uint32_t rgb_pack(int32_t red, int32_t green, int32_t blue) {
  return static_cast<uint32_t>(clamp_byte(red)) | static_cast<uint32_t>(clamp_byte(green)) << 8 |
         static_cast<uint32_t>(clamp_byte(blue)) << 16;
}

uint8_t char_upper(uint8_t c) {
  return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c & ~0x20) : c;
}
