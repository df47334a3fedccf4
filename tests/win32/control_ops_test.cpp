// The small control and dialog operations on the real Windows API: texts in and out, messages,
// callbacks, enabling, showing, destroying, check state, combo and list items, the cursor table
// and control images; and that every string argument is released and every result pushed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/bitmap_watch.hpp"
#include "tests/win32/support/dialog_recorder.hpp"
#include "tests/win32/support/string_watch.hpp"
#include "tests/win32/support/test_support.hpp"
#include "dialogkit/toolkit/controls.hpp"
#include "toolkit/cursors.hpp"
#include "dialogkit/toolkit/geometry.hpp"

namespace {

INT_PTR CALLBACK first_callback(HWND, UINT, WPARAM, LPARAM) { return 0; }
INT_PTR CALLBACK second_callback(HWND, UINT, WPARAM, LPARAM) { return 0; }

enum : int32_t {
  ID_EDIT = 10,
  ID_LABEL,
  ID_CHECK,
  ID_THREE,
  ID_COMBO,
  ID_LIST,
  ID_IMAGE,
  ID_BUTTON
};

class ControlOpsTest : public testing::Test {
 protected:
  void SetUp() override {
    dialog_ = make_dialog(nullptr, 0, "Operations", 10, 10, 240, 160);
    ASSERT_TRUE(dialog_);
    add(CONTROL_TEXT_BOX, ID_EDIT, 5, 5, 100, 12, "edit");
    add(CONTROL_LABEL, ID_LABEL, 5, 20, 100, 8, "label");
    add(CONTROL_CHECK_BOX, ID_CHECK, 5, 30, 60, 10, "check");
    add(CONTROL_THREE_STATE_CHECK_BOX, ID_THREE, 70, 30, 60, 10, "three");
    add(CONTROL_COMBO_BOX, ID_COMBO, 5, 45, 80, 60, "");
    add(CONTROL_LIST_BOX, ID_LIST, 100, 45, 80, 60, "");
    add(CONTROL_IMAGE, ID_IMAGE, 190, 5, 40, 30, "TESTBITMAP");
    add(CONTROL_IMAGE_BUTTON, ID_BUTTON, 190, 40, 40, 30, "TESTBITMAP");
  }
  void TearDown() override {
    DestroyWindow(dialog_);
    pump_messages();
    EXPECT_EQ(frame_.temp_index, 0);
    while (temp_count(&frame_) > 0) temp_pop_free(&frame_);
  }
  void add(int32_t kind, int32_t id, int32_t x, int32_t y, int32_t w, int32_t h, const char* text) {
    temp_push_cstring(&frame_, text);
    temp_push_empty(&frame_);
    ASSERT_TRUE(control_add(&frame_, kind, dialog_, id, nullptr, x, y, w, h, 0, 0, nullptr));
  }
  HWND item(int32_t id) { return GetDlgItem(dialog_, id); }
  std::string text_of(HWND window) {
    char buffer[256] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
  }
  // Pushes `text` as the operation's argument and remembers it, for consumed().
  void push(const std::string& text) {
    temp_push_copy(&frame_, text.data(), static_cast<int32_t>(text.size()));
    argument_ = frame_.temp_slots[temp_count(&frame_) - 1];
  }
  // The argument pushed last was popped and released.
  bool consumed(const StringWatch& watch) {
    return frame_.temp_index == 0 && (!argument_ || watch.freed(argument_));
  }
  // Pops the operation's one string result.
  std::string pop_result() {
    EXPECT_EQ(temp_count(&frame_), 1);
    if (temp_count(&frame_) != 1) return "<no result>";
    StringView v = temp_view(&frame_, 0);
    std::string s(v.data, v.length);
    temp_pop_free(&frame_);
    return s;
  }
  HWND dialog_ = nullptr;
  ProcedureFrame frame_ = {};
  DynString argument_ = 0;
};

TEST(StringWatchSelfTest, SeesTheRuntimesAllocations) {
  ProcedureFrame frame = {};
  StringWatch watch;
  temp_push_cstring(&frame, "watched");
  DynString s = frame.temp_slots[0];
  EXPECT_EQ(watch.live(), 1);
  temp_pop_free(&frame);
  EXPECT_EQ(watch.live(), 0);
  EXPECT_TRUE(watch.freed(s));
}

TEST_F(ControlOpsTest, SetTextConsumesItsArgument) {
  struct Case {
    std::string argument, expected;
  };
  const Case cases[] = {
      {"hello", "hello"},
      {"", ""},
      {std::string("ab\0cd", 5), "ab"},  // the window gets the text up to the zero byte
  };
  for (const Case& c : cases) {
    StringWatch watch;
    push(c.argument);
    EXPECT_TRUE(control_set_text(&frame_, dialog_, ID_EDIT));
    EXPECT_TRUE(consumed(watch));
    EXPECT_EQ(watch.live(), 0);
    EXPECT_EQ(text_of(item(ID_EDIT)), c.expected);
  }
  // The dialog's caption through window_set_text.
  StringWatch watch;
  push("New caption");
  EXPECT_TRUE(window_set_text(&frame_, dialog_));
  EXPECT_TRUE(consumed(watch));
  EXPECT_EQ(text_of(dialog_), "New caption");
  // No control: the platform call fails, the argument is released all the same.
  push("lost");
  EXPECT_FALSE(control_set_text(&frame_, dialog_, 999));
  EXPECT_TRUE(consumed(watch));
}

TEST_F(ControlOpsTest, GetTextIsCutToTheBuffer) {
  struct Case {
    size_t length, expected;
  };
  const Case cases[] = {{0, 0}, {5, 5}, {32769, 32769}, {32770, 32769}, {40000, 32769}};
  for (const Case& c : cases) {
    std::string text(c.length, 'x');
    for (size_t i = 0; i < c.length; ++i) text[i] = static_cast<char>('a' + i % 26);
    ASSERT_TRUE(SetWindowTextA(item(ID_LABEL), text.c_str()));
    StringWatch watch;
    window_get_text(&frame_, item(ID_LABEL));
    EXPECT_EQ(watch.live(), c.expected ? 1 : 0);  // only the result remains: the buffer is gone
    std::string got = pop_result();
    EXPECT_EQ(got.size(), c.expected) << c.length;
    EXPECT_EQ(got, text.substr(0, c.expected));
  }
  // No window, or one that is gone: the empty string (Wine's GetWindowTextA answers a length
  // for what its own unwritten buffer held), and no buffer is left behind.
  HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_CHILD, 0, 0, 10, 10, dialog_, nullptr,
                              nullptr, nullptr);
  DestroyWindow(gone);
  for (HWND none : {HWND{}, gone}) {
    StringWatch watch;
    window_get_text(&frame_, none);
    EXPECT_EQ(watch.live(), 0);
    EXPECT_EQ(pop_result(), "");
  }
  // No memory for the buffer: the empty string, and nothing is read into any other place.
  StringWatch watch;
  watch.refused_length = WINDOW_TEXT_BUFFER;
  window_get_text(&frame_, item(ID_LABEL));
  EXPECT_EQ(watch.live(), 0);
  EXPECT_EQ(pop_result(), "");
  EXPECT_STREQ(shared_empty(), "");
}

