// Display formats (see numshow.hpp). The value is taken apart into its exact m x 2^q; the digits
// are those of m x 2^q x 10^s rounded to an integer (nearest, ties to even) with exact integer
// arithmetic, for s the decimals asked for or the scale that leaves D significant digits. For the
// usual values the integers are two or three limbs long; only extreme exponents make them long.
#include "dialogkit/runtime/numshow.hpp"

#include "runtime/bignum.hpp"
#include "dialogkit/runtime/errors.hpp"
#include "dialogkit/runtime/strings.hpp"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-loop-distribute-patterns")
#endif

// As in numread.cpp: NUMREAD_NARROW=1 takes the 32-bit product's code in a 64-bit build.
#ifndef NUMREAD_NARROW
#define NUMREAD_NARROW 0
#endif

namespace {

union Extended {
  long double value;
  struct {
    uint64_t significand;
    uint16_t sign_exponent;
  } bits;
};

enum class Kind { FINITE, INFINITE, NOT_A_NUMBER };

struct Parts {
  Kind kind;
  bool negative;
  uint64_t m;  // 0 for zero
  int32_t q;
};

Parts parts_of(long double value) {
  Extended x;
  x.value = value;
  Parts p;
  const uint32_t field = x.bits.sign_exponent & 0x7FFFu;
  p.negative = (x.bits.sign_exponent & 0x8000u) != 0;
  p.m = x.bits.significand;
  p.q = (field == 0 ? 1 : static_cast<int32_t>(field)) - 16383 - 63;
  p.kind = Kind::FINITE;
  if (field == 0x7FFF)
    p.kind = p.m == 1ull << 63 ? Kind::INFINITE : Kind::NOT_A_NUMBER;
  else if (field != 0 && !(p.m >> 63))
    p.kind = Kind::NOT_A_NUMBER;  // an unnormal: the processor takes it for no number
  return p;
}

// r = m x 2^q x 10^s rounded to an integer, nearest, ties to even. Needs three numbers of room.
void round_scaled(uint64_t m, int32_t q, int32_t s, Big* r, Big* b, Big* a) {
  const int32_t e2 = q + s;  // 10^s = 5^s x 2^s
  if (s >= 0) {
    big_set(r, m);
    big_mul_pow5(r, s);
    if (e2 >= 0) {
      big_shift_left(r, e2);
    } else {
      const int dropped = big_shift_right_rounding(r, -e2);
      if (dropped == 3 || (dropped == 2 && big_bit(r, 0))) big_mul_add_small(r, 1, 1);
    }
    return;
  }
  big_set(a, m);
  big_set(b, 1);
  big_mul_pow5(b, -s);
  if (e2 >= 0)
    big_shift_left(a, e2);
  else
    big_shift_left(b, -e2);
  big_divide_rounded(a, b, r);
}

int32_t limbs_for(int32_t q, int32_t s) {
  const int64_t bits = 64 + (q < 0 ? -q : q) + (s < 0 ? -s : s) * 2322LL / 1000 + (s < 0 ? -s : s) + 160;
  return big_limbs_for(bits);
}

// The decimal digits of r, most significant first, at least `at_least` of them (leading
// zeros); r is used up. Gives the count.
int big_digits(Big* r, char* out, int at_least) {
  char reversed[48];
  int n = 0;
  while (r->count > 0 && n < 40) {
    uint32_t part = big_divide_small(r, 1000000000u);
    const bool last = r->count == 0;
    for (int i = 0; i < 9 && (!last || part != 0); ++i, part /= 10) reversed[n++] = static_cast<char>('0' + part % 10);
  }
  while (n < at_least) reversed[n++] = '0';
  for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
  return n;
}

// The same rounding in 64 and 128-bit words, for the usual values: false when the result or
// the work does not fit them (the big integers take over then).
constexpr uint64_t TEN_POWERS[20] = {1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull,
                                     10000000ull, 100000000ull, 1000000000ull, 10000000000ull,
                                     100000000000ull, 1000000000000ull, 10000000000000ull,
                                     100000000000000ull, 1000000000000000ull, 10000000000000000ull,
                                     100000000000000000ull, 1000000000000000000ull,
                                     10000000000000000000ull};

// Up when the dropped part is above a half, or a half and the kept number odd.
inline uint64_t rounded(uint64_t kept, bool half, bool below) {
  return kept + (half && (below || (kept & 1)));
}

bool round_scaled_words(uint64_t m, int32_t q, int32_t s, uint64_t* r) {
  if (s >= 0) {
    if (s > 27) return false;
    uint64_t five = 1;
    for (int32_t i = 0; i < s; ++i) five *= 5;
    // m x 5^s as high:low.
#if defined(__SIZEOF_INT128__) && !NUMREAD_NARROW
    const unsigned __int128 product = static_cast<unsigned __int128>(m) * five;
    const uint64_t high = static_cast<uint64_t>(product >> 64), low = static_cast<uint64_t>(product);
#else
    const uint64_t m0 = static_cast<uint32_t>(m), m1 = m >> 32, f0 = static_cast<uint32_t>(five),
                   f1 = five >> 32;
    const uint64_t p00 = m0 * f0, p01 = m0 * f1, p10 = m1 * f0, p11 = m1 * f1;
    const uint64_t middle = (p00 >> 32) + static_cast<uint32_t>(p01) + static_cast<uint32_t>(p10);
    const uint64_t high = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
    const uint64_t low = middle << 32 | static_cast<uint32_t>(p00);
#endif
    const int32_t e2 = q + s;
    if (e2 >= 0) {
      if (high != 0 || e2 >= 64 || (e2 > 0 && (low >> (64 - e2)) != 0)) return false;
      *r = low << e2;
      return true;
    }
    const int32_t shift = -e2;
    if (shift >= 128) return false;
    if (shift >= 64) {
      const int32_t k = shift - 64;  // bits of high dropped
      const uint64_t kept = k == 0 ? high : high >> k;
      const bool half = k == 0 ? (low >> 63) != 0 : ((high >> (k - 1)) & 1) != 0;
      const bool below = k == 0 ? (low << 1) != 0 : ((high & ((1ull << (k - 1)) - 1)) | low) != 0;
      *r = rounded(kept, half, below);
      return true;
    }
    if ((high >> shift) != 0) return false;
    const uint64_t kept = (shift == 0 ? 0 : high << (64 - shift)) | low >> shift;
    const bool half = shift > 0 && ((low >> (shift - 1)) & 1) != 0;
    const bool below = shift > 1 && (low & ((1ull << (shift - 1)) - 1)) != 0;
    *r = rounded(kept, half, below);
    return true;
  }
  if (-s > 19) return false;
  // The integer part of m x 2^q and whether a fraction follows it, then divided by 10^-s.
  uint64_t whole;
  bool fraction;
  if (q >= 0) {
    if (q >= 64 || (q > 0 && (m >> (64 - q)) != 0)) return false;
    whole = m << q;
    fraction = false;
  } else if (q > -64) {
    whole = m >> -q;
    fraction = (m & ((1ull << -q) - 1)) != 0;
  } else {
    whole = 0;
    fraction = m != 0;
  }
  const uint64_t divisor = TEN_POWERS[-s];
  const uint64_t kept = whole / divisor, rest = whole % divisor;
  const uint64_t other = divisor - rest;  // rest compared with the half, without overflow
  const bool above = rest > other || (rest == other && fraction);
  const bool tie = rest == other && !fraction;
  *r = kept + (above || (tie && (kept & 1)));
  return true;
}

// The digits of m x 2^q x 10^s rounded to an integer, most significant first, at least
// `at_least` of them; gives the count, or -1 when working memory could not be had.
int rounded_digits(uint64_t m, int32_t q, int32_t s, char* out, int at_least) {
  uint64_t r;
  if (round_scaled_words(m, q, s, &r)) {
    char reversed[24];
    int n = 0;
    for (; r != 0; r /= 10) reversed[n++] = static_cast<char>('0' + r % 10);
    while (n < at_least) reversed[n++] = '0';
    for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    return n;
  }
  BigWork work;
  Big big[3];
  if (!big_work_begin(&work, big, 3, limbs_for(q, s))) return -1;
  round_scaled(m, q, s, &big[0], &big[1], &big[2]);
  const int n = big_digits(&big[0], out, at_least);
  big_work_end(&work);
  return n;
}

// The integer part's digits with "," between groups of three when asked for.
char* put_integer(char* out, const char* digits, int n, uint32_t options) {
  for (int i = 0; i < n; ++i) {
    if ((options & NUMBER_THOUSANDS) && i > 0 && (n - i) % 3 == 0) *out++ = ',';
    *out++ = digits[i];
  }
  return out;
}

int put_special(const Parts& p, char* buffer) {
  const char* text = p.kind == Kind::NOT_A_NUMBER ? "nan" : (p.negative ? "-inf" : "inf");
  int n = 0;
  while (text[n]) {
    buffer[n] = text[n];
    ++n;
  }
  return n;
}

bool all_zeros(const char* digits, int n) {
  for (int i = 0; i < n; ++i)
    if (digits[i] != '0') return false;
  return true;
}

int format_significant(const Parts& p, int32_t D, uint32_t options, char* buffer);

}  // namespace

