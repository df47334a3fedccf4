// Display formats and composed texts: chosen texts as a table, then a million doubles of every
// size against std::to_chars, which writes the exact digits of a double correctly rounded (fixed
// with a count of decimals; scientific with a count of significant digits, the reference for the
// significant form's digits and exponent).
#include <gtest/gtest.h>
#include <math.h>
#include <string.h>

#include <charconv>
#include <random>
#include <string>

#include "dialogkit/runtime/compose.hpp"
#include "dialogkit/runtime/errors.hpp"
#include "dialogkit/runtime/numshow.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "tests/support/host_switch.hpp"

namespace {

// Under the sanitizers every check costs many times more: the wide sweeps take a tenth of their
// values there (the plain build runs them whole).
#if defined(__SANITIZE_ADDRESS__)
constexpr int SWEEP_SHARE = 10;
#else
constexpr int SWEEP_SHARE = 1;
#endif

std::string fixed(long double v, int decimals, uint32_t options = 0) {
  char buffer[NUMBER_FORMAT_BUFFER];
  return std::string(buffer, number_format_fixed(v, decimals, options, buffer));
}
std::string significant(long double v, int digits, uint32_t options = 0) {
  char buffer[NUMBER_FORMAT_BUFFER];
  return std::string(buffer, number_format_significant(v, digits, options, buffer));
}

struct Shown {
  long double value;
  int count;
  uint32_t options;
  const char* fixed_text;
  const char* significant_text;
};

TEST(NumberShowTest, ChosenValues) {
  const long double inf = __builtin_infl();
  const Shown cases[] = {
      {3.14159L, 2, 0, "3.14", "3.1"},
      {0.5L, 2, 0, "0.50", "0.5"},
      {-0.004L, 2, 0, "0.00", "-0.004"},
      {-0.0051L, 2, 0, "-0.01", "-0.0051"},
      {0.125L, 2, 0, "0.12", "0.12"},  // 12.5 and 1.25: ties to even
      {0.375L, 2, 0, "0.38", "0.38"},
      {2.5L, 0, 0, "2", "2"},
      {3.5L, 0, 0, "4", "4"},
      {1234567.891L, 2, NUMBER_THOUSANDS, "1,234,567.89", "1,200,000"},
      {-1234.5L, 1, NUMBER_THOUSANDS, "-1,234.5", "-1,000"},
      {999.995, 2, 0, "1000.00", "1000"},  // the double lies a little above the halfway point
      {2.675, 2, 0, "2.67", "2.7"},        // and this one a little below
      {0, 3, 0, "0.000", "0"},
      {-0.0L, 1, 0, "0.0", "0"},
      {1e21L, 2, 0, "1E+21", "1E+21"},
      {1e15L, 0, 0, "1000000000000000", "1000000000000000"},
      {1e16L, 0, 0, "10000000000000000", "1E+16"},
      {0.000001L, 6, 0, "0.000001", "0.000001"},
      {0.0000001L, 6, 0, "0.000000", "1E-7"},
      {6.213711922373339L, 5, 0, "6.21371", "6.2137"},
      {inf, 2, 0, "inf", "inf"},
      {-inf, 2, 0, "-inf", "-inf"},
      {__builtin_nanl(""), 2, 0, "nan", "nan"},
  };
  for (const Shown& c : cases) {
    EXPECT_EQ(fixed(c.value, c.count, c.options), c.fixed_text) << (double)c.value << " " << c.count;
    EXPECT_EQ(significant(c.value, c.count, c.options), c.significant_text)
        << (double)c.value << " " << c.count;
  }
  EXPECT_EQ(significant(6.213711922373339L, 6), "6.21371");
  EXPECT_EQ(significant(0.6213711922373339L / 10, 6), "0.0621371");
  EXPECT_EQ(significant(1.5e20L, 6), "1.5E+20");
  EXPECT_EQ(significant(1e-4930L, 3), "1E-4930");
  EXPECT_EQ(significant(0x1p-16445L, 3), "3.65E-4951");  // the smallest subnormal
  EXPECT_EQ(significant(1.18973149535723176502e4932L, 21), "1.18973149535723176502E+4932");
  EXPECT_EQ(fixed(5e-4951L, 2), "0.00");
  // Counts out of range are clamped: 0 significant digits is 1, 30 decimals is 18.
  EXPECT_EQ(significant(123.0L, 0), "100");
  EXPECT_EQ(fixed(1.0L, 30), "1.000000000000000000");
  EXPECT_EQ(fixed(1.0L, -3), "1");
}

// The sign comes off a text whose digits are all zeros, and only then.
TEST(NumberShowTest, MinusSignOnlyWhereADigitShows) {
  EXPECT_EQ(fixed(-0.0049L, 2), "0.00");
  EXPECT_EQ(fixed(-0.005000001L, 2), "-0.01");
  EXPECT_EQ(fixed(-1e-300L, 18), "0.000000000000000000");
  EXPECT_EQ(significant(-1e-300L, 3), "-1E-300");
}

// The fixed form's digits against to_chars on a million doubles of every size below 10^21.
TEST(NumberShowTest, FixedAgainstToCharsOverAMillionDoubles) {
  std::mt19937_64 rng(11);
  int checked = 0;
  while (checked < 1000000 / SWEEP_SHARE) {
    double v;
    switch (checked % 3) {
      case 0: {
        uint64_t bits = rng();
        memcpy(&v, &bits, 8);
        break;
      }
      case 1: v = ldexp(static_cast<double>(rng() >> 11), -static_cast<int>(rng() % 90)); break;
      default: v = static_cast<double>(rng() % 100000000) / 100.0 + (rng() % 2 ? 0.005 : 0); break;
    }
    if (rng() % 2) v = -v;
    if (!isfinite(v) || fabs(v) >= 1e21) continue;
    const int d = static_cast<int>(rng() % 19);
    char want[400];
    const auto r = std::to_chars(want, want + sizeof want, v, std::chars_format::fixed, d);
    std::string w(want, r.ptr);
    if (w[0] == '-' && w.find_first_not_of("-0.") == std::string::npos) w.erase(0, 1);
    ASSERT_EQ(fixed(v, d), w) << v << " with " << d;
    ++checked;
  }
}

// The significant form's digits and exponent against to_chars's scientific form.
TEST(NumberShowTest, SignificantAgainstToCharsOverAMillionDoubles) {
  std::mt19937_64 rng(13);
  int checked = 0;
  while (checked < 1000000 / SWEEP_SHARE) {
    double v;
    uint64_t bits = rng();
    memcpy(&v, &bits, 8);
    if (checked % 2) v = ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 140) - 90);
    if (!isfinite(v) || v == 0) continue;
    const int D = 1 + static_cast<int>(rng() % 17);
    char want[64];
    const auto r = std::to_chars(want, want + sizeof want, v, std::chars_format::scientific, D - 1);
    const std::string w(want, r.ptr);
    const size_t e = w.find('e');
    std::string digits;
    for (size_t i = 0; i < e; ++i)
      if (w[i] >= '0' && w[i] <= '9') digits += w[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const int exponent = atoi(w.c_str() + e + 1);
    const std::string text = significant(v, D);
    // Ours back into digits and exponent.
    const size_t E = text.find('E');
    std::string all;
    int point = -1;
    for (size_t i = 0; i < text.size() && i < E; ++i) {
      if (text[i] == '.') point = static_cast<int>(all.size());
      else if (text[i] >= '0' && text[i] <= '9') all += text[i];
    }
    if (point < 0) point = static_cast<int>(all.size());
    const size_t first = all.find_first_not_of('0');
    ASSERT_NE(first, std::string::npos) << text;
    std::string ours = all.substr(first);
    while (ours.size() > 1 && ours.back() == '0') ours.pop_back();
    int ours_exponent = point - static_cast<int>(first) - 1;
    if (E != std::string::npos) ours_exponent += atoi(text.c_str() + E + 1);
    ASSERT_EQ(ours, digits) << v << " with " << D << ": " << text;
    ASSERT_EQ(ours_exponent, exponent) << v << " with " << D << ": " << text;
    ASSERT_EQ(text[0] == '-', v < 0) << text;
    // Plain form exactly from 10^-6 up to below 10^16.
    ASSERT_EQ(E == std::string::npos, exponent >= -6 && exponent <= 15) << text;
    ++checked;
  }
}

