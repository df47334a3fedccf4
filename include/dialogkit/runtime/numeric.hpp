// Numeric conversions and bit operations: stored numbers into the working form (the x87 80-bit
// extended value) and back, bitwise logic on working values, bit arrays, in-place shifts and
// rotations of 1, 2, 4 and 8-byte integer variables, and two byte operations. Nothing here checks
// a range or reports an error: values wrap to the low bits of their rounded integer.
#pragma once
#include <limits>

#include "dialogkit/runtime/frame.hpp"

static_assert(std::numeric_limits<long double>::digits == 64, "x87 80-bit extended format");

// Into the working form, exact in every case. The value passes through the frame's first
// conversion scratch field.
long double load_int8(ProcedureFrame* frame, int8_t value);
long double load_int16(ProcedureFrame* frame, int16_t value);
long double load_uint16(ProcedureFrame* frame, uint16_t value);
long double load_int32(ProcedureFrame* frame, int32_t value);
long double load_uint32(ProcedureFrame* frame, uint32_t value);
long double load_single(ProcedureFrame* frame, uint32_t bits);  // the float's 32 bits

// The rounded integer of a working value: to nearest, ties to even (under the working control
// word); beyond the signed 64-bit range, and not-a-number, give -2^63.
int64_t rounded_integer(ProcedureFrame* frame, long double value);

// Out of the working form: the low bits of the rounded integer.
int8_t store_int8(ProcedureFrame* frame, long double value);
int16_t store_int16(ProcedureFrame* frame, long double value);
int32_t store_int32(ProcedureFrame* frame, long double value);
// Rounded to single precision, nearest even; out of range gives an infinity. Returns its 32 bits.
uint32_t store_single(ProcedureFrame* frame, long double value);
// The low 32 bits of the rounded integer read as unsigned, as a working value again.
long double wrap_uint32(ProcedureFrame* frame, long double value);

// Bitwise logic over the 64 bits of the operands' rounded integers. The two-operand forms use
// both conversion scratch fields.
long double bit_not(ProcedureFrame* frame, long double a);
long double bit_and(ProcedureFrame* frame, long double a, long double b);
long double bit_or(ProcedureFrame* frame, long double a, long double b);
long double bit_xor(ProcedureFrame* frame, long double a, long double b);

// Bit arrays: bit n is bit (n mod 8) of the byte at offset n / 8. n is not checked against the
// array's size.
int32_t bit_test(const void* base, uint32_t n);  // 1 or 0
void bit_reset(void* base, uint32_t n);
void bit_set(void* base, uint32_t n);
void bit_toggle(void* base, uint32_t n);

// Size selectors of the in-place shifts and rotations. The lowest set bit among the three low
// bits chooses the width (so 3, 5 and 7 select a byte, 6 a word); a selector whose three low bits
// are all clear selects an 8-byte value stored low half first. Only the selected width is touched.
enum : uint32_t { SIZE_BYTE = 1, SIZE_WORD = 2, SIZE_DWORD = 4, SIZE_QWORD = 8 };

// Counts: 0 changes nothing. Byte, word and dword variables use only the low five bits of the
// count; an 8-byte variable moves one bit per count, so 64 or more empties it (or fills it with
// its sign) and a rotation turns by the count modulo 64.
void shift_left(void* variable, uint32_t size, uint32_t count);
void shift_right(void* variable, uint32_t size, uint32_t count);
void shift_right_signed(void* variable, uint32_t size, uint32_t count);
void rotate_left(void* variable, uint32_t size, uint32_t count);
void rotate_right(void* variable, uint32_t size, uint32_t count);

// Each argument clamped to 0..255; red + green x 256 + blue x 65536.
uint32_t rgb_pack(int32_t red, int32_t green, int32_t blue);
// "a" to "z" become "A" to "Z"; every other byte is returned unchanged.
uint8_t char_upper(uint8_t c);
