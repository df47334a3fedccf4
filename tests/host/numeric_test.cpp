// Numeric conversions, bitwise logic, bit arrays, shifts and rotations, byte operations.
#include <gtest/gtest.h>
#include <string.h>

#include <cmath>

#include "dialogkit/runtime/numeric.hpp"
#include "tests/support/shift_model.hpp"

namespace {

const long double kNaN = std::numeric_limits<long double>::quiet_NaN();
const long double kInf = std::numeric_limits<long double>::infinity();
const long double kTwo63 = std::ldexp(1.0L, 63);
const int64_t kMin64 = std::numeric_limits<int64_t>::min();

struct RoundCase {
  long double value;
  int64_t rounded;
};

TEST(NumericConvert, RoundedIntegerTiesAndRange) {
  const RoundCase cases[] = {
      {2.5L, 2},   {3.5L, 4},    {-2.5L, -2},  {-3.5L, -4},
      {0.5L, 0},   {1.5L, 2},    {-0.5L, 0},   {6.6L, 7},
      {-6.6L, -7}, {kTwo63 - 1, INT64_MAX},    {-kTwo63, kMin64},
      {kTwo63, kMin64},          {-kTwo63 - 1, kMin64},
      {kTwo63 - 0.5L, kMin64},   // the tie rounds to the even 2^63, which is out of range
      {kInf, kMin64}, {-kInf, kMin64}, {kNaN, kMin64}, {1e300L, kMin64},
  };
  ProcedureFrame frame;
  for (const RoundCase& c : cases) EXPECT_EQ(rounded_integer(&frame, c.value), c.rounded) << (double)c.value;
}

TEST(NumericConvert, StoreLowBits) {
  ProcedureFrame frame;
  EXPECT_EQ(store_int32(&frame, 2.5L), 2);
  EXPECT_EQ(store_int32(&frame, -3.5L), -4);
  EXPECT_EQ(store_int32(&frame, 4294967296.0L + 5), 5);
  EXPECT_EQ(store_int32(&frame, 2147483648.0L), INT32_MIN);
  EXPECT_EQ(store_int32(&frame, -1.0L), -1);
  EXPECT_EQ(store_int32(&frame, kNaN), 0);  // low bits of -2^63
  EXPECT_EQ(store_int16(&frame, 70000.0L), 4464);
  EXPECT_EQ(store_int16(&frame, -32769.0L), 32767);
  EXPECT_EQ(store_int16(&frame, 32767.5L), -32768);  // rounds to 32768
  EXPECT_EQ(store_int8(&frame, 300.0L), 44);
  EXPECT_EQ(store_int8(&frame, 200.0L), -56);
  EXPECT_EQ(store_int8(&frame, -129.0L), 127);
}

TEST(NumericConvert, WrapUint32) {
  ProcedureFrame frame;
  EXPECT_EQ(wrap_uint32(&frame, -1.0L), 4294967295.0L);
  EXPECT_EQ(wrap_uint32(&frame, 4294967296.0L + 7), 7.0L);
  EXPECT_EQ(wrap_uint32(&frame, 4294967295.5L), 0.0L);  // ties to the even 2^32
  EXPECT_EQ(wrap_uint32(&frame, 2147483648.0L), 2147483648.0L);
  EXPECT_EQ(wrap_uint32(&frame, kNaN), 0.0L);
}

TEST(NumericConvert, LoadsAreExact) {
  ProcedureFrame frame;
  EXPECT_EQ(load_int8(&frame, -128), -128.0L);
  EXPECT_EQ(load_int8(&frame, 127), 127.0L);
  EXPECT_EQ(load_int16(&frame, -32768), -32768.0L);
  EXPECT_EQ(load_uint16(&frame, 65535), 65535.0L);
  EXPECT_EQ(load_int32(&frame, INT32_MIN), -2147483648.0L);
  EXPECT_EQ(load_int32(&frame, -1), -1.0L);
  EXPECT_EQ(load_uint32(&frame, 0xFFFFFFFFu), 4294967295.0L);
  EXPECT_EQ(load_uint32(&frame, 0x80000000u), 2147483648.0L);
  EXPECT_EQ(load_single(&frame, 0x3F800000u), 1.0L);
  EXPECT_EQ(load_single(&frame, 0xC0490FDBu), std::ldexp(-13176795.0L, -22));  // -pi as a float
  EXPECT_EQ(load_single(&frame, 0x00000001u), std::ldexp(1.0L, -149));
  EXPECT_EQ(load_single(&frame, 0xFF800000u), -kInf);
  EXPECT_TRUE(std::isnan(load_single(&frame, 0x7FC00000u)));
}

struct SingleCase {
  long double value;
  uint32_t bits;
};

TEST(NumericConvert, StoreSingleRoundsToNearestEven) {
  const long double flt_max = std::numeric_limits<float>::max();
  const long double flt_half_ulp = std::ldexp(1.0L, 103);  // half the spacing below 2^128
  const SingleCase cases[] = {
      {1.0L, 0x3F800000u},
      {1.0L + std::ldexp(1.0L, -24), 0x3F800000u},      // tie, even is 1.0
      {1.0L + 3 * std::ldexp(1.0L, -24), 0x3F800002u},  // tie, even is the upper neighbour
      {1.0L + std::ldexp(1.0L, -24) + std::ldexp(1.0L, -40), 0x3F800001u},
      {-0.0L, 0x80000000u},
      {std::ldexp(1.0L, -149), 0x00000001u},
      {flt_max, 0x7F7FFFFFu},
      {flt_max + flt_half_ulp - 1e20L, 0x7F7FFFFFu},
      {flt_max + flt_half_ulp, 0x7F800000u},  // tie rounds to even 2^128: overflow
      {std::ldexp(1.0L, 128), 0x7F800000u},
      {-1e300L, 0xFF800000u},
      {kInf, 0x7F800000u},
  };
  ProcedureFrame frame;
  for (const SingleCase& c : cases) EXPECT_EQ(store_single(&frame, c.value), c.bits) << (double)c.value;
  uint32_t nan = store_single(&frame, kNaN);
  EXPECT_EQ(nan & 0x7F800000u, 0x7F800000u);
  EXPECT_NE(nan & 0x007FFFFFu, 0u);
}

TEST(NumericConvert, TouchesOnlyTheScratchFields) {
  ProcedureFrame frame;
  memset(&frame, 0xA5, sizeof frame);
  ProcedureFrame before = frame;
  store_int32(&frame, 1.0L);
  load_int8(&frame, 1);
  load_uint32(&frame, 1);
  store_single(&frame, 1.0L);
  bit_xor(&frame, 12.0L, 10.0L);
  EXPECT_EQ(memcmp(&frame, &before, offsetof(ProcedureFrame, convert_scratch)), 0);
  const unsigned char* end = reinterpret_cast<const unsigned char*>(&frame.convert_scratch) + 16;
  const unsigned char* frame_end = reinterpret_cast<const unsigned char*>(&frame + 1);
  for (const unsigned char* p = end; p < frame_end; ++p) EXPECT_EQ(*p, 0xA5);
  // The two-operand logic leaves its rounded operands in the two fields.
  EXPECT_EQ(frame.convert_scratch[1][0], 10);
  EXPECT_EQ(frame.convert_scratch[0][0], 12 ^ 10);
}

TEST(NumericLogic, Operations) {
  ProcedureFrame f;
  EXPECT_EQ(bit_and(&f, 6.6L, 3.0L), 3.0L);
  EXPECT_EQ(bit_and(&f, 3.0L, 6.6L), 3.0L);
  EXPECT_EQ(bit_not(&f, 0.0L), -1.0L);
  EXPECT_EQ(bit_not(&f, -1.0L), 0.0L);
  EXPECT_EQ(bit_not(&f, kTwo63), kTwo63 - 1);  // 2^63 is first -2^63
  EXPECT_EQ(bit_or(&f, kNaN, 0.0L), -kTwo63);
  EXPECT_EQ(bit_or(&f, std::ldexp(1.0L, 62), 1.0L), std::ldexp(1.0L, 62) + 1);
  EXPECT_EQ(bit_xor(&f, -1.0L, 1.0L), -2.0L);
  EXPECT_EQ(bit_xor(&f, 2.5L, 3.5L), 6.0L);  // 2 ^ 4
  EXPECT_EQ(bit_and(&f, -1.0L, 4294967296.0L * 3), 4294967296.0L * 3);
}

TEST(NumericBits, ArrayOperations) {
  const unsigned char two[2] = {0x00, 0x02};
  EXPECT_EQ(bit_test(two, 9), 1);
  EXPECT_EQ(bit_test(two, 8), 0);
  EXPECT_EQ(bit_test(two, 1), 0);
  EXPECT_EQ(bit_test(two, 13), 0);  // bit 5 of the second byte, not bit 1

  unsigned char bytes[6] = {0, 0, 0, 0, 0, 0};
  bit_set(bytes + 1, 31);
  EXPECT_EQ(bytes[4], 0x80);
  bit_set(bytes + 1, 0);
  bit_toggle(bytes + 1, 3);
  EXPECT_EQ(bytes[1], 0x09);
  bit_toggle(bytes + 1, 3);
  bit_reset(bytes + 1, 31);
  bit_reset(bytes + 1, 30);  // already clear
  const unsigned char expected[6] = {0, 0x01, 0, 0, 0, 0};
  EXPECT_EQ(memcmp(bytes, expected, 6), 0);
  EXPECT_EQ(bit_test(bytes + 1, 0), 1);
}

// Runs one operation on a variable placed between guard bytes; returns the variable's value and
// checks that nothing around it changed.
uint64_t run_guarded(ShiftOp op, uint64_t value, uint32_t size, int bytes, uint32_t count) {
  unsigned char buffer[24];
  memset(buffer, 0x5A, sizeof buffer);
  for (int i = 0; i < bytes; ++i) buffer[8 + i] = (unsigned char)(value >> (8 * i));
  shift_apply(op, buffer + 8, size, count);
  uint64_t out = 0;
  for (int i = 0; i < bytes; ++i) out |= uint64_t(buffer[8 + i]) << (8 * i);
  for (int i = 0; i < 24; ++i) {
    if (i < 8 || i >= 8 + bytes) {
      EXPECT_EQ(buffer[i], 0x5A) << "byte " << i << " beside the variable";
    }
  }
  return out;
}

TEST(NumericShift, TableAgainstBitModel) {
  const uint64_t patterns[] = {1, 0x81, 0x8000000000000001ull, 0xFFFFFFFFFFFFFFFFull,
                               0xA5C3E1F00F1E3C5Aull, 0x7F7F7F7F7F7F7F7Full, 0};
  const int widths[] = {1, 2, 4, 8};
  for (int bytes : widths) {
    int bits = 8 * bytes;
    const uint32_t counts[] = {0, 1, uint32_t(bits - 1), uint32_t(bits), 31, 32, 63, 64, 65, 200};
    uint64_t mask = bits == 64 ? ~0ull : (1ull << bits) - 1;
    for (uint64_t pattern : patterns) {
      // Each pattern as it is and with the variable's sign bit set.
      const uint64_t values[] = {pattern & mask, (pattern | (1ull << (bits - 1))) & mask};
      for (uint64_t value : values) {
        for (uint32_t count : counts) {
          for (ShiftOp op : {SHL, SHR, SAR, ROL, ROR}) {
            EXPECT_EQ(run_guarded(op, value, bytes, bytes, count), shift_reference(op, value, bits, count))
                << "op " << op << " width " << bits << " value " << std::hex << value << std::dec
                << " count " << count;
          }
        }
      }
    }
  }
}

TEST(NumericShift, NamedCases) {
  EXPECT_EQ(run_guarded(SHL, 1, SIZE_DWORD, 4, 31), 0x80000000u);
  EXPECT_EQ(run_guarded(SHL, 1, SIZE_DWORD, 4, 32), 1u);
  EXPECT_EQ(run_guarded(SHL, 1, SIZE_QWORD, 8, 64), 0u);
  EXPECT_EQ(run_guarded(ROR, 1, SIZE_QWORD, 8, 1), 0x8000000000000000ull);
  EXPECT_EQ(run_guarded(ROL, 0x81, SIZE_BYTE, 1, 1), 0x03u);
  EXPECT_EQ(run_guarded(SAR, 0x8000, SIZE_WORD, 2, 20), 0xFFFFu);
  EXPECT_EQ(run_guarded(ROL, 0x1234, SIZE_WORD, 2, 36), 0x2341u);  // 36 mod 32 = 4
  EXPECT_EQ(run_guarded(ROL, 0x8000000000000001ull, SIZE_QWORD, 8, 0xFFFFFFFFu), 0xC000000000000000ull);
  EXPECT_EQ(run_guarded(SAR, 0x8000000000000000ull, SIZE_QWORD, 8, 0xFFFFFFFFu), ~0ull);
  EXPECT_EQ(run_guarded(SHR, ~0ull, SIZE_QWORD, 8, 0xFFFFFFFFu), 0u);
}

struct SelectorCase {
  uint32_t size;
  int bytes;
};

TEST(NumericShift, SelectorsChooseByLowestSetBit) {
  const SelectorCase cases[] = {{3, 1}, {5, 1}, {7, 1}, {9, 1},  {6, 2},  {10, 2},
                                {12, 4}, {0, 8}, {16, 8}, {0x80000000u, 8}};
  for (const SelectorCase& c : cases) {
    // The whole 8 bytes are set, so a wider access than selected would show in the guards.
    EXPECT_EQ(run_guarded(ROL, 0x8000000000000001ull, c.size, c.bytes, 1),
              shift_reference(ROL, 0x8000000000000001ull & (c.bytes == 8 ? ~0ull : (1ull << (8 * c.bytes)) - 1),
                              8 * c.bytes, 1))
        << "selector " << c.size;
  }
}

TEST(NumericBytes, RgbPack) {
  EXPECT_EQ(rgb_pack(300, -4, 128), 0x008000FFu);
  EXPECT_EQ(rgb_pack(255, 192, 128), 0x0080C0FFu);
  EXPECT_EQ(rgb_pack(INT32_MIN, INT32_MAX, 256), 0x00FFFF00u);
  EXPECT_EQ(rgb_pack(0, 0, 0), 0u);
}

TEST(NumericBytes, CharUpperChangesOnlyLowercaseLetters) {
  for (int c = 0; c < 256; ++c) {
    int expected = c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c;
    EXPECT_EQ(char_upper((uint8_t)c), expected) << c;
  }
  EXPECT_EQ(char_upper('z'), 'Z');
  EXPECT_EQ(char_upper('{'), '{');
}

}  // namespace
