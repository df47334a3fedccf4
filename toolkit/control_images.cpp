// Control images: loading a bitmap or icon resource onto a control, and control_add for any
// kind, the image kinds included. Apart from controls.cpp so that a program that never creates an
// image control or sets an image links none of this, nor its platform calls.
#include "toolkit/control_create.hpp"

#include "runtime/process.hpp"

namespace {

// Icons are shared images: the system owns them and the toolkit never frees them. The flag does
// not share bitmaps: each load makes a new bitmap, which the toolkit deletes unless a control
// holds it.
constexpr UINT IMAGE_LOAD_FLAGS = LR_SHARED | LR_LOADMAP3DCOLORS;  // 0x9000
static_assert(IMAGE_LOAD_FLAGS == 0x9000, "image load flags");

}  // namespace

// Looking for the resource loads nothing.
uint32_t control_image_style(int32_t kind, const char* name, uint32_t style) {
  if (FindResourceA(process_state()->instance, name, RT_BITMAP)) return style;
  return control_icon_style(kind, style);
}

// An Image shows its resource by itself: it was created with the name as its text. The other
// image kinds load theirs, at the control's size or at the image's own.
void control_image_load(HWND control, int32_t kind, const char* name, PixelBox pixels) {
  if (kind == CONTROL_SIZED_IMAGE)
    load_control_image(control, name, STM_SETIMAGE, pixels.width, pixels.height);
  else if (kind == CONTROL_IMAGE_BUTTON)
    load_control_image(control, name, BM_SETIMAGE, 0, 0);
  else if (kind == CONTROL_SIZED_IMAGE_BUTTON)
    load_control_image(control, name, BM_SETIMAGE, pixels.width, pixels.height);
}

LRESULT load_control_image(HWND control, const char* name, UINT target_message, int cx, int cy) {
  HINSTANCE instance = process_state()->instance;
  UINT type = IMAGE_BITMAP;
  HANDLE image = LoadImageA(instance, name, IMAGE_BITMAP, cx, cy, IMAGE_LOAD_FLAGS);
  // Sent also without an icon: the control then shows no image.
  if (!image) image = LoadImageA(instance, name, type = IMAGE_ICON, cx, cy, IMAGE_LOAD_FLAGS);
  LRESULT previous = SendMessageA(control, target_message, type, reinterpret_cast<LPARAM>(image));
  // A bitmap is nobody's but ours until a control holds it. A control that took it holds bitmaps
  // (its style says which kind of image it shows), so what it handed back in exchange is a bitmap,
  // or none, and is deleted; a bitmap it refused is deleted itself. Icons are shared: never.
  UINT get_message = target_message == STM_SETIMAGE ? STM_GETIMAGE : BM_GETIMAGE;
  if (type == IMAGE_BITMAP) {
    bool taken =
        SendMessageA(control, get_message, IMAGE_BITMAP, 0) == reinterpret_cast<LRESULT>(image);
    DeleteObject(taken ? reinterpret_cast<HGDIOBJ>(previous) : image);
  }
  return previous;
}

HWND control_add_any_kind(ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id,
                          const ArrayDescriptor* items, int32_t x, int32_t y, int32_t width,
                          int32_t height, uint32_t style, uint32_t ex_style,
                          DialogCallback control_callback) {
  return control_create<true>(frame, kind, dialog, id, items, x, y, width, height, style,
                              ex_style, control_callback);
}
