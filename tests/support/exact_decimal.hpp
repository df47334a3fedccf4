// Exact decimal arithmetic for checking number to text (runtime/numtext.hpp) against the value it
// writes: the exact decimal exponent of an extended value and the value scaled to 18 digits, the
// texts that the runtime's extended arithmetic may give at D digits, the text that exact rounding
// gives, and the extended value nearest a power of ten. The integers of any size are GMP's.
#pragma once
#include <stdint.h>

#include <ostream>
#include <string>
#include <vector>

// A decimal as digits (no leading or trailing zeros; "0" for zero) times a power of ten.
struct Decimal {
  bool negative;
  std::string digits;
  int exponent;
  bool operator==(const Decimal& o) const {
    return negative == o.negative && digits == o.digits && exponent == o.exponent;
  }
};
std::ostream& operator<<(std::ostream& out, const Decimal& d);
// digits x 10^exponent with its leading and trailing zeros taken off.
Decimal decimal_normalised(bool negative, std::string digits, int exponent);

// A value v = m x 2^q (m != 0) exactly: its decimal exponent E = floor(log10 v), and
// X = v x 10^(17 - E), an 18-digit number, as floor(2X) and whether 2X is an integer.
struct Scaled {
  int E;
  uint64_t floor2x;
  bool exact2x;
};
Scaled scale_exactly(uint64_t m, int q);

// The bits of a normal extended value (exponent field 1 to 0x7FFE, integer bit set).
struct NormalValue {
  bool negative;
  Scaled scaled;
};
// False for any other pattern (zeros, denormals, unnormals, infinities, not-a-numbers).
bool normal_value_of(long double v, NormalValue* out);

// The digit rule on an 18-digit integer n standing for n x 10^(E - 17): D digits, rounded on the
// one dropped digit, ties to an even last digit.
Decimal rounded_digits(bool negative, uint64_t n, int E, int D);

// The largest error, in units of the 18-digit integer, that the extended arithmetic of the
// scaling may make: at most 23 roundings of half a unit in the last place of 64 bits each, on a
// value below 10^18 < 2^59.8; the integer rounding adds half a unit.
constexpr long double kScalingError = 23 * 0x1p-64L * 1e18L;

// The texts the value may have at D digits: the digit rule applied to every 18-digit integer
// that the scaling, within its error, can produce.
std::vector<Decimal> admissible_texts(bool negative, const Scaled& s, int D);
// The text that exact arithmetic would give: the digit rule on X rounded to nearest, ties even.
Decimal ideal_text(bool negative, const Scaled& s, int D);
// Whether a text of the value `d` at D digits is in exponent form: exactly when positional form
// would need more than D places.
bool exponent_form_expected(const Decimal& d, int D);

// The extended value nearest 10^n (n >= 0), rounded to nearest, ties even.
long double nearest_extended_power_of_ten(int n);