// A control's text by its identifier, pushed: the text box's, the label's, the empty string for
// an identifier without a control and when there is no memory for the buffer.
TEST_F(ControlOpsTest, ControlGetTextPushesTheControlsText) {
  SetWindowTextA(item(ID_EDIT), "Buy milk");
  SetWindowTextA(item(ID_LABEL), "Items: 3");
  struct Case {
    int32_t id;
    int refused_length;
    std::string expected;
  };
  const Case cases[] = {
      {ID_EDIT, 0, "Buy milk"},
      {ID_LABEL, 0, "Items: 3"},
      {999, 0, ""},
      {ID_EDIT, WINDOW_TEXT_BUFFER, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << ", refused " << c.refused_length);
    StringWatch watch;
    watch.refused_length = c.refused_length;
    control_get_text(&frame_, dialog_, c.id);
    EXPECT_EQ(watch.live(), c.expected.empty() ? 0 : 1);  // the result only: the buffer is gone
    EXPECT_EQ(pop_result(), c.expected);
  }
}

// A text box read straight into a number: the value and the record of what the text held, for
// the text as the user left it in the real control; nothing stays on the temporaries and every
// string made on the way is released.
TEST_F(ControlOpsTest, ControlGetNumberReadsTheTextBox) {
  struct Case {
    const char* text;
    long double value;
    int32_t status;
    int32_t stop;
  };
  const Case cases[] = {
      {"10", 10.0L, NUMBER_OK, 2},
      {" 6.25 ", 6.25L, NUMBER_OK, 6},
      {"-1.5e3", -1500.0L, NUMBER_OK, 6},
      {"", 0.0L, NUMBER_EMPTY, 0},
      {"12 km", 0.0L, NUMBER_INVALID, 3},
      {"1e99999", __builtin_infl(), NUMBER_OVERFLOW, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    SetWindowTextA(item(ID_EDIT), c.text);
    StringWatch watch;
    NumberScan scan;
    EXPECT_EQ(control_get_number(&frame_, dialog_, ID_EDIT, &scan), c.value);
    EXPECT_EQ(scan.status, c.status);
    EXPECT_EQ(scan.stop, c.stop);
    EXPECT_EQ(frame_.temp_index, 0);
    EXPECT_EQ(watch.live(), 0);
  }
  SetWindowTextA(item(ID_EDIT), "0.1");
  NumberScan scan;
  EXPECT_EQ(control_get_double(&frame_, dialog_, ID_EDIT, &scan), 0.1);
  EXPECT_EQ(scan.status, NUMBER_OK);
  SetWindowTextA(item(ID_EDIT), "2147483648");
  EXPECT_EQ(control_get_int32(&frame_, dialog_, ID_EDIT, &scan), 2147483647);
  EXPECT_EQ(scan.status, NUMBER_OVERFLOW);
  SetWindowTextA(item(ID_EDIT), " 42 ");
  EXPECT_EQ(control_get_int32(&frame_, dialog_, ID_EDIT, nullptr), 42);
  // No control: the empty text.
  EXPECT_EQ(control_get_number(&frame_, dialog_, 999, &scan), 0.0L);
  EXPECT_EQ(scan.status, NUMBER_EMPTY);
  EXPECT_EQ(frame_.temp_index, 0);
}

TEST_F(ControlOpsTest, MessagesAndCallbacks) {
  SetWindowTextA(item(ID_EDIT), "four");
  EXPECT_EQ(message_send(item(ID_EDIT), WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_TRUE(message_post(dialog_, WM_APP + 7, 11, 22));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, dialog_, WM_APP + 7, WM_APP + 7, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 11u);
  EXPECT_EQ(msg.lParam, 22);
  EXPECT_FALSE(
      message_post(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0001)), WM_APP, 0, 0));

  EXPECT_EQ(control_set_callback(dialog_, ID_CHECK, first_callback), 0);
  EXPECT_EQ(control_set_callback(dialog_, ID_CHECK, second_callback),
            reinterpret_cast<LONG_PTR>(first_callback));
  EXPECT_EQ(GetWindowLongPtrA(item(ID_CHECK), GWLP_USERDATA),
            reinterpret_cast<LONG_PTR>(second_callback));
}

