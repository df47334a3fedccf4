// Oracle run of text to number against the C library: COUNT texts (default 1,000,000) from a
// seeded generator, each read by number_parse and compared bit for bit with strtold, and by
// number_parse_double with strtod; the status is checked against the value it came with. Texts:
// random digit strings of 1 to 40 digits with a point anywhere and exponents over both targets'
// whole ranges; exact halfway points between neighbouring doubles and between neighbouring
// extended values (made exactly with GMP), and texts a unit of their last digit off them, or
// with a digit added or cut; subnormals; the neighbourhood of the largest values; long runs of
// zeros; doubles printed with 17 significant digits, which must read back to themselves.
//
//   number_read_oracle [COUNT [SEED]]     prints the count and the mismatches; exit 1 on any
#include <gmp.h>
#include <float.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <random>
#include <string>

#include "dialogkit/runtime/numread.hpp"

namespace {

std::mt19937_64 rng;

uint64_t below(uint64_t n) { return rng() % n; }

std::string digits(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>('0' + below(10));
  return s;
}

// Digits with a point somewhere (or none), an exponent, a sign now and then.
std::string random_text(int exponent_range) {
  std::string s = below(4) == 0 ? "-" : (below(8) == 0 ? "+" : "");
  std::string d = digits(1 + static_cast<int>(below(40)));
  if (below(2)) d.insert(below(d.size() + 1), ".");
  if (d == ".") d = "0.";
  s += d;
  const int64_t e = static_cast<int64_t>(below(2 * exponent_range + 1)) - exponent_range;
  s += below(2) ? "e" : "E";
  s += std::to_string(e);
  return s;
}

// (2m + 1) x 2^(q - 1) exactly, as "<digits>e<exponent>".
std::string exact_text(uint64_t m, int q) {
  mpz_t z;
  mpz_init_set_ui(z, m);
  mpz_mul_2exp(z, z, 1);
  mpz_add_ui(z, z, 1);
  int e = q - 1;
  int ten = 0;
  if (e >= 0) {
    mpz_mul_2exp(z, z, e);
  } else {
    mpz_t five;
    mpz_init(five);
    mpz_ui_pow_ui(five, 5, -e);
    mpz_mul(z, z, five);
    mpz_clear(five);
    ten = e;
  }
  char* text = mpz_get_str(nullptr, 10, z);
  std::string s = std::string(text) + "e" + std::to_string(ten);
  free(text);
  mpz_clear(z);
  return s;
}

// A halfway point between neighbours of a target with `bits` significand bits and a binary
// exponent q of the last bit from q_low to q_high, or a text just off it.
std::string halfway_text(int bits, int q_low, int q_high) {
  uint64_t m = rng();
  if (bits < 64) m &= (1ull << bits) - 1;
  m |= 1ull << (bits - 1);
  if (below(8) == 0) m = below(1ull << 20);  // among subnormals: no top bit
  const int q = q_low + static_cast<int>(below(q_high - q_low + 1));
  std::string s = exact_text(m, q);
  const size_t e = s.find('e');
  switch (below(5)) {
    case 0: {  // a unit of the last digit more or less
      std::string d = s.substr(0, e);
      const int step = below(2) ? 1 : -1;
      size_t i = d.size() - 1;
      if (step > 0) {
        while (d[i] == '9') d[i--] = '0';
        d[i] += 1;
      } else if (d != "1") {
        while (d[i] == '0') d[i--] = '9';
        d[i] -= 1;
      }
      s = d + s.substr(e);
      break;
    }
    case 1:  // something more after the last digit
      s.insert(e, std::string(below(30), '0') + "1");
      break;
    case 2:  // cut to fewer digits
      if (e > 20) {
        const size_t keep = 17 + below(e - 17);
        const int64_t exponent = atoll(s.c_str() + e + 1) + static_cast<int64_t>(e - keep);
        s = s.substr(0, keep) + "e" + std::to_string(exponent);
      }
      break;
    default:
      break;
  }
  return s;
}

// Around the largest finite values and the smallest subnormals.
std::string edge_text() {
  static const char* const edges[] = {
      "1.18973149535723176502e4932", "1.18973149535723176508e4932", "1.1897314953572317651e4932",
      "1.18973149535723176505e4932", "1.7976931348623157e308", "1.7976931348623158e308",
      "1.797693134862315807937e308", "1.7976931348623159e308", "3.64519953188247460253e-4951",
      "1.82259976594123730126e-4951", "1.8225997659412373012e-4951", "1.8225997659412373013e-4951",
      "4.9406564584124654e-324", "2.4703282292062327e-324", "2.4703282292062328e-324",
      "2.2250738585072011e-308", "2.2250738585072014e-308", "3.3621031431120935063e-4932",
      "1e4933", "1e-4952", "1e309", "1e-325", "0e99999999999", "1e-99999999999999"};
  std::string s = edges[below(sizeof edges / sizeof edges[0])];
  if (below(2)) s.insert(s.find('e'), digits(static_cast<int>(below(12))));
  return s;
}

// Long runs of zeros before, inside or after the digits.
std::string zeros_text() {
  const int run = 1 + static_cast<int>(below(400));
  switch (below(3)) {
    case 0: return "0." + std::string(run, '0') + digits(1 + below(20)) + "e" + std::to_string(below(5300));
    case 1: return digits(1 + below(3)) + std::string(run, '0') + "1e-" + std::to_string(below(5300));
    default: return "1" + std::string(run, '0') + "e-" + std::to_string(run + below(40));
  }
}

std::string round_trip_text(double* original) {
  uint64_t bits = rng() & ~(1ull << 63);
  if ((bits >> 52) == 0x7FF) bits ^= 1ull << 62;
  memcpy(original, &bits, 8);
  char text[40];
  snprintf(text, sizeof text, "%.17g", *original);
  return text;
}

bool same_extended(long double a, long double b) { return memcmp(&a, &b, 10) == 0; }

// The text's exact value as a GMP fraction (the texts here are all plain decimal).
void exact_value(const std::string& s, mpq_t x) {
  std::string d;
  int64_t e = 0;
  size_t i = 0;
  bool negative = false;
  if (s[i] == '-' || s[i] == '+') negative = s[i++] == '-';
  bool fraction = false;
  for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
    if (s[i] == '.') fraction = true;
    else {
      d += s[i];
      e -= fraction;
    }
  }
  if (i < s.size()) e += atoll(s.c_str() + i + 1);
  mpz_t n, p;
  mpz_init_set_str(n, d.c_str(), 10);
  mpz_init(p);
  if (negative) mpz_neg(n, n);
  if (e < -100000 || e > 100000) e = e < 0 ? -100000 : 100000;  // far out of every range
  mpz_ui_pow_ui(p, 10, e < 0 ? -e : e);
  mpq_set_z(x, n);
  mpq_t q;
  mpq_init(q);
  mpq_set_z(q, p);
  if (e >= 0) mpq_mul(x, x, q);
  else mpq_div(x, x, q);
  mpq_clear(q);
  mpz_clear(n);
  mpz_clear(p);
}

