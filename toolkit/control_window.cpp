// The window a control identifier stands for: the control, or the dialog itself for -1. Apart
// from the unit conversions so that the operations that use it (enabling, moving, measuring)
// link no more than they call.
#include "dialogkit/toolkit/geometry.hpp"

HWND control_window(HWND dialog, int32_t id) {
  return id == CONTROL_ID_DIALOG ? dialog : GetDlgItem(dialog, id);
}
