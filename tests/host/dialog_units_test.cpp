// The rounding of the tools that read another program's dialog (dialogkit-driver, the end-to-end
// probe): pixels to dialog units as the toolkit rounds them, and no division by zero when the
// scale could not be read.
#include "tools/remote/dialog_units.hpp"

#include <gtest/gtest.h>

namespace {

struct QuotientCase {
  long long n, d;
  long expected;
};

TEST(RemoteDialogUnits, RoundedQuotient) {
  const QuotientCase cases[] = {
      {0, 1500, 0},
      // Exact halves away from zero, on both sides; smaller remainders truncated.
      {1000, 2000, 1},
      {-1000, 2000, -1},
      {999, 2000, 0},
      {-999, 2000, 0},
      {1001, 2000, 1},
      {2249, 1500, 1},
      {2250, 1500, 2},
      {-2250, 1500, -2},
      {6000, 1500, 4},
      {-6000, 1500, -4},
      // No scale: the value itself, not a division by zero.
      {1234, 0, 1234},
      {-5, 0, -5},
      {0, 0, 0},
      // A negative divisor: the truncated quotient.
      {7, -2, -3},
      {-7, -2, 3},
      // Pixel values times 1000 beyond 32 bits.
      {3000000000LL, 1500, 2000000},
  };
  for (const QuotientCase& c : cases)
    EXPECT_EQ(remote::rounded_quotient(c.n, c.d), c.expected) << c.n << " / " << c.d;
}

struct PixelCase {
  long pixels, pixels_per_1000, expected;
};

TEST(RemoteDialogUnits, UnitsOfPixels) {
  const PixelCase cases[] = {
      // The dialog font at 96 dpi: 1000 units are 1500 by 1625 pixels.
      {150, 1500, 100},
      {1, 1500, 1},
      {2, 1500, 1},
      {3, 1500, 2},
      {-2, 1500, -1},
      {13, 1625, 8},
      {325, 1625, 200},
      // At 144 dpi: 1000 units are 2250 by 2375 pixels.
      {540, 2250, 240},
      {356, 2375, 150},
      // A scale that could not be read (0 pixels): pixels x 1000, no crash.
      {7, 0, 7000},
  };
  for (const PixelCase& c : cases)
    EXPECT_EQ(remote::units_of_pixels(c.pixels, c.pixels_per_1000), c.expected)
        << c.pixels << " pixels at " << c.pixels_per_1000;
}

}  // namespace
