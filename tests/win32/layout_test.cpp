// Layout tables on the real Windows API: the controls placed at attach time and on every resize
// before the dialog's callback sees WM_SIZE, the least and greatest size held against
// SetWindowPos, the size grip in the corner, the layout's memory freed with the dialog, and what
// one resize costs in background erases and paints against moving the controls one call at a
// time; the table applied once, for a dialog it cannot be attached to.
#include "dialogkit/toolkit/layout.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/call_failures.hpp"
#include "tests/win32/support/dialog_recorder.hpp"
#include "tests/win32/support/test_support.hpp"
#include "dialogkit/toolkit/controls.hpp"
#include "dialogkit/toolkit/geometry.hpp"
#include "dialogkit/toolkit/menus.hpp"
#include "toolkit/window_properties.hpp"

namespace {

enum : int32_t { ID_FIXED = 11, ID_CORNER = 12, ID_GROWING = 13, ID_HALF = 14, ID_GRIP = 20 };

// Each kind of rule: fixed edges, a fixed size held at the far sides, edges that follow the far
// sides, proportions (one half and one quarter, exact in binary, so a client of odd units has a
// tie to even).
const LayoutRow rows[] = {
    {ID_FIXED, 0, {0, 4}, {0, 6}, {0, 44}, {0, 20}},
    {ID_CORNER, LAYOUT_SIZE, {1, -54}, {1, -20}, {0, 50}, {0, 14}},
    {ID_GROWING, 0, {0, 4}, {0, 24}, {1, -4}, {1, -24}},
    {ID_HALF, LAYOUT_RIGHT_IS_WIDTH, {0.5f, 0}, {0, 4}, {0.5f, -4}, {0.25f, 0}},
};

// The dialog's client area in units, starting at 200 by 120.
constexpr int32_t START_W = 200, START_H = 120;

HWND add_control(HWND dialog, int32_t kind, int32_t id) {
  ProcedureFrame frame = {};
  temp_push_cstring(&frame, "control");
  temp_push_empty(&frame);
  // A place and size of its own that no rule gives, so that a control the layout passed over
  // shows.
  return control_add(&frame, kind, dialog, id, nullptr, 1, 1, 3, 3, 0, 0, nullptr);
}

// A control's rectangle in the dialog's client area, in pixels.
RECT placed(HWND dialog, int32_t id) {
  RECT r = {};
  GetWindowRect(GetDlgItem(dialog, id), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A rectangle in units as control_set_position and control_set_size would place it: the position
// pair and the size pair each converted with units_to_pixels.
RECT pixels_of(HWND dialog, UnitRect u) {
  UnitPair at = units_to_pixels(dialog, u.x, u.y), size = units_to_pixels(dialog, u.width, u.height);
  return RECT{at.x, at.y, at.x + size.x, at.y + size.y};
}

bool same(RECT a, RECT b) { return EqualRect(&a, &b) != 0; }

std::string text_of(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// The outer size that gives the dialog a client area of `units`.
SIZE outer_for(HWND dialog, UnitPair units) {
  UnitPair pixels = units_to_pixels(dialog, units.x, units.y);
  RECT r = {0, 0, pixels.x, pixels.y};
  AdjustWindowRectEx(&r, GetWindowLongA(dialog, GWL_STYLE), GetMenu(dialog) != nullptr,
                     GetWindowLongA(dialog, GWL_EXSTYLE));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void resize_outer(HWND dialog, SIZE outer) {
  SetWindowPos(dialog, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE client_size(HWND dialog) {
  RECT r;
  GetClientRect(dialog, &r);
  return SIZE{r.right, r.bottom};
}

struct PlaceCase {
  int32_t w, h;  // client, units
  UnitRect fixed, corner, growing, half;
};

class LayoutTest : public RecordingTest {
 protected:
  void SetUp() override {
    RecordingTest::SetUp();
    dialog = keep(make_dialog(nullptr, WS_OVERLAPPEDWINDOW, "Layout test", 10, 10, START_W, START_H));
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(add_control(dialog, CONTROL_LABEL, ID_FIXED));
    ASSERT_TRUE(add_control(dialog, CONTROL_PUSH_BUTTON, ID_CORNER));
    ASSERT_TRUE(add_control(dialog, CONTROL_TEXT_BOX, ID_GROWING));
    ASSERT_TRUE(add_control(dialog, CONTROL_LABEL, ID_HALF));
  }
  // Resizes the dialog to a client area of exactly w by h units.
  void resize_client(int32_t w, int32_t h) {
    resize_outer(dialog, outer_for(dialog, UnitPair{w, h}));
    UnitPair want = units_to_pixels(dialog, w, h);
    SIZE client = client_size(dialog);
    ASSERT_EQ(client.cx, want.x);
    ASSERT_EQ(client.cy, want.y);
    UnitPair back = pixels_to_units(dialog, client.cx, client.cy);
    ASSERT_EQ(back.x, w);
    ASSERT_EQ(back.y, h);
  }
  void expect_at(int32_t id, UnitRect want) {
    RECT got = placed(dialog, id), expected = pixels_of(dialog, want);
    EXPECT_TRUE(same(got, expected)) << "control " << id << " at " << text_of(got) << ", want " << text_of(expected);
  }
  // All four controls of the table where a case's rules put them.
  void expect_case(const PlaceCase& c) {
    expect_at(ID_FIXED, c.fixed);
    expect_at(ID_CORNER, c.corner);
    expect_at(ID_GROWING, c.growing);
    expect_at(ID_HALF, c.half);
  }
  HWND dialog = nullptr;
  DialogLayout layout = {rows, 4, {0, 0}, {0, 0}, 0};
};

// The rectangles each rule gives, worked out by hand: 401 / 2 = 200.5 is a tie and goes to the
// even 200; 333 / 4 = 83.25 goes to 83.
const PlaceCase place_cases[] = {
    {200, 120, {4, 6, 40, 14}, {146, 100, 50, 14}, {4, 24, 192, 72}, {100, 4, 96, 26}},
    {300, 200, {4, 6, 40, 14}, {246, 180, 50, 14}, {4, 24, 292, 152}, {150, 4, 146, 46}},
    {251, 150, {4, 6, 40, 14}, {197, 130, 50, 14}, {4, 24, 243, 102}, {126, 4, 122, 34}},
    {401, 333, {4, 6, 40, 14}, {347, 313, 50, 14}, {4, 24, 393, 285}, {200, 4, 196, 79}},
};

TEST_F(LayoutTest, AttachPlacesTheControlsAtOnce) {
  ASSERT_TRUE(layout_attach(dialog, &layout));
  expect_case(place_cases[0]);
}

TEST_F(LayoutTest, EveryResizePlacesEveryControl) {
  ASSERT_TRUE(layout_attach(dialog, &layout));
  dialog_show_modeless(dialog, nullptr, nullptr);
  for (const PlaceCase& c : place_cases) {
    SCOPED_TRACE(std::to_string(c.w) + " by " + std::to_string(c.h) + " units");
    resize_client(c.w, c.h);
    expect_case(c);
  }
}

TEST_F(LayoutTest, EveryResizeBringsTheControlsWhereTheRulesSay) {
  ASSERT_TRUE(layout_attach(dialog, &layout));
  dialog_show_modeless(dialog, nullptr, nullptr);
  // Pixel sizes, not unit sizes: whatever the client area, the rules of its size in units.
  const SIZE outers[] = {{640, 480}, {333, 257}, {517, 389}, {1000, 700}, {401, 299}};
  for (SIZE outer : outers) {
    resize_outer(dialog, outer);
    SIZE client = client_size(dialog);
    UnitPair units = pixels_to_units(dialog, client.cx, client.cy);
    for (const LayoutRow& row : rows) {
      SCOPED_TRACE(std::to_string(outer.cx) + " by " + std::to_string(outer.cy) + ", control " +
                   std::to_string(row.id));
      expect_at(row.id, layout_place(row, units));
    }
  }
}

// The callback's WM_SIZE comes after the layout: it finds the controls in their new places.
std::vector<RECT> seen_in_callback;
INT_PTR CALLBACK look_at_corner(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_SIZE) seen_in_callback.push_back(placed(dialog, ID_CORNER));
  return 0;
}

TEST_F(LayoutTest, CallbackSeesWmSizeAfterTheLayout) {
  ASSERT_TRUE(layout_attach(dialog, &layout));
  seen_in_callback.clear();
  dialog_show_modeless(dialog, look_at_corner, nullptr);
  resize_client(300, 200);
  ASSERT_FALSE(seen_in_callback.empty());
  EXPECT_TRUE(same(seen_in_callback.back(), pixels_of(dialog, place_cases[1].corner)))
      << text_of(seen_in_callback.back());
}

TEST_F(LayoutTest, CallbackCanDoMoreOnWmSize) {
  ASSERT_TRUE(layout_attach(dialog, &layout));
  recorded_answer = [](const RecordedCall& call) -> INT_PTR {
    // The callback moves the fixed label on after the layout.
    if (call.message == WM_SIZE) control_set_position(call.window, ID_FIXED, 9, 9);
    return 0;
  };
  dialog_show_modeless(dialog, record_dialog, nullptr);
  resize_client(300, 200);
  EXPECT_FALSE(calls_of(CallbackSource::Dialog, WM_SIZE).empty());
  expect_at(ID_FIXED, UnitRect{9, 9, 40, 14});
  expect_at(ID_CORNER, place_cases[1].corner);
}

TEST_F(LayoutTest, RowsWithoutTheirControlArePassedOver) {
  const LayoutRow with_missing[] = {
      {999, 0, {0, 1}, {0, 1}, {0, 9}, {0, 9}},
      rows[0],
      {998, LAYOUT_SIZE, {1, -9}, {1, -9}, {0, 5}, {0, 5}},
      rows[1],
  };
  DialogLayout missing = {with_missing, 4, {0, 0}, {0, 0}, 0};
  ASSERT_TRUE(layout_attach(dialog, &missing));
  resize_client(300, 200);
  expect_at(ID_FIXED, place_cases[1].fixed);
  expect_at(ID_CORNER, place_cases[1].corner);
  // Not in this table: left where control_add put it.
  expect_at(ID_GROWING, UnitRect{1, 1, 3, 3});
}

TEST_F(LayoutTest, AttachingAgainReplacesTheTable) {
  ASSERT_TRUE(layout_attach(dialog, &layout));
  const LayoutRow other[] = {{ID_FIXED, LAYOUT_SIZE, {1, -30}, {0, 2}, {0, 20}, {0, 8}}};
  DialogLayout second = {other, 1, {0, 0}, {0, 0}, 0};
  ASSERT_TRUE(layout_attach(dialog, &second));
  resize_client(300, 200);
  expect_at(ID_FIXED, UnitRect{270, 2, 20, 8});
  // The first table's rows no longer apply.
  expect_at(ID_CORNER, place_cases[0].corner);
}

TEST_F(LayoutTest, AttachNeedsAWindowAndATable) {
  EXPECT_FALSE(layout_attach(nullptr, &layout));
  EXPECT_FALSE(layout_attach(dialog, nullptr));
  HWND gone = make_dialog(nullptr, WS_OVERLAPPEDWINDOW);
  DestroyWindow(gone);
  EXPECT_FALSE(layout_attach(gone, &layout));
  layout_apply(dialog);  // no layout: nothing happens
  expect_at(ID_FIXED, UnitRect{1, 1, 3, 3});
}

// layout_make counts the table itself, at compile time: a constant layout needs no code at start.
constexpr DialogLayout made = layout_make(rows, {10, 20}, {300, 200}, ID_GRIP);
static_assert(made.rows == rows && made.count == sizeof rows / sizeof rows[0], "the table's count");
static_assert(made.minimum.x == 10 && made.minimum.y == 20 && made.maximum.x == 300 &&
                  made.maximum.y == 200 && made.grip_id == ID_GRIP,
              "limits and grip as given");
constexpr DialogLayout made_plain = layout_make(rows);
static_assert(made_plain.count == 4 && made_plain.minimum.x == 0 && made_plain.maximum.y == 0 &&
                  made_plain.grip_id == 0,
              "no limits and no grip by default");

TEST_F(LayoutTest, MadeLayoutPlacesAsTheWrittenOne) {
  constexpr DialogLayout table = layout_make(rows);
  ASSERT_TRUE(layout_attach(dialog, &table));
  expect_case(place_cases[0]);
}

// The way on when a table cannot be attached: the controls where the rules put them for the
// client area the dialog has once its sizing border is gone, and nothing that follows a resize.
TEST_F(LayoutTest, ApplyFixedPlacesOnceAndTakesTheSizingAway) {
  const LONG before = GetWindowLongA(dialog, GWL_STYLE);
  ASSERT_EQ(before & (WS_THICKFRAME | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MAXIMIZEBOX);
  layout_apply_fixed(dialog, &layout);
  const LONG after = GetWindowLongA(dialog, GWL_STYLE);
  EXPECT_EQ(after, before & ~(WS_THICKFRAME | WS_MAXIMIZEBOX)) << std::hex << after;
  SIZE client = client_size(dialog);
  UnitPair units = pixels_to_units(dialog, client.cx, client.cy);
  for (const LayoutRow& row : rows) expect_at(row.id, layout_place(row, units));
  EXPECT_FALSE(GetPropA(dialog, MAKEINTATOM(WINDOW_PROPERTY_LAYOUT))) << "no layout attached";
  EXPECT_FALSE(GetDlgItem(dialog, ID_GRIP));

  // A size change afterwards moves nothing.
  dialog_show_modeless(dialog, nullptr, nullptr);
  RECT corner = placed(dialog, ID_CORNER);
  resize_outer(dialog, SIZE{640, 480});
  EXPECT_TRUE(same(placed(dialog, ID_CORNER), corner));
}

TEST_F(LayoutTest, ApplyFixedNeedsAWindowAndATable) {
  const LONG before = GetWindowLongA(dialog, GWL_STYLE);
  layout_apply_fixed(dialog, nullptr);
  EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE), before);
  expect_at(ID_FIXED, UnitRect{1, 1, 3, 3});
  layout_apply_fixed(nullptr, &layout);
  HWND gone = make_dialog(nullptr, WS_OVERLAPPEDWINDOW);
  DestroyWindow(gone);
  layout_apply_fixed(gone, &layout);
  expect_at(ID_FIXED, UnitRect{1, 1, 3, 3});
}

TEST_F(LayoutTest, DialogClipsItsChildren) {
  EXPECT_FALSE(GetWindowLongA(dialog, GWL_STYLE) & WS_CLIPCHILDREN);
  ASSERT_TRUE(layout_attach(dialog, &layout));
  EXPECT_TRUE(GetWindowLongA(dialog, GWL_STYLE) & WS_CLIPCHILDREN);
}

// ---- The least and greatest size ----

struct LimitCase {
  const char* what;
  UnitPair minimum, maximum;
  bool menu;
  UnitPair asked;  // client size asked for, units
  UnitPair given;  // client size the dialog gets, units
};

const LimitCase limit_cases[] = {
    {"below the start size", {0, 0}, {0, 0}, false, {50, 40}, {START_W, START_H}},
    {"narrower only", {0, 0}, {0, 0}, false, {120, 300}, {START_W, 300}},
    {"above the start size", {0, 0}, {0, 0}, false, {260, 170}, {260, 170}},
    {"below a least size in units", {150, 90}, {0, 0}, false, {100, 60}, {150, 90}},
    {"a least width only", {230, 0}, {0, 0}, false, {210, 80}, {230, START_H}},
    {"above a greatest size", {0, 0}, {320, 210}, false, {500, 400}, {320, 210}},
    {"a greatest height only", {0, 0}, {0, 180}, false, {500, 400}, {500, 180}},
    {"with a menu bar", {0, 0}, {0, 0}, true, {50, 40}, {START_W, START_H}},
    {"with a menu bar, greatest", {0, 0}, {300, 200}, true, {500, 400}, {300, 200}},
};

TEST_F(LayoutTest, SetWindowPosKeepsTheLimits) {
  for (const LimitCase& c : limit_cases) {
    SCOPED_TRACE(c.what);
    HWND d = keep(make_dialog(nullptr, WS_OVERLAPPEDWINDOW, "Limits", 10, 10, START_W, START_H));
    if (c.menu) {
      HMENU bar = menu_create(0);
      ProcedureFrame frame = {};
      temp_push_cstring(&frame, "&Menu");
      menu_insert_item(&frame, bar, 0, 1, 0, 300, nullptr);
      menu_attach(d, bar);
      // A menu bar takes its room from the client area: the window grows by it, as a program
      // with a menu bar does before it shows the dialog.
      resize_outer(d, outer_for(d, UnitPair{START_W, START_H}));
    }
    SIZE before = client_size(d);
    UnitPair start = units_to_pixels(d, START_W, START_H);
    ASSERT_EQ(before.cx, start.x);
    ASSERT_EQ(before.cy, start.y);
    DialogLayout limits = {rows, 0, c.minimum, c.maximum, 0};
    ASSERT_TRUE(layout_attach(d, &limits));
    dialog_show_modeless(d, nullptr, nullptr);
    UnitPair asked = units_to_pixels(d, c.asked.x, c.asked.y);
    RECT r = {0, 0, asked.x, asked.y};
    AdjustWindowRectEx(&r, GetWindowLongA(d, GWL_STYLE), c.menu, GetWindowLongA(d, GWL_EXSTYLE));
    resize_outer(d, SIZE{r.right - r.left, r.bottom - r.top});
    UnitPair want = units_to_pixels(d, c.given.x, c.given.y);
    SIZE client = client_size(d);
    EXPECT_EQ(client.cx, want.x);
    EXPECT_EQ(client.cy, want.y);
    DestroyWindow(d);
  }
}

TEST_F(LayoutTest, MinMaxInfoAnswered) {
  DialogLayout limits = {rows, 4, {0, 0}, {300, 250}, 0};
  ASSERT_TRUE(layout_attach(dialog, &limits));
  MINMAXINFO info = {};
  info.ptMaxSize = {5000, 5000};
  info.ptMaxTrackSize = {5000, 5000};
  SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  SIZE least = outer_for(dialog, UnitPair{START_W, START_H}), most = outer_for(dialog, UnitPair{300, 250});
  EXPECT_EQ(info.ptMinTrackSize.x, least.cx);
  EXPECT_EQ(info.ptMinTrackSize.y, least.cy);
  EXPECT_EQ(info.ptMaxTrackSize.x, most.cx);
  EXPECT_EQ(info.ptMaxTrackSize.y, most.cy);
  EXPECT_EQ(info.ptMaxSize.x, most.cx);
  EXPECT_EQ(info.ptMaxSize.y, most.cy);
}

// A WM_GETMINMAXINFO sent without its record, as any program may send it, limits nothing and
// harms nothing.
TEST_F(LayoutTest, MinMaxInfoWithoutItsRecord) {
  ASSERT_TRUE(layout_attach(dialog, &layout));
  SendMessageA(dialog, WM_GETMINMAXINFO, 0, 0);
  resize_client(300, 200);
  expect_at(ID_CORNER, place_cases[1].corner);
}

// The table's limits only narrow what the callback has asked for.
TEST_F(LayoutTest, CallbackLimitsThatAreNarrowerStay) {
  recorded_answer = [](const RecordedCall& call) -> INT_PTR {
    if (call.message == WM_GETMINMAXINFO) {
      MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(call.lparam);
      info->ptMinTrackSize = {900, 700};
      info->ptMaxTrackSize = {950, 750};
    }
    return 0;
  };
  DialogLayout limits = {rows, 4, {0, 0}, {1000, 1000}, 0};
  ASSERT_TRUE(layout_attach(dialog, &limits));
  dialog_show_modeless(dialog, record_dialog, nullptr);
  MINMAXINFO info = {};
  info.ptMaxSize = info.ptMaxTrackSize = {5000, 5000};
  SendMessageA(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 900);
  EXPECT_EQ(info.ptMinTrackSize.y, 700);
  EXPECT_EQ(info.ptMaxTrackSize.x, 950);
  EXPECT_EQ(info.ptMaxTrackSize.y, 750);
}

// ---- The size grip ----

TEST_F(LayoutTest, SizeGripFollowsTheCorner) {
  layout.grip_id = ID_GRIP;
  ASSERT_TRUE(layout_attach(dialog, &layout));
  HWND grip = GetDlgItem(dialog, ID_GRIP);
  ASSERT_TRUE(grip);
  char cls[32] = {};
  GetClassNameA(grip, cls, sizeof cls);
  EXPECT_EQ(lstrcmpiA(cls, "ScrollBar"), 0) << cls;
  EXPECT_TRUE(GetWindowLongA(grip, GWL_STYLE) & SBS_SIZEGRIP);
  int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  dialog_show_modeless(dialog, nullptr, nullptr);
  const SIZE outers[] = {{640, 480}, {333, 257}, {517, 389}};
  for (SIZE outer : outers) {
    resize_outer(dialog, outer);
    SIZE client = client_size(dialog);
    RECT want = {client.cx - cx, client.cy - cy, client.cx, client.cy};
    EXPECT_TRUE(same(placed(dialog, ID_GRIP), want))
        << text_of(placed(dialog, ID_GRIP)) << ", want " << text_of(want);
    EXPECT_TRUE(IsWindowVisible(grip));
  }
  // Maximised there is no border to drag: no grip. Restored, it is back in the corner.
  ShowWindow(dialog, SW_MAXIMIZE);
  EXPECT_FALSE(IsWindowVisible(grip));
  ShowWindow(dialog, SW_RESTORE);
  EXPECT_TRUE(IsWindowVisible(grip));
  SIZE client = client_size(dialog);
  RECT want = {client.cx - cx, client.cy - cy, client.cx, client.cy};
  EXPECT_TRUE(same(placed(dialog, ID_GRIP), want));
}

TEST_F(LayoutTest, SizeGripMadeOnce) {
  layout.grip_id = ID_GRIP;
  ASSERT_TRUE(layout_attach(dialog, &layout));
  HWND grip = GetDlgItem(dialog, ID_GRIP);
  ASSERT_TRUE(layout_attach(dialog, &layout));
  EXPECT_EQ(GetDlgItem(dialog, ID_GRIP), grip);
  int grips = 0;
  for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    if (GetDlgCtrlID(w) == ID_GRIP) ++grips;
  EXPECT_EQ(grips, 1);
  // A grip the program destroys is passed over; the other controls are still laid out.
  DestroyWindow(grip);
  resize_client(300, 200);
  expect_at(ID_CORNER, place_cases[1].corner);
}

// ---- When the system refuses a batch ----

struct BatchFailureCase {
  const char* what;
  CallFailure begin, step;
};

// A batch that cannot be had, or a step of it that the system refuses, does not cost the pass:
// the controls go where the table says one at a time, a batch given up is ended all the same, and
// the grip is hidden while the dialog is maximised.
const BatchFailureCase batch_failure_cases[] = {
    {"the first batch refused", {1, false}, {}},
    {"every batch refused", {1, true}, {}},
    {"the first step refused", {}, {1, false}},
    {"the third step refused", {}, {3, false}},
    {"every step from the second refused", {}, {2, true}},
    {"every step refused", {}, {1, true}},
};

TEST_F(LayoutTest, ControlsPlacedWhenTheSystemRefusesTheBatch) {
  call_failures_install();
  for (const BatchFailureCase& c : batch_failure_cases) {
    SCOPED_TRACE(c.what);
    dialog = keep(make_dialog(nullptr, WS_OVERLAPPEDWINDOW, "Layout test", 10, 10, START_W, START_H));
    ASSERT_TRUE(add_control(dialog, CONTROL_LABEL, ID_FIXED));
    ASSERT_TRUE(add_control(dialog, CONTROL_PUSH_BUTTON, ID_CORNER));
    ASSERT_TRUE(add_control(dialog, CONTROL_TEXT_BOX, ID_GROWING));
    ASSERT_TRUE(add_control(dialog, CONTROL_LABEL, ID_HALF));
    begin_defer_failure = c.begin;
    defer_failure = c.step;
    DialogLayout with_grip = layout;
    with_grip.grip_id = ID_GRIP;
    ASSERT_TRUE(layout_attach(dialog, &with_grip));
    expect_case(place_cases[0]);
    dialog_show_modeless(dialog, nullptr, nullptr);
    resize_client(300, 200);
    expect_case(place_cases[1]);
    HWND grip = GetDlgItem(dialog, ID_GRIP);
    ASSERT_TRUE(grip);
    ShowWindow(dialog, SW_MAXIMIZE);
    EXPECT_FALSE(IsWindowVisible(grip)) << "the grip shows while maximised";
    ShowWindow(dialog, SW_RESTORE);
    EXPECT_TRUE(IsWindowVisible(grip));
    expect_case(place_cases[1]);
    EXPECT_GE(begin_defer_failure.refused + defer_failure.refused, 1);
    begin_defer_failure = defer_failure = CallFailure{};
    EXPECT_EQ(batches_open(), 0) << "a batch was left without its end";
    DestroyWindow(dialog);
  }
}

// ---- Limits with a menu bar of two lines ----

// A menu bar whose items take about 400 pixels at 96 dpi: one line in a dialog 400 units wide, two
// in one 150 units wide.
HMENU long_menu_bar() {
  HMENU bar = menu_create(0);
  const char* names[] = {"&File", "&Edit", "&View", "&Insert", "F&ormat", "&Tools", "T&able", "&Window", "&Help"};
  uint32_t position = 1;
  for (const char* name : names) {
    ProcedureFrame frame = {};
    temp_push_cstring(&frame, name);
    menu_insert_item(&frame, bar, 0, position, 0, 300 + position, nullptr);
    ++position;
  }
  return bar;
}

// The lines of the dialog's menu bar: its non-client height over that of a bar of one line.
int menu_lines(HWND dialog) {
  RECT window, client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  RECT one = {0, 0, 0, 0};
  AdjustWindowRectEx(&one, GetWindowLongA(dialog, GWL_STYLE), TRUE, GetWindowLongA(dialog, GWL_EXSTYLE));
  int extra = (window.bottom - window.top - client.bottom) - (one.bottom - one.top);
  return 1 + (extra + GetSystemMetrics(SM_CYMENUSIZE) / 2) / GetSystemMetrics(SM_CYMENUSIZE);
}

// The outer size for a client area of `units`, with the window's own non-client size at its
// present width.
SIZE outer_now(HWND dialog, UnitPair units) {
  UnitPair pixels = units_to_pixels(dialog, units.x, units.y);
  RECT window, client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  return SIZE{pixels.x + (window.right - window.left) - client.right,
              pixels.y + (window.bottom - window.top) - client.bottom};
}

// The least client size holds whatever the menu bar's lines: SetWindowPos from a wide window,
// where the bar is one line, to one far below the least, where it wraps to two. The client area
// is then exactly the least size. The greatest holds the same way.
TEST_F(LayoutTest, LimitsHoldWithAMenuBarOfTwoLines) {
  const UnitPair least = {150, 100}, most = {420, 300};
  HWND d = keep(make_dialog(nullptr, WS_OVERLAPPEDWINDOW, "Two lines", 10, 10, 400, 200));
  menu_attach(d, long_menu_bar());
  DialogLayout limits = {rows, 0, least, most, 0};
  ASSERT_TRUE(layout_attach(d, &limits));
  dialog_show_modeless(d, nullptr, nullptr);
  ASSERT_EQ(menu_lines(d), 1) << "the bar must fit one line in the wide window";
  resize_outer(d, SIZE{100, 100});
  UnitPair want = units_to_pixels(d, least.x, least.y);
  SIZE client = client_size(d);
  ASSERT_EQ(menu_lines(d), 2) << "the bar must wrap at the least width";
  EXPECT_EQ(client.cx, want.x);
  EXPECT_EQ(client.cy, want.y) << "the client area ends a menu line short";
  // From the least size, asked for a little more than the least height: it gets what it asks for.
  SIZE asked = outer_now(d, UnitPair{least.x, least.y + 10});
  resize_outer(d, asked);
  UnitPair taller = units_to_pixels(d, least.x, least.y + 10);
  EXPECT_EQ(client_size(d).cy, taller.y);
  // Far above the greatest size.
  resize_outer(d, SIZE{3000, 2000});
  UnitPair greatest = units_to_pixels(d, most.x, most.y);
  EXPECT_EQ(client_size(d).cx, greatest.x);
  EXPECT_EQ(client_size(d).cy, greatest.y);
  printf("menu bar of two lines at %d dpi: least client %ldx%ld pixels, greatest %ldx%ld\n",
         GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), client.cx, client.cy, client_size(d).cx, client_size(d).cy);
}

// A least size above the dialog's present size is applied when the table is attached: the
// dialog is never shown below it.
TEST_F(LayoutTest, LeastSizeAppliedAtAttach) {
  for (bool menu : {false, true}) {
    SCOPED_TRACE(menu ? "with a menu bar of two lines" : "without a menu bar");
    HWND d = keep(make_dialog(nullptr, WS_OVERLAPPEDWINDOW, "Least", 10, 10, START_W, START_H));
    if (menu) menu_attach(d, long_menu_bar());
    DialogLayout limits = {rows, 4, {START_W + 30, START_H + 40}, {0, 0}, 0};
    ASSERT_TRUE(add_control(d, CONTROL_PUSH_BUTTON, ID_CORNER));
    ASSERT_TRUE(layout_attach(d, &limits));
    UnitPair want = units_to_pixels(d, START_W + 30, START_H + 40);
    SIZE client = client_size(d);
    EXPECT_EQ(client.cx, want.x);
    EXPECT_EQ(client.cy, want.y);
    RECT corner = placed(d, ID_CORNER), expected = pixels_of(d, layout_place(rows[1], UnitPair{START_W + 30, START_H + 40}));
    EXPECT_TRUE(same(corner, expected)) << text_of(corner);
  }
}

// ---- The layout's memory ----

// The test program's import slots of GlobalAlloc and GlobalFree, which the runtime's memory
// blocks go through, pointed once at stand-ins that count while `counting` is set.
bool counting;
int blocks_allocated, blocks_freed;
HGLOBAL(WINAPI* real_global_alloc)(UINT, SIZE_T);
HGLOBAL(WINAPI* real_global_free)(HGLOBAL);
HGLOBAL WINAPI counting_alloc(UINT flags, SIZE_T size) {
  if (counting) ++blocks_allocated;
  return real_global_alloc(flags, size);
}
HGLOBAL WINAPI counting_free(HGLOBAL block) {
  if (counting) ++blocks_freed;
  return real_global_free(block);
}
void count_blocks() {
  if (!real_global_alloc) {
    real_global_alloc = reinterpret_cast<decltype(real_global_alloc)>(
        import_patch("kernel32.dll", "GlobalAlloc", reinterpret_cast<void*>(counting_alloc)));
    real_global_free = reinterpret_cast<decltype(real_global_free)>(
        import_patch("kernel32.dll", "GlobalFree", reinterpret_cast<void*>(counting_free)));
  }
  blocks_allocated = blocks_freed = 0;
  counting = true;
}

TEST_F(LayoutTest, TheLayoutIsFreedWithTheDialog) {
  count_blocks();
  LONG_PTR procedure = GetWindowLongPtrA(dialog, GWLP_WNDPROC);
  ASSERT_TRUE(layout_attach(dialog, &layout));
  EXPECT_NE(GetWindowLongPtrA(dialog, GWLP_WNDPROC), procedure) << "the dialog is subclassed";
  ASSERT_TRUE(layout_attach(dialog, &layout));
  EXPECT_EQ(blocks_allocated, 1) << "attaching again keeps the record";
  EXPECT_EQ(blocks_freed, 0);
  DestroyWindow(dialog);
  EXPECT_EQ(blocks_freed, 1);
  counting = false;
}

// ---- What one resize costs in erases and paints ----
//
// The same five controls (a list box, a text box and three buttons in a row, as the layout
// example has them) laid out on every resize either by the table or by a callback that moves and
// sizes each control with its own two calls, as Resizing's callback does. Subclasses of the
// dialog and of each control count the background erases and the paints; a control that moved
// at its old size and was not painted afterwards shows pixels copied from its old place.

enum : int32_t { ID_LIST = 31, ID_TEXT = 32, ID_FIRST = 33, ID_SECOND = 34, ID_THIRD = 35 };
const LayoutRow paint_rows[] = {
    {ID_LIST, 0, {0, 7}, {0, 7}, {0.35f, -3}, {1, -28}},
    {ID_TEXT, 0, {0.35f, 3}, {0, 7}, {1, -7}, {1, -28}},
    {ID_FIRST, LAYOUT_SIZE, {1, -174}, {1, -21}, {0, 50}, {0, 14}},
    {ID_SECOND, LAYOUT_SIZE, {1, -120}, {1, -21}, {0, 50}, {0, 14}},
    {ID_THIRD, LAYOUT_SIZE, {1, -66}, {1, -21}, {0, 50}, {0, 14}},
};

// Laid out by the dialog's callback on WM_SIZE, as Resizing lays out its two controls: a position
// and a size set with a call each, for every control.
INT_PTR CALLBACK move_and_size_each_control(HWND dialog, UINT message, WPARAM, LPARAM lparam) {
  if (message != WM_SIZE) return 0;
  UnitPair client = pixels_to_units(dialog, LOWORD(lparam), HIWORD(lparam));
  for (const LayoutRow& row : paint_rows) {
    UnitRect u = layout_place(row, client);
    control_set_position(dialog, row.id, u.x, u.y);
    control_set_size(dialog, row.id, u.width, u.height);
  }
  return 0;
}

struct PaintCounts {
  long resizes = 0, dialog_erases = 0, dialog_paints = 0, control_erases = 0, control_paints = 0;
  long erases_while_moving = 0;     // dialog erases inside WM_SIZE, while the controls move
  long control_pixels_erased = 0;   // pixels of controls that the dialog's erases covered
  long erases_for_controls = 0;     // dialog erases a control asked for while it painted itself
  long moved_unpainted = 0;         // controls moved at their old size, not painted since
};
PaintCounts paint_counts;
HWND counted_dialog;
bool inside_size;
std::map<HWND, WNDPROC> counted_previous;
std::map<HWND, bool> painted;

// The pixels of the dialog's controls that an erase of the dialog through `dc` covers: the DC's
// system region (screen coordinates) within the controls' rectangles.
long control_pixels_in(HWND dialog, HDC dc) {
  HRGN erased = CreateRectRgn(0, 0, 0, 0), controls = CreateRectRgn(0, 0, 0, 0);
  long pixels = 0;
  if (GetRandomRgn(dc, erased, SYSRGN) == 1) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      RECT r;
      GetWindowRect(c, &r);
      HRGN one = CreateRectRgnIndirect(&r);
      CombineRgn(controls, controls, one, RGN_OR);
      DeleteObject(one);
    }
    CombineRgn(controls, controls, erased, RGN_AND);
    std::vector<char> data(GetRegionData(controls, 0, nullptr));
    RGNDATA* region = reinterpret_cast<RGNDATA*>(data.data());
    if (!data.empty() && GetRegionData(controls, static_cast<DWORD>(data.size()), region)) {
      const RECT* rects = reinterpret_cast<const RECT*>(region->Buffer);
      for (DWORD i = 0; i < region->rdh.nCount; ++i)
        pixels += (rects[i].right - rects[i].left) * (rects[i].bottom - rects[i].top);
    }
  }
  DeleteObject(erased);
  DeleteObject(controls);
  return pixels;
}

// A control of the common controls of version 6 draws in the theme, and paints its parent's
// background under itself first (as if transparent): the dialog's erase then goes into the
// control's own paint, under no control on the screen, and is counted apart.
int controls_painting;

LRESULT CALLBACK counting_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  bool dialog = window == counted_dialog;
  if (dialog && message == WM_ERASEBKGND && controls_painting > 0) {
    ++paint_counts.erases_for_controls;
    return CallWindowProcA(counted_previous[window], window, message, wparam, lparam);
  }
  if (!dialog && message == WM_PAINT) {
    ++paint_counts.control_paints;
    painted[window] = true;
    ++controls_painting;
    LRESULT result = CallWindowProcA(counted_previous[window], window, message, wparam, lparam);
    --controls_painting;
    return result;
  }
  if (message == WM_ERASEBKGND) {
    ++(dialog ? paint_counts.dialog_erases : paint_counts.control_erases);
    if (dialog && inside_size) ++paint_counts.erases_while_moving;
    if (dialog) paint_counts.control_pixels_erased += control_pixels_in(window, reinterpret_cast<HDC>(wparam));
  }
  if (message == WM_PAINT) {
    ++(dialog ? paint_counts.dialog_paints : paint_counts.control_paints);
    painted[window] = true;
  }
  if (dialog && message == WM_SIZE) {
    inside_size = true;
    LRESULT result = CallWindowProcA(counted_previous[window], window, message, wparam, lparam);
    inside_size = false;
    return result;
  }
  return CallWindowProcA(counted_previous[window], window, message, wparam, lparam);
}

void count_on(HWND window) {
  counted_previous[window] = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(counting_procedure)));
}