TEST_F(ControlOpsTest, EnableShowDestroy) {
  control_enable(dialog_, ID_EDIT, FALSE);
  EXPECT_FALSE(IsWindowEnabled(item(ID_EDIT)));
  control_enable(dialog_, ID_EDIT, TRUE);
  EXPECT_TRUE(IsWindowEnabled(item(ID_EDIT)));
  // -1 is the dialog itself here.
  EXPECT_FALSE(control_enable(dialog_, CONTROL_ID_DIALOG, FALSE));  // it was enabled
  EXPECT_FALSE(IsWindowEnabled(dialog_));
  EXPECT_TRUE(IsWindowEnabled(item(ID_EDIT)));
  EXPECT_TRUE(control_enable(dialog_, CONTROL_ID_DIALOG, TRUE));  // it was disabled
  EXPECT_TRUE(IsWindowEnabled(dialog_));

  int32_t result = 1234;
  EXPECT_FALSE(window_show(dialog_, SW_SHOWNA, &result));  // was hidden
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(IsWindowVisible(dialog_));
  result = 1234;
  EXPECT_TRUE(window_show(dialog_, SW_HIDE, &result));  // was visible
  EXPECT_EQ(result, 1);
  EXPECT_FALSE(window_show(dialog_, SW_SHOWNA, nullptr));  // nothing to store
  EXPECT_TRUE(IsWindowVisible(dialog_));

  EXPECT_TRUE(control_destroy(dialog_, ID_LABEL));
  EXPECT_EQ(item(ID_LABEL), nullptr);
  EXPECT_FALSE(control_destroy(dialog_, ID_LABEL));
  EXPECT_TRUE(IsWindow(dialog_));
}

