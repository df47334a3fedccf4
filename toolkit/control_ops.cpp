// The small operations on dialogs and their controls: each a fixed mapping onto one or a few
// platform calls. String arguments are consumed from the frame after the platform call that uses
// them. The operations that read a text back are in control_read.cpp and control_read_items.cpp,
// posting and the focus in message_post.cpp and control_focus.cpp, the cursor and control images in cursors.cpp and
// images.cpp: an archive member is linked whole with the platform calls it imports, so a program
// links the platform calls of those only when it uses them.
#include "dialogkit/toolkit/controls.hpp"

#include "dialogkit/runtime/strings.hpp"
#include "dialogkit/toolkit/geometry.hpp"
#include "toolkit/item_boxes.hpp"

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

// A count the system answers, or 0 for its error value and for no control (which answers 0).
int32_t item_count(HWND dialog, int32_t id, UINT message) {
  LRESULT count = send_to_control(dialog, id, message, 0, 0);
  return count > 0 ? static_cast<int32_t>(count) : 0;
}

// The selected item's number: the system's 0-based index plus 1, which makes its "none" (-1) 0.
// No control is no selection, although a message sent to no window answers 0, the first item.
int32_t selected_item(HWND dialog, int32_t id, UINT message) {
  HWND control = GetDlgItem(dialog, id);
  if (!control) return 0;
  LRESULT index = SendMessageA(control, message, 0, 0);
  return index >= 0 ? static_cast<int32_t>(index + 1) : 0;
}

LRESULT add_text_item(ProcedureFrame* frame, HWND dialog, int32_t id, UINT message) {
  LRESULT result =
      send_to_control(dialog, id, message, 0, reinterpret_cast<LPARAM>(temp_view(frame, 0).data));
  temp_pop_free(frame);
  return result;
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

LRESULT message_send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageA(window, message, wparam, lparam);
}

// --- Windows and controls ----------------------------------------------------------------------

LONG_PTR control_set_callback(HWND dialog, int32_t id, DialogCallback callback) {
  return SetWindowLongPtrA(GetDlgItem(dialog, id), GWLP_USERDATA,
                           reinterpret_cast<LONG_PTR>(callback));
}

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

// The operations of one kind of box, made from its row of messages: box_add, box_delete,
// box_select, box_reset, box_get_count and box_get_selected, for combo_ and list_ below.
#define ITEM_BOX_OPERATIONS(box, row)                                                   \
  LRESULT box##_add(ProcedureFrame* frame, HWND dialog, int32_t id) {                   \
    return add_text_item(frame, dialog, id, ITEM_BOX_MESSAGES[row].add);                \
  }                                                                                     \
  LRESULT box##_delete(HWND dialog, int32_t id, int32_t item) {                         \
    return send_to_control(dialog, id, ITEM_BOX_MESSAGES[row].remove, item_index(item), 0); \
  }                                                                                     \
  LRESULT box##_select(HWND dialog, int32_t id, int32_t item) {                         \
    return send_to_control(dialog, id, ITEM_BOX_MESSAGES[row].select, item_index(item), 0); \
  }                                                                                     \
  LRESULT box##_reset(HWND dialog, int32_t id) {                                        \
    return send_to_control(dialog, id, ITEM_BOX_MESSAGES[row].reset, 0, 0);             \
  }                                                                                     \
  int32_t box##_get_count(HWND dialog, int32_t id) {                                    \
    return item_count(dialog, id, ITEM_BOX_MESSAGES[row].count);                        \
  }                                                                                     \
  int32_t box##_get_selected(HWND dialog, int32_t id) {                                 \
    return selected_item(dialog, id, ITEM_BOX_MESSAGES[row].get_selection);             \
  }

ITEM_BOX_OPERATIONS(combo, ITEM_BOX_COMBO)
ITEM_BOX_OPERATIONS(list, ITEM_BOX_LIST)
#undef ITEM_BOX_OPERATIONS

int32_t list_get_selected_items(HWND dialog, int32_t id, int32_t* items, int32_t capacity) {
  static_assert(sizeof(int) == sizeof(int32_t), "LB_GETSELITEMS fills an array of int");
  HWND control = GetDlgItem(dialog, id);
  if (!control || capacity <= 0) return 0;
  LRESULT stored = SendMessageA(control, LB_GETSELITEMS, static_cast<WPARAM>(capacity),
                                reinterpret_cast<LPARAM>(items));
  if (stored < 0) {
    // A single-selection list has no selection set (LB_ERR): its one selected item, if any.
    int32_t item = selected_item(dialog, id, ITEM_BOX_MESSAGES[ITEM_BOX_LIST].get_selection);
    if (item) items[0] = item;
    return item ? 1 : 0;
  }
  for (LRESULT i = 0; i < stored; ++i) items[i] += 1;  // the system's indexes, as item numbers
  return static_cast<int32_t>(stored);
}