enum class LayoutWay { ByCallback, Table, TableWithoutClipChildren };

// Shows a dialog laid out the given way, then resizes it through a series of sizes, growing and
// shrinking, painting after each as the message loop would.
PaintCounts count_resizes(LayoutWay way) {
  HWND dialog = make_dialog(nullptr, WS_OVERLAPPEDWINDOW, "Paint count", 10, 10, 240, 150);
  ProcedureFrame frame = {};
  for (int32_t id : {ID_LIST, ID_TEXT, ID_FIRST, ID_SECOND, ID_THIRD}) {
    int32_t kind = id == ID_LIST ? CONTROL_LIST_BOX : id == ID_TEXT ? CONTROL_TEXT_BOX : CONTROL_PUSH_BUTTON;
    uint32_t style = id == ID_LIST ? LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL
                     : id == ID_TEXT ? ES_MULTILINE | WS_VSCROLL
                                     : 0;
    temp_push_cstring(&frame, id == ID_TEXT ? "Some text" : "Button");
    temp_push_empty(&frame);
    uint32_t ex_style = id <= ID_TEXT ? WS_EX_CLIENTEDGE : 0;
    control_add(&frame, kind, dialog, id, nullptr, 0, 0, 0, 0, style, ex_style, nullptr);
  }
  DialogLayout layout = {paint_rows, 5, {1, 1}, {0, 0}, 0};
  if (way != LayoutWay::ByCallback) layout_attach(dialog, &layout);
  if (way == LayoutWay::TableWithoutClipChildren)
    SetWindowLongA(dialog, GWL_STYLE, GetWindowLongA(dialog, GWL_STYLE) & ~WS_CLIPCHILDREN);
  dialog_show_modeless(dialog, way == LayoutWay::ByCallback ? move_and_size_each_control : nullptr, nullptr);
  SetWindowPos(dialog, nullptr, 0, 0, 600, 420, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  pump_messages();
  paint_counts = PaintCounts{};
  counted_dialog = dialog;
  count_on(dialog);
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) count_on(c);
  const SIZE sizes[] = {{640, 450}, {600, 420}, {700, 500}, {520, 380}, {661, 477},
                        {599, 401}, {800, 600}, {480, 350}, {633, 444}, {600, 420}};
  for (SIZE size : sizes) {
    std::map<HWND, RECT> before;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      before[c] = placed(dialog, GetDlgCtrlID(c));
    painted.clear();
    SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pump_messages();
    ++paint_counts.resizes;
    for (auto& [control, old] : before) {
      RECT now = placed(dialog, GetDlgCtrlID(control));
      bool moved = now.left != old.left || now.top != old.top;
      bool same_size =
          now.right - now.left == old.right - old.left && now.bottom - now.top == old.bottom - old.top;
      if (moved && same_size && !painted[control]) ++paint_counts.moved_unpainted;
    }
  }
  DestroyWindow(dialog);
  pump_messages();
  counted_previous.clear();
  return paint_counts;
}

