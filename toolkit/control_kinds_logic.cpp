// The control kind table and the rules that turn a caller's style words into the ones a control
// is created with.
#include "dialogkit/toolkit/control_kinds.hpp"

#include "toolkit/win32_values.hpp"

namespace {

constexpr uint32_t CHILD_VISIBLE = WIN_WS_CHILD | WIN_WS_VISIBLE;

// What the check box and option button kinds strip from any style: the popup, hidden-state,
// disabled, clipping, maximise, border, frame, scroll-bar, system-menu and sizing bits, the
// push-like look and the picture bits.
constexpr uint32_t BUTTON_STRIPPED = WIN_WS_POPUP | WIN_WS_MINIMIZE | WIN_WS_DISABLED |
                                     WIN_WS_CLIPSIBLINGS | WIN_WS_CLIPCHILDREN | WIN_WS_MAXIMIZE |
                                     WIN_WS_CAPTION | WIN_WS_VSCROLL | WIN_WS_HSCROLL |
                                     WIN_WS_SYSMENU | WIN_WS_THICKFRAME | WIN_BS_PUSHLIKE |
                                     WIN_BS_BITMAP | WIN_BS_ICON;
static_assert(BUTTON_STRIPPED == 0xAFFC10C0, "bits stripped from buttons");

// The button-type bits that would turn a button of type `type` into another type: forced on top
// of `type` and removed with these, the type comes out as `type` whatever the caller passed.
constexpr uint32_t other_button_types(uint32_t type) { return WIN_BS_TYPEMASK & ~type; }

// Every forced style holds WS_CHILD | WS_VISIBLE. Check boxes of either kind also lose
// BS_NOTIFY; option buttons keep it. A group frame keeps nothing of the caller's style.
// One row per kind from 1 to the last.
const ControlKind kinds[CONTROL_KIND_LAST] = {
    {"BUTTON",  // push button
     CHILD_VISIBLE | WIN_WS_TABSTOP | WIN_BS_PUSHBUTTON, CHILD_VISIBLE, 0},
    {"BUTTON",  // three-state check box
     CHILD_VISIBLE | WIN_WS_TABSTOP | WIN_BS_AUTO3STATE, CHILD_VISIBLE | WIN_BS_AUTO3STATE,
     BUTTON_STRIPPED | WIN_BS_NOTIFY | other_button_types(WIN_BS_AUTO3STATE)},
    {"BUTTON",  // check box
     CHILD_VISIBLE | WIN_WS_TABSTOP | WIN_BS_AUTOCHECKBOX, CHILD_VISIBLE | WIN_BS_AUTOCHECKBOX,
     BUTTON_STRIPPED | WIN_BS_NOTIFY | other_button_types(WIN_BS_AUTOCHECKBOX)},
    {"BUTTON",  // group frame
     CHILD_VISIBLE | WIN_BS_GROUPBOX, CHILD_VISIBLE | WIN_BS_GROUPBOX,
     ~(CHILD_VISIBLE | WIN_BS_GROUPBOX)},
    {"STATIC",  // label
     CHILD_VISIBLE | WIN_SS_LEFT, CHILD_VISIBLE, 0},
    {"STATIC",  // etched frame
     CHILD_VISIBLE | WIN_SS_ETCHEDFRAME, CHILD_VISIBLE, 0},
    {"BUTTON",  // option button
     CHILD_VISIBLE | WIN_WS_TABSTOP | WIN_BS_AUTORADIOBUTTON,
     CHILD_VISIBLE | WIN_BS_AUTORADIOBUTTON,
     BUTTON_STRIPPED | other_button_types(WIN_BS_AUTORADIOBUTTON)},
    {"SCROLLBAR",  // scroll bar
     CHILD_VISIBLE | WIN_SBS_HORZ, CHILD_VISIBLE, 0},
    {"EDIT",  // text box
     CHILD_VISIBLE | WIN_WS_BORDER | WIN_WS_TABSTOP | WIN_ES_AUTOHSCROLL, CHILD_VISIBLE, 0},
    {"STATIC",  // image
     CHILD_VISIBLE | WIN_SS_BITMAP, CHILD_VISIBLE | WIN_SS_BITMAP, 0},
    {"STATIC",  // sized image
     CHILD_VISIBLE | WIN_SS_BITMAP, CHILD_VISIBLE | WIN_SS_BITMAP, 0},
    {"BUTTON",  // image button
     CHILD_VISIBLE | WIN_WS_TABSTOP | WIN_BS_BITMAP, CHILD_VISIBLE | WIN_BS_BITMAP, 0},
    {"BUTTON",  // sized image button
     CHILD_VISIBLE | WIN_WS_TABSTOP | WIN_BS_BITMAP, CHILD_VISIBLE | WIN_BS_BITMAP, 0},
    {"COMBOBOX",  // combo box
     CHILD_VISIBLE | WIN_WS_TABSTOP | WIN_CBS_DROPDOWN | WIN_CBS_SORT, CHILD_VISIBLE, 0},
    {"LISTBOX",  // list box
     CHILD_VISIBLE | WIN_WS_BORDER | WIN_WS_VSCROLL | WIN_WS_TABSTOP | WIN_LBS_NOTIFY |
         WIN_LBS_SORT,
     CHILD_VISIBLE | WIN_LBS_NOTIFY, 0},
};

bool has_client_edge_default(int32_t kind) {
  return kind == CONTROL_TEXT_BOX || kind == CONTROL_COMBO_BOX || kind == CONTROL_LIST_BOX;
}

}  // namespace

const ControlKind* control_kind(int32_t kind) {
  if (kind < 1 || kind > CONTROL_KIND_LAST) return nullptr;
  return &kinds[kind - 1];
}

ControlStyle control_resolve_style(int32_t kind, uint32_t style, uint32_t ex_style,
                                   int32_t pixel_width, int32_t pixel_height) {
  const ControlKind* row = control_kind(kind);
  if (!row) return ControlStyle{style, ex_style};
  // Only the default is adjusted; a caller's own style is taken as it is.
  if (style == 0) {
    style = row->default_style;
    if (kind == CONTROL_SCROLL_BAR && pixel_width < pixel_height) style |= WIN_SBS_VERT;
    // The sunken client edge looks right where a plain border was asked for.
    if (has_client_edge_default(kind) && (style & WIN_WS_BORDER)) {
      style &= ~WIN_WS_BORDER;
      ex_style |= WIN_WS_EX_CLIENTEDGE;
    }
  }
  style = (style | row->forced_style) & ~row->removed_style;
  return ControlStyle{style, ex_style};
}

bool control_is_image_kind(int32_t kind) {
  return kind >= CONTROL_IMAGE && kind <= CONTROL_SIZED_IMAGE_BUTTON;
}

uint32_t control_icon_style(int32_t kind, uint32_t style) {
  if (kind == CONTROL_IMAGE || kind == CONTROL_SIZED_IMAGE)
    return (style & ~WIN_SS_BITMAP) | WIN_SS_ICON;
  if (kind == CONTROL_IMAGE_BUTTON || kind == CONTROL_SIZED_IMAGE_BUTTON)
    return (style & ~WIN_BS_BITMAP) | WIN_BS_ICON;
  return style;
}
