// The pixel-to-unit rounding rule: halves away from zero, smaller remainders truncated, the zero
// and negative divisors, and the ends of the pixel range the 32-bit products allow.
#include "dialogkit/toolkit/dialog_units.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct QuotientCase {
  int32_t n, d, expected;
};

TEST(GeometryRounding, RoundedQuotient) {
  const int32_t min = std::numeric_limits<int32_t>::min();
  const int32_t max = std::numeric_limits<int32_t>::max();
  const QuotientCase cases[] = {
      {0, 2000, 0},
      {0, 1, 0},
      // Exact halves go away from zero, on both sides.
      {1000, 2000, 1},
      {-1000, 2000, -1},
      {3, 2, 2},
      {-3, 2, -2},
      {5000, 2000, 3},
      {-5000, 2000, -3},
      // Smaller remainders truncate toward zero; larger ones round up in magnitude.
      {999, 2000, 0},
      {-999, 2000, 0},
      {1001, 2000, 1},
      {-1001, 2000, -1},
      {1000, 1500, 1},
      {2000, 1500, 1},
      {-2000, 1500, -1},
      {2249, 1500, 1},
      {2250, 1500, 2},
      {-2250, 1500, -2},
      // Exact quotients.
      {6000, 1500, 4},
      {-6000, 1500, -4},
      // No scale: the value itself.
      {1234, 0, 1234},
      {-5, 0, -5},
      {min, 0, min},
      // A negative divisor leaves the quotient truncated.
      {7, -2, -3},
      {-7, -2, 3},
      {3, -2, -1},
      {1999, -2000, 0},
      {min, -1, min},  // the one overflowing quotient wraps instead of trapping
      // The extremes of the 32-bit range.
      {max, 2, 1073741824},
      {min, 2, -1073741824},
      {max, 1, max},
      {min, 1, min},
      {min, max, -1},
      {max, max, 1},
  };
  for (const QuotientCase& c : cases)
    EXPECT_EQ(rounded_quotient(c.n, c.d), c.expected) << c.n << " / " << c.d;
}

struct PixelCase {
  int32_t pixels, scale, expected;
};

TEST(GeometryRounding, PixelsScaledToUnits) {
  const PixelCase cases[] = {
      // 1000 units are 2000 pixels: one pixel is half a unit, rounded away from zero.
      {1, 2000, 1},
      {-1, 2000, -1},
      {0, 2000, 0},
      // 1000 units are 1500 pixels: one and two pixels are both one unit.
      {1, 1500, 1},
      {2, 1500, 1},
      {3, 1500, 2},
      {-2, 1500, -1},
      // The typical dialog scale: 1000 units, 1500 by 1625 pixels.
      {150, 1500, 100},
      {13, 1625, 8},
      // The ends of the allowed pixel range.
      {2147483, 1500, 1431655},
      {-2147483, 1500, -1431655},
      {2147483, 2000, 1073742},
      {-2147483, 2000, -1073742},
      {2147483, 1000, 2147483},
      // A zero scale gives the pixels times 1000.
      {5, 0, 5000},
      {-2147483, 0, -2147483000},
  };
  for (const PixelCase& c : cases)
    EXPECT_EQ(pixels_scaled_to_units(c.pixels, c.scale), c.expected)
        << c.pixels << " px at " << c.scale;
}

TEST(GeometryRounding, ProductsBeyondTheRangeWrapLikeThe32BitMultiplication) {
  // Outside +-2,147,483 pixels there is no meaningful result, but no undefined behaviour either.
  EXPECT_EQ(pixels_scaled_to_units(2147484, 1000), -2147483);  // 2147484000 wraps negative
  EXPECT_EQ(pixels_scaled_to_units(std::numeric_limits<int32_t>::min(), 1), 0);
}

}  // namespace
