// Number to text: an 80-bit extended value as decimal text for a count D of significant digits,
// left as a new string temporary. The value is scaled by a power of ten into an 18-digit integer
// in extended arithmetic (64-bit significand, rounding to nearest even, as the control word set at
// start-up gives it), the integer's digits are cut to D with rounding judged on the one digit
// dropped, and the digits are laid out in positional or exponent form.
//
// The common path is kept short: everything is inlined into the function that formats (a long
// double crosses a call through memory), and number_to_text has a conversion of its own for its
// 15 digits; the factor for the usual exponents comes from one product; the 18-digit integer is
// split into two halves of nine digits by the floating-point unit (no 64-bit division), the
// rounding to D digits is done on the halves as integers, and a low half of zeros is neither
// rounded nor converted; the digits are made four at a time in a 32-bit lane and stored from
// registers straight to their places in the text.
#include "dialogkit/runtime/numtext.hpp"

#include "dialogkit/runtime/strings.hpp"
#include "runtime/x87.hpp"

// The short copy and fill loops stay loops: as calls of the library routines they cost more
// than they do, and the product has no C runtime to call.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-loop-distribute-patterns")
#endif

// A 64-bit processor works both lanes of digits with one instruction; on a 32-bit one the same
// code takes two instructions for each, and the product is better served by one lane at a time,
// with less code. Either way the texts are the same.
#ifndef NUMTEXT_WIDE_WORDS
#define NUMTEXT_WIDE_WORDS (UINTPTR_MAX > 0xFFFFFFFFu)
#endif

