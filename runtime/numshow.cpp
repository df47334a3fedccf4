// Display formats (see numshow.hpp). The value is taken apart into its exact m x 2^q; the digits
// are those of m x 2^q x 10^s rounded to an integer (nearest, ties to even) with exact integer
// arithmetic, for s the decimals asked for or the scale that leaves D significant digits. For the
// usual values the integers are two or three limbs long; only extreme exponents make them long.
#include "numshow.hpp"

#include "bignum.hpp"
#include "errors.hpp"
#include "strings.hpp"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-loop-distribute-patterns")
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
    BigWork work;
    Big big[3];
    if (!big_work_begin(&work, big, 3, limbs_for(p.q, d))) return 0;
    round_scaled(p.m, p.q, d, &big[0], &big[1], &big[2]);
    n = big_digits(&big[0], digits, d + 1);
    big_work_end(&work);
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
  BigWork work;
  Big big[4];
  if (!big_work_begin(&work, big, 4, limbs_for(p.q, D + 1 - X))) return false;
  Big* r = &big[0];
  Big* limit = &big[3];  // 10^D
  big_set(limit, 1);
  for (int i = 0; i < D; ++i) big_mul_add_small(limit, 10, 0);
  for (int pass = 0;; ++pass) {
    round_scaled(p.m, p.q, D - 1 - X, r, &big[1], &big[2]);
    if (big_compare(r, limit) >= 0 && pass < 2) {
      ++X;
      continue;
    }
    big_divide_small(limit, 10);  // 10^(D - 1)
    if (big_compare(r, limit) < 0 && pass < 2) {
      big_mul_add_small(limit, 10, 0);
      --X;
      continue;
    }
    break;
  }
  char digits[48];
  int n = big_digits(r, digits, D);
  if (n > D) {  // 10^D after the last correction: a carry
    n = D;
    ++X;
  }
  for (int i = 0; i < D; ++i) out[i] = digits[i];
  big_work_end(&work);
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