TEST_F(ControlOpsTest, FocusGoesToTheControl) {
  ShowWindow(dialog_, SW_SHOW);
  SetForegroundWindow(dialog_);
  // The first focus comes from the system's own call: an operation that moves no focus then
  // fails here instead of passing for a display that gives none.
  SetFocus(item(ID_LABEL));
  ASSERT_EQ(GetFocus(), item(ID_LABEL)) << "the system gives no keyboard focus here";
  EXPECT_EQ(control_set_focus(dialog_, ID_CHECK), item(ID_LABEL));  // the previous focus
  EXPECT_EQ(GetFocus(), item(ID_CHECK));
  EXPECT_EQ(control_set_focus(dialog_, ID_EDIT), item(ID_CHECK));
  EXPECT_EQ(GetFocus(), item(ID_EDIT));
}

TEST_F(ControlOpsTest, CheckState) {
  EXPECT_EQ(button_get_check(dialog_, ID_CHECK), BST_UNCHECKED);
  button_set_check(dialog_, ID_CHECK, BST_CHECKED);
  EXPECT_EQ(button_get_check(dialog_, ID_CHECK), BST_CHECKED);
  button_set_check(dialog_, ID_THREE, BST_INDETERMINATE);
  EXPECT_EQ(button_get_check(dialog_, ID_THREE), BST_INDETERMINATE);
  EXPECT_EQ(button_get_check(dialog_, 999), 0);
}

// Both box kinds through the same table of steps.
struct BoxOps {
  const char* name;
  int32_t id;
  LRESULT (*add)(ProcedureFrame*, HWND, int32_t);
  LRESULT (*remove)(HWND, int32_t, int32_t);
  LRESULT (*select)(HWND, int32_t, int32_t);
  LRESULT (*reset)(HWND, int32_t);
  void (*selected_text)(ProcedureFrame*, HWND, int32_t);
  int32_t (*count)(HWND, int32_t);
  int32_t (*selected)(HWND, int32_t);
  UINT get_count, get_selection;
};
const BoxOps box_ops[] = {
    {"combo", ID_COMBO, combo_add, combo_delete, combo_select, combo_reset, combo_get_selected_text,
     combo_get_count, combo_get_selected, CB_GETCOUNT, CB_GETCURSEL},
    {"list", ID_LIST, list_add, list_delete, list_select, list_reset, list_get_selected_text,
     list_get_count, list_get_selected, LB_GETCOUNT, LB_GETCURSEL},
};