namespace {

// 10^0..10^7 as integers, 10^(8 x 2^k) for k = 0..9 as the nearest extended values (written as
// their exact binary significands and exponents), and 10^18.
struct PowersOfTen {
  uint32_t small[8];
  long double large[10];
  long double e18;
};

constexpr PowersOfTen powers_of_ten = {
    {1u, 10u, 100u, 1000u, 10000u, 100000u, 1000000u, 10000000u},
    {
        0x5F5E100p+0L,                  // 10^8, exact
        0x2386F26FC10000p+0L,           // 10^16, exact
        0x9DC5ADA82B70B59Ep+43L,        // 10^32
        0xC2781F49FFCFA6D5p+149L,       // 10^64
        0x93BA47C980E98CE0p+362L,       // 10^128
        0xAA7EEBFB9DF9DE8Ep+787L,       // 10^256
        0xE319A0AEA60E91C7p+1637L,      // 10^512
        0xC976758681750C17p+3338L,      // 10^1024
        0x9E8B3B5DC53D5DE5p+6740L,      // 10^2048
        0xC46052028A20979Bp+13543L,     // 10^4096
    },
    0xDE0B6B3A7640000p+0L,  // 10^18, exact
};

constexpr int64_t TEN_TO_17 = 100000000000000000;
constexpr int64_t TEN_TO_18 = 1000000000000000000;
static_assert(powers_of_ten.e18 == TEN_TO_18, "the integer bound is the table's 10^18");

// For a < 32 the factor is the table loop's own product, 10^(a mod 8) times 10^8 for a / 8 = 1,
// times 10^16 for a / 8 = 2, times 10^8 and then 10^16 for a / 8 = 3, with the two entries held
// as doubles (exact, and loaded as 64-bit values, which is quicker than 80-bit ones).
constexpr double STEPS_OF_EIGHT[4] = {1.0, 1e8, 1e16, 1e8};
static_assert(STEPS_OF_EIGHT[1] == powers_of_ten.large[0] &&
                  STEPS_OF_EIGHT[2] == powers_of_ten.large[1],
              "steps of eight");

// 10^0..10^9: the places of a half of nine digits.
constexpr uint32_t NINE_PLACES[10] = {1u,      10u,      100u,      1000u,      10000u,
                                      100000u, 1000000u, 10000000u, 100000000u, 1000000000u};
constexpr uint32_t BILLION = NINE_PLACES[9];

// The bit fields of an extended value as it lies in memory.
union Extended {
  long double value;
  struct {
    uint64_t significand;  // bit 63 is the explicit integer bit
    uint16_t sign_exponent;
  } bits;
};

int clamp_digit_count(int digit_count) {
  return digit_count >= 1 && digit_count <= 17 ? digit_count : 18;
}

// v x 10^p: at most one step by 10^4096, then one factor from the table (bits of |p| / 8 lowest
// first, every product rounded) by which v is multiplied or divided. p = 0 needs no case of its
// own: the factor is then 1 and the result v.
__attribute__((always_inline)) inline long double scale(long double v, int32_t p) {
  if (p > 4096 || p < -4096) {
    // Loaded only here: the compiler would otherwise load it ahead for every value.
    const long double* top = &powers_of_ten.large[9];
    __asm__ volatile("" : "+r"(top));
    if (p > 4096) {
      v = v * *top;
      p -= 4096;
    } else {
      v = v / *top;
      p += 4096;
    }
  }
  const uint32_t a = p < 0 ? static_cast<uint32_t>(-p) : static_cast<uint32_t>(p);
  // The small powers are below 2^31: loaded as signed 32-bit integers, straight from the table.
  long double f = static_cast<long double>(static_cast<int32_t>(powers_of_ten.small[a % 8]));
  if (a < 32) {
    f = f * static_cast<long double>(STEPS_OF_EIGHT[a / 8]);
    if (a >= 24) f = f * static_cast<long double>(STEPS_OF_EIGHT[2]);
  } else {
    uint32_t bits = a / 8;
    for (int k = 0; bits != 0; ++k, bits >>= 1)
      if (bits & 1) f = f * powers_of_ten.large[k];
  }
  return p > 0 ? v * f : v / f;
}

// The value's digits, rounded to D: the 18-digit integer as two halves of nine digits (high at
// least 10^8, or 0 for a value whose digits are all "0"), the digits after the D-th "0".
struct Halves {
  uint32_t high, low;
  int32_t point;  // P: the magnitude is 0.d1 d2 ... x 10^P
  bool negative;
};

__attribute__((always_inline)) inline Halves halves_of(long double value, const int D) {
  Extended x;
  x.value = value;
  const uint32_t field = x.bits.sign_exponent & 0x7FFFu;
  Halves h;
  h.negative = (x.bits.sign_exponent & 0x8000u) != 0;
  h.high = 0;
  h.low = 0;
  h.point = 1;
  // Zero, denormals and pseudo-denormals read as zero. Not-a-numbers, pseudo-infinities and
  // pseudo-NaNs read as zero too, and so do unnormals (exponent not zero, integer bit clear):
  // the processor takes them for no number at all.
  if (field == 0) return h;
  if (field == 0x7FFF || !(x.bits.significand >> 63)) {
    if (field == 0x7FFF && (x.bits.significand >> 48) == 0x8000u) {  // infinity: D nines
      const int first = D < 9 ? D : 9;
      h.high = BILLION - NINE_PLACES[9 - first];
      h.low = D > 9 ? BILLION - NINE_PLACES[18 - D] : 0;
      h.point = 999;
    }
    return h;
  }

  const long double v = __builtin_fabsl(value);
  const int32_t e = static_cast<int32_t>(field) - 16383;
  int32_t E = (e * 19728) >> 16;  // floor(e x log10 2), at times one above the true exponent
  // The scaled value rounded to an integer by the store itself. An estimate one too high leaves
  // only 17 digits: then the exponent is lowered and the value scaled again from itself, so that
  // no digit is lost and the point stays true. The estimate is never two too high, so the second
  // pass always gives 18 digits.
  long double s;
  int64_t N;
  for (int pass = 0;; ++pass) {
    s = scale(v, 17 - E);
    N = fpu_round_int64(s);
    if (N >= TEN_TO_17 || pass == 1) break;
    E -= 1;
  }
  // An estimate one too low gives 19 digits: a tenth, rounded to 64 bits and then to an integer.
  if (N >= TEN_TO_18) {
    s = static_cast<long double>(N) / 10;
    N = fpu_round_int64(s);
    E += 1;
  }

  // The halves: s lies within 1/2 of N, and s times the double nearest 10^-9 within 10^-6 of
  // N / 10^9, so that rounded it is the high half or one more. The low half then comes exactly
  // out of the low 32 bits of N (it is below 10^9 in size either way), and a negative one means
  // that the high half was one too many.
  uint32_t high = static_cast<uint32_t>(fpu_round_int32(s * static_cast<long double>(1e-9)));
  int32_t low = static_cast<int32_t>(static_cast<uint32_t>(N) - high * BILLION);
  if (low < 0) {
    low += BILLION;
    high -= 1;
  }

  // The rounding to D digits, judged on digit D + 1 alone: up if it is above 5, or 5 and digit D
  // odd; digit D is odd exactly when the number the kept digits make is. The half that holds
  // digit D + 1 is rounded; a carry out of the low half goes into the high one, a carry out of
  // the high half makes it 10^8 and the exponent one more. D = 18 keeps every digit.
  uint32_t u = static_cast<uint32_t>(low);
  const bool in_high = D < 9;
  // A low half of zeros has nothing to round when digit D + 1 lies in it (the common case of a
  // value with few digits).
  if (D < 18 && (in_high || u != 0)) {
    const int kept_count = in_high ? D : D - 9;  // digits kept of the rounded half
    const uint32_t place = NINE_PLACES[8 - kept_count];  // the place of digit D + 1
    const uint32_t y = (in_high ? high : u) / place;
    const uint32_t kept = y / 10, digit = y % 10;
    const uint32_t odd = (kept_count == 0 ? high : kept) & 1;
    const uint32_t rounded = (kept + (digit > 5 || (digit == 5 && odd))) * (place * 10);
    if (in_high) {
      high = rounded;
      u = 0;
    } else if (rounded == BILLION) {
      u = 0;
      high += 1;
    } else {
      u = rounded;
    }
    if (high == BILLION) {
      high = BILLION / 10;
      E += 1;
    }
  }
  h.high = high;
  h.low = u;
  h.point = E + 1;
  return h;
}

// Eight bytes stored as one word, the first byte lowest.
inline void store_word(char* p, uint64_t w) { __builtin_memcpy(p, &w, 8); }

constexpr uint64_t BYTES_ONE = 0x0101010101010101u;
constexpr uint64_t ZEROS = BYTES_ONE * '0';

// Two numbers below 10^4 as one word of eight digits, the first digit in the lowest byte. Each
// goes into a 32-bit lane, each lane is split by 100 into two 16-bit lanes, each of those by 10
// into two bytes, with one multiplication for all lanes alike (no product reaches the next lane;
// z x 5243 >> 19 is z / 100 for z < 10^4, z x 103 >> 10 is z / 10 for z < 100).
#if NUMTEXT_WIDE_WORDS
inline uint64_t lanes_of_four(uint32_t first, uint32_t second) {
  uint64_t v = first | static_cast<uint64_t>(second) << 32;
  const uint64_t hundreds = ((v * 5243) >> 19) & 0x0000007F0000007Fu;
  v = hundreds | (v - hundreds * 100) << 16;
  const uint64_t tens = ((v * 103) >> 10) & 0x000F000F000F000Fu;
  v = tens | (v - tens * 10) << 8;
  return v + ZEROS;
}
#else
inline uint32_t four_digits(uint32_t z) {
  const uint32_t hundreds = (z * 5243) >> 19;
  z = hundreds | (z - hundreds * 100) << 16;
  const uint32_t tens = ((z * 103) >> 10) & 0x000F000Fu;
  return (tens | (z - tens * 10) << 8) + 0x30303030u;
}
inline uint64_t lanes_of_four(uint32_t first, uint32_t second) {
  return four_digits(first) | static_cast<uint64_t>(four_digits(second)) << 32;
}
#endif

// The 18 digits as characters: each half as its first digit and a word of the other eight.
struct DigitWords {
  char first_high, first_low;
  uint64_t high, low;  // digits 2..9 and 11..18
};

// The nine digits of x < 10^9: its first digit, and the other eight as a word of two four-digit
// lanes, the quotients taken from x side by side rather than one after the other.
inline uint64_t eight_after_first(uint32_t x, char* first) {
  const uint32_t a = x / 100000000u, m = x / 10000;
  *first = static_cast<char>('0' + a);
  return lanes_of_four(m - a * 10000, x - m * 10000);
}

inline DigitWords digit_words(const Halves& h) {
  DigitWords d;
  d.high = eight_after_first(h.high, &d.first_high);
  d.first_low = '0';
  d.low = ZEROS;
  if (h.low != 0) d.low = eight_after_first(h.low, &d.first_low);
  return d;
}

// The first nine digits at `at`, and all eighteen.
inline void put_nine(char* at, const DigitWords& d) {
  at[0] = d.first_high;
  store_word(at + 1, d.high);
}
inline void put_eighteen(char* at, const DigitWords& d) {
  put_nine(at, d);
  at[9] = d.first_low;
  store_word(at + 10, d.low);
}

// The count of digits up to the last one that is not "0". That digit lies in the low half unless
// it is zero, then in the high half (there is none when that is zero too); within the half it is
// the last byte of the word that is not "0", or else the half's first digit. Adding 0x4F to a
// digit sets its bit 7 unless it is "0".
inline int significant_count(const Halves& h, const DigitWords& d) {
  if (h.high == 0) return 0;
  const bool low = h.low != 0;
  const uint64_t marks = ((low ? d.low : d.high) + BYTES_ONE * 0x4F) & (BYTES_ONE * 0x80);
  return (low ? 10 : 1) + (marks ? 1 + (63 - __builtin_clzll(marks)) / 8 : 0);
}

}  // namespace

