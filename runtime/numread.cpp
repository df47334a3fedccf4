// Text to number (see numread.hpp). The text is scanned once into its first 38 significant
// digits as a 128-bit integer W and a decimal exponent k (value = W x 10^k, plus whatever digits
// were left off). Three ways to the correctly rounded value, the first that can settle it wins:
//
// 1. Short texts (at most 19 digits, |k| <= 27): W and 10^|k| are both exact in the working
//    form, so one multiplication or division, rounded once by the x87 unit to 64 bits, is the
//    answer. For a double: the same in double arithmetic where the build has it of its own
//    (W < 2^53, |k| <= 22); on the x87 unit the 64-bit result rounded again, which is right
//    unless it lies exactly halfway between two doubles (then the next way is taken).
// 2. Everything else in range: W times the top 128 bits of 10^k (10^(28 j) from a table, or
//    far out as the product of two small tables' entries, times 5^r x 2^r), kept to its top 128
//    bits. That product is below the exact value by less than a few units of its last bit;
//    unless the bits below the target's last bit lie within that margin of a half, the rounding
//    they say is the rounding of the exact value. When W has at most 19 digits and
//    0 <= k <= 27 the product is the exact value itself (W < 2^64 and 5^k < 2^64, the power's
//    table entry is 2^127): the rounding, ties included, is settled here with no margin.
// 3. Otherwise, exact arithmetic on big integers: x = A / B x 2^t, the quotient rounded to the
//    target's bit count by long division. Digits past the 11,520th only count as "something
//    more": no halfway point of either target has more significant digits than that.
#include "dialogkit/runtime/numread.hpp"

#include "runtime/bignum.hpp"
#include "dialogkit/runtime/errors.hpp"
#include "runtime/numread_internal.hpp"
#include "dialogkit/runtime/strings.hpp"

// The 32-bit product has neither 128-bit integers nor double arithmetic of its own: it takes the
// 32-bit multiplications and the x87 unit's way 1. NUMREAD_NARROW=1 makes a 64-bit build take
// the same code, so that the host tests check it too.
#ifndef NUMREAD_NARROW
#define NUMREAD_NARROW 0
#endif
#if defined(__SIZEOF_INT128__) && !NUMREAD_NARROW
#define NUMREAD_WIDE_PRODUCTS 1
#else
#define NUMREAD_WIDE_PRODUCTS 0
#endif
#if defined(__SSE2_MATH__) && !NUMREAD_NARROW
#define NUMREAD_DOUBLE_ARITHMETIC 1
#else
#define NUMREAD_DOUBLE_ARITHMETIC 0
#endif

// A build for speed makes one straight piece of code of the scan and ways 1 and 2 in each
// reader (NUMREAD_HOT), and keeps way 3 apart (NUMREAD_COLD); a build for size (the product's
// -Oz) leaves both to the compiler, which shares them.
#if defined(__OPTIMIZE_SIZE__)
#define NUMREAD_HOT inline
#define NUMREAD_COLD
#else
#define NUMREAD_HOT inline __attribute__((always_inline))
#define NUMREAD_COLD __attribute__((noinline, cold))
#endif

// Eight text bytes are read as one little-endian word.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the digit words assume little-endian bytes");

namespace {

struct PowerWords {
  uint64_t high, low;
};
#include "runtime/numread_powers.inc"

// floor(k log2 10), with log2 10 as 14267572528 / 2^32: exact for every |k| up to 5,500 (checked
// when the tables were made), beyond every k the tables serve.
inline int32_t power_exponent(int32_t k) {
  return static_cast<int32_t>((static_cast<int64_t>(k) * 14267572528LL) >> 32);
}

struct U128 {
  uint64_t high, low;
};

NUMREAD_HOT U128 multiply_64(uint64_t a, uint64_t b) {
#if NUMREAD_WIDE_PRODUCTS
  const unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
  return U128{static_cast<uint64_t>(p >> 64), static_cast<uint64_t>(p)};
#else
  const uint64_t a0 = static_cast<uint32_t>(a), a1 = a >> 32;
  const uint64_t b0 = static_cast<uint32_t>(b), b1 = b >> 32;
  const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  const uint64_t middle = (p00 >> 32) + static_cast<uint32_t>(p01) + static_cast<uint32_t>(p10);
  return U128{p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), middle << 32 | static_cast<uint32_t>(p00)};
#endif
}

// The top word of (high:low) << s, 0 <= s < 64.
inline uint64_t shift_in(uint64_t high, uint64_t low, uint32_t s) {
#if NUMREAD_WIDE_PRODUCTS
  return static_cast<uint64_t>((static_cast<unsigned __int128>(high) << 64 | low) << (s & 63) >> 64);
#else
  return high << s | (low >> 1 >> (63 - s));
#endif
}

// a + b into *sum, giving the carry.
inline uint64_t add_carry(uint64_t a, uint64_t b, uint64_t* sum) {
  *sum = a + b;
  return *sum < a;
}

// The targets: significand bits, the exponents of the smallest and largest normal values, and
// the decimal magnitudes (digits + k) from which a text is certainly too large or certainly
// below half the smallest subnormal.
struct Target {
  int bits;
  int min_exponent, max_exponent;
  int64_t overflow_magnitude, underflow_magnitude;
};
constexpr Target EXTENDED = {64, -16382, 16383, 4934, -4952};
constexpr Target DOUBLE = {53, -1022, 1023, 310, -324};

