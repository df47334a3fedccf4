// Creating controls by kind number on the Windows API, without the image kinds' own steps: those
// (the bitmap or icon, loading it) are in control_images.cpp, only in programs that may create an
// image control.
#include "dialogkit/toolkit/controls.hpp"

#include "toolkit/control_create.hpp"
#include "toolkit/item_boxes.hpp"

namespace {

void add_items(HWND control, int32_t kind, const ArrayDescriptor* items) {
  UINT message = kind == CONTROL_COMBO_BOX ? ITEM_BOX_MESSAGES[ITEM_BOX_COMBO].add
                                           : ITEM_BOX_MESSAGES[ITEM_BOX_LIST].add;
  int32_t n = control_item_count(items);
  for (int32_t i = 0; i < n; ++i)
    SendMessageA(control, message, 0,
                 reinterpret_cast<LPARAM>(string_view(items->elements[i]).data));
}

bool is_push_button_kind(int32_t kind) {
  return kind == CONTROL_PUSH_BUTTON || kind == CONTROL_IMAGE_BUTTON ||
         kind == CONTROL_SIZED_IMAGE_BUTTON;
}

}  // namespace

PixelBox control_pixel_box(HWND dialog, int32_t x, int32_t y, int32_t width, int32_t height) {
  RECT rect = {x, y, static_cast<LONG>(static_cast<uint32_t>(x) + static_cast<uint32_t>(width)),
               static_cast<LONG>(static_cast<uint32_t>(y) + static_cast<uint32_t>(height))};
  MapDialogRect(dialog, &rect);
  return PixelBox{
      rect.left, rect.top,
      static_cast<int32_t>(static_cast<uint32_t>(rect.right) - static_cast<uint32_t>(rect.left)),
      static_cast<int32_t>(static_cast<uint32_t>(rect.bottom) - static_cast<uint32_t>(rect.top))};
}

void control_finish(HWND control, int32_t kind, HWND dialog, int32_t id,
                    const ArrayDescriptor* items, uint32_t style, DialogCallback control_callback) {
  // The font of the control's own dialog: the one recorded last may be another dialog's, deleted
  // by the system with that dialog.
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialog_font_record(dialog)), 1);
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control_callback));
  add_items(control, kind, items);
  if (is_push_button_kind(kind) && (style & BS_DEFPUSHBUTTON))
    SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(static_cast<UINT>(id)), 0);
}

HWND control_add_without_images(ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id,
                                const ArrayDescriptor* items, int32_t x, int32_t y, int32_t width,
                                int32_t height, uint32_t style, uint32_t ex_style,
                                DialogCallback control_callback) {
  return control_create<false>(frame, kind, dialog, id, items, x, y, width, height, style,
                               ex_style, control_callback);
}

HWND control_add_without_images(HWND dialog, int32_t kind, int32_t id, const char* text,
                                int32_t x, int32_t y, int32_t width, int32_t height,
                                uint32_t style, uint32_t ex_style, DialogCallback control_callback,
                                const ArrayDescriptor* items) {
  if (kind == CONTROL_CUSTOM_CLASS) return nullptr;  // no class name to create it by
  return control_create<false>(kind, dialog, id, text, nullptr, items, x, y, width, height, style,
                               ex_style, control_callback);
}
