// Number to text: an 80-bit extended value as decimal text for a count D of significant digits,
// left as a new string temporary. The value is scaled by a power of ten into an 18-digit integer
// in extended arithmetic (64-bit significand, rounding to nearest even, as the control word set at
// start-up gives it), the integer's digits are cut to D with rounding judged on the one digit
// dropped, and the digits are laid out in positional or exponent form.
//
// The common path is kept short: everything is inlined into the one function that formats (a
// long double crosses a call through memory), the factor for the usual exponents comes from one
// product, the digits are made eight at a time, and the layout copies whole words of digits into
// the work buffer and then sets the text's end.
#include "numtext.hpp"

#include "strings.hpp"
#include "threadstate.hpp"

// The short copy and fill loops stay loops: as calls of the library routines they cost more
// than they do, and the product has no C runtime to call.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-loop-distribute-patterns")
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

// 10^(8j) for j = 0..3, exact. For a < 32, 10^(a mod 8) x STEPS_OF_EIGHT[a / 8] is the product
// the table loop forms: exact up to 10^27 either way, and above it the exact value rounded once
// either way, so the factor is bit for bit the same.
constexpr long double STEPS_OF_EIGHT[4] = {1.0L, 0x5F5E100p+0L, 0x2386F26FC10000p+0L,
                                           0xD3C21BCECCEDA1p+24L};
static_assert(STEPS_OF_EIGHT[1] == powers_of_ten.large[0] &&
                  STEPS_OF_EIGHT[2] == powers_of_ten.large[1] &&
                  STEPS_OF_EIGHT[3] == powers_of_ten.large[0] * powers_of_ten.large[1],
              "steps of eight");

// The bit fields of an extended value as it lies in memory.
union Extended {
  long double value;
  struct {
    uint64_t significand;  // bit 63 is the explicit integer bit
    uint16_t sign_exponent;
  } bits;
};

// Rounds by the control word (nearest, ties even), as the store instruction does.
inline int64_t to_int64(long double v) {
  int64_t n;
  __asm__("fistpll %0" : "=m"(n) : "t"(v) : "st");
  return n;
}

int clamp_digit_count(int digit_count) {
  return digit_count >= 1 && digit_count <= 17 ? digit_count : 18;
}

// v x 10^p: at most one step by 10^4096, then one factor from the table (bits of |p| / 8 lowest
// first, every product rounded) by which v is multiplied or divided. p = 0 needs no case of its
// own: the factor is then 1 and the result v.
__attribute__((always_inline)) inline long double scale(long double v, int32_t p) {
  const long double top = powers_of_ten.large[9];
  if (p > 4096) {
    v = v * top;
    p -= 4096;
  } else if (p < -4096) {
    v = v / top;
    p += 4096;
  }
  const uint32_t a = p < 0 ? static_cast<uint32_t>(-p) : static_cast<uint32_t>(p);
  // The small powers are below 2^31: loaded as signed 32-bit integers, straight from the table.
  long double f = static_cast<long double>(static_cast<int32_t>(powers_of_ten.small[a % 8]));
  if (a < 32) {
    f = f * STEPS_OF_EIGHT[a / 8];
  } else {
    uint32_t bits = a / 8;
    for (int k = 0; bits != 0; ++k, bits >>= 1)
      if (bits & 1) f = f * powers_of_ten.large[k];
  }
  return p > 0 ? v * f : v / f;
}

// Eight bytes as one word, the first byte lowest, and back.
inline uint64_t load_word(const char* p) {
  uint64_t w;
  __builtin_memcpy(&w, p, 8);
  return w;
}
inline void store_word(char* p, uint64_t w) { __builtin_memcpy(p, &w, 8); }

constexpr uint64_t BYTES_ONE = 0x0101010101010101u;

