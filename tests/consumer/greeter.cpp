// A dialog with a text box, a button and a menu: the button and the menu item both put a
// greeting with DialogKit's version into the text box. It runs until the dialog is closed.
#include <dialogkit.hpp>

struct GreeterConstants {
  LiteralOf<20> greeting;
  unsigned char rest[DATA_CONSTANTS_SIZE - sizeof(LiteralOf<20>)];
};
RUNTIME_DATA_SECTION(GreeterConstants, {"Hello from DialogKit", {}});

namespace {

enum : int32_t { ID_TEXT = 100, ID_BUTTON = 101, ID_MENU_GREET = 200 };

const GreeterConstants* constants() {
  return reinterpret_cast<const GreeterConstants*>(data_constants());
}

// "Hello from DialogKit 1.1.0".
INT_PTR CALLBACK greet(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  temp_push_literal(&frame, literal_of(constants()->greeting));
  temp_push_cstring(&frame, " " DIALOGKIT_VERSION);
  string_join(&frame);
  control_set_text(&frame, dialog, ID_TEXT);
  return 1;
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  HWND dialog = dialog_create(nullptr, "Greeter", -1, -1, 160, 60,
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
  control_add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "", 8, 8, 144, 14);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_BUTTON, "&Greet", 56, 32, 48, 14, 0, 0, greet);
  ProcedureFrame frame = {};
  HMENU bar = menu_create(0);
  temp_push_cstring(&frame, "&Greet");
  menu_insert_item(&frame, bar, 0, 1, 0, ID_MENU_GREET, greet);
  menu_attach(dialog, bar);
  dialog_show_modal(dialog, nullptr, nullptr);
  return 0;
}
