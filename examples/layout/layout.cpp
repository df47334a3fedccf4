// A resizable dialog laid out by a table instead of code: a list box that takes a proportion of
// the width, a multi-line text box that grows with the dialog, a row of buttons that stays in the
// bottom-right corner, and a size grip. The dialog never gets smaller than it starts. Its
// buttons copy the chosen fruit into the text box, clear it, and close the dialog.
#include <dialogkit.hpp>

// No constants of its own: the constants area stays zero.
struct LayoutConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(LayoutConstants, {});

namespace {

enum : int32_t {
  ID_LIST = 100,
  ID_TEXT = 101,
  ID_COPY = 102,
  ID_CLEAR = 103,
  ID_CLOSE = 104,
  ID_GRIP = 105,
};

// Where each control goes, in dialog units: a proportion of the client width or height plus an
// offset. {0, 7} is 7 units from the left or top, {1, -7} 7 units from the right or bottom. With
// LAYOUT_SIZE the last two values are the width and height instead of the right and bottom.
const LayoutRow layout_rows[] = {
    // identifier  far sides    left          top         right/width   bottom/height
    {ID_LIST,      0,           {0, 7},       {0, 7},     {0.35f, -3},  {1, -28}},
    {ID_TEXT,      0,           {0.35f, 3},   {0, 7},     {1, -7},      {1, -28}},
    {ID_COPY,      LAYOUT_SIZE, {1, -174},    {1, -21},   {0, 50},      {0, 14}},
    {ID_CLEAR,     LAYOUT_SIZE, {1, -120},    {1, -21},   {0, 50},      {0, 14}},
    {ID_CLOSE,     LAYOUT_SIZE, {1, -66},     {1, -21},   {0, 50},      {0, 14}},
};

// The table, no smaller than the dialog starts (minimum 0 by 0), no greatest size, a size grip.
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

// The chosen fruit goes into the text box.
INT_PTR CALLBACK copy_clicked(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  list_get_selected_text(&frame, dialog, ID_LIST);
  control_set_text(&frame, dialog, ID_TEXT);
  return 1;
}

INT_PTR CALLBACK clear_clicked(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  temp_push_empty(&frame);
  control_set_text(&frame, dialog, ID_TEXT);
  return 1;
}

// Escape (IDCANCEL) and the Close button end the dialog.
INT_PTR CALLBACK layout_callback(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || (LOWORD(wparam) != IDCANCEL && LOWORD(wparam) != ID_CLOSE)) return 0;
  dialog_end(dialog, 0);
  return 1;
}

// A control at no place and no size: the layout places it.
void add(HWND dialog, int32_t kind, int32_t id, const char* text, uint32_t style, uint32_t ex_style,
         DialogCallback callback) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, text);
  temp_push_empty(&frame);  // the class name, used by kind 0 only
  // The kind arrives as a variable, and none of this program's controls shows an image: the form
  // without image support keeps image loading out of the program (control_add would bring it
  // in for a kind it cannot see).
  control_add_without_images(&frame, kind, dialog, id, nullptr,
                             0, 0, 0, 0, style, ex_style, callback);
}

void add_fruit(HWND dialog, const char* name) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, name);
  list_add(&frame, dialog, ID_LIST);
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "Layout");
  HWND dialog = dialog_create(&frame, nullptr, -1, -1, 240, 150, WS_OVERLAPPEDWINDOW, 0);
  // A list box of its own height, not rounded down to whole items, which the layout could not
  // keep to; a text box that scrolls and keeps Enter.
  add(dialog, CONTROL_LIST_BOX, ID_LIST, "",
      LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, nullptr);
  add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "Choose a fruit and press Copy.",
      ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
      nullptr);
  add(dialog, CONTROL_PUSH_BUTTON, ID_COPY, "C&opy", 0, 0, copy_clicked);
  add(dialog, CONTROL_PUSH_BUTTON, ID_CLEAR, "C&lear", 0, 0, clear_clicked);
  add(dialog, CONTROL_PUSH_BUTTON, ID_CLOSE, "&Close", 0, 0, nullptr);
  add_fruit(dialog, "Apple");
  add_fruit(dialog, "Cherry");
  add_fruit(dialog, "Pear");
  add_fruit(dialog, "Plum");

  // Places the controls now and on every size change; without memory for it, once.
  if (!layout_attach(dialog, &layout)) lay_out_once(dialog);
  dialog_show_modal(dialog, layout_callback, nullptr);
  return 0;
}
