// Text to number: the grammar (bad inputs as a table, with the offset where each stops), the
// statuses, halfway and near-halfway texts, subnormals, overflow, long runs of zeros, 17-digit
// round trips of doubles, the exact path on its own against the whole parser, the integer forms'
// range checks, and the temporaries forms. The wide oracle against the C library is
// fuzz/number_read_oracle.cpp.
#include <gtest/gtest.h>
#include <float.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>
#include <vector>

#include "dialogkit/runtime/errors.hpp"
#include "dialogkit/runtime/numread.hpp"
#include "runtime/numread_internal.hpp"
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

long double read(const std::string& s, NumberScan* scan) {
  return number_parse(s.data(), static_cast<uint32_t>(s.size()), scan);
}
double read_double(const std::string& s, NumberScan* scan) {
  return number_parse_double(s.data(), static_cast<uint32_t>(s.size()), scan);
}
bool same(long double a, long double b) { return memcmp(&a, &b, 10) == 0; }
bool same(double a, double b) { return memcmp(&a, &b, 8) == 0; }

// --- The grammar ----------------------------------------------------------------------------------

struct Bad {
  const char* text;
  int32_t status;
  int32_t stop;
};

TEST(NumberReadTest, TextsThatAreNoNumberSayWhereTheyStop) {
  const Bad cases[] = {
      {"", NUMBER_EMPTY, 0},          {"   ", NUMBER_EMPTY, 3},      {" \t ", NUMBER_EMPTY, 3},
      {"abc", NUMBER_INVALID, 0},     {"-", NUMBER_INVALID, 1},      {"+", NUMBER_INVALID, 1},
      {".", NUMBER_INVALID, 1},       {"-.", NUMBER_INVALID, 2},     {"- 5", NUMBER_INVALID, 1},
      {"1e", NUMBER_INVALID, 2},      {"1e+", NUMBER_INVALID, 3},    {"1E-x", NUMBER_INVALID, 3},
      {"12x", NUMBER_INVALID, 2},     {"1.2.3", NUMBER_INVALID, 3},  {"1 2", NUMBER_INVALID, 2},
      {"0x10", NUMBER_INVALID, 1},    {"inf", NUMBER_INVALID, 0},    {"nan", NUMBER_INVALID, 0},
      {"1,5", NUMBER_INVALID, 1},     {"--1", NUMBER_INVALID, 1},    {"e5", NUMBER_INVALID, 0},
      {" 7 ;", NUMBER_INVALID, 3},    {"5\n", NUMBER_INVALID, 1},    {"1e5.0", NUMBER_INVALID, 3},
  };
  for (const Bad& c : cases) {
    NumberScan scan;
    NumberScan dscan;
    EXPECT_EQ(read(c.text, &scan), 0.0L) << c.text;
    EXPECT_EQ(read_double(c.text, &dscan), 0.0) << c.text;
    EXPECT_EQ(scan.status, c.status) << '"' << c.text << '"';
    EXPECT_EQ(scan.stop, c.stop) << '"' << c.text << '"';
    EXPECT_EQ(dscan.status, c.status) << c.text;
    EXPECT_EQ(dscan.stop, c.stop) << c.text;
  }
}

TEST(NumberReadTest, AZeroByteInsideStopsTheText) {
  const char text[] = {'1', '2', 0, '3'};
  NumberScan scan;
  EXPECT_EQ(number_parse(text, 4, &scan), 0.0L);
  EXPECT_EQ(scan.status, NUMBER_INVALID);
  EXPECT_EQ(scan.stop, 2);
}

struct Good {
  const char* text;
  long double value;
};