// A finite value exactly; an infinity as 2^(max_exponent + 1), where the rounding puts it.
void value_of(long double v, int max_exponent, mpq_t out) {
  if (isinf(v)) {
    mpq_set_ui(out, 1, 1);
    mpq_mul_2exp(out, out, max_exponent + 1);
    if (v < 0) mpq_neg(out, out);
    return;
  }
  int ex;
  const long double f = frexpl(v, &ex);  // |f| in [1/2, 1)
  const long double hi = truncl(ldexpl(f, 32));
  const long double lo = ldexpl(f, 64) - ldexpl(hi, 32);  // exact
  mpz_t z, l;
  mpz_init_set_si(z, static_cast<long>(hi));
  mpz_mul_2exp(z, z, 32);
  mpz_init_set_si(l, static_cast<long>(lo));
  mpz_add(z, z, l);
  mpq_set_z(out, z);
  mpz_clears(z, l, nullptr);
  const int shift = ex - 64;
  if (shift >= 0) mpq_mul_2exp(out, out, shift);
  else mpq_div_2exp(out, out, -shift);
}

// Whether `ours` is the correct rounding of the text where the C library's `theirs` differs:
// nearer the exact value, or as near and with an even last bit (an infinity wins such a tie
// against the largest value, whose significand is all ones).
bool ours_is_right(const std::string& s, long double ours, long double theirs, int bits,
                   int min_exponent, int max_exponent) {
  mpq_t x, a, b;
  mpq_inits(x, a, b, nullptr);
  exact_value(s, x);
  value_of(ours, max_exponent, a);
  value_of(theirs, max_exponent, b);
  mpq_sub(a, a, x);
  mpq_abs(a, a);
  mpq_sub(b, b, x);
  mpq_abs(b, b);
  const int c = mpq_cmp(a, b);
  mpq_clears(x, a, b, nullptr);
  if (c != 0) return c < 0;
  if (isinf(ours)) return true;
  int ex;
  frexpl(ours, &ex);
  const int unit = ex - bits > min_exponent - bits + 1 ? ex - bits : min_exponent - bits + 1;
  return fmodl(ldexpl(ours, -unit), 2) == 0;
}

