// Measuring controls and dialogs: a window's place and size read back from the system and given
// in dialog units. Apart from geometry.cpp so that a program that only moves and sizes its
// controls links none of the platform calls used here.
#include "dialogkit/toolkit/geometry.hpp"

namespace {

// The outer rectangle in screen coordinates; all zero when there is no window.
RECT window_rect(HWND window) {
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(window, &rect);
  return rect;
}

}  // namespace

UnitPair control_get_position(HWND dialog, int32_t id) {
  HWND window = control_window(dialog, id);
  RECT rect = window_rect(window);
  // The parent of a control, the owner of a dialog: the position comes out in its client
  // coordinates and its units. An unowned dialog gives its screen position in its own units.
  HWND parent = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_HWNDPARENT));
  if (!parent) return pixels_to_units(window, rect.left, rect.top);
  POINT corner = {rect.left, rect.top};
  ScreenToClient(parent, &corner);
  return pixels_to_units(parent, corner.x, corner.y);
}

UnitPair control_get_size(HWND dialog, int32_t id) {
  RECT rect = window_rect(control_window(dialog, id));
  return pixels_to_units(dialog, rect.right - rect.left, rect.bottom - rect.top);
}
