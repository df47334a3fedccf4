// Menu items after their insertion: deleting them, redrawing the menu bar, and an item's state
// and text, read and set.
#include "dialogkit/toolkit/menus.hpp"

#include "dialogkit/runtime/strings.hpp"
#include "toolkit/menu_item_info.hpp"

namespace {

// The by-position argument of the item-information calls: MF_BYPOSITION (true) unless the item
// is addressed by command.
BOOL by_position(uint32_t options) { return (options & MENU_OPT_BY_COMMAND) ? 0 : MF_BYPOSITION; }

}  // namespace

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
