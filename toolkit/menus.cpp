// Menus: creation, items with callbacks in their item data, state and text. Reading an item's
// callback back for dispatch is in menus_dispatch.cpp.
#include "toolkit/menus.hpp"

#include "runtime/strings.hpp"

namespace {

// The by-position argument of the item-information calls: MF_BYPOSITION (true) unless the item
// is addressed by command.
BOOL by_position(uint32_t options) { return (options & MENU_OPT_BY_COMMAND) ? 0 : MF_BYPOSITION; }

MENUITEMINFOA item_info(UINT mask) {
  MENUITEMINFOA info = {};
  info.cbSize = MENU_ITEM_INFO_SIZE;
  info.fMask = mask;
  return info;
}

}  // namespace

HMENU menu_create(int32_t kind) { return kind == 0 ? CreateMenu() : CreatePopupMenu(); }

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

BOOL menu_attach_keep_size(HWND window, HMENU menu) {
  RECT before;
  GetClientRect(window, &before);
  // SetMenu has the system compute the frame again: the client area has its new size at once.
  if (!SetMenu(window, menu)) return FALSE;
  if (IsZoomed(window) || IsIconic(window)) return TRUE;
  RECT after, outer;
  GetClientRect(window, &after);
  GetWindowRect(window, &outer);
  LONG grow_x = before.right - after.right, grow_y = before.bottom - after.bottom;
  if (grow_x || grow_y)
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + grow_x, outer.bottom - outer.top + grow_y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

BOOL menu_delete_item(HMENU menu, uint32_t item, uint32_t options) {
  return DeleteMenu(menu, item, (options & MENU_OPT_BY_COMMAND) ? MF_BYCOMMAND : MF_BYPOSITION);
}

BOOL menu_redraw(HWND window) { return DrawMenuBar(window); }

uint32_t menu_get_state(HMENU menu, uint32_t item, uint32_t options) {
  MENUITEMINFOA info = item_info(MIIM_STATE);
  if (!GetMenuItemInfoA(menu, item, by_position(options), &info)) return 0;
  return info.fState;
}

BOOL menu_set_state(HMENU menu, uint32_t item, uint32_t options, uint32_t state) {
  MENUITEMINFOA info = item_info(MIIM_STATE);
  info.fState = state;
  return SetMenuItemInfoA(menu, item, by_position(options), &info);
}

void menu_get_text(ProcedureFrame* frame, HMENU menu, uint32_t item, uint32_t options) {
  // First the size of the text, then the text into a string of exactly that size.
  MENUITEMINFOA info = item_info(MIIM_TYPE);
  info.dwTypeData = nullptr;
  info.cch = 0;
  DynString text = 0;
  if (GetMenuItemInfoA(menu, item, by_position(options), &info) && !(info.fType & (MFT_BITMAP | MFT_SEPARATOR)) &&
      info.cch > 0) {
    char* bytes;
    uint32_t length = info.cch;
    if (string_alloc(static_cast<int32_t>(length), &text, &bytes) == ERR_NONE) {
      info = item_info(MIIM_TYPE);
      info.dwTypeData = bytes;
      info.cch = length + 1;  // room for the terminator the system writes
      if (!GetMenuItemInfoA(menu, item, by_position(options), &info)) {
        string_free(text);
        text = 0;
      } else if (info.cch != length) {
        text = string_resize(text, static_cast<int32_t>(info.cch));
      }
    }
  }
  temp_push(frame, text);
}

BOOL menu_set_text(ProcedureFrame* frame, HMENU menu, uint32_t item, uint32_t options) {
  StringView text = temp_view(frame, 0);
  MENUITEMINFOA info = item_info(MIIM_TYPE);
  info.fType = MFT_STRING;
  info.dwTypeData = const_cast<char*>(text.data);
  info.cch = text.length;
  BOOL result = SetMenuItemInfoA(menu, item, by_position(options), &info);
  temp_pop_free(frame);
  return result;
}
