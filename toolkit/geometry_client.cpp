// The client area's size of a dialog in its units. Apart from geometry_measure.cpp, so that a
// program that reads only this links none of the calls that measure windows.
#include "dialogkit/toolkit/geometry.hpp"

UnitPair dialog_get_client_size(HWND dialog) {
  RECT rect = {0, 0, 0, 0};
  GetClientRect(dialog, &rect);
  return pixels_to_units(dialog, rect.right, rect.bottom);
}
