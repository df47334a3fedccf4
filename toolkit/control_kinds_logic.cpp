// The control kind table and the rules that turn a caller's style words into the ones a control
// is created with.
#include "toolkit/control_kinds.hpp"

namespace {

// The platform's style bits these rules test (the host build has no windows.h).
enum : uint32_t {
  STYLE_BORDER = 0x00800000,           // WS_BORDER
  EX_STYLE_CLIENT_EDGE = 0x00000200,   // WS_EX_CLIENTEDGE
  STYLE_SCROLL_VERTICAL = 0x00000001,  // SBS_VERT
  STATIC_TYPE_BITS = 0x0000000E,       // SS_BITMAP
  STATIC_ICON = 0x00000003,            // SS_ICON
  BUTTON_BITMAP = 0x00000080,          // BS_BITMAP
  BUTTON_ICON = 0x00000040,            // BS_ICON
};

// Every forced style holds WS_CHILD | WS_VISIBLE. The masks strip what would make the control a
// popup, hidden-state, framed or sizing window, and the button-type bits of other button kinds.
const ControlKind kinds[CONTROL_KIND_COUNT] = {
    {"BUTTON", 0x50010000, 0x50000000, 0},           // push button
    {"BUTTON", 0x50010006, 0x50000006, 0xAFFC50C9},  // three-state check box
    {"BUTTON", 0x50010003, 0x50000003, 0xAFFC50CC},  // check box
    {"BUTTON", 0x50000007, 0x50000007, 0xAFFFFFF8},  // group frame
    {"STATIC", 0x50000000, 0x50000000, 0},           // label
    {"STATIC", 0x50000012, 0x50000000, 0},           // etched frame
    {"BUTTON", 0x50010009, 0x50000009, 0xAFFC10C6},  // option button
    {"SCROLLBAR", 0x50000000, 0x50000000, 0},        // scroll bar
    {"EDIT", 0x50810080, 0x50000000, 0},             // text box
    {"STATIC", 0x5000000E, 0x5000000E, 0},           // image
    {"STATIC", 0x5000000E, 0x5000000E, 0},           // sized image
    {"BUTTON", 0x50010080, 0x50000080, 0},           // image button
    {"BUTTON", 0x50010080, 0x50000080, 0},           // sized image button
    {"COMBOBOX", 0x50010102, 0x50000000, 0},         // combo box
    {"LISTBOX", 0x50A10003, 0x50000001, 0},          // list box
};

bool has_client_edge_default(int32_t kind) {
  return kind == CONTROL_TEXT_BOX || kind == CONTROL_COMBO_BOX || kind == CONTROL_LIST_BOX;
}

}  // namespace

const ControlKind* control_kind(int32_t kind) {
  if (kind < 1 || kind > CONTROL_KIND_COUNT) return nullptr;
  return &kinds[kind - 1];
}

ControlStyle control_resolve_style(int32_t kind, uint32_t style, uint32_t ex_style,
                                   int32_t pixel_width, int32_t pixel_height) {
  const ControlKind* row = control_kind(kind);
  if (!row) return ControlStyle{style, ex_style};
  // Only the default is adjusted; a caller's own style is taken as it is.
  if (style == 0) {
    style = row->default_style;
    if (kind == CONTROL_SCROLL_BAR && pixel_width < pixel_height) style |= STYLE_SCROLL_VERTICAL;
    // The sunken client edge looks right where a plain border was asked for.
    if (has_client_edge_default(kind) && (style & STYLE_BORDER)) {
      style &= ~STYLE_BORDER;
      ex_style |= EX_STYLE_CLIENT_EDGE;
    }
  }
  style = (style | row->forced_style) & ~row->mask;
  return ControlStyle{style, ex_style};
}

bool control_is_image_kind(int32_t kind) {
  return kind >= CONTROL_IMAGE && kind <= CONTROL_SIZED_IMAGE_BUTTON;
}

uint32_t control_icon_style(int32_t kind, uint32_t style) {
  if (kind == CONTROL_IMAGE || kind == CONTROL_SIZED_IMAGE)
    return (style & ~STATIC_TYPE_BITS) | STATIC_ICON;
  if (kind == CONTROL_IMAGE_BUTTON || kind == CONTROL_SIZED_IMAGE_BUTTON)
    return (style & ~BUTTON_BITMAP) | BUTTON_ICON;
  return style;
}
