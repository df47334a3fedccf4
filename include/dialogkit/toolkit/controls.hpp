// Controls on the Windows API: creating a control by kind number, and the small operations on
// controls and dialogs (text, messages, focus, enabling, showing, check state, combo and list
// items, the mouse cursor, images). The kind table and its style rules, the item walk and the
// cursor table are pure logic, in control_kinds.hpp, control_items.hpp and cursors.hpp.
//
// Strings follow the temporaries convention of runtime/strings.hpp: string arguments are the top
// temporaries of the caller's frame and are consumed; string results are pushed. control_add
// also comes in a form that takes its text as a C string, without a frame.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "dialogkit/runtime/frame.hpp"
#include "dialogkit/runtime/numread.hpp"
#include "dialogkit/toolkit/control_items.hpp"
#include "dialogkit/toolkit/control_kinds.hpp"
#include "dialogkit/toolkit/dialog.hpp"

// Names kept from 1.x for their newer ones, until 2.0. They are marked deprecated only where a
// program asks for it by defining DIALOGKIT_WARN_DEPRECATED: marked always, they would break the
// builds of existing programs that treat warnings as errors.
#ifndef DIALOGKIT_DEPRECATED
#ifdef DIALOGKIT_WARN_DEPRECATED
#define DIALOGKIT_DEPRECATED(message) [[deprecated(message)]]
#else
#define DIALOGKIT_DEPRECATED(message)
#endif
#endif

// Creates a control on `dialog`. Position and size are in the dialog's units. The frame's top
// temporary is the class name (used by kind 0 only), the one below it the window text (for the
// image kinds the resource name); both are consumed. `items` may be null. Returns 0, creating
// nothing, when the system refuses or the kind is not 0 to 15.
//
// A program pays for image loading only where it may create an image control: when the kind is
// a constant that names no image kind (CONTROL_TEXT_BOX, ...), control_add calls
// control_add_without_images, which links none of the image code or its platform calls; any
// other kind (an image kind, or a kind only known at run time) goes to control_add_any_kind.
HWND control_add_any_kind(ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id,
                          const ArrayDescriptor* items, int32_t x, int32_t y, int32_t width,
                          int32_t height, uint32_t style, uint32_t ex_style,
                          DialogCallback control_callback);
// As control_add for every kind but the image kinds (10 to 13), which it creates as controls of
// their class and style without looking for or loading their image.
HWND control_add_without_images(ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id,
                                const ArrayDescriptor* items, int32_t x, int32_t y, int32_t width,
                                int32_t height, uint32_t style, uint32_t ex_style,
                                DialogCallback control_callback);
__attribute__((always_inline)) inline HWND control_add(
    ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id, const ArrayDescriptor* items,
    int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style, uint32_t ex_style,
    DialogCallback control_callback) {
  if (__builtin_constant_p(kind) && (kind < CONTROL_IMAGE || kind > CONTROL_SIZED_IMAGE_BUTTON))
    return control_add_without_images(frame, kind, dialog, id, items, x, y, width, height, style,
                                      ex_style, control_callback);
  return control_add_any_kind(frame, kind, dialog, id, items, x, y, width, height, style,
                              ex_style, control_callback);
}

// The same three in one call, with the text as a C string, which is read and not kept: no string
// temporaries and no frame. The dialog comes first, then what names the control (kind,
// identifier, text), then its place, then what is optional. Kind 0 needs a class name, which
// only the forms above carry: here it creates nothing and returns 0. Each form lies beside its
// form above, so a program that uses neither links none of it.
//   control_add(dialog, CONTROL_PUSH_BUTTON, ID_OK, "&OK", 8, 8, 48, 14, 0, 0, ok_clicked);
HWND control_add_any_kind(HWND dialog, int32_t kind, int32_t id, const char* text, int32_t x,
                          int32_t y, int32_t width, int32_t height, uint32_t style = 0,
                          uint32_t ex_style = 0, DialogCallback control_callback = nullptr,
                          const ArrayDescriptor* items = nullptr);
HWND control_add_without_images(HWND dialog, int32_t kind, int32_t id, const char* text,
                                int32_t x, int32_t y, int32_t width, int32_t height,
                                uint32_t style = 0, uint32_t ex_style = 0,
                                DialogCallback control_callback = nullptr,
                                const ArrayDescriptor* items = nullptr);
__attribute__((always_inline)) inline HWND control_add(
    HWND dialog, int32_t kind, int32_t id, const char* text, int32_t x, int32_t y, int32_t width,
    int32_t height, uint32_t style = 0, uint32_t ex_style = 0,
    DialogCallback control_callback = nullptr, const ArrayDescriptor* items = nullptr) {
  if (__builtin_constant_p(kind) && (kind < CONTROL_IMAGE || kind > CONTROL_SIZED_IMAGE_BUTTON))
    return control_add_without_images(dialog, kind, id, text, x, y, width, height, style,
                                      ex_style, control_callback, items);
  return control_add_any_kind(dialog, kind, id, text, x, y, width, height, style, ex_style,
                              control_callback, items);
}

