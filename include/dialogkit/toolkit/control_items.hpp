// The initial items of a list or combo box as control_add receives them: the descriptor record
// and the walk that decides how many of its elements are added. Pure logic, built on the host as
// well.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "dialogkit/runtime/frame.hpp"

// The address of the first DynString element, a flags word (the items are used only when it
// holds ARRAY_FLAG_ITEMS) and the element count.
struct ArrayDescriptor {
  const DynString* elements;
  uint32_t flags;
  int32_t count;
};
constexpr uint32_t ARRAY_FLAG_ITEMS = 4;
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(ArrayDescriptor, elements) == 0, "descriptor layout");
static_assert(offsetof(ArrayDescriptor, flags) == 4, "descriptor layout");
static_assert(offsetof(ArrayDescriptor, count) == 8, "descriptor layout");
static_assert(sizeof(ArrayDescriptor) == 12, "descriptor layout");
#endif
// How many leading elements are added: none without descriptor or flag, otherwise up to the
// count, stopping before the first null or empty element.
int32_t control_item_count(const ArrayDescriptor* items);
