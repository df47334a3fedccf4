// Reading number to text's texts back (see number_text_grammar.hpp).
#include "tests/support/number_text_grammar.hpp"

namespace {
bool is_digit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

TextReading number_text_read(const char* t, int n, int D) {
  TextReading r{nullptr, Decimal{false, "?", 0}, false};
  auto fault = [&r](const char* rule) {
    r.fault = rule;
    return r;
  };
  if (n < 2 || n > D + 8) return fault("length");
  if (t[0] != ' ' && t[0] != '-') return fault("sign");
  int i = 1, points = 0, exponent = 0;
  std::string digits;
  for (; i < n && (is_digit(t[i]) || t[i] == '.'); ++i) {
    if (t[i] == '.') {
      ++points;
    } else {
      digits += t[i];
      if (points) --exponent;
    }
  }
  if (digits.empty() || static_cast<int>(digits.size()) > D) return fault("digits");
  if (points > 1) return fault("points");
  if (t[1] == '0' && n != 2) return fault("leading zero");
  if (points == 1 && (t[i - 1] == '.' || t[i - 1] == '0')) return fault("end after the point");
  r.exponent_form = i < n;
  if (r.exponent_form) {
    if (t[i] != 'E' || i + 2 >= n || (t[i + 1] != '+' && t[i + 1] != '-')) return fault("exponent");
    if (t[i + 2] == '0' || n - (i + 2) > 4) return fault("exponent digits");
    int e = 0;
    for (int k = i + 2; k < n; ++k) {
      if (!is_digit(t[k])) return fault("exponent digit");
      e = 10 * e + (t[k] - '0');
    }
    exponent += t[i + 1] == '-' ? -e : e;
  }
  r.value = decimal_normalised(t[0] == '-', digits, exponent);
  return r;
}
