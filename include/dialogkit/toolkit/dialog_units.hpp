// Dialog units: the pair type every position and size travels in, and the rounding rule that
// turns pixels into units given the dialog's scale. Pure logic, built on the host as well; the
// conversions that ask the system for a dialog's scale are in geometry.hpp.
#pragma once
#include <stdint.h>

// A horizontal and a vertical value, always travelling together.
struct UnitPair {
  int32_t x, y;
};

// n / d rounded with exact halves away from zero; d == 0 gives n unscaled, a negative d gives the
// truncated quotient.
int32_t rounded_quotient(int32_t n, int32_t d);
// Pixels to units, given the pixel count of 1000 units. The product pixels x 1000 is taken in
// signed 32-bit arithmetic, exact for pixel values within +-2,147,483.
int32_t pixels_scaled_to_units(int32_t pixels, int32_t pixels_per_1000_units);
