// The Resizing application: its main procedure creates the dialog and runs it modally.
#include "app/constants.hpp"
#include "toolkit/dialog.hpp"

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  ProcedureFrame frame = {};
  temp_push_literal(&frame, app_literal(&app_constants()->caption));
  HWND dialog = dialog_create(&frame, nullptr, 0, 0, 105, 90, 0x00CF0800, 0);
  dialog_show_modal(dialog, nullptr, nullptr);
  return 0;
}
