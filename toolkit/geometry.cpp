// Moving and sizing controls and dialogs in dialog units. The conversions are in
// geometry_units.cpp, reading a place or size back in geometry_measure.cpp and
// geometry_client.cpp: each archive member brings only its own platform calls into a program.
#include "dialogkit/toolkit/geometry.hpp"

BOOL control_set_position(HWND dialog, int32_t id, int32_t x, int32_t y) {
  HWND window = control_window(dialog, id);
  // In the dialog's units also when the window is the dialog itself.
  UnitPair pixels = units_to_pixels(dialog, x, y);
  return SetWindowPos(window, nullptr, pixels.x, pixels.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL control_set_size(HWND dialog, int32_t id, int32_t width, int32_t height) {
  HWND window = control_window(dialog, id);
  UnitPair pixels = units_to_pixels(dialog, width, height);
  return SetWindowPos(window, nullptr, 0, 0, pixels.x, pixels.y, SWP_NOMOVE | SWP_NOZORDER);
}
