// The starter program: a resizable dialog laid out by a table. A text box and its Add button
// (the default button: Enter adds), a list of what was added, a count, and a menu bar with
// File > About, which opens a modal dialog of its own, and File > Exit. Escape ends it too.
// Copy the folder this file is in to start a project of your own: see its README.
#include <dialogkit.hpp>

// No constants of its own: the constants area stays zero.
struct StarterConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(StarterConstants, {});

namespace {

enum : int32_t {
  ID_TEXT = 100,
  ID_ADD = 101,
  ID_LIST = 102,
  ID_COUNT = 103,
  ID_GRIP = 104,
  ID_ABOUT_TEXT = 110,
  ID_MENU_ABOUT = 200,
  ID_MENU_EXIT = 201,
};

// The text box and the list take the width the buttons' column leaves them, the list the
// height as well; Add and the count stay at the right, the size grip in the corner.
const LayoutRow layout_rows[] = {
    // identifier  flags                    left         top         right/width   bottom/height
    {ID_TEXT,      LAYOUT_BOTTOM_IS_HEIGHT, {0, 8},      {0, 8},     {1, -62},     {0, 12}},
    {ID_ADD,       LAYOUT_SIZE,             {1, -58},    {0, 7},     {0, 50},      {0, 14}},
    {ID_LIST,      0,                       {0, 8},      {0, 26},    {1, -62},     {1, -8}},
    {ID_COUNT,     LAYOUT_SIZE,             {1, -58},    {0, 26},    {0, 50},      {0, 8}},
};
constexpr DialogLayout layout = layout_make(layout_rows, {0, 0}, {0, 0}, ID_GRIP);

void show_count(ProcedureFrame* frame, HWND dialog) {
  temp_push_cstring(frame, "Items:");
  number_to_text(frame, list_get_count(dialog, ID_LIST));
  string_join(frame);
  control_set_text(frame, dialog, ID_COUNT);
}

// Add, and Enter anywhere in the dialog: the text box's text becomes the list's last item.
INT_PTR CALLBACK add_clicked(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  control_get_text(&frame, dialog, ID_TEXT);
  if (temp_view(&frame, 0).length == 0) {
    temp_pop_free(&frame);
    return 1;
  }
  list_add(&frame, dialog, ID_LIST);
  temp_push_empty(&frame);
  control_set_text(&frame, dialog, ID_TEXT);
  show_count(&frame, dialog);
  control_set_focus(dialog, ID_TEXT);
  return 1;
}

// OK (IDOK) and Escape (IDCANCEL) end the About dialog.
INT_PTR CALLBACK about_callback(HWND about, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || (LOWORD(wparam) != IDOK && LOWORD(wparam) != IDCANCEL)) return 0;
  dialog_end(about, 0);
  return 1;
}

// File > About: a modal dialog owned by the main one, which is disabled until it ends.
INT_PTR CALLBACK about_chosen(HWND dialog, UINT, WPARAM, LPARAM) {
  HWND about = dialog_create(dialog, "About Starter", -1, -1, 140, 56,
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
  control_add(about, CONTROL_LABEL, ID_ABOUT_TEXT, "Starter, on DialogKit " DIALOGKIT_VERSION, 8,
              8, 124, 10);
  control_add(about, CONTROL_PUSH_BUTTON, IDOK, "OK", 45, 30, 50, 14,
              BS_DEFPUSHBUTTON | WS_TABSTOP);
  dialog_show_modal(about, about_callback, nullptr);
  return 1;
}

INT_PTR CALLBACK exit_chosen(HWND dialog, UINT, WPARAM, LPARAM) {
  dialog_end(dialog, 0);
  return 1;
}

INT_PTR CALLBACK starter_callback(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || LOWORD(wparam) != IDCANCEL) return 0;
  dialog_end(dialog, 0);
  return 1;
}

void menu_item(HMENU menu, const char* text, uint32_t position, uintptr_t id, DialogCallback callback,
               int32_t options = 0) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, text);
  menu_insert_item(&frame, menu, options, position, 0, id, callback);
}

}  // namespace

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  HWND dialog = dialog_create(nullptr, "Starter", -1, -1, 200, 120, WS_OVERLAPPEDWINDOW);
  // Created in the order Tab visits them; the first with WS_TABSTOP, the text box, has the focus
  // when the dialog is first activated. At no place and no size: the layout table places them.
  control_add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "", 0, 0, 0, 0);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_ADD, "&Add", 0, 0, 0, 0,
              BS_DEFPUSHBUTTON | WS_TABSTOP, 0, add_clicked);
  control_add(dialog, CONTROL_LIST_BOX, ID_LIST, "", 0, 0, 0, 0,
              WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE);
  control_add(dialog, CONTROL_LABEL, ID_COUNT, "Items: 0", 0, 0, 0, 0);

  HMENU file = menu_create(1);
  menu_item(file, "&About...", 1, ID_MENU_ABOUT, about_chosen);
  menu_item(file, "E&xit", 2, ID_MENU_EXIT, exit_chosen);
  HMENU bar = menu_create(0);
  menu_item(bar, "&File", 1, reinterpret_cast<uintptr_t>(file), nullptr, MENU_OPT_SUBMENU);
  menu_attach(dialog, bar);

  layout_attach(dialog, &layout);  // after the menu bar, before the show
  dialog_show_modal(dialog, starter_callback, nullptr);
  return 0;
}
