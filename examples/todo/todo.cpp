// A to-do list: a text box and its Add button, a list box that keeps the items in the order they
// were added, a Remove button for the selected item, a label that counts the items, and a File
// menu with Exit. The dialog is resizable: a layout table places the controls in dialog units on
// every size change, and a size grip sits in its corner. It reads its controls back with the
// toolkit's operations (the text box's text, the list's count and selected item), whose item
// numbers count from 1.
#include <dialogkit.hpp>

// No constants of its own: the constants area stays zero.
struct TodoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(TodoConstants, {});

namespace {

enum : int32_t {
  ID_TEXT = 100,
  ID_ADD = 101,
  ID_REMOVE = 102,
  ID_LIST = 103,
  ID_COUNT = 104,
  ID_GRIP = 105,
  ID_MENU_EXIT = 200,
};

// Where each control goes, in dialog units: the text box and the list take the width that the
// buttons' column leaves them (50 units wide, 8 from the right edge), the list the height as
// well; the buttons and the count stay at the right, the size grip in the corner.
const LayoutRow layout_rows[] = {
    // identifier  flags                    left         top         right/width   bottom/height
    {ID_TEXT,      LAYOUT_BOTTOM_IS_HEIGHT, {0, 8},      {0, 8},     {1, -62},     {0, 12}},
    {ID_ADD,       LAYOUT_SIZE,             {1, -58},    {0, 7},     {0, 50},      {0, 14}},
    {ID_LIST,      0,                       {0, 8},      {0, 26},    {1, -62},     {1, -8}},
    {ID_REMOVE,    LAYOUT_SIZE,             {1, -58},    {0, 26},    {0, 50},      {0, 14}},
    {ID_COUNT,     LAYOUT_SIZE,             {1, -58},    {0, 46},    {0, 50},      {0, 8}},
};
// No smaller than the dialog is when the table is attached, no greatest size, a size grip.
constexpr DialogLayout layout = layout_make(layout_rows, {0, 0}, {0, 0}, ID_GRIP);

// "Items: 3": the label follows the list's count.
void show_count(ProcedureFrame* frame, HWND dialog) {
  temp_push_cstring(frame, "Items:");
  number_to_text(frame, list_get_count(dialog, ID_LIST));
  string_join(frame);
  control_set_text(frame, dialog, ID_COUNT);
}

// Add (also the Enter key: it is the default button): the text box's text becomes the list's
// last item, selected, and the text box is emptied for the next one.
INT_PTR CALLBACK add_clicked(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  control_get_text(&frame, dialog, ID_TEXT);
  if (temp_view(&frame, 0).length == 0) {  // nothing typed: nothing to add
    temp_pop_free(&frame);
    return 1;
  }
  // list_add answers the system's 0-based index; the item's number is one more.
  LRESULT index = list_add(&frame, dialog, ID_LIST);
  list_select(dialog, ID_LIST, static_cast<int32_t>(index) + 1);
  temp_push_empty(&frame);
  control_set_text(&frame, dialog, ID_TEXT);
  show_count(&frame, dialog);
  control_set_focus(dialog, ID_TEXT);
  return 1;
}

// Remove: the selected item. With nothing selected the number is 0, which deletes nothing.
INT_PTR CALLBACK remove_clicked(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  list_delete(dialog, ID_LIST, list_get_selected(dialog, ID_LIST));
  show_count(&frame, dialog);
  return 1;
}

INT_PTR CALLBACK exit_chosen(HWND dialog, UINT, WPARAM, LPARAM) {
  dialog_end(dialog, 0);
  return 1;
}

// Escape arrives as IDCANCEL, which no control or menu item has.
INT_PTR CALLBACK todo_callback(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || LOWORD(wparam) != IDCANCEL) return 0;
  dialog_end(dialog, 0);
  return 1;
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  HWND dialog = dialog_create(nullptr, "To-do", -1, -1, 200, 120, WS_OVERLAPPEDWINDOW);
  // At no place and no size: the layout table places them.
  control_add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "", 0, 0, 0, 0);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_ADD, "&Add", 0, 0, 0, 0,
              BS_DEFPUSHBUTTON | WS_TABSTOP, 0, add_clicked);
  // A style of one's own replaces the kind's default style and extended style: the items stay in
  // the order they were added (no LBS_SORT), and the sunken edge is asked for again.
  control_add(dialog, CONTROL_LIST_BOX, ID_LIST, "", 0, 0, 0, 0,
              WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_REMOVE, "&Remove", 0, 0, 0, 0, 0, 0, remove_clicked);
  control_add(dialog, CONTROL_LABEL, ID_COUNT, "Items: 0", 0, 0, 0, 0);

  ProcedureFrame frame = {};
  HMENU file = menu_create(1);
  temp_push_cstring(&frame, "E&xit");
  menu_insert_item(&frame, file, 0, 1, 0, ID_MENU_EXIT, exit_chosen);
  HMENU bar = menu_create(0);
  temp_push_cstring(&frame, "&File");
  menu_insert_item(&frame, bar, MENU_OPT_SUBMENU, 1, 0, reinterpret_cast<uintptr_t>(file), nullptr);
  // The dialog grows by the menu bar's room, so that its client area stays 200 by 120 units.
  menu_attach_keep_size(dialog, bar);

  // The table lays the controls out now, while the dialog is still hidden, and again on every size
  // change, whatever the dialog's style. Without it (no memory for it) they are laid out once.
  if (!layout_attach(dialog, &layout)) layout_apply_fixed(dialog, &layout);
  dialog_show_modal(dialog, todo_callback, nullptr);
  return 0;  // not the exit code: that is 0 whenever start-up succeeded
}
