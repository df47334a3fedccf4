// The arithmetic of layout tables: proportions of the client size in single precision, rounded
// once each in the x87 working form, offsets added in 32-bit arithmetic.
#include "dialogkit/toolkit/layout_rules.hpp"

#include "runtime/x87.hpp"

namespace {

// Sums and differences wrap like the 32-bit arithmetic they stand for, without overflowing a
// signed type, whatever a table holds.
int32_t wrapping_add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
int32_t wrapping_sub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

// The extent from `near` to the far value, or the far value itself when it is an extent; never
// below zero.
int32_t extent_of(int32_t near, int32_t far, bool far_is_extent) {
  int32_t extent = far_is_extent ? far : wrapping_sub(far, near);
  return extent < 0 ? 0 : extent;
}

}  // namespace

int32_t layout_scale(int32_t n, float proportion) {
  // Exact product; the one rounding is the store, under the working control word (nearest, even).
  long double product = static_cast<long double>(n) * proportion;
  return fpu_round_int32(product);
}

int32_t layout_edge(LayoutEdge edge, int32_t n) {
  return wrapping_add(layout_scale(n, edge.proportion), edge.offset);
}

UnitRect layout_place(const LayoutRow& row, UnitPair client) {
  int32_t x = layout_edge(row.left, client.x), y = layout_edge(row.top, client.y);
  int32_t right = layout_edge(row.right, client.x), bottom = layout_edge(row.bottom, client.y);
  int32_t width = extent_of(x, right, row.flags & LAYOUT_RIGHT_IS_WIDTH);
  int32_t height = extent_of(y, bottom, row.flags & LAYOUT_BOTTOM_IS_HEIGHT);
  return UnitRect{x, y, width, height};
}
