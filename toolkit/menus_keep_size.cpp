// Attaching a menu bar without giving up client area: apart from menus.cpp so that a program that
// attaches its bar with menu_attach links none of the window measuring it needs.
#include "dialogkit/toolkit/menus.hpp"

BOOL menu_attach_keep_size(HWND window, HMENU menu) {
  RECT before;
  GetClientRect(window, &before);
  // SetMenu has the system compute the frame again: the client area has its new size at once.
  if (!SetMenu(window, menu)) return FALSE;
  if (IsZoomed(window) || IsIconic(window)) return TRUE;
  RECT after, outer;
  GetClientRect(window, &after);
  GetWindowRect(window, &outer);
  LONG grow_x = before.right - after.right, grow_y = before.bottom - after.bottom;
  if (grow_x || grow_y)
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + grow_x, outer.bottom - outer.top + grow_y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}
