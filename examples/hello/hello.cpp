// The smallest useful dialog program: a text box, a button whose callback changes the text, and
// a menu item that does the same from the menu bar. It runs until its dialog is closed.
#include <dialogkit.hpp>

// No constants of its own: the constants area stays zero.
struct HelloConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(HelloConstants, {});

namespace {

enum : int32_t { ID_TEXT = 100, ID_BUTTON = 101, ID_MENU_HELLO = 200 };

// The button's callback and the menu item's: both put a greeting into the text box. A control's
// callback sees every WM_COMMAND of its control; a click and a menu choice both carry code 0.
INT_PTR CALLBACK say_hello(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;  // not handled
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "Hello, ");
  temp_push_cstring(&frame, "world");
  string_join(&frame);                         // one temporary: "Hello, world"
  control_set_text(&frame, dialog, ID_TEXT);  // consumes it
  return 1;                                   // handled
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  HWND dialog = dialog_create(nullptr, "Hello", -1, -1, 160, 60,
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);

  // Kind, identifier, text, place and size in dialog units; then style, extended style (0 and 0:
  // the kind's defaults) and the callback, which may be left out.
  control_add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "Press the button", 8, 8, 144, 12);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_BUTTON, "&Say hello", 56, 32, 48, 14, 0, 0,
              say_hello);

  ProcedureFrame frame = {};
  HMENU bar = menu_create(0);
  temp_push_cstring(&frame, "&Hello!");
  menu_insert_item(&frame, bar, 0, 1, 0, ID_MENU_HELLO, say_hello);
  menu_attach_keep_size(dialog, bar);  // the dialog grows by the bar: its client area stays 160 by 60

  dialog_show_modal(dialog, nullptr, nullptr);  // returns when the dialog is closed
  return 0;
}