// The eight digits of y < 10^8 as one word, the first digit in the lowest byte. The two halves
// of four digits go into 32-bit lanes, each lane is split by 100 into two 16-bit lanes, each of
// those by 10 into two bytes, all lanes with one multiplication (no product reaches the next
// lane; z x 5243 >> 19 is z / 100 for z < 10^4, z x 103 >> 10 is z / 10 for z < 100).
inline uint64_t eight_digits(uint32_t y) {
  const uint32_t high = y / 10000;
  uint64_t v = high | static_cast<uint64_t>(y - high * 10000) << 32;
  const uint64_t hundreds = ((v * 5243) >> 19) & 0x0000007F0000007Fu;
  v = hundreds | (v - hundreds * 100) << 16;
  const uint64_t tens = ((v * 103) >> 10) & 0x000F000F000F000Fu;
  v = tens | (v - tens * 10) << 8;
  return v + BYTES_ONE * '0';
}

// The digit record as this unit builds it: room for whole words, the bytes after the D digits
// "0".
struct Digits {
  char digits[32];
  int32_t point;
  bool negative;
};

void fill_digits(Digits* record, int count, char digit, int32_t point) {
  for (int i = 0; i < count; ++i) record->digits[i] = digit;
  record->point = point;
}

__attribute__((always_inline)) inline Digits digits_of(long double value, const int D) {
  Extended x;
  x.value = value;
  const uint32_t field = x.bits.sign_exponent & 0x7FFFu;
  Digits record;
  for (int k = 0; k < 4; ++k) store_word(record.digits + 8 * k, BYTES_ONE * '0');
  record.negative = (x.bits.sign_exponent & 0x8000u) != 0;

  if (field == 0) {  // zero, denormals and pseudo-denormals
    fill_digits(&record, D, '0', 1);
    return record;
  }
  if (field == 0x7FFF) {
    if ((x.bits.significand >> 48) == 0x8000u)
      fill_digits(&record, D, '9', 999);  // infinity
    else
      fill_digits(&record, D, '0', 1);    // not a number (pseudo-infinities and pseudo-NaNs too)
    return record;
  }
  if (!(x.bits.significand >> 63)) {
    // An unnormal: the processor takes it for no number at all (its arithmetic gives the
    // indefinite NaN), so it reads as a NaN does.
    fill_digits(&record, D, '0', 1);
    return record;
  }

  const long double v = __builtin_fabsl(value);
  const int32_t e = static_cast<int32_t>(field) - 16383;
  int32_t E = (e * 19728) >> 16;  // floor(e x log10 2), at times one above the true exponent
  // The scaled value rounded to an integer by the store itself. An estimate one too high leaves
  // only 17 digits: then the exponent is lowered and the value scaled again from itself, so that
  // no digit is lost and the point stays true. The estimate is never two too high, so the second
  // pass always gives 18 digits.
  int64_t N;
  for (int pass = 0;; ++pass) {
    N = to_int64(scale(v, 17 - E));
    if (N >= TEN_TO_17 || pass == 1) break;
    E -= 1;
  }
  // An estimate one too low gives 19 digits: a tenth, rounded to 64 bits and then to an integer.
  if (N >= TEN_TO_18) {
    N = to_int64(static_cast<long double>(N) / 10);
    E += 1;
  }

  // The 18 digits of N (10^17 <= N < 10^18) followed by zeros: the first D are the digits, the
  // next one is the rounding digit.
  const uint64_t upper = static_cast<uint64_t>(N) / 100000000u;  // the first ten digits
  const uint32_t first = static_cast<uint32_t>(upper / 100000000u);  // two digits
  record.digits[0] = static_cast<char>('0' + first / 10);
  record.digits[1] = static_cast<char>('0' + first % 10);
  store_word(record.digits + 2, eight_digits(static_cast<uint32_t>(upper - first * 100000000ull)));
  store_word(record.digits + 10,
             eight_digits(static_cast<uint32_t>(static_cast<uint64_t>(N) - upper * 100000000u)));
  const char r = record.digits[D];  // "0" for D = 18
  char& last = record.digits[D - 1];
  const int up = (r > '5') | ((r == '5') & ((last - '0') & 1));
  if (up & (last == '9')) {
    int i = D - 1;
    while (i >= 0 && record.digits[i] == '9') record.digits[i--] = '0';
    if (i >= 0) {
      ++record.digits[i];
    } else {
      record.digits[0] = '1';  // all others are "0" now
      E += 1;
    }
  } else {
    last = static_cast<char>(last + up);
  }
  for (int i = D; i < 18; ++i) record.digits[i] = '0';
  record.point = E + 1;
  return record;
}