// A result before it is encoded: m x 2^q, or an infinity.
struct Binary {
  uint64_t m;
  int32_t q;
  bool infinite;
};

// 5^0..5^27: every one below 2^63. 10^k is 5^k x 2^k, exact in 64 bits up to 10^19.
constexpr uint64_t FIVE_POWERS[28] = {
    1ull, 5ull, 25ull, 125ull, 625ull, 3125ull, 15625ull, 78125ull, 390625ull, 1953125ull,
    9765625ull, 48828125ull, 244140625ull, 1220703125ull, 6103515625ull, 30517578125ull,
    152587890625ull, 762939453125ull, 3814697265625ull, 19073486328125ull, 95367431640625ull,
    476837158203125ull, 2384185791015625ull, 11920928955078125ull, 59604644775390625ull,
    298023223876953125ull, 1490116119384765625ull, 7450580596923828125ull};

inline uint64_t ten_power(int32_t k) { return FIVE_POWERS[k] << k; }  // 0 <= k <= 19

// 10^k, 0 <= k <= 27, exact in the working form: 5^k (below 2^63, so read as a signed integer)
// times 2^k.
inline long double ten_power_extended(int32_t k) {
  return static_cast<long double>(static_cast<int64_t>(FIVE_POWERS[k])) * static_cast<long double>(1L << k);
}

constexpr int HELD_DIGITS = 38;
constexpr int32_t EXACT_DIGITS = 11520;

// The text as scanned.
struct DecimalText {
  uint64_t high, low;  // the first 19 significant digits, and the next ones (low_digits of them)
  int32_t digits;      // take_digit's count of the significant digits (see held_digits)
  int32_t low_digits;
  bool truncated;      // a digit other than "0" left off
  bool negative;
  int64_t exponent;    // value = held digits x 10^exponent
  uint32_t int_begin, int_end, fraction_begin, fraction_end;
};

inline bool is_blank(char c) { return c == ' ' || c == '\t'; }
inline bool is_digit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// One digit into the record. Leading zeros hold nothing; a digit after the point lowers the
// exponent unless it is left off.
inline void take_digit(DecimalText* d, uint32_t c, bool fraction) {
  if (d->digits == 0 && c == 0) {
    d->exponent -= fraction;
    return;
  }
  if (d->digits < 19) {
    d->high = d->high * 10 + c;
  } else if (d->digits < HELD_DIGITS) {
    d->low = d->low * 10 + c;
    ++d->low_digits;
  } else {
    d->truncated |= c != 0;
    d->exponent += !fraction;
    return;
  }
  ++d->digits;
  d->exponent -= fraction;
}

// Eight digit bytes as their value: the bytes less "0", then pairs, fours and the eight combined
// by three multiplications. The first byte is the most significant digit.
inline uint64_t eight_bytes(const char* p) {
  uint64_t x;
  __builtin_memcpy(&x, p, 8);
  return x;
}
inline uint64_t eight_digits_value(uint64_t x) {
  x -= 0x3030303030303030ull;
  x = x * 10 + (x >> 8);  // each even byte: two digits
  x = ((x & 0x000000FF000000FFull) * (100 + (1000000ull << 32)) +
       ((x >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))) >> 32;
  return x;
}

// The m < 8 bytes at p in the low bytes of a word, the others 0: two overlapping four-byte
// reads, or for fewer than four bytes the first, middle and last.
inline uint64_t some_bytes(const char* p, uint32_t m) {
  if (m >= 4) {
    uint32_t a, b;
    __builtin_memcpy(&a, p, 4);
    __builtin_memcpy(&b, p + m - 4, 4);
    return a | static_cast<uint64_t>(b) << (8 * (m - 4));
  }
  if (m == 0) return 0;
  return static_cast<uint64_t>(static_cast<unsigned char>(p[0])) |
         static_cast<uint64_t>(static_cast<unsigned char>(p[m / 2])) << (8 * (m / 2)) |
         static_cast<uint64_t>(static_cast<unsigned char>(p[m - 1])) << (8 * (m - 1));
}

// The top bit of every byte of x that is no digit, and of some bytes after the first such. A
// byte below "0" less 0x30 wraps to 0xD0..0xFF; a byte above "9" plus 0x46 reaches 0x80..0xC5,
// or wraps past 0xFF (then less 0x30 it is 0x8A..0xCF). Digit bytes pass neither a carry nor a
// borrow on: the bytes up to the first that is no digit are told right.
inline uint64_t non_digits(uint64_t x) {
  return ((x + 0x4646464646464646ull) | (x - 0x3030303030303030ull)) & 0x8080808080808080ull;
}