// The status a value read from a text (with a non-zero digit or without) calls for.
int status_for(long double v, bool nonzero, int min_exponent) {
  if (isinf(v)) return NUMBER_OVERFLOW;
  if (v == 0) return nonzero ? NUMBER_UNDERFLOW : NUMBER_OK;
  int e;
  frexpl(v, &e);
  return e - 1 < min_exponent ? NUMBER_SUBNORMAL : NUMBER_OK;
}

bool has_nonzero_digit(const std::string& s) {
  for (char c : s) {
    if (c == 'e' || c == 'E') break;
    if (c >= '1' && c <= '9') return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const long long count = argc > 1 ? atoll(argv[1]) : 1000000;
  rng.seed(argc > 2 ? strtoull(argv[2], nullptr, 10) : 20251211);
  long long mismatches = 0, round_trips = 0, round_trip_failures = 0, library_wrong = 0;
  for (long long i = 0; i < count; ++i) {
    std::string s;
    double original = 0;
    bool round_trip = false;
    switch (below(16)) {
      case 0: case 1: case 2: case 3: case 4: s = random_text(5000); break;
      case 5: case 6: case 7: s = random_text(340); break;
      case 8: s = random_text(30); break;
      case 9: case 10: s = halfway_text(53, -1080, 975); break;
      case 11: case 12: s = halfway_text(64, below(4) ? -300 : -16450, below(4) ? 300 : 16325); break;
      case 13: s = edge_text(); break;
      case 14: s = zeros_text(); break;
      default: s = round_trip_text(&original); round_trip = true; break;
    }
    const bool nonzero = has_nonzero_digit(s);
    NumberScan scan;
    const long double v = number_parse(s.data(), static_cast<uint32_t>(s.size()), &scan);
    const long double want = strtold(s.c_str(), nullptr);
    bool bad = scan.status != status_for(v, nonzero, -16382);
    NumberScan dscan;
    const double dv = number_parse_double(s.data(), static_cast<uint32_t>(s.size()), &dscan);
    const double dwant = strtod(s.c_str(), nullptr);
    bad |= dscan.status != status_for(dv, nonzero, -1022);
    // Where the C library differs, exact arithmetic says which of the two is right; a text the
    // library gets wrong is counted apart and shown, never taken as a mismatch of ours.
    for (int target = 0; target < 2; ++target) {
      const bool differ = target == 0 ? !same_extended(v, want) : memcmp(&dv, &dwant, 8) != 0;
      if (!differ) continue;
      const bool right = target == 0 ? ours_is_right(s, v, want, 64, -16382, 16383)
                                 : ours_is_right(s, dv, dwant, 53, -1022, 1023);
      if (!right) {
        bad = true;
      } else if (++library_wrong <= 5) {
        printf("the C library rounds wrongly (%s): %s\n  correct %La, C library %La\n",
               target == 0 ? "strtold" : "strtod", s.c_str(), target == 0 ? v : dv,
               target == 0 ? want : static_cast<long double>(dwant));
      }
    }
    if (round_trip) {
      ++round_trips;
      if (memcmp(&dv, &original, 8) != 0) ++round_trip_failures;
    }
    if (bad && ++mismatches <= 20)
      printf("mismatch: %s\n  extended %La (status %d), C library %La\n  double %a (status %d), C library %a\n",
             s.c_str(), v, scan.status, want, dv, dscan.status, dwant);
  }
  printf("%lld texts, %lld mismatches; %lld doubles printed with 17 digits, %lld not read back; "
         "%lld results where the C library is wrong (exact check)\n",
         count, mismatches, round_trips, round_trip_failures, library_wrong);
  return mismatches == 0 && round_trip_failures == 0 ? 0 : 1;
}
