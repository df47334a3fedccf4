// The rounding rule of the pixel-to-unit conversion.
#include "toolkit/geometry.hpp"

int32_t rounded_quotient(int32_t n, int32_t d) {
  if (d == 0) return n;
  // Widened so that INT32_MIN / -1 cannot trap; that one quotient wraps back to INT32_MIN.
  int64_t q = static_cast<int64_t>(n) / d;
  int64_t r = static_cast<int64_t>(n) % d;
  if (d > 0) {
    int64_t magnitude = r < 0 ? -r : r;
    if (2 * magnitude >= d) q += r > 0 ? 1 : -1;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(q));
}

int32_t pixels_scaled_to_units(int32_t pixels, int32_t pixels_per_1000_units) {
  // Wraps like the 32-bit multiplication it stands for, without overflowing a signed type.
  int32_t product = static_cast<int32_t>(static_cast<uint32_t>(pixels) * 1000u);
  return rounded_quotient(product, pixels_per_1000_units);
}
