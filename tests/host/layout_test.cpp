// Layout tables' arithmetic: the rounding of proportions, each kind of rule, extents below zero,
// and Resizing's own layout written as a table, which must give exactly the rectangles its
// callback computes, for every client size in units a WM_SIZE can bring.
#include "dialogkit/toolkit/layout_rules.hpp"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <string>

namespace {

float single(uint32_t bits) {
  float f;
  memcpy(&f, &bits, sizeof f);
  return f;
}

// The product of an integer below 2^24 and a single-precision value is exact in double
// precision; nearbyint rounds it to nearest, ties to even, in the default rounding mode. A model
// of layout_scale that shares nothing with it.
int32_t scale_model(int32_t n, float proportion) {
  return static_cast<int32_t>(nearbyint(static_cast<double>(n) * static_cast<double>(proportion)));
}

struct ScaleCase {
  int32_t n;
  float proportion;
  int32_t want;
  const char* what;
};

TEST(LayoutRules, ScaleRoundsTheExactProductOnce) {
  const ScaleCase cases[] = {
      {0, 0.35f, 0, "nothing"},
      {200, 1.0f, 200, "the whole"},
      {200, 0.0f, 0, "none of it"},
      {401, 0.5f, 200, "200.5: a tie goes to the even 200"},
      {403, 0.5f, 202, "201.5: a tie goes to the even 202"},
      {-401, 0.5f, -200, "-200.5: to the even -200"},
      {333, 0.25f, 83, "83.25"},
      {5, single(0x3DCCCCCD), 1, "5 x 0.1 lies just above 0.5"},
      {10, single(0x3F266666), 6, "10 x 0.65 lies just below 6.5"},
      {30, single(0x3F266666), 19, "30 x 0.65 lies just below 19.5"},
      {65535, single(0x3F4CCCCD), 52428, "the largest client, 0.8"},
      {100, 1.5f, 150, "beyond the whole"},
  };
  for (const ScaleCase& c : cases) EXPECT_EQ(layout_scale(c.n, c.proportion), c.want) << c.what;
}

TEST(LayoutRules, ScaleAgreesWithAnIndependentModel) {
  const float proportions[] = {0.1f, 0.05f, 0.8f, 0.4f, 0.65f, 0.2f, 0.35f, 0.5f, 1.0f / 3, 0.9f, 0.999f};
  for (float p : proportions)
    for (int32_t n = -70000; n <= 70000; ++n) ASSERT_EQ(layout_scale(n, p), scale_model(n, p)) << n << " x " << p;
}

struct PlaceCase {
  const char* what;
  LayoutRow row;
  UnitPair client;
  UnitRect want;
};

TEST(LayoutRules, EachKindOfRule) {
  const PlaceCase cases[] = {
      {"fixed edges", {1, 0, {0, 4}, {0, 6}, {0, 44}, {0, 20}}, {300, 200}, {4, 6, 40, 14}},
      {"edges that follow the far sides", {1, 0, {0, 7}, {0, 7}, {1, -7}, {1, -28}}, {240, 150}, {7, 7, 226, 115}},
      {"a fixed size at the far sides", {1, LAYOUT_SIZE, {1, -66}, {1, -21}, {0, 50}, {0, 14}}, {240, 150},
       {174, 129, 50, 14}},
      {"a proportion of the width", {1, 0, {0, 7}, {0, 7}, {0.35f, -3}, {1, -28}}, {240, 150}, {7, 7, 74, 115}},
      {"a width only", {1, LAYOUT_RIGHT_IS_WIDTH, {0.5f, 0}, {0, 4}, {0.5f, -4}, {0.25f, 0}}, {401, 333},
       {200, 4, 196, 79}},
      {"a height only", {1, LAYOUT_BOTTOM_IS_HEIGHT, {0, 2}, {0.5f, 1}, {1, -2}, {0, 12}}, {100, 81},
       {2, 41, 96, 12}},  // 40.5 goes to the even 40
      {"offsets beyond the client", {1, 0, {1, 10}, {1, 20}, {1, 30}, {1, 25}}, {50, 40}, {60, 60, 20, 5}},
      {"a negative place", {1, LAYOUT_SIZE, {1, -66}, {1, -21}, {0, 50}, {0, 14}}, {0, 0}, {-66, -21, 50, 14}},
      // Below zero a width or height is zero, as the system would make it.
      {"edges crossed", {1, 0, {0, 7}, {0, 7}, {1, -7}, {1, -28}}, {10, 30}, {7, 7, 0, 0}},
      {"a negative extent", {1, LAYOUT_SIZE, {0, 0}, {0, 0}, {0.5f, -20}, {0, -1}}, {30, 30}, {0, 0, 0, 0}},
      {"a client of no size", {1, 0, {0.1f, 0}, {0.05f, 0}, {0.9f, 0}, {0.45f, 0}}, {0, 0}, {0, 0, 0, 0}},
  };
  for (const PlaceCase& c : cases) {
    UnitRect got = layout_place(c.row, c.client);
    EXPECT_EQ(got.x, c.want.x) << c.what;
    EXPECT_EQ(got.y, c.want.y) << c.what;
    EXPECT_EQ(got.width, c.want.width) << c.what;
    EXPECT_EQ(got.height, c.want.height) << c.what;
  }
}

// An extent is scaled on its own: 0.1 and 0.8 of 5 are 1 and 4, while 0.9 of 5 is 4 (4.4999999).
TEST(LayoutRules, AnExtentIsNotTheDifferenceOfTwoEdges) {
  const LayoutRow as_width = {1, LAYOUT_RIGHT_IS_WIDTH, {0.1f, 0}, {0, 0}, {0.8f, 0}, {0, 0}};
  const LayoutRow as_edge = {1, 0, {0.1f, 0}, {0, 0}, {0.9f, 0}, {0, 0}};
  EXPECT_EQ(layout_place(as_width, UnitPair{5, 0}).width, 4);
  EXPECT_EQ(layout_place(as_edge, UnitPair{5, 0}).width, 3);
}

TEST(LayoutRules, ExtremesWrapWithoutOverflow) {
  const LayoutRow far = {1, 0, {0, INT32_MIN}, {0, INT32_MAX}, {0, INT32_MAX}, {0, INT32_MIN}};
  UnitRect got = layout_place(far, UnitPair{65535, 65535});
  EXPECT_EQ(got.x, INT32_MIN);
  EXPECT_EQ(got.y, INT32_MAX);
  EXPECT_EQ(got.width, 0);   // INT32_MAX - INT32_MIN wraps to -1
  EXPECT_EQ(got.height, 1);  // INT32_MIN - INT32_MAX wraps to 1
  const LayoutRow huge = {1, LAYOUT_SIZE, {1, INT32_MAX}, {0, 0}, {0, 1}, {0, 1}};
  EXPECT_EQ(layout_place(huge, UnitPair{1, 1}).x, INT32_MIN);
}

// ---- Resizing's layout as a table ----

// The single-precision factors of the Resizing program, by their bit patterns.
const float LEFT = single(0x3DCCCCCD), REPORT_TOP = single(0x3D4CCCCD), WIDTH = single(0x3F4CCCCD),
            REPORT_HEIGHT = single(0x3ECCCCCD), BUTTON_TOP = single(0x3F266666),
            BUTTON_HEIGHT = single(0x3E4CCCCD);

// The text box and the button: both at 0.1 of the width and 0.8 of it wide; the text box from
// 0.05 of the height, 0.4 of it high; the button from 0.65, 0.2 high. Positions and sizes, as the
// callback computes them.
const LayoutRow resizing_rows[] = {
    {101, LAYOUT_SIZE, {LEFT, 0}, {REPORT_TOP, 0}, {WIDTH, 0}, {REPORT_HEIGHT, 0}},
    {201, LAYOUT_SIZE, {LEFT, 0}, {BUTTON_TOP, 0}, {WIDTH, 0}, {BUTTON_HEIGHT, 0}},
};

// What Resizing's callback passes to control_set_position and control_set_size for a client of
// W by H units, each value its own scale.
void callback_rects(int32_t w, int32_t h, UnitRect* report, UnitRect* button) {
  int32_t left = scale_model(w, LEFT), width = scale_model(w, WIDTH);
  *report = {left, scale_model(h, REPORT_TOP), width, scale_model(h, REPORT_HEIGHT)};
  *button = {left, scale_model(h, BUTTON_TOP), width, scale_model(h, BUTTON_HEIGHT)};
}

bool same(const UnitRect& a, const UnitRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::string text_of(const UnitRect& r) {
  return std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) + "x" +
         std::to_string(r.height);
}

// WM_SIZE carries 16-bit client sizes, and a dialog unit is more than a pixel at 96 dpi and
// above, so pixels_to_units makes fewer units than pixels: every client in units is within 0 to
// 65535 on each axis. Each axis's values depend on that axis alone, so the
// two sweeps below, one with both axes rising and one with them opposite, meet every width and
// every height with both rows.
TEST(LayoutExactness, ResizingTableGivesTheCallbacksRectangles) {
  for (int32_t n = 0; n <= 65535; ++n) {
    for (UnitPair client : {UnitPair{n, n}, UnitPair{n, 65535 - n}}) {
      UnitRect report, button;
      callback_rects(client.x, client.y, &report, &button);
      UnitRect table_report = layout_place(resizing_rows[0], client);
      UnitRect table_button = layout_place(resizing_rows[1], client);
      ASSERT_TRUE(same(table_report, report)) << client.x << " by " << client.y << ": text box "
                                              << text_of(table_report) << ", the callback's " << text_of(report);
      ASSERT_TRUE(same(table_button, button)) << client.x << " by " << client.y << ": button "
                                              << text_of(table_button) << ", the callback's " << text_of(button);
    }
  }
}

// The rectangles the product's behaviour fixes: 200 by 123 units place the text box at 20, 6,
// 160 by 49 and the button at 20, 80, 160 by 25.
TEST(LayoutExactness, ResizingTableAt200By123) {
  EXPECT_TRUE(same(layout_place(resizing_rows[0], UnitPair{200, 123}), UnitRect{20, 6, 160, 49}));
  EXPECT_TRUE(same(layout_place(resizing_rows[1], UnitPair{200, 123}), UnitRect{20, 80, 160, 25}));
}

}  // namespace
