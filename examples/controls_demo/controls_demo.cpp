// A demonstration built on program_entry: one dialog holding one control of each of the fifteen
// kinds, all made through control_add (labels name the kinds that show no text of their own),
// with a menu bar whose items change the dialog through their callbacks, shown with
// dialog_show_modal until it is closed. Some texts are Greek, Cyrillic or accented Latin: the
// source is UTF-8, and so is the program's code page under its default manifest.
#include <dialogkit.hpp>

struct DemoConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(DemoConstants, {});

namespace {

enum : int32_t {
  ID_LABEL = 100,
  ID_PUSH,
  ID_TEXT,
  ID_COMBO,
  ID_LIST,
  ID_CHECK,
  ID_THREE,
  ID_OPTION,
  ID_MENU_GREET = 200,
  ID_MENU_CHECK,
  ID_MENU_CLEAR,
  ID_MENU_DISABLE,
};

// A string of our own, for the items: the caller releases it.
DynString make_string(const char* text) {
  int32_t n = 0;
  while (text[n]) ++n;
  DynString s;
  char* bytes;
  if (string_alloc(n, &s, &bytes) == ERR_NONE)
    for (int32_t i = 0; i < n; ++i) bytes[i] = text[i];
  return s;
}

INT_PTR CALLBACK push_clicked(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message != WM_COMMAND || HIWORD(wparam) != BN_CLICKED) return 0;
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "Label: the push button was clicked");
  control_set_text(&frame, dialog, ID_LABEL);
  return 1;
}

void set_label(HWND dialog, const char* text) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, text);
  control_set_text(&frame, dialog, ID_LABEL);
}

INT_PTR CALLBACK menu_greet(HWND dialog, UINT, WPARAM, LPARAM) {
  set_label(dialog, "Label: chosen from the menu");
  return 1;
}

INT_PTR CALLBACK menu_check(HWND dialog, UINT, WPARAM wparam, LPARAM) {
  WPARAM state = LOWORD(wparam) == ID_MENU_CHECK ? BST_CHECKED : BST_UNCHECKED;
  button_set_check(dialog, ID_CHECK, state);
  button_set_check(dialog, ID_THREE, state);
  return 1;
}

// Toggles the text box and the item's own check mark.
INT_PTR CALLBACK menu_disable(HWND dialog, UINT, WPARAM, LPARAM) {
  HMENU view = GetSubMenu(GetMenu(dialog), 0);
  bool disabled = menu_get_state(view, ID_MENU_DISABLE, MENU_OPT_BY_COMMAND) & MFS_CHECKED;
  menu_set_state(view, ID_MENU_DISABLE, MENU_OPT_BY_COMMAND, disabled ? 0 : MFS_CHECKED);
  control_enable(dialog, ID_TEXT, disabled);
  return 1;
}

void menu_item(HMENU menu, const char* text, uint32_t position, int32_t id, DialogCallback callback) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, text);
  menu_insert_item(&frame, menu, 0, position, 0, static_cast<uintptr_t>(id), callback);
}

// A menu bar with one popup; the dialog grows by the bar's room, so no control is covered.
void add_menu(HWND dialog) {
  HMENU view = menu_create(1);
  menu_item(view, "&Greet", 1, ID_MENU_GREET, menu_greet);
  menu_item(view, "&Check the boxes", 2, ID_MENU_CHECK, menu_check);
  menu_item(view, "C&lear the boxes", 3, ID_MENU_CLEAR, menu_check);
  menu_item(view, "-", 4, 0, nullptr);
  menu_item(view, "&Disable the text box", 5, ID_MENU_DISABLE, menu_disable);
  HMENU bar = menu_create(0);
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "&View");
  menu_insert_item(&frame, bar, MENU_OPT_SUBMENU, 1, 0, reinterpret_cast<uintptr_t>(view), nullptr);
  temp_push_cstring(&frame, "&Help");
  menu_insert_item(&frame, bar, 0, 2, 0, ID_MENU_GREET, menu_greet);
  menu_attach_keep_size(dialog, bar);
}

}  // namespace

// With "show-menu" on the command line, choose two menu items and select the View menu once the
// dialog runs, so that a screenshot shows what the items did and the menu bar in use.
void queue_menu_tour(HWND dialog, const char* tail) {
  const char word[] = "show-menu";
  for (const char* p = tail; *p; ++p) {
    int i = 0;
    while (word[i] && p[i] == word[i]) ++i;
    if (word[i]) continue;
    PostMessageA(dialog, WM_COMMAND, ID_MENU_GREET, 0);
    PostMessageA(dialog, WM_COMMAND, ID_MENU_DISABLE, 0);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, 'v');
    return;
  }
}

