// Reading the selected item's text of a combo or list box: pushed as a new string temporary,
// empty without a selection or memory for it. Apart from control_read.cpp, whose window texts
// import calls these do not need.
#include "dialogkit/toolkit/controls.hpp"

#include "dialogkit/runtime/strings.hpp"
#include "toolkit/item_boxes.hpp"

namespace {

// The selected item's text of a combo or list box, pushed; empty without a selection.
// The messages come as values, not as a reference to their row, which would store the table.
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

void combo_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id) {
  constexpr ItemBoxMessages combo = ITEM_BOX_MESSAGES[ITEM_BOX_COMBO];
  push_selected_text(frame, dialog, id, combo.get_selection, combo.get_text_length, combo.get_text);
}

void list_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id) {
  constexpr ItemBoxMessages list = ITEM_BOX_MESSAGES[ITEM_BOX_LIST];
  push_selected_text(frame, dialog, id, list.get_selection, list.get_text_length, list.get_text);
}