TEST_F(ControlOpsTest, ComboAndListItemsCountFromOne) {
  for (const BoxOps& box : box_ops) {
    SCOPED_TRACE(box.name);
    HWND control = item(box.id);
    StringWatch watch;
    auto add_text = [&](const char* text) {
      push(text);
      LRESULT index = box.add(&frame_, dialog_, box.id);
      EXPECT_TRUE(consumed(watch)) << text;
      return index;
    };
    // The boxes sort: the results are the system's 0-based places.
    EXPECT_EQ(add_text("pear"), 0);
    EXPECT_EQ(add_text("apple"), 0);
    EXPECT_EQ(add_text("plum"), 2);
    EXPECT_EQ(watch.live(), 0);
    EXPECT_EQ(SendMessageA(control, box.get_count, 0, 0), 3);

    // Nothing selected yet: the empty string.
    box.selected_text(&frame_, dialog_, box.id);
    EXPECT_EQ(pop_result(), "");
    EXPECT_EQ(box.select(dialog_, box.id, 1), 0);  // item 1 is the system's item 0
    EXPECT_EQ(SendMessageA(control, box.get_selection, 0, 0), 0);
    box.selected_text(&frame_, dialog_, box.id);
    EXPECT_EQ(pop_result(), "apple");
    box.select(dialog_, box.id, 3);
    box.selected_text(&frame_, dialog_, box.id);
    EXPECT_EQ(pop_result(), "plum");
    box.select(dialog_, box.id, 0);  // item 0 sends -1: no selection
    EXPECT_EQ(SendMessageA(control, box.get_selection, 0, 0), -1);
    box.selected_text(&frame_, dialog_, box.id);
    EXPECT_EQ(pop_result(), "");
    EXPECT_EQ(watch.live(), 0);

    EXPECT_EQ(box.remove(dialog_, box.id, 1), 2);  // deletes "apple"; two remain
    box.select(dialog_, box.id, 1);
    box.selected_text(&frame_, dialog_, box.id);
    EXPECT_EQ(pop_result(), "pear");
    EXPECT_EQ(box.remove(dialog_, box.id, 0), -1);  // item -1 does not exist
    EXPECT_EQ(SendMessageA(control, box.get_count, 0, 0), 2);
    box.reset(dialog_, box.id);
    EXPECT_EQ(SendMessageA(control, box.get_count, 0, 0), 0);
    box.selected_text(&frame_, dialog_, box.id);
    EXPECT_EQ(pop_result(), "");
  }
}

// The count and the selected item read back in the same numbers the select and delete
// operations take: item 1 is the system's item 0, and 0 is no selection (also for no control).
TEST_F(ControlOpsTest, ComboAndListCountAndSelectionReadBackFromOne) {
  for (const BoxOps& box : box_ops) {
    SCOPED_TRACE(box.name);
    HWND control = item(box.id);
    EXPECT_EQ(box.count(dialog_, box.id), 0);
    EXPECT_EQ(box.selected(dialog_, box.id), 0);
    for (const char* text : {"pear", "apple", "plum", "fig"}) {
      push(text);
      box.add(&frame_, dialog_, box.id);
    }
    EXPECT_EQ(box.count(dialog_, box.id), 4);
    EXPECT_EQ(box.selected(dialog_, box.id), 0);  // nothing selected yet
    // Every item number selected comes back as itself, and is the system's index plus 1.
    for (int32_t n = 1; n <= 4; ++n) {
      box.select(dialog_, box.id, n);
      EXPECT_EQ(box.selected(dialog_, box.id), n);
      EXPECT_EQ(SendMessageA(control, box.get_selection, 0, 0), n - 1);
    }
    box.select(dialog_, box.id, 0);
    EXPECT_EQ(box.selected(dialog_, box.id), 0);
    // The number read back deletes the selected item ("fig", second in sorted order).
    box.select(dialog_, box.id, 2);
    box.selected_text(&frame_, dialog_, box.id);
    EXPECT_EQ(pop_result(), "fig");
    box.remove(dialog_, box.id, box.selected(dialog_, box.id));
    EXPECT_EQ(box.count(dialog_, box.id), 3);
    EXPECT_EQ(SendMessageA(control, box.get_count, 0, 0), 3);
    // No selection: 0, which deletes nothing.
    EXPECT_EQ(box.selected(dialog_, box.id), 0);
    box.remove(dialog_, box.id, box.selected(dialog_, box.id));
    EXPECT_EQ(box.count(dialog_, box.id), 3);
    box.reset(dialog_, box.id);
    EXPECT_EQ(box.count(dialog_, box.id), 0);
    // No such control: no items and no selection, not the first item.
    EXPECT_EQ(box.count(dialog_, 999), 0);
    EXPECT_EQ(box.selected(dialog_, 999), 0);
  }
}

