// Creating a control, shared by the forms of control_add: with the image kinds' steps
// (control_images.cpp) and without them (controls.cpp), each with its strings on the temporaries
// or as C strings. A template on whether the image steps
// are there, so that the form without them names none of the image code: a program that creates
// no image control links none of it, nor its platform calls. The toolkit's own.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "runtime/process.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "dialogkit/toolkit/controls.hpp"

// A control's place in pixels.
struct PixelBox {
  int32_t x, y, width, height;
};

// The image kinds' own steps (control_images.cpp). Before creation: the style of an image kind
// whose name is no bitmap resource becomes that of an icon control. After creation and the
// default button: the kinds that load their image do so.
uint32_t control_image_style(int32_t kind, const char* name, uint32_t style);
void control_image_load(HWND control, int32_t kind, const char* name, PixelBox pixels);

// The unit rectangle's edges are mapped and the pixel size is the difference of the mapped edges,
// which may differ by one from the mapped width since each edge rounds on its own. Edges and
// differences are taken with 32-bit wrap-around.
PixelBox control_pixel_box(HWND dialog, int32_t x, int32_t y, int32_t width, int32_t height);
// Creation steps after the window exists, up to the image: font, callback, initial items,
// default button.
void control_finish(HWND control, int32_t kind, HWND dialog, int32_t id,
                    const ArrayDescriptor* items, uint32_t style, DialogCallback control_callback);

// The text is the control's window text (for the image kinds the resource name); the class name
// is used by kind 0 only. Neither is kept.
template <bool with_images>
HWND control_create(int32_t kind, HWND dialog, int32_t id, const char* text,
                    const char* class_name, const ArrayDescriptor* items, int32_t x, int32_t y,
                    int32_t width, int32_t height, uint32_t style, uint32_t ex_style,
                    DialogCallback control_callback) {
  if (kind < CONTROL_CUSTOM_CLASS || kind > CONTROL_KIND_LAST) return nullptr;
  HINSTANCE instance = process_state()->instance;
  PixelBox pixels = control_pixel_box(dialog, x, y, width, height);
  ControlStyle words = control_resolve_style(kind, style, ex_style, pixels.width, pixels.height);
  const ControlKind* row = control_kind(kind);
  if (row) class_name = row->class_name;
  if (with_images && control_is_image_kind(kind))
    words.style = control_image_style(kind, text, words.style);

  HWND control = CreateWindowExA(words.ex_style, class_name, text, words.style, pixels.x, pixels.y,
                                 pixels.width, pixels.height, dialog,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                                 nullptr);
  // Nothing below may act for a control that does not exist: in particular the dialog must not
  // register a default button that was never made.
  if (control) {
    control_finish(control, kind, dialog, id, items, words.style, control_callback);
    if (with_images) control_image_load(control, kind, text, pixels);
  }
  return control;
}

// The form on the string temporaries: the text is the frame's second temporary, the class name
// its top one; both are consumed, whatever the outcome.
template <bool with_images>
HWND control_create(ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id,
                    const ArrayDescriptor* items, int32_t x, int32_t y, int32_t width,
                    int32_t height, uint32_t style, uint32_t ex_style,
                    DialogCallback control_callback) {
  HWND control = control_create<with_images>(kind, dialog, id, temp_view(frame, 1).data,
                                             temp_view(frame, 0).data, items, x, y, width, height,
                                             style, ex_style, control_callback);
  temp_pop_free(frame);  // the class name
  temp_pop_free(frame);  // the text
  return control;
}
