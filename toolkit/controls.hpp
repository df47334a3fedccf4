// Controls: the built-in table of control kinds, creating a control by kind number, and the small
// operations on controls and dialogs (text, messages, focus, enabling, showing, check state,
// combo and list items, the mouse cursor, images).
//
// The kind table, the style rules, the item walk and the cursor table are pure and also built on
// the host; everything below the _WIN32 line needs the Windows API.
//
// Strings follow the temporaries convention of runtime/strings.hpp: string arguments are the top
// temporaries of the caller's frame and are consumed; string results are pushed.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "runtime/frame.hpp"

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
  CONTROL_KIND_COUNT = 15,
};

// One row of the kind table: the window class, the style used when the caller passes 0, the bits
// always added and the bits always removed.
struct ControlKind {
  const char* class_name;
  uint32_t default_style;
  uint32_t forced_style;
  uint32_t mask;
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

// The initial items of a list or combo box: the address of the first DynString element, a flags
// word (the items are used only when it holds ARRAY_FLAG_ITEMS) and the element count.
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

// The system cursor identifier of a cursor number; numbers outside 0 to 13 count as 0, whose
// identifier 0 names no cursor.
uint16_t cursor_identifier(int32_t number);

#ifdef _WIN32
#include <windows.h>

#include "toolkit/dialog.hpp"

// Creates a control on `dialog`. Position and size are in the dialog's units. The frame's top
// temporary is the class name (used by kind 0 only), the one below it the window text (for the
// image kinds the resource name); both are consumed. `items` may be null. Returns 0, creating
// nothing, when the system refuses or the kind is not 0 to 15.
HWND control_add(ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id,
                 const ArrayDescriptor* items, int32_t x, int32_t y, int32_t width, int32_t height,
                 uint32_t style, uint32_t ex_style, DialogCallback control_callback);
// Loads the named bitmap, or else icon, from the program's resources at cx by cy pixels (0 and 0
// for its own size) and sends it with `target_message` (STM_SETIMAGE or BM_SETIMAGE).
LRESULT load_control_image(HWND control, const char* name, UINT target_message, int cx, int cy);

// Text and messages. The set operations consume the frame's top temporary; window_get_text pushes.
BOOL control_set_text(ProcedureFrame* frame, HWND dialog, int32_t id);
BOOL window_set_text(ProcedureFrame* frame, HWND window);
constexpr int WINDOW_TEXT_BUFFER = 32770;
void window_get_text(ProcedureFrame* frame, HWND window);
LRESULT message_send(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL message_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Windows and controls. Only control_enable takes -1 for the dialog itself.
LONG_PTR control_set_callback(HWND dialog, int32_t id, DialogCallback callback);
HWND control_set_focus(HWND dialog, int32_t id);
BOOL control_enable(HWND dialog, int32_t id, BOOL flag);
// The result is also stored at `result` unless that is null.
BOOL window_show(HWND window, int show_command, int32_t* result);
BOOL control_destroy(HWND dialog, int32_t id);
LRESULT button_get_check(HWND dialog, int32_t id);
LRESULT button_set_check(HWND dialog, int32_t id, WPARAM state);

// Combo boxes and list boxes. Item numbers count from 1; the add operations consume the top
// temporary and return the system's 0-based index; the selected-text operations push.
LRESULT combo_add(ProcedureFrame* frame, HWND dialog, int32_t id);
LRESULT combo_delete(HWND dialog, int32_t id, int32_t item);
LRESULT combo_select(HWND dialog, int32_t id, int32_t item);
LRESULT combo_reset(HWND dialog, int32_t id);
void combo_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id);
LRESULT list_add(ProcedureFrame* frame, HWND dialog, int32_t id);
LRESULT list_delete(HWND dialog, int32_t id, int32_t item);
LRESULT list_select(HWND dialog, int32_t id, int32_t item);
LRESULT list_reset(HWND dialog, int32_t id);
void list_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id);

// Sets a system cursor by number and returns the previous cursor.
HCURSOR cursor_set(int32_t number);

// Image options.
enum : uint32_t {
  IMAGE_OPT_SIZED = 1,   // load the image at the control's client size
  IMAGE_OPT_BUTTON = 2,  // the control is a button (BM_SETIMAGE), not a static (STM_SETIMAGE)
};
// The image name is the frame's top temporary, consumed.
LRESULT control_set_image(ProcedureFrame* frame, HWND dialog, int32_t id, uint32_t options);
#endif
