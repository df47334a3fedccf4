// Moving the focus to a control: apart from control_ops.cpp so that a program imports SetFocus for
// it only when it moves the focus.
#include "dialogkit/toolkit/controls.hpp"

HWND control_set_focus(HWND dialog, int32_t id) { return SetFocus(GetDlgItem(dialog, id)); }
