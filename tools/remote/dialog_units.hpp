// Dialog units from pixels as the toolkit converts them, in plain arithmetic: a length in pixels
// is a length in units by the pixel size of 1000 units, rounded. Apart from remote_dialog.cpp,
// which reads that pixel size from a dialog, so that the host tests check it.
#pragma once

namespace remote {

// n / d rounded to the nearest whole number, exact halves away from zero, as the toolkit rounds.
// d = 0, a scale that could not be read, gives n rather than a division by zero; a negative d
// gives the truncated quotient.
inline long rounded_quotient(long long n, long long d) {
  if (d == 0) return static_cast<long>(n);
  long long q = n / d, r = n % d;
  if (d > 0 && 2 * (r < 0 ? -r : r) >= d) q += r > 0 ? 1 : -1;
  return static_cast<long>(q);
}

// A length of `pixels` in dialog units, where 1000 units are `pixels_per_1000` pixels.
inline long units_of_pixels(long pixels, long pixels_per_1000) {
  return rounded_quotient(pixels * 1000LL, pixels_per_1000);
}

}  // namespace remote
