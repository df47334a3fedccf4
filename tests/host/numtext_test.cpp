// Number to text: the texts of chosen values, every kind of 80-bit pattern, the powers-of-ten
// table checked against exact integer arithmetic, and the meaning of the text checked exactly
// against the value over the whole exponent range (tests/support/exact_decimal.hpp).
#include <gtest/gtest.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "dialogkit/runtime/errors.hpp"
#include "dialogkit/runtime/numtext.hpp"
#include "runtime/os.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "tests/support/exact_decimal.hpp"
#include "tests/support/host_switch.hpp"
#include "tests/support/number_text_grammar.hpp"

namespace {

// --- The bits of an extended value --------------------------------------------------------------

struct Bits {
  uint64_t significand;
  uint16_t sign_exponent;
};
long double from_bits(uint16_t sign_exponent, uint64_t significand) {
  long double v = 0;
  memcpy(&v, &significand, 8);
  memcpy(reinterpret_cast<char*>(&v) + 8, &sign_exponent, 2);
  return v;
}
Bits bits_of(long double v) {
  Bits b;
  memcpy(&b.significand, &v, 8);
  memcpy(&b.sign_exponent, reinterpret_cast<char*>(&v) + 8, 2);
  return b;
}

std::string text_of(long double value, int digits) {
  char buffer[32];
  int n = number_text_format(value, digits, buffer);
  EXPECT_GE(n, 2);
  EXPECT_LE(n, (digits >= 1 && digits <= 17 ? digits : 18) + 8);
  return std::string(buffer, n);
}

// --- Texts of chosen values ----------------------------------------------------------------------

struct Case {
  long double value;
  int digits;
  const char* text;
};

TEST(NumberTextTest, ChosenValuesWithFifteenDigits) {
  const long double inf = __builtin_infl();
  const Case cases[] = {
      {0, 15, " 0"},
      {7, 15, " 7"},
      {640, 15, " 640"},
      {1024, 15, " 1024"},
      {65535, 15, " 65535"},
      {-5, 15, "-5"},
      {-640, 15, "-640"},
      {2147483647, 15, " 2147483647"},
      {-2147483648.0L, 15, "-2147483648"},
      {0.5L, 15, " .5"},
      {-0.5L, 15, "-.5"},
      {0.125L, 15, " .125"},
      {1.5L, 15, " 1.5"},
      {999999999999999.0L, 15, " 999999999999999"},
      {1e15L, 15, " 1E+15"},
      {12345678901234567.0L, 15, " 1.23456789012346E+16"},
      {0.001, 15, " .001"},
      {0.00001, 15, " .00001"},
      {1e-14, 15, " .00000000000001"},
      {1.5e-15, 15, " 1.5E-15"},
      {1e-16, 15, " 1E-16"},
      {1e300, 15, " 1E+300"},
      {1e-300, 15, " 1E-300"},
      {0.1, 15, " .1"},
      {0.3, 15, " .3"},
      {-0.0L, 15, "-0"},
      {from_bits(0x0000, 0x0000000000000001u), 15, " 0"},
      {from_bits(0x8000, 0x7FFFFFFFFFFFFFFFu), 15, "-0"},
      {inf, 15, " 9.99999999999999E+998"},
      {-inf, 15, "-9.99999999999999E+998"},
      {__builtin_nanl(""), 15, " 0"},
      {-__builtin_nanl(""), 15, "-0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text_of(c.value, c.digits), c.text) << "value " << static_cast<double>(c.value);
    // The same text comes out as a string temporary.
    ProcedureFrame frame{};
    number_to_text(&frame, c.value);
    ASSERT_EQ(temp_count(&frame), 1);
    StringView view = temp_view(&frame, 0);
    EXPECT_EQ(std::string(view.data, view.length), c.text);
    EXPECT_EQ(view.data[view.length], 0);
    temp_pop_free(&frame);
    EXPECT_EQ(frame.error_word, 0u);
  }
}

TEST(NumberTextTest, ChosenValuesWithOtherDigitCounts) {
  const Case cases[] = {
      {2147483647, 7, " 2.147484E+9"},
      {12345678, 7, " 1.234568E+7"},
      {1234567.5L, 7, " 1234568"},
      {1234568.5L, 7, " 1234568"},
      {12.5L, 2, " 12"},
      {13.5L, 2, " 14"},
      {12.51L, 2, " 12"},
      {99.5L, 2, " 1E+2"},
      {100, 2, " 1E+2"},
      {15, 1, " 2E+1"},
      {25, 1, " 2E+1"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(text_of(c.value, c.digits), c.text) << static_cast<double>(c.value) << " D=" << c.digits;
  ProcedureFrame frame{};
  number_to_text_single(&frame, 2147483647);
  StringView view = temp_view(&frame, 0);
  EXPECT_EQ(std::string(view.data, view.length), " 2.147484E+9");
  temp_pop_free(&frame);
}

TEST(NumberTextTest, RoundingLooksAtTheOneDroppedDigitOnly) {
  const Case cases[] = {
      {2.5L, 1, " 2"},       {3.5L, 1, " 4"},     {2.51L, 1, " 2"},     {2.6L, 1, " 3"},
      {9.5L, 1, " 1E+1"},    {1.25L, 2, " 1.2"},  {1.75L, 2, " 1.8"},   {0.125L, 2, " .12"},
      {0.375L, 2, " .38"},   {999.5L, 3, " 1E+3"}, {-2.5L, 1, "-2"},    {0.4999L, 1, " .5"},
      // Decimal ties that are not exact in binary still count as ties: only the digit counts.
      {9.95L, 2, " 10"},     {-0.35L, 1, "-.4"},  {0.45L, 1, " .4"},    {123.456L, 4, " 123.4"},
      {4.5e-5L, 1, " 4E-5"}, {4.5e-3L, 1, " 4E-3"}, {5.5e-3L, 4, " .0055"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(text_of(c.value, c.digits), c.text) << static_cast<double>(c.value) << " D=" << c.digits;
}

TEST(NumberTextTest, EveryDigitCount) {
  // 1/3 and 2/3 in extended precision: digits 333... and 666..., the last one rounded.
  const char* thirds[] = {" .3", " .33", " .333", " .3333", " .33333", " .333333", " .3333333",
                          " .33333333", " .333333333", " .3333333333", " .33333333333",
                          " .333333333333", " .3333333333333", " .33333333333333",
                          " .333333333333333", " .3333333333333333", " .33333333333333333",
                          " .333333333333333333"};
  const char* big[] = {" 1E+17", " 1.2E+17", " 1.23E+17", " 1.234E+17", " 1.2346E+17",
                       " 1.23457E+17", " 1.234568E+17", " 1.2345679E+17", " 1.23456789E+17",
                       " 1.23456789E+17", " 1.2345678901E+17", " 1.23456789012E+17",
                       " 1.234567890123E+17", " 1.2345678901234E+17", " 1.23456789012346E+17",
                       " 1.234567890123457E+17", " 1.2345678901234568E+17",
                       " 123456789012345678"};
  const long double third = 1.0L / 3;
  for (int d = 1; d <= 18; ++d) {
    EXPECT_EQ(text_of(third, d), thirds[d - 1]) << "D=" << d;
    EXPECT_EQ(text_of(123456789012345678.0L, d), big[d - 1]) << "D=" << d;
  }
  EXPECT_EQ(text_of(2.0L / 3, 7), " .6666667");
  EXPECT_EQ(text_of(2.0L / 3, 18), " .666666666666666667");
}

TEST(NumberTextTest, CountsOutsideOneToSeventeenMeanEighteen) {
  const long double value = 2.0L / 3;
  const std::string eighteen = " .666666666666666667";
  const int32_t counts[] = {0, -1, 18, 19, 1000, INT32_MAX, INT32_MIN};
  for (int32_t n : counts) {
    ProcedureFrame frame{};
    number_to_text_digits(&frame, value, n);
    StringView view = temp_view(&frame, 0);
    EXPECT_EQ(std::string(view.data, view.length), eighteen) << "n=" << n;
    temp_pop_free(&frame);
    EXPECT_EQ(text_of(value, n), eighteen) << "n=" << n;
  }
  ProcedureFrame frame{};
  number_to_text_digits(&frame, value, 17);
  StringView view = temp_view(&frame, 0);
  EXPECT_EQ(std::string(view.data, view.length), " .66666666666666667");
  temp_pop_free(&frame);
}

TEST(NumberTextTest, EighteenDigitIntegersAcrossTheTwoHalvesOfNine) {
  // The scaled integer is cut into two halves of nine digits: integers of 18 digits at the cut,
  // around it, and with the rounding digit and the carries on either side of it.
  struct IntegerCase {
    int64_t value;
    int digits;
    const char* text;
  };
  const IntegerCase cases[] = {
      {100000000000000000, 18, " 100000000000000000"},
      {123456789000000000, 18, " 123456789000000000"},
      {123456789000000001, 18, " 123456789000000001"},
      {123456789999999999, 18, " 123456789999999999"},
      {123456790000000000, 18, " 123456790000000000"},
      {999999999000000000, 18, " 999999999000000000"},
      {999999999999999999, 18, " 999999999999999999"},
      {999999999999999999, 17, " 1E+18"},                  // the carry runs through both halves
      {999999999999999999, 3, " 1E+18"},
      {123456789999999500, 15, " 1.2345679E+17"},          // tie, odd digit: up, carry into the high half
      {123456789999998500, 15, " 1.23456789999998E+17"},   // tie, even digit: kept
      {123456789999999499, 15, " 1.23456789999999E+17"},
      {123456789500000000, 9, " 1.2345679E+17"},           // the rounding digit opens the low half
      {123456788500000000, 9, " 1.23456788E+17"},
      {123456789499999999, 9, " 1.23456789E+17"},
      {123456789999999999, 10, " 1.2345679E+17"},          // the low half carries into the high
      {-123456789012345678, 18, "-123456789012345678"},
  };
  for (const IntegerCase& c : cases)
    EXPECT_EQ(text_of(static_cast<long double>(c.value), c.digits), c.text)
        << c.value << " D=" << c.digits;
}

// --- Every kind of 80-bit pattern ---------------------------------------------------------------

TEST(NumberTextTest, EveryKindOfPattern) {
  struct Pattern {
    uint16_t sign_exponent;
    uint64_t significand;
    const char* text;
  };
  const Pattern patterns[] = {
      {0x0000, 0, " 0"},                                 // zero
      {0x8000, 0, "-0"},                                 // negative zero
      {0x0000, 0x0000000000000001u, " 0"},               // smallest denormal
      {0x0000, 0x8000000000000000u, " 0"},               // pseudo-denormal
      {0x8000, 0xFFFFFFFFFFFFFFFFu, "-0"},               // negative pseudo-denormal
      {0x7FFF, 0x8000000000000000u, " 9.99999999999999E+998"},  // infinity
      {0x7FFF, 0x8000000000000001u, " 9.99999999999999E+998"},  // NaN read as infinity by its top 16 bits
      {0x7FFF, 0xC000000000000000u, " 0"},               // quiet NaN
      {0xFFFF, 0xC000000000000000u, "-0"},               // the indefinite NaN
      {0x7FFF, 0x8001000000000000u, " 0"},               // signalling NaN
      {0x7FFF, 0x0000000000000000u, " 0"},               // pseudo-infinity
      {0x7FFF, 0x4000000000000000u, " 0"},               // pseudo-NaN
      {0x3FFF, 0x4000000000000000u, " 0"},               // unnormal: read as a NaN, as the FPU does
      {0xBFFF, 0x0000000000000000u, "-0"},               // unnormal zero
      {0x7FFE, 0x7FFFFFFFFFFFFFFFu, " 0"},               // largest unnormal
      {0x0001, 0x8000000000000000u, " 3.36210314311209E-4932"},   // smallest normal
      {0x7FFE, 0xFFFFFFFFFFFFFFFFu, " 1.18973149535723E+4932"},   // largest finite
      {0xFFFE, 0xFFFFFFFFFFFFFFFFu, "-1.18973149535723E+4932"},
  };
  for (const Pattern& p : patterns) {
    long double v = from_bits(p.sign_exponent, p.significand);
    EXPECT_EQ(text_of(v, 15), p.text) << std::hex << p.sign_exponent << " " << p.significand;
    for (int d = 1; d <= 18; ++d) text_of(v, d);  // lengths checked inside
  }
  EXPECT_EQ(text_of(__builtin_infl(), 18), " 9.99999999999999999E+998");
  EXPECT_EQ(text_of(-__builtin_infl(), 1), "-9E+998");
}

// --- The powers of ten --------------------------------------------------------------------------

TEST(NumberTextTest, PowersOfTenAreTheNearestExtendedValues) {
  for (int k = 0; k < 10; ++k) {
    int n = 8 << k;
    long double expected = nearest_extended_power_of_ten(n);
    // Scaling 1 by 10^(8 x 2^k) multiplies by that table entry alone.
    long double entry = scale_by_power_of_ten(1.0L, static_cast<int16_t>(n));
    EXPECT_EQ(memcmp(&entry, &expected, 10), 0) << "10^" << n;
    long double inverse = scale_by_power_of_ten(expected, static_cast<int16_t>(-n));
    EXPECT_EQ(inverse, 1.0L) << "10^-" << n;
  }
  // Below 10^32 the factor is one product: exact up to 10^27, the nearest value above. (From
  // 10^33 on, products of rounded entries need not be the nearest value.)
  for (int n = 0; n < 32; ++n)
    EXPECT_EQ(scale_by_power_of_ten(1.0L, static_cast<int16_t>(n)),
              nearest_extended_power_of_ten(n))
        << n;
  EXPECT_EQ(nearest_extended_power_of_ten(18), 1e18L);
  EXPECT_EQ(text_of(1e18L, 18), " 1E+18");
  EXPECT_EQ(text_of(999999999999999999.0L, 18), " 999999999999999999");
  EXPECT_EQ(text_of(999999999999999999.0L, 17), " 1E+18");
}

TEST(NumberTextTest, ScalingCoversTheWholeRangeWithoutOverflow) {
  // The extremes of the finite range with the largest counts that reach them.
  long double largest = from_bits(0x7FFE, 0xFFFFFFFFFFFFFFFFu);
  long double smallest = from_bits(0x0001, 0x8000000000000000u);
  long double down = scale_by_power_of_ten(largest, -4914);
  long double up = scale_by_power_of_ten(smallest, 4949);
  EXPECT_TRUE(isfinite(down) && down > 1e17L && down < 1e19L) << static_cast<double>(down);
  EXPECT_TRUE(isfinite(up) && up > 1e17L && up < 1e19L) << static_cast<double>(up);
  EXPECT_EQ(scale_by_power_of_ten(3.0L, 0), 3.0L);
}

TEST(NumberTextTest, DigitsFollowEveryRoundingOfTheScaling) {
  // Values whose last digit, or the one digit dropped, depends on how each step of the scaling
  // rounds: the product or quotient by 10^4096, each product of the factor (Tk is the table's
  // 10^(8 x 2^k), taken lowest k first), the final product or quotient by the factor f, and the
  // division by ten of a 19-digit integer (rounded, not cut). Each text was worked out once in
  // exact rational arithmetic, rounding every step to 64 bits, nearest, ties even; the comment
  // gives the power of ten p that scales the value to 18 digits and the steps that, rounded the
  // other way (or, for "/ 10", cut), would change the text.
  struct Row {
    uint16_t sign_exponent;
    uint64_t significand;
    int digits;
    const char* text;
  };
  const Row rows[] = {
      {0xF78B, 0xBD962C9DEB9DC421u, 18, "-6.56350850280228162E+4280"}, // p = -4263: / 10^4096, T2, T4, / f
      {0x5BC8, 0xA1AD1BFE77B8E03Cu, 18, " 2.127136226140615E+2141"},   // p = -2124: T3, T8, / f
      {0xF019, 0xEBBC30752290EBC2u, 18, "-1.40792952102354699E+3707"}, // p = -3689: T2, T3, T6, T7, / f, / 10
      {0x960B, 0xE54B92C7ABA598C1u, 18, "-1.55249989186209581E-3233"}, // p = 3251: T2, T4, T7, x f, / 10
      {0x04A7, 0xEBE4116CA9160116u, 18, " 1.04185450439763501E-4573"}, // p = 4591: x 10^4096, T3, T4, T5, / 10
      {0x0023, 0xB33F03261E591A39u, 18, " 8.08855107184488155E-4922"}, // p = 4939: x 10^4096, T3, T5, T6, x f
      {0xC099, 0xFB7B0BD39296335Bu, 18, "-4.48656470426804635E+46"},   // p = -29: T1, / f
      {0x7ECE, 0x87F8DCC6C0043C8Cu, 17, " 1.9388319885623594E+4840"},  // p = -4823: / 10^4096, T3, T4, T6, / f
      {0x4B87, 0xF57CC92ABC275383u, 17, " 8.3823639915922564E+888"},   // p = -871: T2, T3, T5, T6, / f
      {0x4A71, 0xBAC57E7999FF904Au, 17, " 1.313133715062432E+805"},    // p = -787: T5, T6, / f, / 10
      {0xC63A, 0xBF4E3F78C580121Eu, 17, "-2.0766386112294516E+480"},   // p = -463: T3, T4, T5, / f
      {0xB4C2, 0xFD158290E90330DBu, 17, "-1.7090597070656105E-866"},   // p = 884: T2, T6, / 10
      {0xB0B8, 0xC757464FB1F4109Bu, 17, "-7.3126272996107962E-1178"},  // p = 1195: T2, T4, T7, x f
      {0x4109, 0xB0E459402BF4CBB8u, 17, " 1.638615418202418E+80"},     // p = -63: T1, T2, / f
      {0x5BC8, 0xA1AD1BFE77B8E03Cu, 15, " 2.12713622614062E+2141"},    // p = -2124: T3, T8, / f
      {0x7E51, 0xA7943F1E07AE30AEu, 15, " 5.61772759490046E+4802"},    // p = -4785: / 10^4096, T2, T4, T6, / f
      {0x65A7, 0x8E0F26E3F3A6E987u, 15, " 9.42795620681138E+2901"},    // p = -2884: T3, T5, T6, T8, / f
      {0xFF02, 0xAFF6A9FE83F0EC9Cu, 15, "-1.12998519980132E+4856"},    // p = -4838: / 10
      {0xF783, 0xBE60DA47AB8D5B17u, 15, "-2.57457721417102E+4278"},    // p = -4261: / 10^4096, T2, T4, / f
      {0x017A, 0xA34FD4EA28DAAB4Au, 15, " 1.32046564683663E-4818"},    // p = 4835: x 10^4096, T2, T3, T4, T6, x f
      {0xBFD5, 0xC7B3522A25246DB3u, 15, "-3.54739300126188E-13"},      // p = 30: T1, x f
      {0x402A, 0x807468B006346661u, 15, " 8827341308003.28"},          // p = 5: x f
      // 41 steps below 10^-205: the estimate is one too high and the first scaling rounds to
      // 10^17 exactly, which has 18 digits and is kept (within 0.2 of it whatever the roundings).
      {0x3D56, 0x806BD9714632DFCDu, 18, " 1E-205"},                   // p = 222: no second pass
  };
  for (const Row& r : rows)
    EXPECT_EQ(text_of(from_bits(r.sign_exponent, r.significand), r.digits), r.text)
        << std::hex << r.sign_exponent << ":" << r.significand << std::dec << " D=" << r.digits;
}

// --- The text means the value -------------------------------------------------------------------

struct MeaningStats {
  int checked = 0, not_ideal = 0;
  int not_ideal_by_count[19] = {};
};

// The text t of a normal value v at D digits against the exact value: a text of the grammar, one
// of the texts the value may have at D digits, in the form that D asks for. Counts the texts
// that differ from exact rounding.
void check_text_means_value(long double v, int D, const std::string& t, MeaningStats* stats) {
  Bits b = bits_of(v);
  NormalValue exact;
  ASSERT_TRUE(normal_value_of(v, &exact)) << std::hex << b.sign_exponent << ":" << b.significand;
  TextReading got = number_text_read(t.data(), static_cast<int>(t.size()), D);
  ASSERT_TRUE(got.fault == nullptr) << "text '" << t << "' D=" << D << ": " << got.fault;
  std::vector<Decimal> ok = admissible_texts(exact.negative, exact.scaled, D);
  bool found = std::find(ok.begin(), ok.end(), got.value) != ok.end();
  Decimal ideal = ideal_text(exact.negative, exact.scaled, D);
  ++stats->checked;
  if (!(got.value == ideal)) {
    ++stats->not_ideal;
    ++stats->not_ideal_by_count[D];
  }
  ASSERT_TRUE(found) << "text '" << t << "' for " << std::hex << b.sign_exponent << ":"
                     << b.significand << std::dec << " D=" << D << " ideal " << ideal
                     << " exponent " << exact.scaled.E;
  ASSERT_EQ(got.exponent_form, exponent_form_expected(got.value, D)) << t << " D=" << D;
}

// The texts of v at several digit counts against the exact value.
void check_meaning(long double v, MeaningStats* stats) {
  for (int D : {1, 7, 15, 17, 18}) {
    check_text_means_value(v, D, text_of(v, D), stats);
    if (testing::Test::HasFatalFailure()) return;
  }
}

// The exact checks are slow under the sanitizers; there every few exponents are enough, the plain
// build checks them all.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kStride = 9;
#else
constexpr int kStride = 1;
#endif

TEST(NumberTextTest, TextMeansTheValueOverTheWholeExponentRange) {
  std::mt19937_64 random(20240607);
  MeaningStats stats;
  for (int field = 1; field <= 0x7FFE; field += field < 64 || field > 0x7FFE - 64 ? 1 : kStride) {
    uint16_t sign = (field & 1) ? 0x8000 : 0;
    check_meaning(from_bits(static_cast<uint16_t>(field | sign), 0x8000000000000000u), &stats);
    check_meaning(from_bits(static_cast<uint16_t>(field), random() | 0x8000000000000000u), &stats);
    if (field % 5 == 0) check_meaning(from_bits(static_cast<uint16_t>(field), ~0ull), &stats);
    if (HasFatalFailure()) return;
  }
  printf("[ stats    ] %d texts, %d differ from exact rounding by the scaling's own error"
         " (D=1: %d, 7: %d, 15: %d, 17: %d, 18: %d)\n",
         stats.checked, stats.not_ideal, stats.not_ideal_by_count[1], stats.not_ideal_by_count[7],
         stats.not_ideal_by_count[15], stats.not_ideal_by_count[17], stats.not_ideal_by_count[18]);
  EXPECT_LT(stats.not_ideal * 20, stats.checked);
}

TEST(NumberTextTest, TextMeansTheValueNearPowersOfTen) {
  // The value nearest each power of ten and its neighbours: where the exponent estimate, the
  // correction for a tenfold integer and the carry of the last digit all meet.
  MeaningStats stats;
  for (int k = -4931; k <= 4932; k += (k > -400 && k < 400) ? 1 : 7 * kStride) {
    char text[16];
    snprintf(text, sizeof text, "1e%d", k);
    long double v = strtold(text, nullptr);
    check_meaning(v, &stats);
    check_meaning(nextafterl(v, 0), &stats);
    check_meaning(nextafterl(v, __builtin_infl()), &stats);
    if (HasFatalFailure()) return;
  }
}

// The 15-digit text of a pattern that is no normal value: zeros, denormals, unnormals, pseudo-
// infinities and not-a-numbers read as zero; an infinity (a NaN too, by its top 16 bits) gives
// the largest text of fifteen nines.
std::string fifteen_digit_text_of_non_normal(uint16_t sign_exponent, uint64_t significand) {
  const bool infinity = (sign_exponent & 0x7FFF) == 0x7FFF && (significand >> 48) == 0x8000;
  const std::string sign = sign_exponent & 0x8000 ? "-" : " ";
  return sign + (infinity ? "9.99999999999999E+998" : "0");
}

// The text of i / 8, written out from its integer part and its eighths.
std::string eighths_text(int64_t i) {
  if (i == 0) return " 0";
  const int64_t a = i < 0 ? -i : i;
  std::string t = i < 0 ? "-" : " ";
  if (a / 8 != 0) t += std::to_string(a / 8);
  if (a % 8 != 0) {
    std::string eighths = std::to_string(a % 8 * 125);  // three digits: 125 to 875
    while (eighths.back() == '0') eighths.pop_back();
    t += "." + eighths;
  }
  return t;
}

TEST(NumberTextTest, NumberToTextMeansTheValueForEveryKindOfPattern) {
  // number_to_text has a conversion of its own for its 15 digits: its texts for every exponent
  // field with four kinds of significand, checked against the exact value, and for the eighths
  // from -375 to 375, checked against the texts written out.
  std::mt19937_64 random(15);
  MeaningStats stats;
  ProcedureFrame frame{};
  for (int field = 0; field <= 0x7FFF; field += field < 80 || field > 0x7FFF - 80 ? 1 : 7) {
    const uint64_t significands[] = {0x8000000000000000u, ~0ull, random() | 0x8000000000000000u,
                                     random()};
    for (uint64_t m : significands) {
      const uint16_t sign_exponent = static_cast<uint16_t>(field | (m & 0x8000));
      long double v = from_bits(sign_exponent, m);
      number_to_text(&frame, v);
      StringView view = temp_view(&frame, 0);
      const std::string t(view.data, view.length);
      temp_pop_free(&frame);
      NormalValue exact;
      if (normal_value_of(v, &exact)) {
        check_text_means_value(v, 15, t, &stats);
        if (HasFatalFailure()) return;
      } else {
        ASSERT_EQ(t, fifteen_digit_text_of_non_normal(sign_exponent, m))
            << std::hex << field << ":" << m;
      }
    }
  }
  for (int64_t i = -3000; i <= 3000; ++i) {
    number_to_text(&frame, i / 8.0L);
    StringView view = temp_view(&frame, 0);
    ASSERT_EQ(std::string(view.data, view.length), eighths_text(i)) << i;
    temp_pop_free(&frame);
  }
  EXPECT_EQ(frame.temp_index, 0);
}

TEST(NumberTextTest, ExponentEstimateOneTooHighKeepsEveryDigit) {
  // 2^-681: the estimate floor(-681 x 19728 / 65536) = -205 is one above the true exponent -206;
  // scaled by 10^222 the value has 17 digits only, and the point would stand one place off.
  long double v = ldexpl(1.0L, -681);  // 9.9671949510975675355e-206
  EXPECT_LT(scale_by_power_of_ten(v, 17 + 205), 1e17L);
  EXPECT_EQ(text_of(v, 15), " 9.96719495109757E-206");
  EXPECT_EQ(text_of(v, 18), " 9.96719495109756754E-206");
  EXPECT_EQ(text_of(v, 1), " 1E-205");
  EXPECT_EQ(text_of(ldexpl(1.0L, -877), 15), " 9.9241610332961E-265");
  MeaningStats stats;
  check_meaning(v, &stats);
  check_meaning(static_cast<double>(v), &stats);
}

TEST(NumberTextTest, DoublesAndIntegersReadAsTheyWereWritten) {
  // Values that came from 15-digit decimals read back as those decimals.
  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    double d;
    uint64_t pattern = random();
    memcpy(&d, &pattern, 8);
    if (!isfinite(d) || d == 0 || fpclassify(d) == FP_SUBNORMAL) continue;
    char want[40];
    snprintf(want, sizeof want, "%.14e", d);
    double shortened = strtod(want, nullptr);  // a double with a 15-digit decimal of its own
    std::string t = text_of(shortened, 15);
    EXPECT_EQ(strtod(t.c_str(), nullptr), shortened) << want << " -> " << t;
  }
  for (int64_t i = -100000; i <= 100000; i += 7)
    EXPECT_EQ(text_of(static_cast<long double>(i), 15),
              (i < 0 ? "" : " ") + std::to_string(i));
}

// --- The result temporary -----------------------------------------------------------------------

TEST(NumberTextTest, FailedAllocationStillPushesOneTemporary) {
  ProcedureFrame frame{};
  temp_push_cstring(&frame, "Width = ");
  int live = host_os.string_blocks_live;
  {
    StringAllocFails fail;
    number_to_text(&frame, 640);
  }
  EXPECT_EQ(temp_count(&frame), 2);
  EXPECT_EQ(temp_peek(&frame, 0), 0u);
  EXPECT_EQ(frame.error_word, 0x8000u | ERR_OUT_OF_MEMORY);
  EXPECT_EQ(error_last(), ERR_OUT_OF_MEMORY);
  EXPECT_EQ(host_os.string_blocks_live, live);
  string_join(&frame);
  StringView view = temp_view(&frame, 0);
  EXPECT_EQ(std::string(view.data, view.length), "Width = ");
  temp_pop_free(&frame);
  EXPECT_EQ(frame.temp_index, 0);
  error_take(&frame);
}

TEST(NumberTextTest, ResultHasExactlyTheTextLength) {
  ProcedureFrame frame{};
  int allocs = host_os.string_allocs_total;
  number_to_text(&frame, 1.5e-15L);
  EXPECT_EQ(host_os.string_allocs_total, allocs + 1);
  StringView view = temp_view(&frame, 0);
  EXPECT_EQ(view.length, 8u);
  EXPECT_EQ(std::string(view.data, view.length + 1), std::string(" 1.5E-15\0", 9));
  temp_pop_free(&frame);
}

}  // namespace