// The count of digits up to the last one that is not "0" (the digits after D are all "0"): bit 7
// of each byte of a word marks a byte that is not "0", the highest mark gives the count.
inline int significant_count(const char* digits) {
  int n = 0;
  for (int k = 0; k < 3; ++k) {
    const uint64_t x = load_word(digits + 8 * k) ^ (BYTES_ONE * '0');
    const uint64_t marks = (((x & (BYTES_ONE * 0x7F)) + BYTES_ONE * 0x7F) | x) & (BYTES_ONE * 0x80);
    if (marks) n = 8 * k + 1 + (63 - __builtin_clzll(marks)) / 8;
  }
  return n;
}

}  // namespace

DecimalDigits decimal_digits(long double value, int digit_count) {
  const int D = clamp_digit_count(digit_count);
  const Digits digits = digits_of(value, D);
  DecimalDigits record;
  record.negative = digits.negative;
  for (int i = 0; i < 18; ++i) record.digits[i] = digits.digits[i];
  record.point = digits.point;
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

// Each form copies the digits whole (at most 24 bytes, so the buffer always has room) and then
// sets the end of the text: the digits after the n significant ones are "0", and whatever lies
// past the end is not part of the text.
__attribute__((always_inline)) inline int format_text(long double value, int D, char buffer[32]) {
  const Digits record = digits_of(value, D);
  const char* d = record.digits;
  buffer[0] = record.negative ? '-' : ' ';
  char* out = buffer + 1;
  const int n = significant_count(d);
  if (n == 0) {
    out[0] = '0';
    return 2;
  }
  const int32_t P = record.point;
  if (P >= n && P <= D) {  // an integer: the n digits, then zeros up to P
    for (int k = 0; k < 3; ++k) store_word(out + 8 * k, load_word(d + 8 * k));
    return 1 + P;
  }
  if (P < n && n - P <= D) {
    if (P > 0) {  // P digits, the point, the other n - P
      for (int i = 0; i < D; ++i) out[i + (i >= P)] = d[i];
      out[P] = '.';
      return 2 + n;
    }
    // The point, -P zeros (at most 17), the n digits. A digit that would land past the text
    // goes to the spare place after it.
    const int32_t zeros = -P;
    out[0] = '.';
    for (int i = 1; i <= 17; ++i) out[i] = '0';
    for (int i = 0; i < D; ++i) {
      int32_t at = 1 + zeros + i;
      out[at > D + 1 ? D + 1 : at] = d[i];
    }
    return 2 + zeros + n;
  }
  // Exponent form: the first digit, the point and the others if there are any, the exponent.
  out[0] = d[0];
  out[1] = '.';
  for (int k = 0; k < 3; ++k) store_word(out + 2 + 8 * k, load_word(d + 1 + 8 * k));
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
  const int length = format_text(value, clamp_digit_count(n), text);
  DynString reference;
  char* bytes;
  if (string_alloc(length, &reference, &bytes) != ERR_NONE) {
    // Still one new temporary, the empty string, so that the expression stays balanced.
    error_raise(frame, ERR_OUT_OF_MEMORY);
  } else {
    for (int i = 0; i < length; ++i) bytes[i] = text[i];
  }
  temp_push(frame, reference);
}

void number_to_text(ProcedureFrame* frame, long double value) { number_to_text_digits(frame, value, 15); }
void number_to_text_single(ProcedureFrame* frame, long double value) {
  number_to_text_digits(frame, value, 7);
}
