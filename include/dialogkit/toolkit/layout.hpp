// Resizable dialogs laid out by a table: attaching a layout table to a dialog makes the toolkit
// place every control of the table on each size change, before the dialog's callback sees the
// WM_SIZE, all in one deferred batch; keep the dialog at least (and, if asked, at most) a given
// client size; and optionally keep a size grip in the bottom-right corner. The rules and their
// arithmetic are in layout_rules.hpp.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "dialogkit/toolkit/dialog_units.hpp"
#include "dialogkit/toolkit/layout_rules.hpp"

// What layout_attach takes. Sizes are of the client area, in the dialog's units.
struct DialogLayout {
  const LayoutRow* rows;  // must live as long as the dialog (a constant table does)
  uint32_t count;
  // The least client size; a 0 stands for the client width or height the dialog has when the
  // layout is attached (for a dialog not yet resized: its template size).
  UnitPair minimum;
  // The greatest client size; a 0 means no limit in that direction.
  UnitPair maximum;
  // Not 0: the identifier of a size grip in the bottom-right corner, made by layout_attach unless
  // the dialog has a control with that identifier already. Hidden while the dialog is maximised.
  int32_t grip_id;
};

// A DialogLayout over a table, counting the table's rows itself: the count cannot be typed wrong,
// nor go stale when a row is added. Constant, so a layout made at namespace scope needs no code
// at start-up.
//   constexpr DialogLayout layout = layout_make(layout_rows, {0, 0}, {0, 0}, ID_GRIP);
template <uint32_t count>
constexpr DialogLayout layout_make(const LayoutRow (&rows)[count], UnitPair minimum = {0, 0},
                                   UnitPair maximum = {0, 0}, int32_t grip_id = 0) {
  return DialogLayout{rows, count, minimum, maximum, grip_id};
}

// Attaches `layout` to `dialog` (whose controls exist), brings a dialog below the least size (or
// above the greatest) within the limits, and lays the controls out at once. From then on every
// WM_SIZE lays them out for the new client size before the dialog's callback sees it, whatever
// the size type, and WM_GETMINMAXINFO keeps the client area within the limits, against the
// sizing border and SetWindowPos alike, with the window's real frame and every line of its menu
// bar counted. When the system refuses a batch of moves, the controls are moved one at a time.
// The dialog gets WS_CLIPCHILDREN. Attaching again replaces the table and the limits. Returns
// FALSE, changing nothing, when `dialog` is not a window, `layout` is null, or the memory or the
// window property for the layout cannot be had: a program should check, and can lay the
// controls out once with layout_apply_fixed.
BOOL layout_attach(HWND dialog, const DialogLayout* layout);
// Lays the controls out now, for the dialog's current client size (nothing without a layout).
void layout_apply(HWND dialog);
// What a program does when layout_attach fails: lays the controls out once by `layout`'s table
// for the client size the dialog has, and takes the sizing border and the maximise box away,
// since nothing would follow a resize. The limits and the size grip play no part. Nothing
// without a window or a layout.
//   if (!layout_attach(dialog, &layout)) layout_apply_fixed(dialog, &layout);
void layout_apply_fixed(HWND dialog, const DialogLayout* layout);
