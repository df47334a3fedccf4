// Control kinds: the kind numbers, the built-in table that gives each its window class and style
// words, and the rules that turn a caller's style words into the ones a control is created with.
// Pure logic, built on the host as well; control_add in controls.hpp creates the control.
#pragma once
#include <stdint.h>

// Kind numbers. Kind 0 has no row: class name and style words come from the caller unchanged.
enum : int32_t {
  CONTROL_CUSTOM_CLASS = 0,
  CONTROL_PUSH_BUTTON = 1,
  CONTROL_THREE_STATE_CHECK_BOX = 2,
  CONTROL_CHECK_BOX = 3,
  CONTROL_GROUP_FRAME = 4,
  CONTROL_LABEL = 5,
  CONTROL_ETCHED_FRAME = 6,
  CONTROL_OPTION_BUTTON = 7,
  CONTROL_SCROLL_BAR = 8,
  CONTROL_TEXT_BOX = 9,
  CONTROL_IMAGE = 10,
  CONTROL_SIZED_IMAGE = 11,
  CONTROL_IMAGE_BUTTON = 12,
  CONTROL_SIZED_IMAGE_BUTTON = 13,
  CONTROL_COMBO_BOX = 14,
  CONTROL_LIST_BOX = 15,
  CONTROL_KIND_LAST = CONTROL_LIST_BOX,  // the highest kind number, the table's last row
};

// One row of the kind table: the window class, the style used when the caller passes 0, the bits
// always added and the bits always removed.
struct ControlKind {
  const char* class_name;
  uint32_t default_style;
  uint32_t forced_style;   // always added
  uint32_t removed_style;  // always removed (the table's style mask)
};

// The row of kinds 1 to 15; no row (nullptr) for kind 0 and every number outside the table.
const ControlKind* control_kind(int32_t kind);

struct ControlStyle {
  uint32_t style;
  uint32_t ex_style;
};
// The style words a control of a table kind is created with, given the caller's words and the
// control's size in pixels; kind 0 (and any number without a row) keeps the caller's words.
ControlStyle control_resolve_style(int32_t kind, uint32_t style, uint32_t ex_style,
                                   int32_t pixel_width, int32_t pixel_height);
bool control_is_image_kind(int32_t kind);
// The style of an image kind turned from a bitmap control into an icon control.
uint32_t control_icon_style(int32_t kind, uint32_t style);