TEST(NumberReadTest, EveryShapeTheGrammarAllows) {
  const Good cases[] = {
      {"0", 0.0L},          {"7", 7.0L},           {"-5", -5.0L},         {"+5", 5.0L},
      {"  42  ", 42.0L},    {"\t3.5\t", 3.5L},     {".5", 0.5L},          {"5.", 5.0L},
      {"-.25", -0.25L},     {"1e3", 1000.0L},      {"1E3", 1000.0L},      {"1e+3", 1000.0L},
      {"25e-2", 0.25L},     {"0.000125", 0.000125L}, {"00012.50", 12.5L}, {"1.5e0", 1.5L},
      {"6.21371", 6.21371L}, {"1e0000000000000000000003", 1000.0L},
  };
  for (const Good& c : cases) {
    NumberScan scan;
    EXPECT_TRUE(same(read(c.text, &scan), c.value)) << c.text;
    EXPECT_EQ(scan.status, NUMBER_OK) << c.text;
    EXPECT_EQ(scan.stop, static_cast<int32_t>(strlen(c.text))) << c.text;
    EXPECT_TRUE(same(read_double(c.text, &scan), static_cast<double>(c.value))) << c.text;
  }
}

TEST(NumberReadTest, NegativeZeroKeepsItsSign) {
  NumberScan scan;
  const long double z = read("-0.000e5", &scan);
  EXPECT_EQ(scan.status, NUMBER_OK);
  EXPECT_EQ(z, 0.0L);
  EXPECT_TRUE(signbit(z));
  EXPECT_TRUE(signbit(read_double("-0", &scan)));
  // Zero is no underflow, however small its exponent.
  EXPECT_EQ(read("0e-99999", &scan), 0.0L);
  EXPECT_EQ(scan.status, NUMBER_OK);
}

// --- Rounding, range and statuses -----------------------------------------------------------------

struct Ranged {
  const char* text;
  int32_t status;
  int32_t double_status;
};

TEST(NumberReadTest, StatusesAtTheEndsOfTheRanges) {
  const Ranged cases[] = {
      {"1e4933", NUMBER_OVERFLOW, NUMBER_OVERFLOW},
      {"-1e99999999999999999999", NUMBER_OVERFLOW, NUMBER_OVERFLOW},
      {"1e309", NUMBER_OK, NUMBER_OVERFLOW},
      {"1.7976931348623158e308", NUMBER_OK, NUMBER_OK},         // rounds down to the largest
      {"1.797693134862315807937e308", NUMBER_OK, NUMBER_OK},        // just below the halfway point
      {"1.797693134862315807938e308", NUMBER_OK, NUMBER_OVERFLOW},  // just above it
      {"1e-400", NUMBER_OK, NUMBER_UNDERFLOW},
      {"4e-324", NUMBER_OK, NUMBER_SUBNORMAL},                   // rounds to the smallest subnormal
      {"2.4703282292062327e-324", NUMBER_OK, NUMBER_UNDERFLOW},  // just below half of it
      {"2.4703282292062328e-324", NUMBER_OK, NUMBER_SUBNORMAL},  // just above
      {"2.2250738585072011e-308", NUMBER_OK, NUMBER_SUBNORMAL},
      {"2.2250738585072014e-308", NUMBER_OK, NUMBER_OK},
      {"3e-4950", NUMBER_SUBNORMAL, NUMBER_UNDERFLOW},
      {"1e-4952", NUMBER_UNDERFLOW, NUMBER_UNDERFLOW},
      {"-1e-99999", NUMBER_UNDERFLOW, NUMBER_UNDERFLOW},
      {"3.3621031431120935063e-4932", NUMBER_OK, NUMBER_UNDERFLOW},  // the smallest normal
  };
  for (const Ranged& c : cases) {
    NumberScan scan, dscan;
    const long double v = read(c.text, &scan);
    const double d = read_double(c.text, &dscan);
    EXPECT_EQ(scan.status, c.status) << c.text;
    EXPECT_EQ(dscan.status, c.double_status) << c.text;
    EXPECT_TRUE(same(v, strtold(c.text, nullptr))) << c.text;
    EXPECT_TRUE(same(d, strtod(c.text, nullptr))) << c.text;
  }
  NumberScan scan;
  EXPECT_TRUE(isinf(read_double("-1e400", &scan)) && read_double("-1e400", &scan) < 0);
  EXPECT_TRUE(signbit(read_double("-1e-400", &scan)));
}