int number_format_fixed(long double value, int32_t decimals, uint32_t options, char* buffer) {
  const Parts p = parts_of(value);
  if (p.kind != Kind::FINITE) return put_special(p, buffer);
  const int32_t d = decimals < 0 ? 0 : (decimals > 18 ? 18 : decimals);
  if (__builtin_fabsl(value) >= 1e21L) return format_significant(p, 17, options, buffer);
  char digits[48];
  int n;
  if (p.m == 0) {
    n = d + 1;
    for (int i = 0; i < n; ++i) digits[i] = '0';
  } else {
    n = rounded_digits(p.m, p.q, d, digits, d + 1);
    if (n < 0) return 0;
  }
  char* out = buffer;
  if (p.negative && !all_zeros(digits, n)) *out++ = '-';
  out = put_integer(out, digits, n - d, options);
  if (d > 0) {
    *out++ = '.';
    for (int i = n - d; i < n; ++i) *out++ = digits[i];
  }
  return static_cast<int>(out - buffer);
}

int number_format_significant(long double value, int32_t digits, uint32_t options, char* buffer) {
  const Parts p = parts_of(value);
  if (p.kind != Kind::FINITE) return put_special(p, buffer);
  const int32_t D = digits < 1 ? 1 : (digits > 21 ? 21 : digits);
  return format_significant(p, D, options, buffer);
}

