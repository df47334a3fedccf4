// Posting a message: apart from control_ops.cpp so that a program imports PostMessageA only when
// it posts one.
#include "dialogkit/toolkit/controls.hpp"

BOOL message_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return PostMessageA(window, message, wparam, lparam);
}