// Loads the named bitmap, or else icon, from the program's resources at cx by cy pixels (0 and 0
// for its own size) and sends it with `target_message` (STM_SETIMAGE or BM_SETIMAGE). Returns the
// image the control held before. Bitmaps are not shared: a bitmap the control refuses, and a
// bitmap it hands back in exchange, are deleted (the handle returned then names none).
// The image kinds and control_set_image go through it. Also named control_load_image, object
// first as the read operations are.
LRESULT control_load_image(HWND control, const char* name, UINT target_message, int cx, int cy);
inline LRESULT load_control_image(HWND control, const char* name, UINT target_message, int cx,
                                  int cy) {
  return control_load_image(control, name, target_message, cx, cy);
}

// Text and messages. The set operations consume the frame's top temporary; the get operations
// push the text they read (cut to WINDOW_TEXT_BUFFER - 1 characters; empty without a window).
BOOL control_set_text(ProcedureFrame* frame, HWND dialog, int32_t id);
BOOL window_set_text(ProcedureFrame* frame, HWND window);
constexpr int WINDOW_TEXT_BUFFER = 32770;
void window_get_text(ProcedureFrame* frame, HWND window);
void control_get_text(ProcedureFrame* frame, HWND dialog, int32_t id);
// A control's text read straight into a number (runtime/numread.hpp): the working value, a
// double, or a 32-bit integer, with the record of what the text held (scan may be 0). Nothing
// is left on the temporaries. No control reads as the empty text: NUMBER_EMPTY.
long double control_get_number(ProcedureFrame* frame, HWND dialog, int32_t id, NumberScan* scan);
double control_get_double(ProcedureFrame* frame, HWND dialog, int32_t id, NumberScan* scan);
int32_t control_get_int32(ProcedureFrame* frame, HWND dialog, int32_t id, NumberScan* scan);
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

// Combo boxes and list boxes. Item numbers count from 1, in arguments and results alike, and 0
// is "none"; only the add operations answer the system's 0-based index of the new item (its
// number is that plus 1). The add operations consume the top temporary; the selected-text
// operations push.
LRESULT combo_add(ProcedureFrame* frame, HWND dialog, int32_t id);
LRESULT combo_delete(HWND dialog, int32_t id, int32_t item);
LRESULT combo_select(HWND dialog, int32_t id, int32_t item);
LRESULT combo_reset(HWND dialog, int32_t id);
void combo_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id);
// The number of items; 0 also without such a control.
int32_t combo_get_count(HWND dialog, int32_t id);
// The selected item's number; 0 when nothing is selected or there is no such control.
int32_t combo_get_selected(HWND dialog, int32_t id);
LRESULT list_add(ProcedureFrame* frame, HWND dialog, int32_t id);
LRESULT list_delete(HWND dialog, int32_t id, int32_t item);
LRESULT list_select(HWND dialog, int32_t id, int32_t item);
LRESULT list_reset(HWND dialog, int32_t id);
void list_get_selected_text(ProcedureFrame* frame, HWND dialog, int32_t id);
int32_t list_get_count(HWND dialog, int32_t id);
// As combo_get_selected. A multiple-selection list answers the item with the focus rectangle,
// selected or not: ask list_get_selected_items there.
int32_t list_get_selected(HWND dialog, int32_t id);
// Stores the numbers of the selected items, in ascending order, into `items`, at most `capacity`
// of them, and returns how many it stored. A single-selection list gives its one selected item.
int32_t list_get_selected_items(HWND dialog, int32_t id, int32_t* items, int32_t capacity);

// The 1.x names of the counts, until 2.0.
DIALOGKIT_DEPRECATED("combo_count is combo_get_count")
inline int32_t combo_count(HWND dialog, int32_t id) { return combo_get_count(dialog, id); }
DIALOGKIT_DEPRECATED("list_count is list_get_count")
inline int32_t list_count(HWND dialog, int32_t id) { return list_get_count(dialog, id); }

// Sets a system cursor by number and returns the previous cursor.
HCURSOR cursor_set(int32_t number);

// Image options.
enum : uint32_t {
  IMAGE_OPT_SIZED = 1,   // load the image at the control's client size
  IMAGE_OPT_BUTTON = 2,  // the control is a button (BM_SETIMAGE), not a static (STM_SETIMAGE)
};
// The image name is the frame's top temporary, consumed.
LRESULT control_set_image(ProcedureFrame* frame, HWND dialog, int32_t id, uint32_t options);
