// Layout tables: where each control of a resizable dialog goes, as rules on the client area's
// size in dialog units, and the arithmetic that turns a rule and a client size into the control's
// place and size. Pure logic, built on the host as well; attaching a table to a dialog, which
// applies it on every size change, is in layout.hpp.
#pragma once
#include <stdint.h>

#include "dialogkit/toolkit/dialog_units.hpp"

// One value of a rule: a proportion of the client area's width (for left and right) or height
// (for top and bottom), plus an offset in dialog units. {0, 8} is 8 units from the near side,
// {1, -8} 8 units from the far side, {0.5f, 0} the middle.
struct LayoutEdge {
  float proportion;  // single precision, normally 0 to 1
  int32_t offset;
};
static_assert(sizeof(LayoutEdge) == 8, "a proportion and an offset");

// Row flags: the row's `right` is the control's width, measured from its left edge, rather than
// its right edge; likewise `bottom` and the height.
enum : uint32_t {
  LAYOUT_RIGHT_IS_WIDTH = 1,
  LAYOUT_BOTTOM_IS_HEIGHT = 2,
  LAYOUT_SIZE = LAYOUT_RIGHT_IS_WIDTH | LAYOUT_BOTTOM_IS_HEIGHT,
};

// One control of a layout table, by its identifier. Plain data: a table is a constant array of
// rows in the program's code or its constants area.
struct LayoutRow {
  int32_t id;
  uint32_t flags;
  LayoutEdge left, top;
  LayoutEdge right;   // the right edge, or with LAYOUT_RIGHT_IS_WIDTH the width
  LayoutEdge bottom;  // the bottom edge, or with LAYOUT_BOTTOM_IS_HEIGHT the height
};
static_assert(sizeof(LayoutRow) == 40, "identifier, flags and four values");

// A control's place and size in dialog units.
struct UnitRect {
  int32_t x, y, width, height;
};

// n times a single-precision proportion: the product formed exactly in extended precision (a
// 32-bit integer times a 24-bit significand fits the 64-bit significand), then rounded to the
// nearest integer, ties to even, under the working control word.
int32_t layout_scale(int32_t n, float proportion);
// The value of an edge for a client extent of `n` units: layout_scale(n, proportion) + offset.
int32_t layout_edge(LayoutEdge edge, int32_t n);
// The row's rectangle for a client area of `client` units. Each of the four values is rounded on
// its own, so an extent is exactly layout_scale of its proportion (scale(W, 0.1) + scale(W, 0.8)
// need not be scale(W, 0.9)). A width or height that comes out below zero is zero.
UnitRect layout_place(const LayoutRow& row, UnitPair client);