// --- On the temporaries, and composed texts -------------------------------------------------------

std::string top_text(const ProcedureFrame& frame) {
  const StringView v = temp_view(&frame, 0);
  return std::string(v.data, v.length);
}

TEST(ComposeTest, TheHistoryLineInOneCall) {
  ProcedureFrame frame{};
  const long double km = 10, miles = km * 0.621371192237334L;
  const TextPart line[] = {text_part_significant(km, 6), text_part_cstring(" km = "),
                           text_part_significant(miles, 6), text_part_cstring(" miles")};
  temp_push_parts(&frame, line, 4);
  EXPECT_EQ(temp_count(&frame), 1);
  EXPECT_EQ(top_text(frame), "10 km = 6.21371 miles");
  temp_pop_free(&frame);
  EXPECT_EQ(frame.temp_index, 0);
}

TEST(ComposeTest, EveryKindOfPart) {
  ProcedureFrame frame{};
  static const LiteralOf<4> rate("rate");
  temp_push_cstring(&frame, "[owned]");
  const DynString owned = temp_peek(&frame, 0);
  const TextPart parts[] = {text_part_literal(literal_of(rate)), text_part_cstring(": "),
                            text_part_fixed(1234.5L, 2, NUMBER_THOUSANDS), text_part_cstring(nullptr),
                            text_part_string(owned), text_part_string(0)};
  temp_push_parts(&frame, parts, 6);
  EXPECT_EQ(top_text(frame), "rate: 1,234.50[owned]");
  temp_pop_free(&frame);
  EXPECT_EQ(top_text(frame), "[owned]");  // a string part is read, not consumed
  temp_pop_free(&frame);
  temp_push_parts(&frame, parts, 0);
  EXPECT_EQ(top_text(frame), "");
  EXPECT_EQ(temp_peek(&frame, 0), 0u);
  temp_pop_free(&frame);
}