// Halfway points written out exactly, and texts a hair off them, read to the even neighbour or
// to the nearer one. 2^53 + 1 lies halfway between 2^53 and 2^53 + 2.
TEST(NumberReadTest, HalfwayAndNearHalfwayTexts) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"9007199254740993", 9007199254740992.0},
      {"9007199254740993.0000000000000000000000000000000000000000000000001", 9007199254740994.0},
      {"9007199254740992.9999999999999999999999999999999999999999999999999", 9007199254740992.0},
      {"9007199254740995", 9007199254740996.0},
      {"1.00000000000000011102230246251565404236316680908203125", 1.0},  // 1 + 2^-53: even
      {"1.00000000000000011102230246251565404236316680908203126", 1.0000000000000002},
      {"1.00000000000000011102230246251565404236316680908203124", 1.0},
      {"0.1", 0.1},
      {"5e-324", 4.9406564584124654e-324},
  };
  for (const auto& c : cases) {
    NumberScan scan;
    EXPECT_TRUE(same(read_double(c.text, &scan), c.value)) << c.text;
    EXPECT_TRUE(same(number_parse_double_exact(c.text, strlen(c.text), &scan), c.value)) << c.text;
  }
  // The extended form: 2^64 + 1 is halfway between 2^64 and 2^64 + 2; +3 rounds up.
  NumberScan scan;
  EXPECT_TRUE(same(read("18446744073709551617", &scan), 18446744073709551616.0L));
  EXPECT_TRUE(same(read("18446744073709551619", &scan), 18446744073709551620.0L));
  EXPECT_TRUE(same(read("18446744073709551617.000000000000000000000000000000001", &scan),
                   18446744073709551618.0L));
}

TEST(NumberReadTest, LongRunsOfZerosAndManyDigits) {
  NumberScan scan;
  std::string one = "0." + std::string(5000, '0') + "1e5001";
  EXPECT_TRUE(same(read(one, &scan), 1.0L));
  std::string big = "1" + std::string(4000, '0') + "e-4000";
  EXPECT_TRUE(same(read(big, &scan), 1.0L));
  EXPECT_TRUE(same(read_double(big, &scan), 1.0));
  // Twenty thousand digits that are exactly 1 + 2^-64 x 0.5 ... plus a final 1 far away: the far
  // digit decides against the tie.
  std::string tie = "18446744073709551617";
  EXPECT_TRUE(same(read(tie + "." + std::string(20000, '0'), &scan), 18446744073709551616.0L));
  EXPECT_TRUE(same(read(tie + "." + std::string(20000, '0') + "1", &scan), 18446744073709551618.0L));
  EXPECT_EQ(scan.status, NUMBER_OK);
  // Many digits of every kind agree with the C library.
  std::mt19937_64 rng(3);
  for (int i = 0; i < 200; ++i) {
    std::string s;
    const int n = 40 + static_cast<int>(rng() % 800);
    for (int j = 0; j < n; ++j) s += static_cast<char>('0' + rng() % 10);
    s += "e" + std::to_string(static_cast<int>(rng() % 700) - 350 - n);
    EXPECT_TRUE(same(read(s, &scan), strtold(s.c_str(), nullptr))) << s;
    EXPECT_TRUE(same(read_double(s, &scan), strtod(s.c_str(), nullptr))) << s;
  }
}

TEST(NumberReadTest, DoublesPrintedWithSeventeenDigitsReadBack) {
  std::mt19937_64 rng(17);
  for (int i = 0; i < 200000 / SWEEP_SHARE; ++i) {
    uint64_t bits = rng() & ~(1ull << 63);
    if ((bits >> 52) == 0x7FF) continue;
    double v;
    memcpy(&v, &bits, 8);
    char text[40];
    snprintf(text, sizeof text, "%.17g", v);
    NumberScan scan;
    ASSERT_TRUE(same(read_double(text, &scan), v)) << text;
    // And extended values with 21 digits.
    long double x = static_cast<long double>(v) * (1 + 0x1p-60L);
    snprintf(text, sizeof text, "%.20Le", x);
    ASSERT_TRUE(same(read(text, &scan), x)) << text;
  }
}

