// Control images: bitmaps or icons set on existing controls. Icons are shared images, which the
// system owns; a bitmap that a control gives back in exchange is deleted (control_load_image).
#include "dialogkit/toolkit/controls.hpp"

#include "dialogkit/runtime/strings.hpp"

LRESULT control_set_image(ProcedureFrame* frame, HWND dialog, int32_t id, uint32_t options) {
  HWND control = GetDlgItem(dialog, id);
  RECT client = {0, 0, 0, 0};  // 0 by 0 loads the image at its own size
  if (options & IMAGE_OPT_SIZED) GetClientRect(control, &client);
  UINT target = (options & IMAGE_OPT_BUTTON) ? BM_SETIMAGE : STM_SETIMAGE;
  LRESULT result =
      control_load_image(control, temp_view(frame, 0).data, target, client.right, client.bottom);
  temp_pop_free(frame);
  return result;
}
