// The walk over a list or combo box's initial items.
#include "dialogkit/toolkit/control_items.hpp"

#include "dialogkit/runtime/strings.hpp"

int32_t control_item_count(const ArrayDescriptor* items) {
  if (!items || !(items->flags & ARRAY_FLAG_ITEMS) || !items->elements) return 0;
  int32_t n = 0;
  while (n < items->count && string_view(items->elements[n]).length != 0) ++n;
  return n;
}