// The run of digits from i appended to *v, eight bytes at a time (the last few of the text read
// as one word too); gives the run's end. A word that holds the run's end has from 1 to 7
// leading digits (its first byte is one), found from its non-digit bytes, moved to its top and
// read with "0"s in front. Past 19 digits *v wraps, and the caller takes the digits again one by
// one.
#if defined(__OPTIMIZE_SIZE__) || NUMREAD_NARROW
// A build for size, and the 32-bit code it stands for, read the run byte by byte: there the word
// arithmetic above is 64-bit work done in 32-bit halves, the larger code and no faster.
inline uint32_t take_run(const char* t, uint32_t i, uint32_t n, uint64_t* v) {
  uint64_t x = *v;
  for (; i < n && is_digit(t[i]); ++i) x = x * 10 + static_cast<uint32_t>(t[i] - '0');
  *v = x;
  return i;
}
#else
NUMREAD_HOT uint32_t take_run(const char* t, uint32_t i, uint32_t n, uint64_t* v) {
  uint64_t x = *v;
  while (i < n && is_digit(t[i])) {  // (so a run that ends with a word costs no word more)
    const uint32_t left = n - i;
    // Fewer than eight bytes left: the text's last eight moved down, when it has eight.
    const uint64_t bytes = left >= 8 ? eight_bytes(t + i)
                           : n >= 8  ? eight_bytes(t + n - 8) >> 8 >> (56 - 8 * left)
                                     : some_bytes(t + i, left);
    const uint64_t others = non_digits(bytes);
    if (others == 0) {
      x = x * 100000000 + eight_digits_value(bytes);
      i += 8;
      continue;
    }
    const uint32_t count = static_cast<uint32_t>(__builtin_ctzll(others)) >> 3;
    const uint32_t fill = 8 * (8 - count);
    x = x * ten_power(static_cast<int32_t>(count)) +
        eight_digits_value(bytes << fill | 0x3030303030303030ull >> (64 - fill));
    i += count;
    break;
  }
  *v = x;
  return i;
}
#endif

// The count of decimal digits of v (0 for 0).
inline int32_t decimal_length(uint64_t v) {
  if (v == 0) return 0;
  const int32_t guess = ((64 - __builtin_clzll(v)) * 1233) >> 12;  // bits x log10 2, at most one low
  return guess + (guess < 19 && v >= ten_power(guess));
}

// The significant digits held (take_digit counts them in d.digits as it goes; a scan of at most
// 19 digits leaves them to be counted here, where they are needed).
inline int32_t held_digits(const DecimalText& d) {
  return d.low_digits ? 19 + d.low_digits : decimal_length(d.high);
}

