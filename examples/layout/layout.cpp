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
    // identifier  flags        left          top         right/width   bottom/height
    {ID_LIST,      0,           {0, 7},       {0, 7},     {0.35f, -3},  {1, -28}},
    {ID_TEXT,      0,           {0.35f, 3},   {0, 7},     {1, -7},      {1, -28}},
    {ID_COPY,      LAYOUT_SIZE, {1, -174},    {1, -21},   {0, 50},      {0, 14}},
    {ID_CLEAR,     LAYOUT_SIZE, {1, -120},    {1, -21},   {0, 50},      {0, 14}},
    {ID_CLOSE,     LAYOUT_SIZE, {1, -66},     {1, -21},   {0, 50},      {0, 14}},
};

// The table, no smaller than the dialog starts (minimum 0 by 0), no greatest size, a size grip.
constexpr DialogLayout layout = layout_make(layout_rows, {0, 0}, {0, 0}, ID_GRIP);

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

void add_fruit(HWND dialog, const char* name) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, name);
  list_add(&frame, dialog, ID_LIST);
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  HWND dialog = dialog_create(nullptr, "Layout", -1, -1, 240, 150, WS_OVERLAPPEDWINDOW);
  // At no place and no size: the layout table places them. A list box of its own height, not
  // rounded down to whole items, which the layout could not keep to; a text box that scrolls and
  // keeps Enter.
  control_add(dialog, CONTROL_LIST_BOX, ID_LIST, "", 0, 0, 0, 0,
              LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
  control_add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "Choose a fruit and press Copy.", 0, 0, 0, 0,
              ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP,
              WS_EX_CLIENTEDGE);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_COPY, "C&opy", 0, 0, 0, 0, 0, 0, copy_clicked);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_CLEAR, "C&lear", 0, 0, 0, 0, 0, 0, clear_clicked);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_CLOSE, "&Close", 0, 0, 0, 0);
  add_fruit(dialog, "Apple");
  add_fruit(dialog, "Cherry");
  add_fruit(dialog, "Pear");
  add_fruit(dialog, "Plum");

  // Places the controls now and on every size change; without memory for it, once.
  if (!layout_attach(dialog, &layout)) layout_apply_fixed(dialog, &layout);
  dialog_show_modal(dialog, layout_callback, nullptr);
  return 0;
}
