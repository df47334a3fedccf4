// The mouse cursor and control images: system cursors chosen by number, and bitmaps or icons set
// on existing controls. Cursors and icons are shared images, which the system owns; a bitmap that
// a control gives back in exchange is deleted (load_control_image).
#include "toolkit/controls.hpp"

#include "runtime/strings.hpp"
#include "toolkit/cursors.hpp"

HCURSOR cursor_set(int32_t number) {
  constexpr UINT flags = LR_SHARED | LR_LOADMAP3DCOLORS | LR_DEFAULTSIZE;
  static_assert(flags == 0x9040, "cursor load flags");
  // Identifier 0 loads nothing, and SetCursor(0) takes the cursor off the screen.
  HANDLE cursor =
      LoadImageA(nullptr, MAKEINTRESOURCEA(cursor_identifier(number)), IMAGE_CURSOR, 0, 0, flags);
  return SetCursor(static_cast<HCURSOR>(cursor));
}

LRESULT control_set_image(ProcedureFrame* frame, HWND dialog, int32_t id, uint32_t options) {
  HWND control = GetDlgItem(dialog, id);
  RECT client = {0, 0, 0, 0};  // 0 by 0 loads the image at its own size
  if (options & IMAGE_OPT_SIZED) GetClientRect(control, &client);
  UINT target = (options & IMAGE_OPT_BUTTON) ? BM_SETIMAGE : STM_SETIMAGE;
  LRESULT result =
      load_control_image(control, temp_view(frame, 0).data, target, client.right, client.bottom);
  temp_pop_free(frame);
  return result;
}
