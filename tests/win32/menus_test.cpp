// Menus on the real Windows API: items with callbacks reached through dialog_procedure, positions,
// separators, submenus, state and text.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/test_support.hpp"
#include "dialogkit/toolkit/dialog.hpp"
#include "dialogkit/toolkit/menus.hpp"

namespace {

std::vector<std::string> calls;

INT_PTR CALLBACK item_callback(HWND, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_COMMAND) calls.push_back("item " + std::to_string(LOWORD(wparam)));
  return 0;
}
INT_PTR CALLBACK other_item_callback(HWND, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_COMMAND) calls.push_back("other item " + std::to_string(LOWORD(wparam)));
  return 0;
}
INT_PTR CALLBACK control_callback(HWND, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_COMMAND) calls.push_back("control " + std::to_string(LOWORD(wparam)));
  return 0;
}
INT_PTR CALLBACK dialog_callback(HWND, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_COMMAND) calls.push_back("dialog " + std::to_string(LOWORD(wparam)));
  return 0;
}

class MenuTest : public testing::Test {
 protected:
  ProcedureFrame frame = {};
  HWND dialog = nullptr;
  HMENU bar = nullptr;

  void SetUp() override {
    calls.clear();
    temp_push_cstring(&frame, "Menus");
    dialog = dialog_create(&frame, nullptr, 10, 10, 200, 120, 0x00CF0000, 0);
    ASSERT_NE(dialog, nullptr);
    bar = menu_create(0);
    ASSERT_NE(bar, nullptr);
  }
  void TearDown() override {
    EXPECT_EQ(frame.temp_index, 0) << "every string argument consumed";
    if (IsWindow(dialog)) DestroyWindow(dialog);
    pump_messages();
  }

  BOOL insert(HMENU menu, const char* text, uint32_t options, uint32_t where, uint32_t state,
              uintptr_t id, DialogCallback callback) {
    temp_push_cstring(&frame, text);
    return menu_insert_item(&frame, menu, options, where, state, id, callback);
  }
  std::string text_of(HMENU menu, uint32_t item, uint32_t options) {
    menu_get_text(&frame, menu, item, options);
    EXPECT_EQ(temp_count(&frame), 1) << "one new temporary";
    StringView view = temp_view(&frame, 0);
    std::string s(view.data, view.length);
    temp_pop_free(&frame);
    return s;
  }
  void set_text(HMENU menu, uint32_t item, uint32_t options, const std::string& text) {
    temp_push_copy(&frame, text.data(), static_cast<int32_t>(text.size()));
    EXPECT_TRUE(menu_set_text(&frame, menu, item, options));
  }
  void command(WORD id) {
    PostMessageA(dialog, WM_COMMAND, id, 0);
    pump_messages();
  }
};

TEST_F(MenuTest, ItemCallbackRunsBeforeTheDialogCallback) {
  HMENU popup = menu_create(1);
  ASSERT_TRUE(insert(popup, "&Open", 0, 1, 0, 301, item_callback));
  ASSERT_TRUE(insert(bar, "&File", MENU_OPT_SUBMENU, 1, 0, reinterpret_cast<uintptr_t>(popup), nullptr));
  ASSERT_TRUE(menu_attach(dialog, bar));
  menu_redraw(dialog);
  dialog_show_modeless(dialog, dialog_callback, nullptr);
  command(301);
  EXPECT_EQ(calls, (std::vector<std::string>{"item 301", "dialog 301"}));
}

TEST_F(MenuTest, ControlWithTheSameIdentifierWins) {
  HMENU popup = menu_create(1);
  insert(popup, "Shared", 0, 1, 0, 302, item_callback);
  insert(popup, "Mine", 0, 2, 0, 303, other_item_callback);
  insert(bar, "Menu", MENU_OPT_SUBMENU, 1, 0, reinterpret_cast<uintptr_t>(popup), nullptr);
  menu_attach(dialog, bar);
  HWND control = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(302)), nullptr, nullptr);
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&control_callback));
  dialog_show_modeless(dialog, dialog_callback, nullptr);
  command(302);
  command(303);
  EXPECT_EQ(calls, (std::vector<std::string>{"control 302", "dialog 302", "other item 303", "dialog 303"}));
}