int32_t app_main(HINSTANCE, uintptr_t, const char* tail, uint32_t) {
  // A captioned popup with a system menu, so that it has a close box.
  HWND dialog = dialog_create(nullptr, "Controls: one of each of the 15 kinds", -1, -1, 300, 172,
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);

  // Left column: texts, buttons and frames.
  control_add(dialog, CONTROL_LABEL, ID_LABEL, "Label: plain static text", 8, 8, 134, 8);
  control_add(dialog, CONTROL_PUSH_BUTTON, ID_PUSH, "Push button", 8, 20, 64, 14, 0, 0,
              push_clicked);
  control_add(dialog, CONTROL_GROUP_FRAME, 0, "Group frame: Grüße", 8, 40, 134, 44);
  control_add(dialog, CONTROL_OPTION_BUTTON, ID_OPTION, "Option button (on)", 16, 52, 110, 10);
  control_add(dialog, CONTROL_OPTION_BUTTON, ID_OPTION + 1, "Option button (off)", 16, 66, 110,
              10);
  control_add(dialog, CONTROL_CHECK_BOX, ID_CHECK, "Check box", 8, 92, 120, 10);
  control_add(dialog, CONTROL_THREE_STATE_CHECK_BOX, ID_THREE, "Three-state check box", 8, 106,
              120, 10);
  control_add(dialog, CONTROL_ETCHED_FRAME, 0, "", 8, 122, 134, 22);
  control_add(dialog, CONTROL_LABEL, 0, "Inside an etched frame", 16, 129, 120, 8);
  control_add(dialog, CONTROL_LABEL, 0, "Scroll bar:", 8, 155, 40, 8);
  control_add(dialog, CONTROL_SCROLL_BAR, 0, "", 50, 154, 92, 10);

  // Right column: boxes with items, and the four image kinds.
  control_add(dialog, CONTROL_TEXT_BOX, ID_TEXT, "Text box: déjà vu, naïve", 152, 8, 140, 12);
  DynString combo_items[] = {make_string("Combo box"), make_string("Combo: Ελληνικά"),
                             make_string("Combo: Русский")};
  ArrayDescriptor combo = {combo_items, ARRAY_FLAG_ITEMS, 3};
  control_add(dialog, CONTROL_COMBO_BOX, ID_COMBO, "", 152, 26, 140, 60, 0, 0, nullptr, &combo);
  combo_select(dialog, ID_COMBO, 1);
  DynString list_items[] = {make_string("List box: café"), make_string("List box: Ωμέγα"),
                            make_string("List box: Жёлтый")};
  ArrayDescriptor list = {list_items, ARRAY_FLAG_ITEMS, 3};
  control_add(dialog, CONTROL_LIST_BOX, ID_LIST, "", 152, 44, 140, 36, 0, 0, nullptr, &list);
  list_select(dialog, ID_LIST, 2);

  control_add(dialog, CONTROL_IMAGE, 0, "DEMOBITMAP", 152, 90, 30, 20);
  control_add(dialog, CONTROL_LABEL, 0, "Image", 152, 114, 40, 8);
  control_add(dialog, CONTROL_SIZED_IMAGE, 0, "DEMOBITMAP", 200, 86, 60, 24);
  control_add(dialog, CONTROL_LABEL, 0, "Sized image", 200, 114, 60, 8);
  control_add(dialog, CONTROL_IMAGE_BUTTON, 0, "DEMOICON", 152, 130, 30, 24);
  control_add(dialog, CONTROL_LABEL, 0, "Image button", 152, 158, 48, 8);
  control_add(dialog, CONTROL_SIZED_IMAGE_BUTTON, 0, "DEMOBITMAP", 200, 130, 60, 24);
  control_add(dialog, CONTROL_LABEL, 0, "Sized image button", 200, 158, 80, 8);

  button_set_check(dialog, ID_OPTION, BST_CHECKED);
  button_set_check(dialog, ID_CHECK, BST_CHECKED);
  button_set_check(dialog, ID_THREE, BST_INDETERMINATE);

  add_menu(dialog);
  queue_menu_tour(dialog, tail);
  dialog_show_modal(dialog, nullptr, nullptr);
  for (DynString s : combo_items) string_free(s);
  for (DynString s : list_items) string_free(s);
  return 0;
}
