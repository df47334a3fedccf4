// Creating controls by kind number on the Windows API, and loading their images.
#include "toolkit/controls.hpp"

#include "runtime/process.hpp"
#include "runtime/strings.hpp"

namespace {

// Icons are shared images: the system owns them and the toolkit never frees them. The flag does
// not share bitmaps: each load makes a new bitmap, which the toolkit deletes unless a control
// holds it.
constexpr UINT IMAGE_LOAD_FLAGS = LR_SHARED | LR_LOADMAP3DCOLORS;  // 0x9000
static_assert(IMAGE_LOAD_FLAGS == 0x9000, "image load flags");

// A control's place in pixels.
struct PixelBox {
  int32_t x, y, width, height;
};

// The unit rectangle's edges are mapped and the pixel size is the difference of the mapped edges,
// which may differ by one from the mapped width since each edge rounds on its own. Edges and
// differences are taken with 32-bit wrap-around.
PixelBox pixel_box(HWND dialog, int32_t x, int32_t y, int32_t width, int32_t height) {
  RECT rect = {x, y, static_cast<LONG>(static_cast<uint32_t>(x) + static_cast<uint32_t>(width)),
               static_cast<LONG>(static_cast<uint32_t>(y) + static_cast<uint32_t>(height))};
  MapDialogRect(dialog, &rect);
  return PixelBox{
      rect.left, rect.top,
      static_cast<int32_t>(static_cast<uint32_t>(rect.right) - static_cast<uint32_t>(rect.left)),
      static_cast<int32_t>(static_cast<uint32_t>(rect.bottom) - static_cast<uint32_t>(rect.top))};
}

void add_items(HWND control, int32_t kind, const ArrayDescriptor* items) {
  UINT message = kind == CONTROL_COMBO_BOX ? CB_ADDSTRING : LB_ADDSTRING;
  int32_t n = control_item_count(items);
  for (int32_t i = 0; i < n; ++i)
    SendMessageA(control, message, 0,
                 reinterpret_cast<LPARAM>(string_view(items->elements[i]).data));
}

bool is_push_button_kind(int32_t kind) {
  return kind == CONTROL_PUSH_BUTTON || kind == CONTROL_IMAGE_BUTTON ||
         kind == CONTROL_SIZED_IMAGE_BUTTON;
}

// Creation steps after the window exists: font, callback, initial items, default button, image.
void control_finish(HWND control, int32_t kind, HWND dialog, int32_t id,
                    const ArrayDescriptor* items, uint32_t style, PixelBox pixels, const char* text,
                    DialogCallback control_callback) {
  // The font of the control's own dialog: the one recorded last may be another dialog's, deleted
  // by the system with that dialog.
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialog_font_record(dialog)), 1);
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control_callback));
  add_items(control, kind, items);
  if (is_push_button_kind(kind) && (style & BS_DEFPUSHBUTTON))
    SendMessageA(dialog, DM_SETDEFID, static_cast<WPARAM>(static_cast<UINT>(id)), 0);
  // An Image shows its resource by itself: it was created with the name as its text.
  if (kind == CONTROL_SIZED_IMAGE)
    load_control_image(control, text, STM_SETIMAGE, pixels.width, pixels.height);
  else if (kind == CONTROL_IMAGE_BUTTON)
    load_control_image(control, text, BM_SETIMAGE, 0, 0);
  else if (kind == CONTROL_SIZED_IMAGE_BUTTON)
    load_control_image(control, text, BM_SETIMAGE, pixels.width, pixels.height);
}

}  // namespace

// In an input section of its own, which the link drops from a program that shows no image:
// link-time optimisation can find every call of it unreachable (a program that adds no image
// control) only after the function itself has been kept for output.
__attribute__((section(".text$load_control_image"))) LRESULT load_control_image(
    HWND control, const char* name, UINT target_message, int cx, int cy) {
  HINSTANCE instance = process_state()->instance;
  UINT type = IMAGE_BITMAP;
  HANDLE image = LoadImageA(instance, name, IMAGE_BITMAP, cx, cy, IMAGE_LOAD_FLAGS);
  // Sent also without an icon: the control then shows no image.
  if (!image) image = LoadImageA(instance, name, type = IMAGE_ICON, cx, cy, IMAGE_LOAD_FLAGS);
  LRESULT previous = SendMessageA(control, target_message, type, reinterpret_cast<LPARAM>(image));
  // A bitmap is nobody's but ours until a control holds it. What a control that took it handed
  // back in exchange is deleted if it is a bitmap: the system's controls hold images of the kind
  // their style says, but a button of the common controls of version 6 holds one image of either
  // type, and may hand back a (shared) icon. A bitmap the control refused is deleted itself.
  // Icons are shared: never.
  UINT get_message = target_message == STM_SETIMAGE ? STM_GETIMAGE : BM_GETIMAGE;
  if (type == IMAGE_BITMAP) {
    bool taken =
        SendMessageA(control, get_message, IMAGE_BITMAP, 0) == reinterpret_cast<LRESULT>(image);
    HGDIOBJ unheld = taken ? reinterpret_cast<HGDIOBJ>(previous) : image;
    if (GetObjectType(unheld) == OBJ_BITMAP) DeleteObject(unheld);
  }
  return previous;
}

HWND control_add(ProcedureFrame* frame, int32_t kind, HWND dialog, int32_t id,
                 const ArrayDescriptor* items, int32_t x, int32_t y, int32_t width, int32_t height,
                 uint32_t style, uint32_t ex_style, DialogCallback control_callback) {
  HWND control = nullptr;
  const char* text = temp_view(frame, 1).data;
  if (kind >= CONTROL_CUSTOM_CLASS && kind <= CONTROL_KIND_LAST) {
    HINSTANCE instance = process_state()->instance;
    PixelBox pixels = pixel_box(dialog, x, y, width, height);
    ControlStyle words = control_resolve_style(kind, style, ex_style, pixels.width, pixels.height);
    const ControlKind* row = control_kind(kind);
    const char* class_name = row ? row->class_name : temp_view(frame, 0).data;
    // An image kind whose name is no bitmap resource becomes an icon control. Looking for the
    // resource loads nothing.
    if (control_is_image_kind(kind) && !FindResourceA(instance, text, RT_BITMAP))
      words.style = control_icon_style(kind, words.style);

    control = CreateWindowExA(words.ex_style, class_name, text, words.style, pixels.x, pixels.y,
                              pixels.width, pixels.height, dialog,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    // Nothing below may act for a control that does not exist: in particular the dialog must not
    // register a default button that was never made.
    if (control)
      control_finish(control, kind, dialog, id, items, words.style, pixels, text, control_callback);
  }
  temp_pop_free(frame);  // the class name
  temp_pop_free(frame);  // the text
  return control;
}
