// Menus: creation, items with callbacks in their item data, attaching a menu bar. Deleting items,
// redrawing, an item's state and text are in menus_items.cpp, attaching a bar that keeps the client
// size in menus_keep_size.cpp, reading an item's callback back for
// dispatch in menus_dispatch.cpp: a program imports the platform calls of those only when it
// uses them.
#include "dialogkit/toolkit/menus.hpp"

#include "dialogkit/runtime/strings.hpp"
#include "toolkit/menu_item_info.hpp"

BOOL menu_insert_item(ProcedureFrame* frame, HMENU menu, uint32_t options, uint32_t position_or_command,
                      uint32_t state, uintptr_t id_or_submenu, DialogCallback callback) {
  StringView text = temp_view(frame, 0);
  MENUITEMINFOA info = item_info(MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA);
  info.fType = MFT_STRING;
  if (text.length == 1 && text.data[0] == '-') {
    info.fType = MFT_SEPARATOR;
    callback = nullptr;
    state = 0;
    id_or_submenu = 0;
  }
  UINT item = position_or_command;
  BOOL position = 1;
  if (options & MENU_OPT_BY_COMMAND) {
    position = 0;
  } else {
    item = position_or_command - 1;
  }
  info.fState = state;
  if (options & MENU_OPT_SUBMENU) {
    info.wID = 0;
    info.hSubMenu = reinterpret_cast<HMENU>(id_or_submenu);
  } else {
    info.wID = static_cast<UINT>(id_or_submenu);
    info.hSubMenu = nullptr;
  }
  info.hbmpChecked = nullptr;
  info.hbmpUnchecked = nullptr;
  info.dwItemData = reinterpret_cast<ULONG_PTR>(callback);
  info.dwTypeData = const_cast<char*>(text.data);
  info.cch = text.length;
  BOOL result = InsertMenuItemA(menu, item, position, &info);
  temp_pop_free(frame);
  return result;
}

BOOL menu_attach(HWND window, HMENU menu) { return SetMenu(window, menu); }
