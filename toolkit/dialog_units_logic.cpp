// The rounding rule of the pixel-to-unit conversion, in 32-bit arithmetic throughout (the product
// needs no 64-bit division routine).
#include "dialogkit/toolkit/dialog_units.hpp"

int32_t rounded_quotient(int32_t n, int32_t d) {
  if (d == 0) return n;
  // INT32_MIN / -1 would trap; that one quotient wraps back to INT32_MIN, and every quotient by
  // -1 is exact.
  if (d == -1) return static_cast<int32_t>(0u - static_cast<uint32_t>(n));
  int32_t q = n / d;
  int32_t r = n % d;
  if (d > 0) {
    // |r| < d <= 2^31 - 1, so twice it fits an unsigned 32-bit value.
    uint32_t magnitude = r < 0 ? 0u - static_cast<uint32_t>(r) : static_cast<uint32_t>(r);
    if (2u * magnitude >= static_cast<uint32_t>(d)) q += r > 0 ? 1 : -1;
  }
  return q;
}

int32_t pixels_scaled_to_units(int32_t pixels, int32_t pixels_per_1000_units) {
  // Wraps like the 32-bit multiplication it stands for, without overflowing a signed type.
  int32_t product = static_cast<int32_t>(static_cast<uint32_t>(pixels) * 1000u);
  return rounded_quotient(product, pixels_per_1000_units);
}
