// A layout table applied once, to a dialog that then keeps its size: the way on when a table
// cannot be attached. Apart from layout.cpp so that only a program that calls it links it.
#include "dialogkit/toolkit/layout.hpp"

#include "dialogkit/toolkit/geometry.hpp"

void layout_apply_fixed(HWND dialog, const DialogLayout* layout) {
  if (!layout || !IsWindow(dialog)) return;
  // The frame changes first: a thinner border leaves a larger client area, which the controls
  // are laid out for.
  LONG style = GetWindowLongA(dialog, GWL_STYLE);
  SetWindowLongA(dialog, GWL_STYLE, style & ~static_cast<LONG>(WS_THICKFRAME | WS_MAXIMIZEBOX));
  SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  UnitPair client = dialog_get_client_size(dialog);
  for (uint32_t i = 0; i < layout->count; ++i) {
    const LayoutRow& row = layout->rows[i];
    UnitRect place = layout_place(row, client);
    control_set_position(dialog, row.id, place.x, place.y);
    control_set_size(dialog, row.id, place.width, place.height);
  }
}