namespace {

// The digits of m x 2^q rounded to D significant ones, and the decimal exponent X of the first
// (value = d1.d2... x 10^X). X is estimated from the binary exponent and corrected until the
// rounded integer has exactly D digits; a rounding that carries to 10^D becomes 10^(D - 1) one place up.
bool significant_digits(const Parts& p, int32_t D, char* out, int32_t* exponent) {
  const int32_t top = 63 - __builtin_clzll(p.m) + p.q;
  // floor(top x log10 2) with log10 2 as 646456993 / 2^31 (the shift floors negative products
  // too): off by one at most, which the loop below mends.
  int32_t X = static_cast<int32_t>((static_cast<int64_t>(top) * 646456993) >> 31);
  char digits[48];
  int n = 0;
  for (int pass = 0; pass < 4; ++pass) {
    n = rounded_digits(p.m, p.q, D - 1 - X, digits, 0);
    if (n < 0) return false;
    if (n == D) break;
    X += n > D ? 1 : -1;
  }
  for (int i = 0; i < D; ++i) out[i] = i < n ? digits[i] : '0';
  *exponent = X;
  return true;
}

int format_significant(const Parts& p, int32_t D, uint32_t options, char* buffer) {
  char* out = buffer;
  if (p.m == 0) {
    *out = '0';
    return 1;
  }
  char digits[24];
  int32_t X;
  if (!significant_digits(p, D, digits, &X)) return 0;
  int n = D;
  while (n > 1 && digits[n - 1] == '0') --n;
  if (p.negative) *out++ = '-';
  if (X >= -6 && X <= 15) {
    if (X >= 0) {
      char whole[24];
      for (int i = 0; i <= X; ++i) whole[i] = i < n ? digits[i] : '0';
      out = put_integer(out, whole, X + 1, options);
      if (n > X + 1) {
        *out++ = '.';
        for (int i = X + 1; i < n; ++i) *out++ = digits[i];
      }
    } else {
      *out++ = '0';
      *out++ = '.';
      for (int i = 0; i < -X - 1; ++i) *out++ = '0';
      for (int i = 0; i < n; ++i) *out++ = digits[i];
    }
    return static_cast<int>(out - buffer);
  }
  *out++ = digits[0];
  if (n > 1) {
    *out++ = '.';
    for (int i = 1; i < n; ++i) *out++ = digits[i];
  }
  *out++ = 'E';
  *out++ = X < 0 ? '-' : '+';
  int32_t e = X < 0 ? -X : X;
  char exponent[8];
  int k = 0;
  do {
    exponent[k++] = static_cast<char>('0' + e % 10);
    e /= 10;
  } while (e != 0);
  while (k > 0) *out++ = exponent[--k];
  return static_cast<int>(out - buffer);
}

}  // namespace

void number_to_fixed(ProcedureFrame* frame, long double value, int32_t decimals, uint32_t options) {
  char text[NUMBER_FORMAT_BUFFER];
  temp_push_copy_raising(frame, text, number_format_fixed(value, decimals, options, text));
}

void number_to_significant(ProcedureFrame* frame, long double value, int32_t digits, uint32_t options) {
  char text[NUMBER_FORMAT_BUFFER];
  temp_push_copy_raising(frame, text, number_format_significant(value, digits, options, text));
}
