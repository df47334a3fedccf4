// Exact decimal arithmetic on GMP integers (see exact_decimal.hpp).
#include "tests/support/exact_decimal.hpp"

#include <gmp.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static_assert(sizeof(unsigned long) == 8, "GMP's unsigned long holds a 64-bit word");

namespace {

// A GMP integer that clears itself.
struct Integer {
  mpz_t z;
  Integer() { mpz_init(z); }
  explicit Integer(uint64_t v) { mpz_init_set_ui(z, v); }
  Integer(const Integer& o) { mpz_init_set(z, o.z); }
  Integer(Integer&& o) noexcept {
    mpz_init(z);
    mpz_swap(z, o.z);
  }
  Integer& operator=(const Integer&) = delete;
  ~Integer() { mpz_clear(z); }
};

// 10^k, each computed once.
const Integer& power_of_ten(int k) {
  static std::vector<Integer> table;
  while (static_cast<int>(table.size()) <= k) {
    Integer next;
    mpz_ui_pow_ui(next.z, 10, table.size());
    table.push_back(std::move(next));
  }
  return table[k];
}

// m x 2^q x 10^k as the fraction a / b.
void as_fraction(uint64_t m, int q, int k, Integer* a, Integer* b) {
  mpz_set_ui(a->z, m);
  mpz_set_ui(b->z, 1);
  if (q >= 0) mpz_mul_2exp(a->z, a->z, q);
  else mpz_mul_2exp(b->z, b->z, -q);
  if (k >= 0) mpz_mul(a->z, a->z, power_of_ten(k).z);
  else mpz_mul(b->z, b->z, power_of_ten(-k).z);
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Decimal& d) {
  return out << (d.negative ? "-" : "+") << d.digits << "e" << d.exponent;
}

Decimal decimal_normalised(bool negative, std::string digits, int exponent) {
  size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return Decimal{negative, "0", 0};
  digits.erase(0, first);
  while (digits.back() == '0') {
    digits.pop_back();
    ++exponent;
  }
  return Decimal{negative, digits, exponent};
}

Scaled scale_exactly(uint64_t m, int q) {
  // A first guess from the logarithm, made exact by comparison with powers of ten.
  int E = static_cast<int>(floorl(log10l(static_cast<long double>(m)) + q * 0.30102999566398119521L));
  Integer a, b, b10;
  for (;;) {
    as_fraction(m, q, -E, &a, &b);  // v / 10^E
    if (mpz_cmp(a.z, b.z) < 0) {
      --E;
      continue;
    }
    mpz_mul_ui(b10.z, b.z, 10);
    if (mpz_cmp(a.z, b10.z) >= 0) {
      ++E;
      continue;
    }
    break;
  }
  as_fraction(m, q, 17 - E, &a, &b);
  mpz_mul_2exp(a.z, a.z, 1);  // 2X = a / b
  Integer quotient, remainder;
  mpz_fdiv_qr(quotient.z, remainder.z, a.z, b.z);
  if (mpz_sizeinbase(quotient.z, 2) > 63) {  // 2X < 2 x 10^18 < 2^61 by the choice of E
    fprintf(stderr, "scale_exactly: 2X does not fit 63 bits\n");
    abort();
  }
  Scaled s;
  s.E = E;
  s.floor2x = mpz_get_ui(quotient.z);
  s.exact2x = mpz_sgn(remainder.z) == 0;
  return s;
}

bool normal_value_of(long double v, NormalValue* out) {
  uint64_t significand;
  uint16_t sign_exponent;
  memcpy(&significand, &v, 8);
  memcpy(&sign_exponent, reinterpret_cast<const char*>(&v) + 8, 2);
  const int field = sign_exponent & 0x7FFF;
  if (field == 0 || field == 0x7FFF || !(significand >> 63)) return false;
  out->negative = (sign_exponent & 0x8000) != 0;
  out->scaled = scale_exactly(significand, field - 16383 - 63);
  return true;
}

Decimal rounded_digits(bool negative, uint64_t n, int E, int D) {
  std::string s = std::to_string(n) + "00";
  std::string d = s.substr(0, D);
  char r = s[D];
  if (r > '5' || (r == '5' && ((d[D - 1] - '0') & 1))) {
    int i = D - 1;
    while (i >= 0 && d[i] == '9') d[i--] = '0';
    if (i >= 0) {
      ++d[i];
    } else {
      d = "1" + d.substr(1);
      ++E;
    }
  }
  return decimal_normalised(negative, d, E + 1 - D);
}

std::vector<Decimal> admissible_texts(bool negative, const Scaled& s, int D) {
  std::vector<Decimal> out;
  long double x = s.floor2x / 2.0L + (s.exact2x ? 0 : 0.25L);  // X within a quarter
  long double lo = x - 0.25L - kScalingError, hi = x + 0.25L + kScalingError;
  for (long double c = floorl(lo); c <= ceill(hi) + 1; c += 1) {
    uint64_t n = static_cast<uint64_t>(c);
    if (n < 100000000000000000u) {
      // Below 10^17: the unit scales once more and finds about 10 n.
      for (int64_t dn = -30; dn <= 30; ++dn) {
        int64_t m = static_cast<int64_t>(c * 10) + dn;
        if (m >= 100000000000000000 && m < 1000000000000000000)
          out.push_back(rounded_digits(negative, static_cast<uint64_t>(m), s.E - 1, D));
      }
    } else if (n >= 1000000000000000000u) {
      out.push_back(rounded_digits(negative, 100000000000000000u, s.E + 1, D));
    } else {
      out.push_back(rounded_digits(negative, n, s.E, D));
    }
  }
  return out;
}

Decimal ideal_text(bool negative, const Scaled& s, int D) {
  uint64_t n = s.floor2x / 2;
  bool half = (s.floor2x & 1) != 0;
  if (half && (!s.exact2x || (n & 1))) ++n;
  if (n >= 1000000000000000000u) return rounded_digits(negative, 100000000000000000u, s.E + 1, D);
  return rounded_digits(negative, n, s.E, D);
}

bool exponent_form_expected(const Decimal& d, int D) {
  int n = static_cast<int>(d.digits.size());
  int P = d.exponent + n;
  return P >= n ? P > D : n - P > D;
}

long double nearest_extended_power_of_ten(int n) {
  const Integer& x = power_of_ten(n);
  const int shift = static_cast<int>(mpz_sizeinbase(x.z, 2)) - 64;
  if (shift <= 0) return static_cast<long double>(mpz_get_ui(x.z));  // exact in 64 bits
  Integer top;
  mpz_fdiv_q_2exp(top.z, x.z, shift);
  uint64_t q = mpz_get_ui(top.z);
  int e = shift;
  const bool half = mpz_tstbit(x.z, shift - 1);
  const bool below = mpz_scan1(x.z, 0) < static_cast<mp_bitcnt_t>(shift - 1);
  if (half && (below || (q & 1))) {
    if (++q == 0) {
      q = 0x8000000000000000u;
      ++e;
    }
  }
  return ldexpl(static_cast<long double>(q), e);
}