// The edges of the quick ways, each against the C library and the exact path: 19 and 20
// digits, the exact products' last power (10^27) and the first past it, ties that must be
// settled exactly, the top binade and the edge of the subnormals, and runs of digits that end at
// every place in an eight-byte word.
TEST(NumberReadTest, EdgesOfTheQuickWays) {
  std::vector<std::string> texts = {
      "9999999999999999999", "10000000000000000000", "18446744073709551615", "18446744073709551616",
      "1e27", "1e28", "123456789e27", "123456789e28", "9007199254740993e27", "9007199254740993e28",
      "4503599627370496.5", "4503599627370497.5", "9007199254740992.5e-1", "-4503599627370496.5",
      "1.7976931348623157e308", "1.7976931348623158e308", "1.797693134862315807e308",
      "2.2250738585072014e-308", "2.2250738585072011e-308", "2.2250738585072012e-308",
      "4.9406564584124654e-324", "2.4703282292062327e-324", "2.4703282292062328e-324"};
  // Runs of 1 to 24 digits, whole, with the point after each digit, and with an exponent.
  const std::string digits = "987654321098765432109876";
  for (size_t n = 1; n <= digits.size(); ++n) {
    const std::string run = digits.substr(0, n);
    texts.push_back(run);
    texts.push_back(run + "e-7");
    for (size_t at = 1; at < n; ++at) texts.push_back(run.substr(0, at) + "." + run.substr(at));
    texts.push_back("0." + std::string(n, '0') + run);
  }
  for (const std::string& t : texts) {
    NumberScan a, b;
    const double d = read_double(t, &a);
    EXPECT_TRUE(same(d, strtod(t.c_str(), nullptr))) << t;
    EXPECT_TRUE(same(d, number_parse_double_exact(t.data(), t.size(), &b))) << t;
    EXPECT_EQ(a.status, b.status) << t;
    const long double x = read(t, &a);
    EXPECT_TRUE(same(x, strtold(t.c_str(), nullptr))) << t;
    EXPECT_TRUE(same(x, number_parse_exact(t.data(), t.size(), &b))) << t;
  }
}

// The exact path alone gives what the whole parser gives, over texts of every size.
TEST(NumberReadTest, ExactPathAgreesWithTheFastPaths) {
  std::mt19937_64 rng(5);
  for (int i = 0; i < 20000 / SWEEP_SHARE; ++i) {
    std::string s = rng() % 2 ? "-" : "";
    const int n = 1 + static_cast<int>(rng() % 40);
    for (int j = 0; j < n; ++j) s += static_cast<char>('0' + rng() % 10);
    s.insert(1 + rng() % n, ".");
    const int range = rng() % 2 ? 5000 : 330;
    s += "e" + std::to_string(static_cast<int>(rng() % (2 * range + 1)) - range);
    NumberScan a, b;
    ASSERT_TRUE(same(read(s, &a), number_parse_exact(s.data(), s.size(), &b))) << s;
    ASSERT_EQ(a.status, b.status) << s;
    ASSERT_TRUE(same(read_double(s, &a), number_parse_double_exact(s.data(), s.size(), &b))) << s;
    ASSERT_EQ(a.status, b.status) << s;
  }
}

TEST(NumberReadTest, NoWorkingMemoryForAHugeTextIsSaid) {
  std::string s = "1" + std::string(3000, '3') + "e-3000";
  NumberScan scan;
  {
    GlobalAllocFails fails;
    EXPECT_EQ(number_parse_exact(s.data(), s.size(), &scan), 0.0L);
    EXPECT_EQ(scan.status, NUMBER_NO_MEMORY);
  }
  EXPECT_TRUE(same(number_parse_exact(s.data(), s.size(), &scan), strtold(s.c_str(), nullptr)));
  EXPECT_EQ(scan.status, NUMBER_OK);
}

// --- Integers -------------------------------------------------------------------------------------

struct IntCase {
  const char* text;
  int64_t value;
  int32_t status;
};

