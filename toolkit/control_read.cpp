// Reading texts back from windows and controls: each operation pushes what it reads as a new
// string temporary, empty when there is nothing to read or no memory for it. The selected items'
// texts of combo and list boxes are in control_read_items.cpp.
#include "dialogkit/toolkit/controls.hpp"

#include "dialogkit/runtime/strings.hpp"
#include "toolkit/utf8.hpp"

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