// The 1.x names answer what their newer names answer, until 2.0.
TEST_F(ControlOpsTest, OldNamesAnswerAsTheNewOnes) {
  for (const char* text : {"pear", "apple", "plum"}) {
    push(text);
    list_add(&frame_, dialog_, ID_LIST);
    push(text);
    combo_add(&frame_, dialog_, ID_COMBO);
  }
  push("fig");
  combo_add(&frame_, dialog_, ID_COMBO);
  EXPECT_EQ(list_count(dialog_, ID_LIST), 3);
  EXPECT_EQ(list_count(dialog_, ID_LIST), list_get_count(dialog_, ID_LIST));
  EXPECT_EQ(combo_count(dialog_, ID_COMBO), 4);
  EXPECT_EQ(combo_count(dialog_, ID_COMBO), combo_get_count(dialog_, ID_COMBO));
  EXPECT_EQ(list_count(dialog_, 999), 0);
  EXPECT_EQ(combo_count(dialog_, 999), 0);
}

// The selected items of a multiple-selection list, as item numbers in ascending order, at most as
// many as asked for; a single-selection list gives its one selected item. On a multiple-selection
// list list_get_selected answers the item with the focus rectangle, as the system does.
TEST_F(ControlOpsTest, ListSelectedItemsCountFromOne) {
  const int32_t ID_MULTIPLE = 40;
  temp_push_empty(&frame_);
  temp_push_empty(&frame_);
  ASSERT_TRUE(control_add(&frame_, CONTROL_LIST_BOX, dialog_, ID_MULTIPLE, nullptr, 5, 110, 80, 40,
                          WS_VSCROLL | LBS_EXTENDEDSEL, WS_EX_CLIENTEDGE, nullptr));
  for (int32_t id : {int32_t{ID_LIST}, ID_MULTIPLE})
    for (const char* text : {"a", "b", "c", "d", "e"}) {
      push(text);
      list_add(&frame_, dialog_, id);
    }
  HWND multiple = item(ID_MULTIPLE);
  for (WPARAM index : {1, 3, 4}) SendMessageA(multiple, LB_SETSEL, TRUE, index);
  list_select(dialog_, ID_LIST, 3);
  struct Case {
    int32_t id, capacity;
    std::vector<int32_t> expected;
  };
  const Case cases[] = {
      {ID_MULTIPLE, 8, {2, 4, 5}},
      {ID_MULTIPLE, 2, {2, 4}},
      {ID_MULTIPLE, 0, {}},
      {ID_LIST, 8, {3}},
      {ID_LIST, 0, {}},
      {999, 8, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << ", capacity " << c.capacity);
    std::vector<int32_t> items(8, -7);  // -7: not written
    int32_t stored = list_get_selected_items(dialog_, c.id, items.data(), c.capacity);
    ASSERT_EQ(stored, static_cast<int32_t>(c.expected.size()));
    EXPECT_EQ(std::vector<int32_t>(items.begin(), items.begin() + stored), c.expected);
    EXPECT_EQ(items[stored], -7) << "written beyond what it stored";
  }
  // Nothing selected: nothing stored, in either kind of list.
  SendMessageA(multiple, LB_SETSEL, FALSE, -1);
  list_select(dialog_, ID_LIST, 0);
  int32_t items[4] = {-7, -7, -7, -7};
  EXPECT_EQ(list_get_selected_items(dialog_, ID_MULTIPLE, items, 4), 0);
  EXPECT_EQ(list_get_selected_items(dialog_, ID_LIST, items, 4), 0);
  EXPECT_EQ(items[0], -7);
  // The focus rectangle, not a selection: the system's caret item, selected or not.
  SendMessageA(multiple, LB_SETCARETINDEX, 2, FALSE);
  EXPECT_EQ(list_get_selected(dialog_, ID_MULTIPLE), 3);
  EXPECT_EQ(SendMessageA(multiple, LB_GETSEL, 2, 0), 0);
}

