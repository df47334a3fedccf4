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

// One control with its text, style and extended style (0 and 0: the kind's defaults).
void add(HWND dialog, int32_t kind, int32_t id, const char* text, uint32_t style,
         uint32_t ex_style, DialogCallback callback) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, text);
  temp_push_empty(&frame);  // the class name, used by kind 0 only
  // Placed by the layout table.
  // The kind arrives as a variable, and none of this program's controls shows an image: the form
  // without image support keeps image loading out of the program (control_add would bring it
  // in for a kind it cannot see).
  control_add_without_images(&frame, kind, dialog, id, nullptr,
                             0, 0, 0, 0, style, ex_style, callback);
}

// Where each control goes, in dialog units: the text box and the list take the width that the
// buttons' column leaves them (50 units wide, 8 from the right edge), the list the height as
// well; the buttons and the count stay at the right, the size grip in the corner.
const LayoutRow layout_rows[] = {
    // identifier  far sides                left         top         right/width   bottom/height
    {ID_TEXT,      LAYOUT_BOTTOM_IS_HEIGHT, {0, 8},      {0, 8},     {1, -62},     {0, 12}},
    {ID_ADD,       LAYOUT_SIZE,             {1, -58},    {0, 7},     {0, 50},      {0, 14}},
    {ID_LIST,      0,                       {0, 8},      {0, 26},    {1, -62},     {1, -8}},
    {ID_REMOVE,    LAYOUT_SIZE,             {1, -58},    {0, 26},    {0, 50},      {0, 14}},
    {ID_COUNT,     LAYOUT_SIZE,             {1, -58},    {0, 46},    {0, 50},      {0, 8}},
};
// No smaller than the dialog is when the table is attached, no greatest size, a size grip.
const DialogLayout layout = {layout_rows, 5, {0, 0}, {0, 0}, ID_GRIP};

// When the table cannot be attached: the controls laid out once by it, for the size the dialog
// has, and the sizing border and the maximise box taken away, since nothing would follow a resize.
void lay_out_once(HWND dialog) {
  SetWindowLongA(dialog, GWL_STYLE, GetWindowLongA(dialog, GWL_STYLE) & ~(WS_THICKFRAME | WS_MAXIMIZEBOX));
  SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  UnitPair client = dialog_get_client_size(dialog);
  for (const LayoutRow& row : layout_rows) {
    UnitRect place = layout_place(row, client);
    control_set_position(dialog, row.id, place.x, place.y);
    control_set_size(dialog, row.id, place.width, place.height);
  }
}

// "Items: 3": the label follows the list's count.
void show_count(ProcedureFrame* frame, HWND dialog) {
  temp_push_cstring(frame, "Items:");
  number_to_text(frame, list_count(dialog, ID_LIST));
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
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "To-do");
  HWND dialog = dialog_create(&frame, nullptr, -1, -1, 200, 120, WS_OVERLAPPEDWINDOW, 0);
  add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "", 0, 0, nullptr);
  add(dialog, CONTROL_PUSH_BUTTON, ID_ADD, "&Add", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, add_clicked);
  // A style of one's own replaces the kind's default style and extended style: the items stay in
  // the order they were added (no LBS_SORT), and the sunken edge is asked for again.
  add(dialog, CONTROL_LIST_BOX, ID_LIST, "", WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT,
      WS_EX_CLIENTEDGE, nullptr);
  add(dialog, CONTROL_PUSH_BUTTON, ID_REMOVE, "&Remove", 0, 0, remove_clicked);
  add(dialog, CONTROL_LABEL, ID_COUNT, "Items: 0", 0, 0, nullptr);

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
  if (!layout_attach(dialog, &layout)) lay_out_once(dialog);
  dialog_show_modal(dialog, todo_callback, nullptr);
  return 0;  // not the exit code: that is 0 whenever start-up succeeded
}
