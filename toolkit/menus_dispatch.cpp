// The menu side of command dispatch: the callback that an item carries in its item data, read
// back by command identifier. Apart from menus.cpp because every dialog's procedure calls it: a
// program that builds no menus then links, and imports, none of the menu-building calls.
#include "dialogkit/toolkit/menus.hpp"

DialogCallback menu_get_callback(HMENU menu, uint32_t command) {
  if (!menu) return nullptr;
  // Only the fields the call reads (size and mask) and the one it answers in are written.
  MENUITEMINFOA info;
  info.cbSize = MENU_ITEM_INFO_SIZE;
  info.fMask = MIIM_DATA;
  info.dwItemData = 0;
  if (!GetMenuItemInfoA(menu, command, FALSE, &info)) return nullptr;
  return reinterpret_cast<DialogCallback>(info.dwItemData);
}
