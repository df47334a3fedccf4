// The record the menu item calls read and write, sized as the toolkit's menus expect and with the
// parts named in `mask` asked for; the rest zero. Shared by the files of the menu operations.
#pragma once
#include <windows.h>

#include "dialogkit/toolkit/menus.hpp"

static inline MENUITEMINFOA item_info(UINT mask) {
  MENUITEMINFOA info = {};
  info.cbSize = MENU_ITEM_INFO_SIZE;
  info.fMask = mask;
  return info;
}