// Scans the text into d. Gives NUMBER_OK, NUMBER_EMPTY or NUMBER_INVALID with the stop offset.
NUMREAD_HOT NumberStatus scan_decimal(const char* t, uint32_t n, DecimalText* d, NumberScan* scan) {
  uint32_t i = 0;
  while (i < n && is_blank(t[i])) ++i;
  scan->stop = static_cast<int32_t>(i);
  if (i == n) return NUMBER_EMPTY;
  d->negative = false;
  if (t[i] == '-' || t[i] == '+') d->negative = t[i++] == '-';
  // The digit runs and, on the way, their value: whole when there are at most 19 digits (the
  // usual case: leading zeros add nothing), else taken again digit by digit.
  // One digit before the point, as numbers printed in the exponent form have it, on its own.
  uint64_t w = 0;
  d->int_begin = i;
  if (n - i >= 2 && is_digit(t[i]) && t[i + 1] == '.')
    w = static_cast<uint32_t>(t[i++] - '0');
  else
    i = take_run(t, i, n, &w);
  d->int_end = d->fraction_begin = d->fraction_end = i;
  if (i < n && t[i] == '.') {
    d->fraction_begin = ++i;
    i = take_run(t, i, n, &w);
    d->fraction_end = i;
  }
  const uint32_t int_count = d->int_end - d->int_begin;
  const uint32_t fraction_count = d->fraction_end - d->fraction_begin;
  if (int_count + fraction_count == 0) {
    scan->stop = static_cast<int32_t>(i);
    return NUMBER_INVALID;
  }
  d->low = 0;
  d->low_digits = 0;
  d->truncated = false;
  if (int_count + fraction_count <= 19) {
    d->high = w;
    d->exponent = -static_cast<int64_t>(fraction_count);
  } else {
    d->high = 0;
    d->digits = 0;
    d->exponent = 0;
    for (uint32_t k = d->int_begin; k < d->int_end; ++k) take_digit(d, static_cast<uint32_t>(t[k] - '0'), false);
    for (uint32_t k = d->fraction_begin; k < d->fraction_end; ++k)
      take_digit(d, static_cast<uint32_t>(t[k] - '0'), true);
  }
  if (i < n && (t[i] | 0x20) == 'e') {  // "e" or "E"
    ++i;
    bool negative = false;
    if (i < n && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
    // Byte by byte: exponents are short. Past nine digits the value is taken again, and past a
    // billion it says only "far out of range": it stops growing there.
    const uint32_t first = i;
    uint32_t e = 0;
    for (; i < n && is_digit(t[i]); ++i) e = e * 10 + static_cast<uint32_t>(t[i] - '0');
    if (i == first) {
      scan->stop = static_cast<int32_t>(i);
      return NUMBER_INVALID;
    }
    int64_t far = e;
    if (i - first > 9) {
      far = 0;
      for (uint32_t k = first; k < i; ++k)
        if (far < 1000000000) far = far * 10 + (t[k] - '0');
    }
    d->exponent += negative ? -far : far;
  }
  while (i < n && is_blank(t[i])) ++i;
  scan->stop = static_cast<int32_t>(i);
  return i == n ? NUMBER_OK : NUMBER_INVALID;
}

// W with its top bit moved to bit 127; gives the shift.
NUMREAD_HOT int normalise(U128* w) {
  const int lz = w->high ? __builtin_clzll(w->high) : 64 + __builtin_clzll(w->low);
  if (lz >= 64) {
    w->high = w->low << (lz - 64);
    w->low = 0;
  } else if (lz > 0) {
    w->high = w->high << lz | w->low >> (64 - lz);
    w->low <<= lz;
  }
  return lz;
}

// The held digits as a 128-bit integer with its top bit moved to bit 127; gives the shift.
NUMREAD_HOT int held_value(const DecimalText& d, U128* w) {
  if (d.low_digits == 0) {  // at most 19 digits: one word
    const int lz = __builtin_clzll(d.high);
    w->high = d.high << lz;
    w->low = 0;
    return 64 + lz;
  }
  const U128 p = multiply_64(d.high, ten_power(d.low_digits));
  w->low = p.low;
  w->high = p.high + add_carry(w->low, d.low, &w->low);
  return normalise(w);
}

// The rounded significand and exponent from the value's top-bit exponent E2, the bits to keep
// nb (fewer than the target's for a subnormal) and the kept bits' rounding; a carry out of the
// top makes a new top bit.
NUMREAD_HOT bool finish(const Target& target, int32_t E2, int nb, uint64_t kept, bool up, Binary* out) {
  out->infinite = false;
  // (Bitwise: whether the rounding goes up is as good as random, a branch on it would miss.)
  if ((up & (kept == (~0ull >> (64 - target.bits)))) && nb == target.bits) {
    kept = 1ull << (target.bits - 1);
    up = false;
    ++E2;
  }
  if (E2 > target.max_exponent) {
    out->infinite = true;
    return true;
  }
  out->m = kept + up;
  out->q = nb == target.bits ? E2 - target.bits + 1 : target.min_exponent - target.bits + 1;
  return true;
}

// a x b, both with bit 127 set: the top 128 of the 256 bits, and whether the product's bit 255 is
// set (the result is then bits 255..128, else bits 254..127, moved up one). An a of 64 bits or
// fewer (no low word) takes two products instead of four.
NUMREAD_HOT U128 top_product(const U128& a, const U128& b, bool* top) {
  uint64_t x1, x2, x3;
  const U128 hl = multiply_64(a.high, b.low), hh = multiply_64(a.high, b.high);
  if (a.low == 0) {
    x1 = hl.low;
    x3 = hh.high + add_carry(hl.high, hh.low, &x2);
  } else {
    const U128 ll = multiply_64(a.low, b.low), lh = multiply_64(a.low, b.high);
    uint64_t c1 = add_carry(ll.high, lh.low, &x1);
    c1 += add_carry(x1, hl.low, &x1);
    uint64_t c2 = add_carry(lh.high, hl.high, &x2);
    c2 += add_carry(x2, hh.low, &x2);
    c2 += add_carry(x2, c1, &x2);
    x3 = hh.high + c2;
  }
  // Moved up one unless the top bit is set: without a branch, as that is as good as random.
  const uint32_t up = static_cast<uint32_t>(x3 >> 63) ^ 1;
  *top = up == 0;
  return U128{x3 << up | ((x2 >> 63) & up), x2 << up | ((x1 >> 63) & up)};
}

// 10^k from 10^(k - r) ~ T x 2^pt (T with bit 127 set, k - r a multiple of 28) and the factor
// 5^r x 2^r, 0 <= r < 28: P x 2^p, P with bit 127 set; gives p. T x 5^r has three words, the
// top one from 2 (T >= 2^127, 5^r >= 5) to below 2^63 (5^r < 2^63): P is its top 128 bits.
NUMREAD_HOT int32_t power_times_five(const U128& T, int32_t pt, uint32_t r, U128* P) {
  if (r == 0) {
    *P = T;
    return pt;
  }
  const uint64_t five = FIVE_POWERS[r];
  const U128 lo = multiply_64(T.low, five), hi = multiply_64(T.high, five);
  uint64_t w1;
  const uint64_t w2 = hi.high + add_carry(lo.high, hi.low, &w1);
  const uint32_t s = static_cast<uint32_t>(__builtin_clzll(w2));  // 1 to 62
  P->high = shift_in(w2, w1, s);
  P->low = shift_in(w1, lo.low, s);
  return pt + static_cast<int32_t>(r + 64 - s);
}

// 10^k for k from -448 to 447 (`near` is k + 448) from the table near 1 alone.
NUMREAD_HOT int32_t near_power(int32_t k, uint32_t near, U128* P) {
  const uint32_t i = near / 28, r = near % 28;
  return power_times_five(U128{NEAR_POWERS[i].high, NEAR_POWERS[i].low},
                          power_exponent(k - static_cast<int32_t>(r)) - 127, r, P);
}

// 10^k as P x 2^p, P with bit 127 set and below the exact value by less than three units of its
// last bit (exact for 0 <= k <= 27); gives p. k = 28 j + r, 0 <= r < 28: 10^(28 j) from the
// table near 1 (k from -448 to 447, every double's), or far out as the product of a coarse and
// a near entry; then the factor 5^r (and 2^r).
NUMREAD_HOT int32_t power_of_ten(int32_t k, U128* P) {
  const uint32_t near = static_cast<uint32_t>(k - 28 * NEAR_FIRST);
  if (near < 28 * 32) return near_power(k, near, P);
  const int32_t r = ((k % 28) + 28) % 28;
  const int32_t j = (k - r) / 28;
  const int32_t c = ((j % 16) + 16) % 16;
  const int32_t a = (j - c) / 16;
  const PowerWords& coarse = COARSE_POWERS[a - COARSE_FIRST];
  const PowerWords& fine = NEAR_POWERS[c - NEAR_FIRST];
  bool top;
  const U128 T = top_product(U128{coarse.high, coarse.low}, U128{fine.high, fine.low}, &top);
  return power_times_five(T, power_exponent(448 * a) + power_exponent(28 * c) - 127 + top,
                          static_cast<uint32_t>(r), P);
}

// The rounding of z (see round_top_bits) to its top nb bits, 1 <= nb <= 64.
NUMREAD_HOT bool round_kept(const U128& z, int32_t E2, int nb, uint64_t margin, const Target& target, Binary* out) {
  // The kept bits, and the rest below them against a half of the last kept bit: rest_high is
  // the rest's part in z.high (all of z.low lies below it too).
  const uint64_t half = nb == 64 ? 1ull << 63 : 1ull << (63 - nb);
  const uint64_t kept = nb == 64 ? z.high : z.high >> (64 - nb);
  const uint64_t rest_high = nb == 64 ? z.low : z.high & ((half << 1) - 1);
  const uint64_t rest_low = nb == 64 ? 0 : z.low;
  bool up;
  if (margin == 0) {
    up = rest_high > half || (rest_high == half && (rest_low != 0 || (kept & 1) != 0));
  } else {
    // Open if z is the half itself (the value may be it, or above), or if z lies below the half
    // by less than the margin.
    if (rest_high == half && rest_low == 0) return false;
    if (nb == 64 ? (rest_high < half && rest_high >= half - margin)
                 : (rest_high == half - 1 && rest_low >= 0 - margin))
      return false;
    up = rest_high >= half;
  }
  return finish(target, E2, nb, kept, up, out);
}

// The rounding to the target of z, the top 128 bits of the value (bit 127 set, the value's top
// bit at 2^E2), where z lies below the exact value by less than `margin` units of its last bit:
// margin 0 says z is the exact value. False when the margin leaves the rounding open.
NUMREAD_HOT bool round_top_bits(const U128& z, int32_t E2, uint64_t margin, const Target& target, Binary* out) {
  if (E2 > target.max_exponent) {
    out->infinite = true;
    return true;
  }
  // A normal value keeps all the target's bits (a count the compiler knows); a subnormal fewer.
  if (E2 >= target.min_exponent) return round_kept(z, E2, target.bits, margin, target, out);
  const int nb = target.bits - (target.min_exponent - E2);
  if (nb < 0) {  // below half the smallest subnormal, unless z's margin reaches up to it
    if (z.high == ~0ull && z.low >= 0 - margin) return false;
    return finish(target, E2, nb, 0, false, out);
  }
  if (nb == 0) {  // at least half the smallest subnormal: up, unless it may be exactly half
    if (z.high == 1ull << 63 && z.low == 0) return false;
    return finish(target, E2, nb, 0, true, out);
  }
  return round_kept(z, E2, nb, margin, target, out);
}

// Way 2. False when the margin leaves the rounding open.
NUMREAD_HOT bool round_by_product(const DecimalText& d, const Target& target, Binary* out) {
  const int32_t k = static_cast<int32_t>(d.exponent);
  U128 P;
  const int32_t p = power_of_ten(k, &P);
  U128 W;
  const int lz = held_value(d, &W);
  // W x P, z its top 128 bits; E2 the exponent of the value's top bit.
  bool top;
  const U128 z = top_product(W, P, &top);
  const int32_t E2 = 254 + top + p - lz;
  // How far below the exact value z may lie, in units of its last bit: the two table entries,
  // three truncations (each below 2^-127 of the value) and the last one, and up to 1/W of the
  // value when digits were left off (then W >= 10^37). None when W and P both fit one word
  // (W x P has at most 128 bits, all in z) and P is exact.
  const bool exact = (d.low_digits == 0) & (static_cast<uint32_t>(k) <= 27);
  const uint64_t margin = exact ? 0 : d.truncated ? 64 : 16;
  return round_top_bits(z, E2, margin, target, out);
}

#if NUMREAD_WIDE_PRODUCTS
// Way 2 for a double in one straight piece, where the build has 64-bit words: W of at most 19
// digits (one word), 10^k from the table near 1, a normal result below the top binade, and
// 64-bit products only. With T = 10^(28 j) from the table, k = 28 j + r, q = T.high x 5^r and P
// its top word: T.high x 2^64 <= T < (T.high + 1) x 2^64, and 5^r < 2 units of P's last bit
// (5^r <= q / 2^63), so P lies below the exact power by less than 3 units of its last bit and
// z = W x P below the exact value by less than 3 W: 3 units of z's high word, 6 once moved up
// one. Only when the 11 bits below the double's last bit lie that close under a half, or z is
// a half exactly, is the rounding open: round_by_product, with 128-bit products, then sees to
// it. For 0 <= k <= 27, T = 2^127: P is 5^k exactly and z the exact value, which settles ties.
// Gives the double's bits but the sign; false where round_by_product must see to the text.
NUMREAD_HOT bool quick_double(uint64_t w, int64_t k, uint64_t* bits) {
  const uint64_t near = static_cast<uint64_t>(k - 28 * NEAR_FIRST);
  if (near >= 28 * 32) return false;
  const uint32_t i = static_cast<uint32_t>(near) / 28, r = static_cast<uint32_t>(near) % 28;
  // q: at most 127 bits, and at least 2^65 unless r = 0 (then it is T.high, a word).
  const U128 q = multiply_64(NEAR_POWERS[i].high, FIVE_POWERS[r]);
  const uint32_t s = r == 0 ? 64 : static_cast<uint32_t>(__builtin_clzll(q.high));
  const uint64_t P = r == 0 ? q.low : shift_in(q.high, q.low, s);  // 10^k ~ P x 2^(b + r + 1 - s)
  const int lz = __builtin_clzll(w);
  const U128 z = multiply_64(w << lz, P);
  const uint32_t moved = static_cast<uint32_t>(z.high >> 63) ^ 1;
  const uint64_t high = shift_in(z.high, z.low, moved), low = z.low << moved;
  // The exponent of the value's top bit (b = floor((k - r) log2 10), the table entry's).
  const int32_t E2 = power_exponent(static_cast<int32_t>(k) - static_cast<int32_t>(r)) + static_cast<int32_t>(r) +
                     128 - static_cast<int32_t>(s + moved) - lz;
  if (E2 < DOUBLE.min_exponent || E2 >= DOUBLE.max_exponent) return false;
  const uint64_t kept = high >> 11, rest = high & 0x7FF;
  bool up;
  if (static_cast<uint64_t>(k) <= 27) {  // z is exact
    up = rest > 0x400 || (rest == 0x400 && (low != 0 || (kept & 1) != 0));
  } else {
    if ((rest == 0x400 && low == 0) || (rest < 0x400 && rest >= 0x400 - 6)) return false;
    up = rest >= 0x400;
  }
  // kept + up is 2^53 at most, which the addition carries into the exponent field.
  *bits = (static_cast<uint64_t>(E2 + 1022) << 52) + kept + up;
  return true;
}
#endif

// Way 3, on the text itself. False when no working memory can be had.
// (d by value: the hot paths then keep their record in registers.)
NUMREAD_COLD bool round_exactly(const char* text, const DecimalText d, const Target& target, Binary* out) {
  // The significant digits, at most EXACT_DIGITS of them, as N; value = N x 10^k.
  int32_t available = 0;
  bool started = false;
  for (int part = 0; part < 2; ++part) {
    const uint32_t begin = part ? d.fraction_begin : d.int_begin;
    const uint32_t end = part ? d.fraction_end : d.int_end;
    for (uint32_t i = begin; i < end; ++i) {
      started |= text[i] != '0';
      available += started;
    }
  }
  const int32_t kept = available < EXACT_DIGITS ? available : EXACT_DIGITS;
  const int64_t point = held_digits(d) + d.exponent;  // value = 0.d1 d2 ... x 10^point
  int64_t k = point - kept - 1;  // one place more for the final "something more" digit
  const int64_t n_bits = (kept + 1) * 3322LL / 1000 + 8;
  const int64_t a_bits = n_bits + (k > 0 ? k * 2322 / 1000 + 1 : 0);
  const int64_t b_bits = k < 0 ? -k * 2322 / 1000 + 1 : 1;
  const int32_t limbs = big_limbs_for((a_bits > b_bits ? a_bits : b_bits) + 200);
  BigWork work;
  Big big[3];
  if (!big_work_begin(&work, big, 3, limbs)) return false;
  Big* A = &big[0];
  Big* B = &big[1];
  Big* Q = &big[2];

  // N from chunks of nine digits, then one more digit: 1 if a digit other than "0" was left
  // off, else 0. It keeps N off every halfway point exactly when the text is.
  int32_t taken = 0;
  bool more = false;
  uint32_t chunk = 0, chunk_scale = 1;
  started = false;
  for (int part = 0; part < 2; ++part) {
    const uint32_t begin = part ? d.fraction_begin : d.int_begin;
    const uint32_t end = part ? d.fraction_end : d.int_end;
    for (uint32_t i = begin; i < end; ++i) {
      const uint32_t c = static_cast<uint32_t>(text[i] - '0');
      started |= c != 0;
      if (!started) continue;
      if (taken == kept) {
        more |= c != 0;
        continue;
      }
      chunk = chunk * 10 + c;
      chunk_scale *= 10;
      ++taken;
      if (chunk_scale == 1000000000u) {
        big_mul_add_small(A, chunk_scale, chunk);
        chunk = 0;
        chunk_scale = 1;
      }
    }
  }
  big_mul_add_small(A, chunk_scale * 10, chunk * 10 + more);

  // x = A / B x 2^t, and L with 2^L <= A / B < 2^(L + 1).
  big_set(B, 1);
  if (k >= 0)
    big_mul_pow5(A, static_cast<int32_t>(k));
  else
    big_mul_pow5(B, static_cast<int32_t>(-k));
  const int32_t t = static_cast<int32_t>(k);
  int32_t L = big_bit_length(A) - big_bit_length(B);
  Big* lower = L >= 0 ? B : A;  // the one shifted up for the comparison, and back
  const int32_t by = L >= 0 ? L : -L;
  big_shift_left(lower, by);
  if (big_compare(A, B) < 0) --L;
  big_shift_right_rounding(lower, by);

  const int32_t E2 = t + L;
  if (E2 > target.max_exponent) {
    big_work_end(&work);
    out->infinite = true;
    return true;
  }
  const int nb = E2 >= target.min_exponent ? target.bits : target.bits - (target.min_exponent - E2);
  if (nb < 0) {
    big_work_end(&work);
    return finish(target, E2, nb, 0, false, out);
  }
  // The quotient scaled to hold nb bits (2^(nb - 1) <= A / B < 2^nb), rounded to an integer.
  const int32_t sh = nb - 1 - L;
  big_shift_left(sh >= 0 ? A : B, sh >= 0 ? sh : -sh);
  big_divide_rounded(A, B, Q);
  uint64_t m = Q->count > 0 ? Q->limb[0] : 0;
  if (Q->count > 1) m |= static_cast<uint64_t>(Q->limb[1]) << 32;
  const bool carried = big_bit_length(Q) > nb;  // rounded up to 2^nb
  big_work_end(&work);
  if (carried) {
    if (nb == target.bits) return finish(target, E2, nb, ~0ull >> (64 - nb), true, out);
    return finish(target, E2, nb, m, false, out);  // 2^nb still fits below 2^bits
  }
  return finish(target, E2, nb, m, false, out);
}

// The bit fields of an extended value as it lies in memory.
union Extended {
  long double value;
  struct {
    uint64_t significand;  // bit 63 is the explicit integer bit
    uint16_t sign_exponent;
  } bits;
};

NUMREAD_HOT long double encode_extended(bool negative, const Binary& b) {
  Extended x;
  x.value = 0;
  if (b.infinite) {
    x.bits.significand = 1ull << 63;
    x.bits.sign_exponent = 0x7FFF;
  } else if (b.m != 0) {
    x.bits.significand = b.m;
    x.bits.sign_exponent = (b.m >> 63) ? static_cast<uint16_t>(b.q + 63 + 16383) : 0;
  }
  x.bits.sign_exponent |= negative ? 0x8000 : 0;
  return x.value;
}

NUMREAD_HOT double encode_double(bool negative, const Binary& b) {
  uint64_t bits = 0;
  if (b.infinite)
    bits = 0x7FFull << 52;
  else if (b.m >> 52)
    bits = static_cast<uint64_t>(b.q + 52 + 1023) << 52 | (b.m & ((1ull << 52) - 1));
  else
    bits = b.m;
  bits |= static_cast<uint64_t>(negative) << 63;
  double v;
  __builtin_memcpy(&v, &bits, 8);
  return v;
}

// The status that a finite rounded result, or an infinity, calls for.
NUMREAD_HOT NumberStatus status_of(const Target& target, const Binary& b) {
  if (b.infinite) return NUMBER_OVERFLOW;
  if (b.m == 0) return NUMBER_UNDERFLOW;
  return (b.m >> (target.bits - 1)) ? NUMBER_OK : NUMBER_SUBNORMAL;
}

// Way 1's test: at most 19 digits, all held, and a power of ten that is exact.
// (Tested together, without a branch on each: whether the exponent fits is as good as random.)
inline bool is_short(const DecimalText& d, int64_t largest_power) {
  return (d.low_digits | (static_cast<uint64_t>(d.exponent + largest_power) > static_cast<uint64_t>(2 * largest_power))) == 0;
}

// Ways 2 and 3 and the range ends, for a scanned text that way 1 did not settle. Gives false
// for a text whose value is 0, and when no working memory can be had (the status says so).
enum class Road { ZERO, BINARY, FAILED };

NUMREAD_HOT Road convert(const char* text, const DecimalText& d, const Target& target, bool exact_only,
                         NumberScan* scan, Binary* b) {
  if (d.high == 0) return Road::ZERO;
  // Certainly in range for a value of 1 to 19 digits (the usual case) when 10^k alone is; else
  // counted.
  if (d.low_digits != 0 || d.exponent < target.underflow_magnitude || d.exponent > target.overflow_magnitude - 20) {
    const int64_t magnitude = held_digits(d) + d.exponent;
    b->infinite = magnitude >= target.overflow_magnitude;
    b->m = 0;
    if (b->infinite || magnitude <= target.underflow_magnitude) return Road::BINARY;
  }
  if (!exact_only && round_by_product(d, target, b)) return Road::BINARY;
  if (round_exactly(text, d, target, b)) return Road::BINARY;
  scan->status = NUMBER_NO_MEMORY;
  return Road::FAILED;
}

NUMREAD_HOT long double parse_extended(const char* text, uint32_t n, NumberScan* scan, bool exact_only) {
  DecimalText d;
  scan->status = scan_decimal(text, n, &d, scan);
  if (scan->status != NUMBER_OK) return 0;
  if (!exact_only && is_short(d, 27)) {
    const long double w = static_cast<long double>(d.high);
    const long double p = ten_power_extended(static_cast<int32_t>(d.exponent >= 0 ? d.exponent : -d.exponent));
    const long double v = d.exponent >= 0 ? w * p : w / p;
    return d.negative ? -v : v;
  }

  Binary b;
  switch (convert(text, d, EXTENDED, exact_only, scan, &b)) {
    case Road::ZERO: return d.negative ? -0.0L : 0.0L;
    case Road::FAILED: return 0;
    case Road::BINARY: break;
  }
  scan->status = status_of(EXTENDED, b);
  return encode_extended(d.negative, b);
}

// Way 1 for a double. With double arithmetic of its own (SSE2) one operation on W < 2^53 and
// 10^|k| <= 10^22, both exact, rounds once to the double. On the x87 unit the operation rounds
// to 64 bits and the store again to 53: right unless the 64-bit result lies exactly halfway
// between two doubles.
#if NUMREAD_DOUBLE_ARITHMETIC
constexpr double DOUBLE_TEN_POWERS[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
#endif
NUMREAD_HOT bool short_double(const DecimalText& d, double* out) {
#if NUMREAD_DOUBLE_ARITHMETIC
  // W < 2^53 (so no low digits either) and |k| <= 22, tested together.
  if ((d.high >> 53) | (static_cast<uint64_t>(d.exponent + 22) > 44)) return false;
  const double w = static_cast<double>(static_cast<int64_t>(d.high));
  const double v = d.exponent >= 0 ? w * DOUBLE_TEN_POWERS[d.exponent] : w / DOUBLE_TEN_POWERS[-d.exponent];
  *out = d.negative ? -v : v;
  return true;
#else
  if (!is_short(d, 27)) return false;
  const long double w = static_cast<long double>(d.high);
  const long double p = ten_power_extended(static_cast<int32_t>(d.exponent >= 0 ? d.exponent : -d.exponent));
  Extended x;
  x.value = d.exponent >= 0 ? w * p : w / p;
  if ((x.bits.significand & 0x7FF) == 0x400) return false;
  const double v = static_cast<double>(x.value);
  *out = d.negative ? -v : v;
  return true;
#endif
}

NUMREAD_HOT double parse_double(const char* text, uint32_t n, NumberScan* scan, bool exact_only) {
  DecimalText d;
  scan->status = scan_decimal(text, n, &d, scan);
  if (scan->status != NUMBER_OK) return 0;
  double quick;
  if (!exact_only && short_double(d, &quick)) return quick;
#if NUMREAD_WIDE_PRODUCTS
  uint64_t bits;
  if (!exact_only && d.low_digits == 0 && d.high != 0 && quick_double(d.high, d.exponent, &bits)) {
    bits |= static_cast<uint64_t>(d.negative) << 63;
    __builtin_memcpy(&quick, &bits, 8);
    return quick;
  }
#endif
  Binary b;
  switch (convert(text, d, DOUBLE, exact_only, scan, &b)) {
    case Road::ZERO: return d.negative ? -0.0 : 0.0;
    case Road::FAILED: return 0;
    case Road::BINARY: break;
  }
  scan->status = status_of(DOUBLE, b);
  return encode_double(d.negative, b);
}

// The integer forms: blanks, a sign, digits, blanks. The magnitude is gathered exactly up to
// 2^64 - 1 and beyond that only noted; `limit` is the largest positive value, and one more is
// allowed for a negative one.
uint64_t parse_magnitude(const char* t, uint32_t n, uint64_t limit, bool* negative, NumberScan* scan) {
  uint32_t i = 0;
  *negative = false;
  while (i < n && is_blank(t[i])) ++i;
  scan->stop = static_cast<int32_t>(i);
  if (i == n) {
    scan->status = NUMBER_EMPTY;
    return 0;
  }
  if (t[i] == '-' || t[i] == '+') *negative = t[i++] == '-';
  const uint32_t first = i;
  uint64_t v = 0;
  bool over = false;
  for (; i < n && is_digit(t[i]); ++i) {
    const uint32_t c = static_cast<uint32_t>(t[i] - '0');
    if (v > (~0ull - c) / 10) over = true;
    else v = v * 10 + c;
  }
  if (i > first)
    while (i < n && is_blank(t[i])) ++i;
  scan->stop = static_cast<int32_t>(i);
  if (i == first || i != n) {
    scan->status = NUMBER_INVALID;
    return 0;
  }
  const uint64_t bound = limit + (*negative ? 1 : 0);
  if (over || v > bound) {
    scan->status = NUMBER_OVERFLOW;
    return bound;
  }
  scan->status = NUMBER_OK;
  return v;
}

NumberScan* scan_or_local(NumberScan* scan, NumberScan* local) { return scan ? scan : local; }

// Takes the frame's top temporary, reads it, and consumes it.
template <class T, T (*parse)(const char*, uint32_t, NumberScan*)>
T read_top(ProcedureFrame* frame, NumberScan* scan) {
  NumberScan local;
  scan = scan_or_local(scan, &local);
  const StringView text = temp_view(frame, 0);
  const T value = parse(text.data, text.length, scan);
  temp_pop_free(frame);
  if (scan->status == NUMBER_NO_MEMORY) error_raise(frame, ERR_OUT_OF_MEMORY);
  return value;
}

}  // namespace

long double number_parse(const char* text, uint32_t length, NumberScan* scan) {
  return parse_extended(text, length, scan, false);
}
double number_parse_double(const char* text, uint32_t length, NumberScan* scan) {
  return parse_double(text, length, scan, false);
}
long double number_parse_exact(const char* text, uint32_t length, NumberScan* scan) {
  return parse_extended(text, length, scan, true);
}
double number_parse_double_exact(const char* text, uint32_t length, NumberScan* scan) {
  return parse_double(text, length, scan, true);
}

int32_t integer_parse32(const char* text, uint32_t length, NumberScan* scan) {
  bool negative;
  const uint64_t v = parse_magnitude(text, length, 0x7FFFFFFF, &negative, scan);
  return static_cast<int32_t>(negative ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v));
}
int64_t integer_parse64(const char* text, uint32_t length, NumberScan* scan) {
  bool negative;
  const uint64_t v = parse_magnitude(text, length, 0x7FFFFFFFFFFFFFFFull, &negative, scan);
  return static_cast<int64_t>(negative ? 0 - v : v);
}

long double text_to_number(ProcedureFrame* frame, NumberScan* scan) {
  return read_top<long double, number_parse>(frame, scan);
}
double text_to_double(ProcedureFrame* frame, NumberScan* scan) {
  return read_top<double, number_parse_double>(frame, scan);
}
int32_t text_to_int32(ProcedureFrame* frame, NumberScan* scan) {
  return read_top<int32_t, integer_parse32>(frame, scan);
}
int64_t text_to_int64(ProcedureFrame* frame, NumberScan* scan) {
  return read_top<int64_t, integer_parse64>(frame, scan);
}