TEST_F(ControlOpsTest, CursorTable) {
  auto shown_by = [](int32_t number) {
    cursor_set(number);
    return GetCursor();
  };
  HCURSOR arrow = shown_by(1);
  EXPECT_TRUE(arrow);
  EXPECT_EQ(arrow, LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(shown_by(4), arrow);
  HCURSOR cross = shown_by(2);
  EXPECT_EQ(cross, LoadCursorA(nullptr, IDC_CROSS));
  EXPECT_EQ(shown_by(13), LoadCursorA(nullptr, IDC_APPSTARTING));
  for (int32_t none : {0, 14, -1}) {
    shown_by(1);
    EXPECT_EQ(shown_by(none), nullptr) << none;
  }
  shown_by(2);
  EXPECT_EQ(cursor_set(11), cross);  // the previous cursor
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
  cursor_set(1);
}

// The cursor table's identifiers are the system's cursor names (the platform spells them as
// resource-name pointers, so this comparison is made at run time).
TEST(CursorIdentifiers, AreTheSystemCursorNames) {
  struct Case {
    int32_t number;
    LPCSTR name;
  };
  const Case cases[] = {
      {0, nullptr},      {1, IDC_ARROW},   {2, IDC_CROSS},    {3, IDC_IBEAM},
      {4, IDC_ARROW},    {5, IDC_SIZEALL}, {6, IDC_SIZENESW}, {7, IDC_SIZENS},
      {8, IDC_SIZENWSE}, {9, IDC_SIZEWE},  {10, IDC_UPARROW}, {11, IDC_WAIT},
      {12, IDC_NO},      {13, IDC_APPSTARTING},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MAKEINTRESOURCEA(cursor_identifier(c.number)), c.name) << c.number;
}

TEST_F(ControlOpsTest, SetImage) {
  StringWatch watch;
  // Static target, own size.
  HANDLE before =
      reinterpret_cast<HANDLE>(SendMessageA(item(ID_IMAGE), STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_TRUE(before);
  push("TESTBITMAP");
  EXPECT_EQ(reinterpret_cast<HANDLE>(control_set_image(&frame_, dialog_, ID_IMAGE, 0)), before);
  EXPECT_TRUE(consumed(watch));
  BITMAP b = {};
  GetObjectA(reinterpret_cast<HANDLE>(SendMessageA(item(ID_IMAGE), STM_GETIMAGE, IMAGE_BITMAP, 0)),
             sizeof b, &b);
  EXPECT_EQ(b.bmWidth, 40);
  EXPECT_EQ(b.bmHeight, 24);
  // Button target, sized to the button's client area.
  RECT client;
  GetClientRect(item(ID_BUTTON), &client);
  push("TESTBITMAP");
  EXPECT_TRUE(control_set_image(&frame_, dialog_, ID_BUTTON, IMAGE_OPT_SIZED | IMAGE_OPT_BUTTON));
  EXPECT_TRUE(consumed(watch));
  GetObjectA(reinterpret_cast<HANDLE>(SendMessageA(item(ID_BUTTON), BM_GETIMAGE, IMAGE_BITMAP, 0)),
             sizeof b, &b);
  EXPECT_EQ(b.bmWidth, client.right);
  EXPECT_EQ(b.bmHeight, client.bottom);
  // A button image sent with the static message does not reach the button.
  HANDLE kept =
      reinterpret_cast<HANDLE>(SendMessageA(item(ID_BUTTON), BM_GETIMAGE, IMAGE_BITMAP, 0));
  push("TESTBITMAP");
  control_set_image(&frame_, dialog_, ID_BUTTON, IMAGE_OPT_SIZED);
  EXPECT_TRUE(consumed(watch));
  EXPECT_EQ(reinterpret_cast<HANDLE>(SendMessageA(item(ID_BUTTON), BM_GETIMAGE, IMAGE_BITMAP, 0)),
            kept);
  // No control.
  push("TESTBITMAP");
  EXPECT_EQ(control_set_image(&frame_, dialog_, 999, IMAGE_OPT_BUTTON), 0);
  EXPECT_TRUE(consumed(watch));
  EXPECT_EQ(watch.live(), 0);
}

// A few hundred image replacements: every bitmap a control hands back, and every bitmap it
// refuses, is deleted (its handle names no GDI object any more); the bitmap shown stays; icons are
// shared and stay valid.
TEST_F(ControlOpsTest, SetImageDeletesReplacedAndRefusedBitmaps) {
  struct Case {
    int32_t id;
    uint32_t options;
    const char* name;
    UINT get_message;
    bool accepted;
  };
  const Case cases[] = {
      {ID_IMAGE, 0, "TESTBITMAP", STM_GETIMAGE, true},
      {ID_IMAGE, IMAGE_OPT_SIZED, "TESTBITMAP", STM_GETIMAGE, true},
      {ID_BUTTON, IMAGE_OPT_BUTTON, "TESTBITMAP", BM_GETIMAGE, true},
      {ID_BUTTON, IMAGE_OPT_BUTTON | IMAGE_OPT_SIZED, "TESTBITMAP", BM_GETIMAGE, true},
      {ID_BUTTON, 0, "TESTBITMAP", BM_GETIMAGE, false},  // the static's message: not for a button
      {ID_LABEL, 0, "TESTBITMAP", STM_GETIMAGE, false},  // a text label shows no bitmap
      {ID_IMAGE, 0, "TESTICON", STM_GETIMAGE, false},    // an icon, for a bitmap control
  };
  HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), "TESTICON", IMAGE_ICON, 0, 0, 0x9000);
  ASSERT_TRUE(icon);
  BitmapWatch watch;
  int replacements = 0, handed_back_alive = 0, refused_alive = 0;
  for (int round = 0; round < 50; ++round) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message()
                   << "id " << c.id << ", options " << c.options << ", " << c.name);
      HANDLE before =
          reinterpret_cast<HANDLE>(SendMessageA(item(c.id), c.get_message, IMAGE_BITMAP, 0));
      watch.loaded.clear();
      push(c.name);
      HANDLE handed_back =
          reinterpret_cast<HANDLE>(control_set_image(&frame_, dialog_, c.id, c.options));
      HANDLE now =
          reinterpret_cast<HANDLE>(SendMessageA(item(c.id), c.get_message, IMAGE_BITMAP, 0));
      for (HANDLE bitmap : watch.loaded)
        if (bitmap != now && gdi_object_alive(bitmap)) ++refused_alive;
      if (c.accepted) {
        ++replacements;
        ASSERT_EQ(watch.loaded.size(), 1u);
        EXPECT_EQ(now, watch.loaded[0]);
        EXPECT_EQ(GetObjectType(now), static_cast<DWORD>(OBJ_BITMAP));
        EXPECT_EQ(handed_back, before);
        if (handed_back && gdi_object_alive(handed_back)) ++handed_back_alive;
      } else {
        EXPECT_EQ(now, before) << "refused: the control keeps its image";
      }
    }
  }
  EXPECT_EQ(handed_back_alive, 0) << "of " << replacements << " replacements";
  EXPECT_EQ(refused_alive, 0);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info)) << "the shared icon is still there";
  DeleteObject(info.hbmMask);
  DeleteObject(info.hbmColor);
}

}  // namespace
