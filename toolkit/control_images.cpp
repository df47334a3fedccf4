// control_add for any kind, the image kinds included: their own steps before and after the
// window is made. Apart from controls.cpp so that a program that never creates an image control
// links none of this, nor its platform calls; loading an image is in images.cpp.
#include "toolkit/control_create.hpp"

#include "runtime/process.hpp"

// Looking for the resource loads nothing.
uint32_t control_image_style(int32_t kind, const char* name, uint32_t style) {
  if (FindResourceA(process_state()->instance, name, RT_BITMAP)) return style;
  return control_icon_style(kind, style);
}

// An Image shows its resource by itself: it was created with the name as its text. The other
// image kinds load theirs, at the control's size or at the image's own.
void control_image_load(HWND control, int32_t kind, const char* name, PixelBox pixels) {
  if (kind == CONTROL_SIZED_IMAGE)
    control_load_image(control, name, STM_SETIMAGE, pixels.width, pixels.height);
  else if (kind == CONTROL_IMAGE_BUTTON)
    control_load_image(control, name, BM_SETIMAGE, 0, 0);
  else if (kind == CONTROL_SIZED_IMAGE_BUTTON)
    control_load_image(control, name, BM_SETIMAGE, pixels.width, pixels.height);
}

HWND control_add_any_kind(ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id,
                          const ArrayDescriptor* items, int32_t x, int32_t y, int32_t width,
                          int32_t height, uint32_t style, uint32_t ex_style,
                          DialogCallback control_callback) {
  return control_create<true>(frame, kind, dialog, id, items, x, y, width, height, style,
                              ex_style, control_callback);
}

HWND control_add_any_kind(HWND dialog, int32_t kind, int32_t id, const char* text, int32_t x,
                          int32_t y, int32_t width, int32_t height, uint32_t style,
                          uint32_t ex_style, DialogCallback control_callback,
                          const ArrayDescriptor* items) {
  if (kind == CONTROL_CUSTOM_CLASS) return nullptr;  // no class name to create it by
  return control_create<true>(kind, dialog, id, text, nullptr, items, x, y, width, height, style,
                              ex_style, control_callback);
}
