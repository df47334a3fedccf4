// A modeless dialog on the program's own message loop: a click counter. The count lives in the
// data image's globals area, its label is a literal of the constants area joined with the text of
// the number, and every size change lays the controls out again in dialog units and reports the
// client area's size in those units. Escape or the close box ends it.
#include <dialogkit.hpp>

// The constants area: one literal (LiteralOf stores its length and its bytes, no terminator);
// the rest of the 236 bytes stays zero.
struct CounterConstants {
  LiteralOf<7> clicks;
  unsigned char rest[DATA_CONSTANTS_SIZE - sizeof(LiteralOf<7>)];
};
RUNTIME_DATA_SECTION(CounterConstants, {"Clicks:", {}});

// The globals area (12 bytes, zeroed by start-up): the count.
struct CounterGlobals {
  int32_t clicks;
};
static_assert(sizeof(CounterGlobals) <= DATA_GLOBALS_SIZE, "the globals area is 12 bytes");

namespace {

enum : int32_t { ID_COUNT = 100, ID_SIZE = 101, ID_BUTTON = 102 };

// Start-up has moved the image: constants and globals are read at their working place.
const CounterConstants* constants() {
  return reinterpret_cast<const CounterConstants*>(data_constants());
}
CounterGlobals* globals() { return reinterpret_cast<CounterGlobals*>(data_globals()); }

// "Clicks: 3": the literal, then the number's text, whose leading blank separates the two.
INT_PTR CALLBACK count_clicked(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  globals()->clicks += 1;
  temp_push_literal(&frame, literal_of(constants()->clicks));
  number_to_text(&frame, globals()->clicks);
  string_join(&frame);
  control_set_text(&frame, dialog, ID_COUNT);
  // A failed allocation left the empty string in its place and the program goes on; the error
  // waits in the thread's record until it is taken.
  if (error_take(&frame) != ERR_NONE) MessageBeep(MB_ICONHAND);
  return 1;
}

// The layout in dialog units: labels across the top, the button in the bottom right corner.
void lay_out(ProcedureFrame* frame, HWND dialog) {
  UnitPair client = dialog_get_client_size(dialog);
  control_set_size(dialog, ID_COUNT, client.x - 16, 8);
  control_set_size(dialog, ID_SIZE, client.x - 16, 8);
  control_set_position(dialog, ID_BUTTON, client.x - 56, client.y - 22);
  // A control that is moved but not sized keeps the pixels copied from its old place, which
  // the growing dialog has not painted yet (seen under Wine): have it painted again.
  InvalidateRect(GetDlgItem(dialog, ID_BUTTON), nullptr, TRUE);
  temp_push_cstring(frame, "Client area:");
  number_to_text(frame, client.x);
  string_join(frame);
  temp_push_cstring(frame, " by");
  string_join(frame);
  number_to_text(frame, client.y);
  string_join(frame);
  temp_push_cstring(frame, " dialog units");
  string_join(frame);
  control_set_text(frame, dialog, ID_SIZE);
}

INT_PTR CALLBACK counter_callback(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  ProcedureFrame frame = {};
  switch (message) {
    case WM_SIZE:
      lay_out(&frame, dialog);
      break;
    case WM_COMMAND:
      // Escape arrives as IDCANCEL; no control or menu item has that number, so it comes here.
      if (LOWORD(wparam) != IDCANCEL) break;
      dialog_end(dialog, 0);
      return 1;
    case WM_DESTROY:
      PostQuitMessage(0);  // wakes the message loop below
      break;
  }
  return 0;  // the system's default handling goes on
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  HWND dialog = dialog_create(nullptr, "Counter", -1, -1, 160, 64, WS_OVERLAPPEDWINDOW);
  control_add(dialog, CONTROL_LABEL, ID_COUNT, "Clicks: none yet", 8, 8, 48, 14);
  control_add(dialog, CONTROL_LABEL, ID_SIZE, "", 8, 20, 48, 14);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_BUTTON, "&Count", 104, 42, 48, 14, 0, 0,
              count_clicked);

  dialog_show_modeless(dialog, counter_callback, nullptr);
  // Returning from app_main ends the process, so the modeless dialog runs on this loop until
  // the dialog is gone.
  MSG message;
  while (IsWindow(dialog) && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return 0;
}