TEST_F(MenuTest, DashMakesASeparatorWithoutCallback) {
  ASSERT_TRUE(insert(bar, "-", 0, 1, MFS_CHECKED, 304, item_callback));
  MENUITEMINFOA info = {};
  info.cbSize = MENU_ITEM_INFO_SIZE;
  info.fMask = MIIM_TYPE | MIIM_DATA | MIIM_ID | MIIM_STATE;
  ASSERT_TRUE(GetMenuItemInfoA(bar, 0, TRUE, &info));
  EXPECT_TRUE(info.fType & MFT_SEPARATOR);
  EXPECT_EQ(info.dwItemData, 0u);
  EXPECT_EQ(info.wID, 0u);
  EXPECT_FALSE(info.fState & MFS_CHECKED);
  // A longer text that starts with a dash is an ordinary item.
  ASSERT_TRUE(insert(bar, "--", 0, 2, 0, 305, item_callback));
  ASSERT_TRUE(GetMenuItemInfoA(bar, 1, TRUE, &info));
  EXPECT_FALSE(info.fType & MFT_SEPARATOR);
  EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(&item_callback));
}

TEST_F(MenuTest, PositionOneInsertsFirstAndPositionZeroAddressesIt) {
  insert(bar, "second", 0, 1, 0, 312, nullptr);
  insert(bar, "first", 0, 1, 0, 311, nullptr);
  EXPECT_EQ(GetMenuItemID(bar, 0), 311u);
  EXPECT_EQ(text_of(bar, 0, 0), "first");
  EXPECT_EQ(text_of(bar, 312, MENU_OPT_BY_COMMAND), "second");
  EXPECT_TRUE(menu_set_state(bar, 0, 0, MFS_CHECKED | MFS_GRAYED));
  EXPECT_EQ(menu_get_state(bar, 0, 0) & (MFS_CHECKED | MFS_GRAYED), static_cast<uint32_t>(MFS_CHECKED | MFS_GRAYED));
  EXPECT_EQ(menu_get_state(bar, 311, MENU_OPT_BY_COMMAND) & MFS_CHECKED, static_cast<uint32_t>(MFS_CHECKED));
  EXPECT_EQ(menu_get_state(bar, 1, 0) & MFS_CHECKED, 0u);
  // Insertion by command goes before the item with that command.
  insert(bar, "middle", MENU_OPT_BY_COMMAND, 312, 0, 313, nullptr);
  EXPECT_EQ(GetMenuItemID(bar, 1), 313u);
  EXPECT_TRUE(menu_delete_item(bar, 0, 0));
  EXPECT_EQ(GetMenuItemID(bar, 0), 313u);
  EXPECT_TRUE(menu_delete_item(bar, 312, MENU_OPT_BY_COMMAND));
  EXPECT_EQ(GetMenuItemCount(bar), 1);
}

TEST_F(MenuTest, SubmenuItemHasNoCommand) {
  HMENU popup = menu_create(1);
  insert(popup, "inner", 0, 1, 0, 321, item_callback);
  ASSERT_TRUE(insert(bar, "Popup", MENU_OPT_SUBMENU, 1, 0, reinterpret_cast<uintptr_t>(popup), item_callback));
  MENUITEMINFOA info = {};
  info.cbSize = MENU_ITEM_INFO_SIZE;
  info.fMask = MIIM_ID | MIIM_SUBMENU;
  ASSERT_TRUE(GetMenuItemInfoA(bar, 0, TRUE, &info));
  EXPECT_EQ(info.hSubMenu, popup);
  EXPECT_EQ(info.wID, 0u);
  EXPECT_EQ(GetSubMenu(bar, 0), popup);
}

// Chooses from the menu bar with the keyboard: the keys wait in the queue for the system's menu
// loop, which the menu key (SC_KEYMENU with the mnemonic) starts.
void choose_with_keys(HWND dialog, char mnemonic, std::initializer_list<WPARAM> keys) {
  for (WPARAM key : keys) {
    PostMessageA(dialog, WM_KEYDOWN, key, 0);
    PostMessageA(dialog, WM_KEYUP, key, 0xC0000000);
  }
  SendMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, mnemonic);
  pump_messages();
}

TEST_F(MenuTest, ChoosingASubmenuItemOpensItAndSendsNoCommand) {
  HMENU popup = menu_create(1);
  insert(popup, "&Inner", 0, 1, 0, 321, item_callback);
  insert(bar, "&Popup", MENU_OPT_SUBMENU, 1, 0, reinterpret_cast<uintptr_t>(popup), other_item_callback);
  menu_attach(dialog, bar);
  dialog_show_modeless(dialog, dialog_callback, nullptr);
  pump_messages();
  // The mnemonic opens the submenu; Escape twice leaves the menu without a choice.
  choose_with_keys(dialog, 'p', {VK_ESCAPE, VK_ESCAPE});
  EXPECT_EQ(calls, std::vector<std::string>{}) << "opening a submenu is no command";
  // Enter on the inner item is a command, which reaches the item's callback.
  choose_with_keys(dialog, 'p', {VK_RETURN});
  EXPECT_EQ(calls, (std::vector<std::string>{"item 321", "dialog 321"}));
}