TEST(NumberReadTest, IntegersWithExactRangeChecks) {
  const IntCase cases32[] = {
      {"0", 0, NUMBER_OK},
      {" 2147483647 ", 2147483647, NUMBER_OK},
      {"-2147483648", -2147483647 - 1, NUMBER_OK},
      {"2147483648", 2147483647, NUMBER_OVERFLOW},
      {"-2147483649", -2147483647 - 1, NUMBER_OVERFLOW},
      {"000000000000000000000000042", 42, NUMBER_OK},
      {"99999999999999999999999", 2147483647, NUMBER_OVERFLOW},
      {"12.0", 0, NUMBER_INVALID},
      {"1e3", 0, NUMBER_INVALID},
      {"", 0, NUMBER_EMPTY},
      {"-", 0, NUMBER_INVALID},
      {"+7", 7, NUMBER_OK},
  };
  for (const IntCase& c : cases32) {
    NumberScan scan;
    EXPECT_EQ(integer_parse32(c.text, strlen(c.text), &scan), c.value) << c.text;
    EXPECT_EQ(scan.status, c.status) << c.text;
  }
  const IntCase cases64[] = {
      {"9223372036854775807", INT64_MAX, NUMBER_OK},
      {"-9223372036854775808", INT64_MIN, NUMBER_OK},
      {"9223372036854775808", INT64_MAX, NUMBER_OVERFLOW},
      {"-9223372036854775809", INT64_MIN, NUMBER_OVERFLOW},
      {"18446744073709551616", INT64_MAX, NUMBER_OVERFLOW},
      {"4294967296", 4294967296LL, NUMBER_OK},
  };
  for (const IntCase& c : cases64) {
    NumberScan scan;
    EXPECT_EQ(integer_parse64(c.text, strlen(c.text), &scan), c.value) << c.text;
    EXPECT_EQ(scan.status, c.status) << c.text;
  }
  NumberScan scan;
  EXPECT_EQ(integer_parse32("12x", 3, &scan), 0);
  EXPECT_EQ(scan.stop, 2);
}

// --- On the temporaries ---------------------------------------------------------------------------

TEST(NumberReadTest, TheTemporaryIsConsumed) {
  ProcedureFrame frame{};
  temp_push_cstring(&frame, " 6.25 ");
  NumberScan scan;
  EXPECT_EQ(text_to_number(&frame, &scan), 6.25L);
  EXPECT_EQ(scan.status, NUMBER_OK);
  EXPECT_EQ(temp_count(&frame), 0);
  temp_push_cstring(&frame, "0.1");
  EXPECT_EQ(text_to_double(&frame, nullptr), 0.1);
  temp_push_cstring(&frame, "-12");
  EXPECT_EQ(text_to_int32(&frame, &scan), -12);
  temp_push_cstring(&frame, "x");
  EXPECT_EQ(text_to_int64(&frame, &scan), 0);
  EXPECT_EQ(scan.status, NUMBER_INVALID);
  temp_push_empty(&frame);
  EXPECT_EQ(text_to_number(&frame, &scan), 0.0L);
  EXPECT_EQ(scan.status, NUMBER_EMPTY);
  EXPECT_EQ(temp_count(&frame), 0);
  EXPECT_EQ(frame.error_word, 0u);
}

TEST(NumberReadTest, NoMemoryOnTheTemporariesIsRecorded) {
  ProcedureFrame frame{};
  temp_push_cstring(&frame, ("1" + std::string(3000, '7') + "e-3000").c_str());
  NumberScan scan;
  {
    GlobalAllocFails fails;
    // The fast path settles this text; the exact one is needed for a halfway point.
    temp_pop_free(&frame);
    temp_push_cstring(&frame, ("18446744073709551617." + std::string(3000, '0')).c_str());
    EXPECT_EQ(text_to_number(&frame, &scan), 0.0L);
  }
  EXPECT_EQ(scan.status, NUMBER_NO_MEMORY);
  EXPECT_EQ(frame.error_word, 0x8000u | ERR_OUT_OF_MEMORY);
  EXPECT_EQ(temp_count(&frame), 0);
}

}  // namespace
