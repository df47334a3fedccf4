// Loading a bitmap or icon resource onto a control: for the image kinds of control_add and for
// control_set_image, each in a member of its own, so that a program links only the one it uses.
#include "dialogkit/toolkit/controls.hpp"

#include "runtime/process.hpp"

namespace {

// Icons are shared images: the system owns them and the toolkit never frees them. The flag does
// not share bitmaps: each load makes a new bitmap, which the toolkit deletes unless a control
// holds it.
constexpr UINT IMAGE_LOAD_FLAGS = LR_SHARED | LR_LOADMAP3DCOLORS;  // 0x9000
static_assert(IMAGE_LOAD_FLAGS == 0x9000, "image load flags");

}  // namespace

LRESULT control_load_image(HWND control, const char* name, UINT target_message, int cx, int cy) {
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
