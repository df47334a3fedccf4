// Dialog units on the Windows API: the platform's MapDialogRect gives the scale, and every
// position and size crosses the toolkit's interface in the units of the dialog concerned.
#include "dialogkit/toolkit/geometry.hpp"

namespace {

// A rectangle's right and bottom after MapDialogRect: left and top stay 0, so one call converts
// both values.
UnitPair mapped_corner(HWND dialog, int32_t x, int32_t y) {
  RECT rect = {0, 0, x, y};
  MapDialogRect(dialog, &rect);
  return UnitPair{rect.right, rect.bottom};
}

}  // namespace

UnitPair units_to_pixels(HWND dialog, int32_t x, int32_t y) { return mapped_corner(dialog, x, y); }

UnitPair pixels_to_units(HWND dialog, int32_t x, int32_t y) {
  // The platform has no reverse mapping: derive the scale from 1000 units and divide.
  UnitPair scale = mapped_corner(dialog, 1000, 1000);
  return UnitPair{pixels_scaled_to_units(x, scale.x), pixels_scaled_to_units(y, scale.y)};
}