TEST_F(MenuTest, TextsRoundTrip) {
  insert(bar, "x", 0, 1, 0, 331, nullptr);
  set_text(bar, 0, 0, "Hello");
  EXPECT_EQ(text_of(bar, 0, 0), "Hello");
  set_text(bar, 0, 0, "");
  EXPECT_EQ(text_of(bar, 0, 0), "");
  std::string long_text(5000, 'm');
  for (size_t i = 0; i < long_text.size(); i += 7) long_text[i] = static_cast<char>('a' + i % 26);
  set_text(bar, 331, MENU_OPT_BY_COMMAND, long_text);
  EXPECT_EQ(text_of(bar, 0, 0), long_text);
  EXPECT_EQ(text_of(bar, 7, 0), "") << "a missing item reads as the empty string";
  EXPECT_EQ(menu_get_state(bar, 7, 0), 0u);
}

}  // namespace

namespace {

// A dialog of `width` by 100 units (left where the system puts it) with a menu bar of `items`
// items; the bar is attached with menu_attach_keep_size or, for comparison, menu_attach.
struct KeepSizeCase {
  const char* what;
  int32_t width;
  int items;
  int lines;  // the bar's lines at that width
};

const KeepSizeCase keep_size_cases[] = {
    {"a bar of one line", 200, 2, 1},
    {"a bar of two lines", 150, 9, 2},
};

HMENU bar_of(int items) {
  const char* names[] = {"&File", "&Edit", "&View", "&Insert", "F&ormat", "&Tools", "T&able", "&Window", "&Help"};
  HMENU bar = menu_create(0);
  for (int i = 0; i < items; ++i) {
    ProcedureFrame frame = {};
    temp_push_cstring(&frame, names[i]);
    menu_insert_item(&frame, bar, 0, static_cast<uint32_t>(i + 1), 0, static_cast<uintptr_t>(300 + i), nullptr);
  }
  return bar;
}

HWND window_of(int32_t width) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "Keep size");
  return dialog_create(&frame, nullptr, 10, 10, width, 100, WS_OVERLAPPEDWINDOW, 0);
}

SIZE client_of(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return SIZE{r.right, r.bottom};
}

TEST(MenuKeepSize, TheClientAreaKeepsItsSize) {
  for (const KeepSizeCase& c : keep_size_cases) {
    SCOPED_TRACE(c.what);
    HWND plain = window_of(c.width), kept = window_of(c.width);
    SIZE asked = client_of(kept);
    RECT corner;
    GetWindowRect(kept, &corner);
    ASSERT_TRUE(menu_attach(plain, bar_of(c.items)));
    ASSERT_TRUE(menu_attach_keep_size(kept, bar_of(c.items)));
    // The plain attach loses the bar's lines from the client area.
    SIZE lost = client_of(plain);
    int line = GetSystemMetrics(SM_CYMENU);
    EXPECT_GT(asked.cy - lost.cy, line * (2 * c.lines - 1) / 2) << "premise: the bar has " << c.lines << " lines";
    EXPECT_LE(asked.cy - lost.cy, (line + 1) * c.lines) << "premise: the bar has " << c.lines << " lines";
    SIZE now = client_of(kept);
    EXPECT_EQ(now.cx, asked.cx);
    EXPECT_EQ(now.cy, asked.cy);
    RECT moved;
    GetWindowRect(kept, &moved);
    EXPECT_EQ(moved.left, corner.left);
    EXPECT_EQ(moved.top, corner.top);
    // Taken away again, the room goes back: the window is as tall as before.
    ASSERT_TRUE(menu_attach_keep_size(kept, nullptr));
    now = client_of(kept);
    EXPECT_EQ(now.cy, asked.cy);
    RECT back;
    GetWindowRect(kept, &back);
    EXPECT_EQ(back.bottom - back.top, corner.bottom - corner.top);
    DestroyWindow(plain);
    DestroyWindow(kept);
  }
}

TEST(MenuKeepSize, NothingResizedWhenTheBarCannotBeAttached) {
  HWND window = window_of(200);
  RECT before;
  GetWindowRect(window, &before);
  HMENU gone = bar_of(2);
  DestroyMenu(gone);
  EXPECT_FALSE(menu_attach_keep_size(window, gone));
  RECT after;
  GetWindowRect(window, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
  DestroyWindow(window);
}

}  // namespace
