// Menus for toolkit dialogs: menu bars and popup menus whose items carry a callback in their item
// data; dialog_procedure gets it back with menu_get_callback when the item's command arrives.
#pragma once
#include <windows.h>
#include <stddef.h>

#include "dialogkit/runtime/frame.hpp"
#include "dialogkit/toolkit/dialog.hpp"

// Item options.
enum : uint32_t {
  MENU_OPT_SUBMENU = 1,     // insertion only: the identifier-or-submenu argument is a submenu
  MENU_OPT_BY_COMMAND = 2,  // the item argument is a command identifier, not a position
};

// The item-information calls are given MENUITEMINFOA without its last member, hbmpItem, the
// form every system version accepts: 44 bytes on 32-bit Windows.
constexpr UINT MENU_ITEM_INFO_SIZE = offsetof(MENUITEMINFOA, hbmpItem);
#ifndef _WIN64
static_assert(MENU_ITEM_INFO_SIZE == 44, "MENUITEMINFOA without hbmpItem is 44 bytes");
#endif

// 0: menu bar; any other kind: popup menu. Inline, so that a program that names its kind imports
// only the one platform call it makes.
inline HMENU menu_create(int32_t kind) { return kind == 0 ? CreateMenu() : CreatePopupMenu(); }
// The text is the top temporary of `frame`, consumed. position_or_command counts from 1 when it
// is a position.
BOOL menu_insert_item(ProcedureFrame* frame, HMENU menu, uint32_t options, uint32_t position_or_command,
                      uint32_t state, uintptr_t id_or_submenu, DialogCallback callback);
BOOL menu_attach(HWND window, HMENU menu);
// menu_attach, then the window is made taller (or shorter) by the room the menu bar took from its
// client area (or gave back), all its lines counted, so that the client area keeps the size it
// had: a dialog keeps the size its template asked for. Its top-left corner stays. A maximised or
// minimised window keeps its size. Returns what menu_attach returns; when that fails, nothing is
// resized.
BOOL menu_attach_keep_size(HWND window, HMENU menu);
BOOL menu_delete_item(HMENU menu, uint32_t item, uint32_t options);
BOOL menu_redraw(HWND window);
// Positions count from 0 in the operations below.
uint32_t menu_get_state(HMENU menu, uint32_t item, uint32_t options);
BOOL menu_set_state(HMENU menu, uint32_t item, uint32_t options, uint32_t state);
// Pushes the item's text as a new temporary (empty when the item cannot be read).
void menu_get_text(ProcedureFrame* frame, HMENU menu, uint32_t item, uint32_t options);
// The text is the top temporary of `frame`, consumed.
BOOL menu_set_text(ProcedureFrame* frame, HMENU menu, uint32_t item, uint32_t options);
// The callback in the item data of the item with command identifier `command`: none (0) without a
// menu, without such an item or when the item carries none. dialog_procedure asks this for a
// command that no control of the dialog has.
DialogCallback menu_get_callback(HMENU menu, uint32_t command);