TEST(ComposeTest, AFailedAllocationLeavesOneEmptyTemporary) {
  ProcedureFrame frame{};
  const TextPart parts[] = {text_part_cstring("a"), text_part_fixed(2, 1)};
  {
    StringAllocFails fails;
    temp_push_parts(&frame, parts, 2);
  }
  EXPECT_EQ(temp_count(&frame), 1);
  EXPECT_EQ(top_text(frame), "");
  EXPECT_EQ(frame.error_word, 0x8000u | ERR_OUT_OF_MEMORY);
  temp_pop_free(&frame);
}

TEST(ComposeTest, JoinOfSeveralTemporaries) {
  ProcedureFrame frame{};
  temp_push_cstring(&frame, "keep");
  temp_push_cstring(&frame, "10");
  temp_push_cstring(&frame, " km = ");
  number_to_significant(&frame, 6.2137119L, 6, 0);
  temp_push_cstring(&frame, " miles");
  string_join_count(&frame, 4);
  EXPECT_EQ(temp_count(&frame), 2);
  EXPECT_EQ(top_text(frame), "10 km = 6.21371 miles");
  temp_pop_free(&frame);
  EXPECT_EQ(top_text(frame), "keep");
  string_join_count(&frame, 1);  // one temporary is its own join
  EXPECT_EQ(top_text(frame), "keep");
  temp_pop_free(&frame);
  // Failure: one empty temporary where the operands were, both released.
  temp_push_cstring(&frame, "a");
  temp_push_cstring(&frame, "b");
  temp_push_cstring(&frame, "c");
  {
    StringAllocFails fails;
    string_join_count(&frame, 3);
  }
  EXPECT_EQ(temp_count(&frame), 1);
  EXPECT_EQ(top_text(frame), "");
  EXPECT_EQ(frame.error_word, 0x8000u | ERR_OUT_OF_MEMORY);
  temp_pop_free(&frame);
}

TEST(ComposeTest, NumbersPushedInTheDisplayFormats) {
  ProcedureFrame frame{};
  number_to_fixed(&frame, 0.5L, 2, 0);
  EXPECT_EQ(top_text(frame), "0.50");
  number_to_significant(&frame, 1e-7L, 3, 0);
  EXPECT_EQ(top_text(frame), "1E-7");
  string_join(&frame);
  EXPECT_EQ(top_text(frame), "0.501E-7");
  temp_pop_free(&frame);
}

}  // namespace
