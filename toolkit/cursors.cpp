// The mouse cursor: a system cursor chosen by number (the table is cursors_logic.cpp), loaded as
// a shared image, which the system owns.
#include "dialogkit/toolkit/controls.hpp"
#include "toolkit/cursors.hpp"

HCURSOR cursor_set(int32_t number) {
  constexpr UINT flags = LR_SHARED | LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE;
  static_assert(flags == 0x9040, "cursor load flags");
  // Identifier 0 loads nothing, and SetCursor(0) takes the cursor off the screen.
  HANDLE cursor =
      LoadImageA(nullptr, MAKEINTRESOURCEA(cursor_identifier(number)), IMAGE_CURSOR, 0, 0, flags);
  return SetCursor(static_cast<HCURSOR>(cursor));
}
