// The Resizing application in process, on the real Windows API: the layout rule, the report, the
// background brush's life, and the strings each callback leaves behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>

#include "app/constants.hpp"
#include "app/resizing.hpp"
#include "tests/win32/support/string_watch.hpp"
#include "tests/win32/support/test_support.hpp"
#include "dialogkit/toolkit/dialog.hpp"
#include "dialogkit/toolkit/geometry.hpp"
#include "dialogkit/toolkit/layout.hpp"

namespace {

// The factors as the constants area holds them at their working place.
struct Factors {
  float left, report_top, width, report_height, button_top, button_height;
};
Factors factors() {
  const AppConstants* c = app_constants();
  return {c->factor_left, c->factor_report_top, c->factor_width, c->factor_report_height,
          c->factor_button_top, c->factor_button_height};
}

uint32_t bits(float f) { return __builtin_bit_cast(uint32_t, f); }

TEST(ResizingLayout, ConstantsAreTheSinglePrecisionFactors) {
  Factors f = factors();
  EXPECT_EQ(bits(f.left), 0x3DCCCCCDu);
  EXPECT_EQ(bits(f.report_top), 0x3D4CCCCDu);
  EXPECT_EQ(bits(f.width), 0x3F4CCCCDu);
  EXPECT_EQ(bits(f.report_height), 0x3ECCCCCDu);
  EXPECT_EQ(bits(f.button_top), 0x3F266666u);
  EXPECT_EQ(bits(f.button_height), 0x3E4CCCCDu);
}

TEST(ResizingLayout, ScaleTable) {
  Factors f = factors();
  struct Case { int32_t n; float factor; int32_t want; const char* what; } cases[] = {
      {200, f.left, 20, "W 200 left"},         {200, f.width, 160, "W 200 width"},
      {123, f.report_top, 6, "H 123 report top"}, {123, f.report_height, 49, "H 123 report height"},
      {123, f.button_top, 80, "H 123 button top"}, {123, f.button_height, 25, "H 123 button height"},
      {5, f.left, 1, "5 x 0.1 lies just above 0.5"}, {25, f.left, 3, "W 25 left"},
      {10, f.button_top, 6, "10 x 0.65 lies just below 6.5"}, {30, f.button_top, 19, "H 30 button top"},
      {10, f.report_top, 1, "H 10 report top"}, {0, f.width, 0, "zero"},
      {65535, f.width, 52428, "largest client"}, {-5, f.left, -1, "negative"},
  };
  for (const Case& c : cases) EXPECT_EQ(layout_scale(c.n, c.factor), c.want) << c.what;
}

class ResizingDialog : public testing::Test {
 protected:
  HWND dialog = nullptr;
  void SetUp() override {
    dialog = resizing_dialog_create();
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override {
    if (IsWindow(dialog)) DestroyWindow(dialog);
    pump_messages();
  }
  std::string report() {
    char text[256];
    int n = GetWindowTextA(GetDlgItem(dialog, ID_REPORT), text, sizeof text);
    return std::string(text, n);
  }
  SIZE size_of(int id) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return {r.right - r.left, r.bottom - r.top};
  }
};

TEST_F(ResizingDialog, ControlsHaveNoSizeUntilTheFirstSizeNotification) {
  EXPECT_FALSE(IsWindowVisible(dialog));
  for (int id : {ID_REPORT, ID_BUTTON}) {
    EXPECT_EQ(size_of(id).cx, 0) << id;
    EXPECT_EQ(size_of(id).cy, 0) << id;
  }
  dialog_show_modeless(dialog, resize_callback, nullptr);
  pump_messages();
  RECT client, expected = {0, 0, 105, 90};
  GetClientRect(dialog, &client);
  MapDialogRect(dialog, &expected);  // the client area is the dialog's 105 by 90 units
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
  EXPECT_GT(size_of(ID_REPORT).cx, 0);
  EXPECT_GT(size_of(ID_BUTTON).cy, 0);
  EXPECT_EQ(report(), "Width =  " + std::to_string(client.right) + " pixels \r\nHeight =  " +
                          std::to_string(client.bottom) + " pixels");
}

TEST_F(ResizingDialog, ReportBytesFor300By200) {
  dialog_show_modeless(dialog, resize_callback, nullptr);
  SendMessageA(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
  EXPECT_EQ(report(), std::string("Width =  300 pixels \r\nHeight =  200 pixels"));
  SendMessageA(dialog, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
  EXPECT_EQ(report(), std::string("Width =  0 pixels \r\nHeight =  0 pixels"));
  EXPECT_EQ(size_of(ID_REPORT).cx, 0);
  EXPECT_EQ(size_of(ID_BUTTON).cy, 0);
}

// A client area given in the dialog's units places both controls at these unit rectangles, read
// back from the real windows.
TEST_F(ResizingDialog, BothRectanglesOfBothControls) {
  struct Box {
    int32_t x, y, w, h;
  };
  struct Case {
    int32_t w, h;  // client, units
    Box report, button;
  };
  const Case cases[] = {
      {200, 123, {20, 6, 160, 49}, {20, 80, 160, 25}},
      {0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  dialog_show_modeless(dialog, resize_callback, nullptr);
  auto pixels = [this](int32_t x, int32_t y) {
    RECT r = {0, 0, x, y};
    MapDialogRect(dialog, &r);
    return POINT{r.right, r.bottom};
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " by " + std::to_string(c.h) + " units");
    POINT client = pixels(c.w, c.h);
    UnitPair back = pixels_to_units(dialog, client.x, client.y);
    ASSERT_EQ(back.x, c.w);
    ASSERT_EQ(back.y, c.h);
    SendMessageA(dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.x, client.y));
    for (auto [id, box] : {std::pair<int, Box>{ID_REPORT, c.report}, {ID_BUTTON, c.button}}) {
      RECT r;
      GetWindowRect(GetDlgItem(dialog, id), &r);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
      POINT place = pixels(box.x, box.y), size = pixels(box.w, box.h);
      EXPECT_EQ(r.left, place.x) << id;
      EXPECT_EQ(r.top, place.y) << id;
      EXPECT_EQ(r.right - r.left, size.x) << id;
      EXPECT_EQ(r.bottom - r.top, size.y) << id;
    }
  }
}

TEST_F(ResizingDialog, BrushLivesFromInitDialogToDestroy) {
  dialog_show_modeless(dialog, resize_callback, nullptr);
  HBRUSH brush = reinterpret_cast<HBRUSH>(app_globals()->background_brush);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  LOGBRUSH lb;
  ASSERT_EQ(GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, static_cast<COLORREF>(0x0080C0FF));
  // Every WM_CTLCOLORDLG answers the same brush; no other message creates one.
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(resize_callback(dialog, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<INT_PTR>(brush));
    SendMessageA(dialog, WM_SIZE, 0, MAKELPARAM(200 + i, 100));
  }
  EXPECT_EQ(reinterpret_cast<HBRUSH>(app_globals()->background_brush), brush);
  DestroyWindow(dialog);
  EXPECT_EQ(GetObjectType(brush), 0u) << "the brush is deleted with the dialog";
}

TEST_F(ResizingDialog, ButtonChangesNothing) {
  dialog_show_modeless(dialog, resize_callback, nullptr);
  SendMessageA(dialog, WM_SIZE, 0, MAKELPARAM(320, 240));
  std::string before = report();
  SIZE report_size = size_of(ID_REPORT);
  SendMessageA(GetDlgItem(dialog, ID_BUTTON), BM_CLICK, 0, 0);
  pump_messages();
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_EQ(report(), before);
  EXPECT_EQ(size_of(ID_REPORT).cx, report_size.cx);
}

TEST_F(ResizingDialog, EveryCallbackReleasesItsStrings) {
  dialog_show_modeless(dialog, resize_callback, nullptr);
  pump_messages();
  const LPARAM sizes[] = {MAKELPARAM(300, 200), MAKELPARAM(0, 0), MAKELPARAM(65535, 65535), MAKELPARAM(7, 9)};
  for (LPARAM size : sizes) {
    StringWatch watch;
    SendMessageA(dialog, WM_SIZE, 0, size);
    EXPECT_GT(watch.allocated.size(), 10u) << "the report is built from temporaries";
    EXPECT_EQ(watch.live(), 0) << "no temporary outlives the callback";
  }
}

// Resizing's layout written as a table, from the factors of its constants area: both controls at
// 0.1 of the width and 0.8 of it wide, the text box from 0.05 of the height and 0.4 high, the
// button from 0.65 and 0.2 high.
struct ResizingTable {
  LayoutRow rows[2];
};
ResizingTable resizing_table() {
  Factors f = factors();
  return {{{ID_REPORT, LAYOUT_SIZE, {f.left, 0}, {f.report_top, 0}, {f.width, 0}, {f.report_height, 0}},
           {ID_BUTTON, LAYOUT_SIZE, {f.left, 0}, {f.button_top, 0}, {f.width, 0}, {f.button_height, 0}}}};
}

RECT client_rect_of(HWND dialog, int id) {
  RECT r;
  GetWindowRect(GetDlgItem(dialog, id), &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Two Resizing dialogs side by side, one laid out by its callback, one by the table (with no
// least size of its own), go through the sizes of the end-to-end test and of its soak: the start,
// six resizes, a minimise and a restore, then every width and every height the soak can draw.
// Both controls of both dialogs have the same rectangles after each.
TEST(ResizingLayoutTable, GivesTheCallbacksRectanglesOnRealWindows) {
  HWND by_callback = resizing_dialog_create(), by_table = resizing_dialog_create();
  ASSERT_TRUE(by_callback && by_table);
  ResizingTable table = resizing_table();
  DialogLayout layout = {table.rows, 2, {1, 1}, {0, 0}, 0};
  ASSERT_TRUE(layout_attach(by_table, &layout));
  dialog_show_modeless(by_callback, resize_callback, nullptr);
  dialog_show_modeless(by_table, nullptr, nullptr);
  int compared = 0;
  auto compare = [&](const std::string& when) {
    RECT a, b;
    GetClientRect(by_callback, &a);
    GetClientRect(by_table, &b);
    ASSERT_TRUE(EqualRect(&a, &b)) << when << ": the two client areas differ";
    for (int id : {ID_REPORT, ID_BUTTON}) {
      RECT want = client_rect_of(by_callback, id), got = client_rect_of(by_table, id);
      ASSERT_TRUE(EqualRect(&want, &got))
          << when << ", client " << a.right << "x" << a.bottom << ", control " << id << ": (" << got.left << ","
          << got.top << ")-(" << got.right << "," << got.bottom << "), the callback's (" << want.left << ","
          << want.top << ")-(" << want.right << "," << want.bottom << ")";
    }
    ++compared;
  };
  auto resize = [&](int cx, int cy) {
    for (HWND d : {by_callback, by_table})
      SetWindowPos(d, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    compare(std::to_string(cx) + " by " + std::to_string(cy));
  };
  compare("at the start");
  const SIZE sizes[] = {{400, 300}, {333, 257}, {641, 479}, {201, 151}, {517, 389}, {250, 200}};
  for (SIZE s : sizes) resize(s.cx, s.cy);
  for (HWND d : {by_callback, by_table}) ShowWindow(d, SW_MINIMIZE);
  compare("minimised");
  for (HWND d : {by_callback, by_table}) ShowWindow(d, SW_RESTORE);
  compare("restored");
  // The soak draws widths of 120 to 819 and heights of 100 to 649 pixels.
  for (int i = 0; i < 700; ++i) resize(120 + i, 100 + i % 550);
  EXPECT_EQ(compared, 709);
  DestroyWindow(by_callback);
  DestroyWindow(by_table);
  pump_messages();
}

}  // namespace
