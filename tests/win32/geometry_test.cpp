// Dialog units on the real Windows API: the conversions against MapDialogRect, moving and sizing
// controls and dialogs without touching what the operation does not own, and reading positions
// and sizes back in units.
#include "dialogkit/toolkit/geometry.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "dialogkit/runtime/strings.hpp"
#include "tests/win32/support/dialog_recorder.hpp"
#include "tests/win32/support/test_support.hpp"
#include "dialogkit/toolkit/controls.hpp"

namespace {

class GeometryTest : public testing::Test {
 protected:
  void SetUp() override {
    dialog_ = make_dialog(nullptr, 0, "Geometry", 20, 30, 200, 150);
    ASSERT_TRUE(dialog_);
  }
  void TearDown() override {
    for (HWND w : extra_) DestroyWindow(w);
    DestroyWindow(dialog_);
    pump_messages();
  }
  HWND label(int32_t id, int32_t x, int32_t y, int32_t w, int32_t h) {
    ProcedureFrame frame = {};
    temp_push_cstring(&frame, "label");
    temp_push_empty(&frame);
    return control_add(&frame, CONTROL_LABEL, dialog_, id, nullptr, x, y, w, h, 0, 0, nullptr);
  }
  // A window's rectangle in its parent's client coordinates (the screen for a top-level one).
  RECT placed(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    if (HWND parent = GetParent(window); parent && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
      MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  UnitPair mapped(HWND dialog, int32_t x, int32_t y) {
    RECT r = {0, 0, x, y};
    MapDialogRect(dialog, &r);
    return UnitPair{r.right, r.bottom};
  }
  std::vector<HWND> z_order() {
    std::vector<HWND> out;
    for (HWND w = GetWindow(dialog_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) out.push_back(w);
    return out;
  }
  HWND dialog_ = nullptr;
  std::vector<HWND> extra_;
};

TEST_F(GeometryTest, ConversionsFollowMapDialogRect) {
  UnitPair thousand = mapped(dialog_, 1000, 1000);
  ASSERT_GT(thousand.x, 0);
  for (int32_t u : {0, 1, 3, 4, 7, 8, 105, 90, -4, -9}) {
    UnitPair p = units_to_pixels(dialog_, u, u);
    UnitPair want = mapped(dialog_, u, u);
    EXPECT_EQ(p.x, want.x) << u;
    EXPECT_EQ(p.y, want.y) << u;
  }
  EXPECT_EQ(pixels_to_units(dialog_, 0, 0).x, 0);
  EXPECT_EQ(pixels_to_units(dialog_, 0, 0).y, 0);
  // Pixels to units divide by the pixels of 1000 units, not of the 4 by 8 base.
  for (int32_t px = -40; px <= 40; ++px) {
    UnitPair u = pixels_to_units(dialog_, px, px);
    EXPECT_EQ(u.x, rounded_quotient(px * 1000, thousand.x)) << px;
    EXPECT_EQ(u.y, rounded_quotient(px * 1000, thousand.y)) << px;
  }
  // A round trip comes back within one unit.
  for (int32_t u = -20; u <= 20; ++u) {
    UnitPair p = units_to_pixels(dialog_, u, u);
    UnitPair back = pixels_to_units(dialog_, p.x, p.y);
    EXPECT_NEAR(back.x, u, 1) << u;
    EXPECT_NEAR(back.y, u, 1) << u;
  }
}

TEST_F(GeometryTest, SetPositionMovesOnly) {
  HWND a = label(1, 10, 10, 40, 20), b = label(2, 20, 15, 40, 20), c = label(3, 30, 20, 40, 20);
  ASSERT_TRUE(a && b && c);
  std::vector<HWND> order = z_order();
  RECT before = placed(b);
  EXPECT_TRUE(control_set_position(dialog_, 2, 55, 44));
  RECT after = placed(b);
  UnitPair want = units_to_pixels(dialog_, 55, 44);
  EXPECT_EQ(after.left, want.x);
  EXPECT_EQ(after.top, want.y);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  EXPECT_EQ(z_order(), order);
}

TEST_F(GeometryTest, SetSizeSizesOnly) {
  HWND a = label(1, 10, 10, 40, 20), b = label(2, 20, 15, 40, 20), c = label(3, 30, 20, 40, 20);
  ASSERT_TRUE(a && b && c);
  std::vector<HWND> order = z_order();
  RECT before = placed(b);
  EXPECT_TRUE(control_set_size(dialog_, 2, 63, 17));
  RECT after = placed(b);
  UnitPair want = units_to_pixels(dialog_, 63, 17);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(after.right - after.left, want.x);
  EXPECT_EQ(after.bottom - after.top, want.y);
  EXPECT_EQ(z_order(), order);
}

TEST_F(GeometryTest, GetGivesBackWhatWasSet) {
  ASSERT_TRUE(label(5, 0, 0, 10, 10));
  const UnitPair values[] = {{0, 0}, {1, 1}, {7, 3}, {33, 41}, {105, 90}};
  for (UnitPair v : values) {
    control_set_position(dialog_, 5, v.x, v.y);
    control_set_size(dialog_, 5, v.x, v.y);
    UnitPair p = units_to_pixels(dialog_, v.x, v.y);
    UnitPair exact = pixels_to_units(dialog_, p.x, p.y);  // each direction rounds on its own
    UnitPair pos = control_get_position(dialog_, 5), size = control_get_size(dialog_, 5);
    EXPECT_EQ(pos.x, exact.x);
    EXPECT_EQ(pos.y, exact.y);
    EXPECT_EQ(size.x, exact.x);
    EXPECT_EQ(size.y, exact.y);
    EXPECT_NEAR(pos.x, v.x, 1);
    EXPECT_NEAR(pos.y, v.y, 1);
  }
}

TEST_F(GeometryTest, MinusOneIsTheDialogInItsOwnUnits) {
  EXPECT_TRUE(control_set_position(dialog_, CONTROL_ID_DIALOG, 40, 24));
  RECT r;
  GetWindowRect(dialog_, &r);
  UnitPair want = units_to_pixels(dialog_, 40, 24);
  EXPECT_EQ(r.left, want.x);
  EXPECT_EQ(r.top, want.y);
  // An unowned dialog reads back its screen position in its own units.
  UnitPair pos = control_get_position(dialog_, CONTROL_ID_DIALOG);
  UnitPair exact = pixels_to_units(dialog_, want.x, want.y);
  EXPECT_EQ(pos.x, exact.x);
  EXPECT_EQ(pos.y, exact.y);
  EXPECT_TRUE(control_set_size(dialog_, CONTROL_ID_DIALOG, 150, 100));
  GetWindowRect(dialog_, &r);
  UnitPair outer = units_to_pixels(dialog_, 150, 100);
  EXPECT_EQ(r.right - r.left, outer.x);
  EXPECT_EQ(r.bottom - r.top, outer.y);
  EXPECT_EQ(r.left, want.x);  // sizing leaves the position alone
  UnitPair size = control_get_size(dialog_, CONTROL_ID_DIALOG);
  UnitPair exact_size = pixels_to_units(dialog_, outer.x, outer.y);
  EXPECT_EQ(size.x, exact_size.x);
  EXPECT_EQ(size.y, exact_size.y);
}

TEST_F(GeometryTest, OwnedDialogPositionIsInTheOwnersClientUnits) {
  HWND owned = make_dialog(dialog_, 0, "Owned", 0, 0, 60, 40);
  ASSERT_TRUE(owned);
  extra_.push_back(owned);
  SetWindowPos(dialog_, nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetWindowPos(owned, nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  POINT origin = {0, 0};
  ClientToScreen(dialog_, &origin);
  UnitPair want = pixels_to_units(dialog_, 300 - origin.x, 250 - origin.y);
  UnitPair pos = control_get_position(owned, CONTROL_ID_DIALOG);
  EXPECT_EQ(pos.x, want.x);
  EXPECT_EQ(pos.y, want.y);
}

TEST_F(GeometryTest, ClientSizeInUnits) {
  RECT client;
  GetClientRect(dialog_, &client);
  UnitPair size = dialog_get_client_size(dialog_);
  UnitPair want = pixels_to_units(dialog_, client.right, client.bottom);
  EXPECT_EQ(size.x, want.x);
  EXPECT_EQ(size.y, want.y);
  // The template asked for a 200 by 150 unit client area.
  EXPECT_NEAR(size.x, 200, 1);
  EXPECT_NEAR(size.y, 150, 1);
}

TEST_F(GeometryTest, MissingControl) {
  HWND a = label(1, 10, 10, 40, 20);
  RECT before = placed(a), dialog_before;
  GetWindowRect(dialog_, &dialog_before);
  EXPECT_EQ(control_window(dialog_, 99), nullptr);
  EXPECT_EQ(control_window(dialog_, CONTROL_ID_DIALOG), dialog_);
  EXPECT_FALSE(control_set_position(dialog_, 99, 5, 5));
  EXPECT_FALSE(control_set_size(dialog_, 99, 5, 5));
  UnitPair pos = control_get_position(dialog_, 99), size = control_get_size(dialog_, 99);
  EXPECT_EQ(pos.x, 0);
  EXPECT_EQ(pos.y, 0);
  EXPECT_EQ(size.x, 0);
  EXPECT_EQ(size.y, 0);
  RECT after = placed(a), dialog_after;
  GetWindowRect(dialog_, &dialog_after);
  EXPECT_TRUE(EqualRect(&before, &after));
  EXPECT_TRUE(EqualRect(&dialog_before, &dialog_after));
}

}  // namespace