DecimalDigits decimal_digits(long double value, int digit_count) {
  const int D = clamp_digit_count(digit_count);
  const Halves h = halves_of(value, D);
  char digits[24];
  put_eighteen(digits, digit_words(h));
  DecimalDigits record;
  record.negative = h.negative;
  for (int i = 0; i < 18; ++i) record.digits[i] = digits[i];
  record.point = h.point;
  return record;
}

long double scale_by_power_of_ten(long double v, int16_t p) { return scale(v, p); }

namespace {

// "E", the sign and 1 to 4 digits of an exponent from 1 to 9999.
char* put_exponent(char* out, int32_t exponent, char sign) {
  *out++ = 'E';
  *out++ = sign;
  const int count = 1 + (exponent >= 10) + (exponent >= 100) + (exponent >= 1000);
  for (int i = count - 1; i >= 0; --i, exponent /= 10) out[i] = static_cast<char>('0' + exponent % 10);
  return out + count;
}

// Each form stores the digits whole (whole words of them, at most 18 bytes, so the buffer always
// has room) and then sets the end of the text: the digits after the n significant ones are "0",
// and whatever lies past the end is not part of the text.
__attribute__((always_inline)) inline int format_text(long double value, const int D,
                                                      char buffer[32]) {
  const Halves h = halves_of(value, D);
  const DigitWords d = digit_words(h);
  buffer[0] = h.negative ? '-' : ' ';
  char* out = buffer + 1;
  const int n = significant_count(h, d);
  if (n == 0) {
    out[0] = '0';
    return 2;
  }
  const int32_t P = h.point;
  if (P >= n && P <= D) {  // an integer: the n digits, then zeros up to P
    put_eighteen(out, d);
    return 1 + P;
  }
  if (P < n && n - P <= D) {
    if (P > 0) {  // P digits, the point, the other n - P: the first P move one place down
      put_eighteen(out + 1, d);
      for (int i = 0; i < P; ++i) out[i] = out[i + 1];
      out[P] = '.';
      return 2 + n;
    }
    // The point, -P zeros (at most 17), the n digits (at most nine when there are more than
    // eight zeros, so that they end inside the buffer).
    const int32_t zeros = -P;
    out[0] = '.';
    for (int k = 0; k < 3; ++k) store_word(out + 1 + 8 * k, ZEROS);
    if (n > 9)
      put_eighteen(out + 1 + zeros, d);
    else
      put_nine(out + 1 + zeros, d);
    return 2 + zeros + n;
  }
  // Exponent form: the first digit, the point and the others if there are any, the exponent.
  out[0] = d.first_high;
  out[1] = '.';
  store_word(out + 2, d.high);
  out[10] = d.first_low;
  store_word(out + 11, d.low);
  out += n > 1 ? n + 1 : 1;
  out = P >= n ? put_exponent(out, P - 1, '+') : put_exponent(out, 1 - P, '-');
  return static_cast<int>(out - buffer);
}

}  // namespace

int number_text_format(long double value, int digit_count, char buffer[32]) {
  return format_text(value, clamp_digit_count(digit_count), buffer);
}

void number_to_text_digits(ProcedureFrame* frame, long double value, int32_t n) {
  char text[32];
  temp_push_copy_raising(frame, text, number_text_format(value, n, text));
}

// The count of 15 digits is known here, so this conversion is made for it alone.
void number_to_text(ProcedureFrame* frame, long double value) {
  char text[32];
  temp_push_copy_raising(frame, text, format_text(value, 15, text));
}

void number_to_text_single(ProcedureFrame* frame, long double value) {
  number_to_text_digits(frame, value, 7);
}
