// Reading texts back from windows and controls: each operation pushes what it reads as a new
// string temporary, empty when there is nothing to read or no memory for it.
#include "toolkit/controls.hpp"

#include "runtime/strings.hpp"
#include "toolkit/utf8.hpp"

namespace {

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

void window_get_text(ProcedureFrame* frame, HWND window) {
  DynString text;
  char* bytes;
  // No window reads as the empty text. GetWindowTextA would say so by its result of 0 but, under
  // Wine, answers the length of whatever its own unwritten buffer held instead.
  if (!IsWindow(window) || string_alloc(WINDOW_TEXT_BUFFER, &text, &bytes) != ERR_NONE) {
    temp_push(frame, 0);
    return;
  }
  int length = GetWindowTextA(window, bytes, WINDOW_TEXT_BUFFER);
  // A UTF-8 text longer than the buffer ends with whole characters only.
  if (length == WINDOW_TEXT_BUFFER - 1 && GetACP() == CP_UTF8)
    length = static_cast<int>(utf8_whole_length(bytes, static_cast<uint32_t>(length)));
  // A copy of exactly the text's length takes the large buffer's place.
  temp_push(frame, string_resize(text, length));
}

void control_get_text(ProcedureFrame* frame, HWND dialog, int32_t id) {
  window_get_text(frame, GetDlgItem(dialog, id));
}

void combo_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id) {
  push_selected_text(frame, dialog, id, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

void list_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id) {
  push_selected_text(frame, dialog, id, LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT);
}
