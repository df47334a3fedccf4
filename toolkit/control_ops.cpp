// The small operations on dialogs and their controls: each a fixed mapping onto one or a few
// platform calls. String arguments are consumed from the frame after the platform call that uses
// them; string results are pushed as new temporaries.
#include "toolkit/controls.hpp"

#include "runtime/strings.hpp"
#include "toolkit/geometry.hpp"

namespace {

// Item numbers count from 1 at the toolkit's interface: 1 is the system's item 0, and 0 becomes
// -1 (for the select messages: no selection). The step down wraps instead of overflowing.
WPARAM item_index(int32_t item) {
  return static_cast<WPARAM>(
      static_cast<INT_PTR>(static_cast<int32_t>(static_cast<uint32_t>(item) - 1u)));
}

LRESULT send_to_control(HWND dialog, int32_t id, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageA(GetDlgItem(dialog, id), message, wparam, lparam);
}

LRESULT add_text_item(ProcedureFrame* frame, HWND dialog, int32_t id, UINT message) {
  LRESULT result =
      send_to_control(dialog, id, message, 0, reinterpret_cast<LPARAM>(temp_view(frame, 0).data));
  temp_pop_free(frame);
  return result;
}

// The selected item's text of a combo or list box, pushed; empty without a selection.
void push_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id, UINT get_selection,
                        UINT get_length, UINT get_text) {
  HWND control = GetDlgItem(dialog, id);
  WPARAM index = static_cast<WPARAM>(SendMessageA(control, get_selection, 0, 0));
  LRESULT length = SendMessageA(control, get_length, index, 0);
  DynString text = 0;
  char* bytes;
  if (length > 0 && length <= INT32_MAX &&
      string_alloc(static_cast<int32_t>(length), &text, &bytes) == ERR_NONE) {
    LRESULT copied = SendMessageA(control, get_text, index, reinterpret_cast<LPARAM>(bytes));
    // The length message may count more than the copy delivers, and a failed copy delivers
    // nothing: keep only bytes the system wrote.
    if (copied < 0) copied = 0;
    if (copied < length) text = string_resize(text, static_cast<int32_t>(copied));
  }
  temp_push(frame, text);
}

}  // namespace

// --- Text and messages -------------------------------------------------------------------------

BOOL control_set_text(ProcedureFrame* frame, HWND dialog, int32_t id) {
  return window_set_text(frame, GetDlgItem(dialog, id));
}

BOOL window_set_text(ProcedureFrame* frame, HWND window) {
  // The text goes as a zero-terminated string: a zero byte inside it ends what the window gets.
  BOOL result = SetWindowTextA(window, temp_view(frame, 0).data);
  temp_pop_free(frame);
  return result;
}

void window_get_text(ProcedureFrame* frame, HWND window) {
  DynString text;
  char* bytes;
  if (string_alloc(WINDOW_TEXT_BUFFER, &text, &bytes) != ERR_NONE) {
    temp_push(frame, 0);
    return;
  }
  int length = GetWindowTextA(window, bytes, WINDOW_TEXT_BUFFER);
  // A copy of exactly the text's length takes the large buffer's place.
  temp_push(frame, string_resize(text, length));
}

LRESULT message_send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageA(window, message, wparam, lparam);
}

BOOL message_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return PostMessageA(window, message, wparam, lparam);
}

// --- Windows and controls ----------------------------------------------------------------------

LONG_PTR control_set_callback(HWND dialog, int32_t id, DialogCallback callback) {
  return SetWindowLongPtrA(GetDlgItem(dialog, id), GWLP_USERDATA,
                           reinterpret_cast<LONG_PTR>(callback));
}

HWND control_set_focus(HWND dialog, int32_t id) { return SetFocus(GetDlgItem(dialog, id)); }

BOOL control_enable(HWND dialog, int32_t id, BOOL flag) {
  return EnableWindow(control_window(dialog, id), flag);
}

BOOL window_show(HWND window, int show_command, int32_t* result) {
  BOOL shown = ShowWindow(window, show_command);
  if (result) *result = shown;
  return shown;
}

BOOL control_destroy(HWND dialog, int32_t id) { return DestroyWindow(GetDlgItem(dialog, id)); }

LRESULT button_get_check(HWND dialog, int32_t id) {
  return send_to_control(dialog, id, BM_GETCHECK, 0, 0);
}

LRESULT button_set_check(HWND dialog, int32_t id, WPARAM state) {
  return send_to_control(dialog, id, BM_SETCHECK, state, 0);
}

// --- Combo boxes and list boxes ----------------------------------------------------------------

LRESULT combo_add(ProcedureFrame* frame, HWND dialog, int32_t id) {
  return add_text_item(frame, dialog, id, CB_ADDSTRING);
}
LRESULT combo_delete(HWND dialog, int32_t id, int32_t item) {
  return send_to_control(dialog, id, CB_DELETESTRING, item_index(item), 0);
}
LRESULT combo_select(HWND dialog, int32_t id, int32_t item) {
  return send_to_control(dialog, id, CB_SETCURSEL, item_index(item), 0);
}
LRESULT combo_reset(HWND dialog, int32_t id) {
  return send_to_control(dialog, id, CB_RESETCONTENT, 0, 0);
}
void combo_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id) {
  push_selected_text(frame, dialog, id, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

LRESULT list_add(ProcedureFrame* frame, HWND dialog, int32_t id) {
  return add_text_item(frame, dialog, id, LB_ADDSTRING);
}
LRESULT list_delete(HWND dialog, int32_t id, int32_t item) {
  return send_to_control(dialog, id, LB_DELETESTRING, item_index(item), 0);
}
LRESULT list_select(HWND dialog, int32_t id, int32_t item) {
  return send_to_control(dialog, id, LB_SETCURSEL, item_index(item), 0);
}
LRESULT list_reset(HWND dialog, int32_t id) {
  return send_to_control(dialog, id, LB_RESETCONTENT, 0, 0);
}
void list_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id) {
  push_selected_text(frame, dialog, id, LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT);
}

// --- Cursor and images -------------------------------------------------------------------------

HCURSOR cursor_set(int32_t number) {
  constexpr UINT flags = LR_SHARED | LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE;
  static_assert(flags == 0x9040, "cursor load flags");
  // Identifier 0 loads nothing, and SetCursor(0) takes the cursor off the screen.
  HANDLE cursor =
      LoadImageA(nullptr, MAKEINTRESOURCEA(cursor_identifier(number)), IMAGE_CURSOR, 0, 0, flags);
  return SetCursor(static_cast<HCURSOR>(cursor));
}

LRESULT control_set_image(ProcedureFrame* frame, HWND dialog, int32_t id, uint32_t options) {
  HWND control = GetDlgItem(dialog, id);
  RECT client = {0, 0, 0, 0};  // 0 by 0 loads the image at its own size
  if (options & IMAGE_OPT_SIZED) GetClientRect(control, &client);
  UINT target = (options & IMAGE_OPT_BUTTON) ? BM_SETIMAGE : STM_SETIMAGE;
  LRESULT result =
      load_control_image(control, temp_view(frame, 0).data, target, client.right, client.bottom);
  temp_pop_free(frame);
  return result;
}