// A control whose place the resize does not change is not painted again: the batch moves only
// what moved.
TEST_F(LayoutTest, ControlThatStaysIsNotPaintedAgain) {
  ASSERT_TRUE(layout_attach(dialog, &layout));
  dialog_show_modeless(dialog, nullptr, nullptr);
  resize_client(300, 200);
  pump_messages();
  counted_dialog = dialog;
  count_on(GetDlgItem(dialog, ID_FIXED));
  count_on(GetDlgItem(dialog, ID_CORNER));
  painted.clear();
  resize_client(320, 210);
  pump_messages();
  EXPECT_FALSE(painted[GetDlgItem(dialog, ID_FIXED)]) << "the fixed label was painted again";
  EXPECT_TRUE(painted[GetDlgItem(dialog, ID_CORNER)]) << "the button that moved was not painted";
  DestroyWindow(dialog);
  counted_previous.clear();
}

void print_counts(const char* way, const PaintCounts& n) {
  double r = static_cast<double>(n.resizes);
  printf("paint counts per resize, %s: dialog erases %.1f (%.1f while the controls move; %.1f more for the "
         "controls' own paints), dialog paints %.1f, control erases %.1f, control paints %.1f, control pixels "
         "erased by the dialog %.0f, moved controls left unpainted %.1f (%ld resizes)\n",
         way, n.dialog_erases / r, n.erases_while_moving / r, n.erases_for_controls / r, n.dialog_paints / r,
         n.control_erases / r, n.control_paints / r, n.control_pixels_erased / r, n.moved_unpainted / r,
         n.resizes);
}

TEST(LayoutPaint, OneBatchErasesOnceAndRepaintsWhatMoved) {
  PaintCounts by_callback = count_resizes(LayoutWay::ByCallback);
  PaintCounts table = count_resizes(LayoutWay::Table);
  PaintCounts unclipped = count_resizes(LayoutWay::TableWithoutClipChildren);
  print_counts("callback, a move and a size per control", by_callback);
  print_counts("layout table", table);
  print_counts("layout table without WS_CLIPCHILDREN", unclipped);
  EXPECT_EQ(table.resizes, 10);
  // The batch leaves the background to the paint that follows: nothing is erased while the
  // controls move, and never under them.
  EXPECT_EQ(table.erases_while_moving, 0);
  EXPECT_EQ(table.control_pixels_erased, 0);
  EXPECT_LT(table.dialog_erases, by_callback.dialog_erases);
  EXPECT_EQ(table.moved_unpainted, 0) << "a control that only moved was left with copied pixels";
}

}  // namespace
