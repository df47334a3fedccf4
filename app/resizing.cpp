// The Resizing application: one resizable dialog with a text box and a push button. On every
// size notification both controls are laid out again in fixed proportions of the client area and
// the text box reports the client size in pixels.
#include "app/resizing.hpp"

#include "app/constants.hpp"
#include "dialogkit/runtime/numtext.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "dialogkit/toolkit/controls.hpp"
#include "dialogkit/toolkit/dialog.hpp"
#include "dialogkit/toolkit/geometry.hpp"
#include "dialogkit/toolkit/layout_rules.hpp"

namespace {

// The dialog: an overlapped window (caption, system menu, sizing border, minimise and maximise
// boxes), centred by the system.
constexpr uint32_t RESIZING_STYLE = WS_OVERLAPPEDWINDOW | DS_CENTER;
static_assert(RESIZING_STYLE == 0x00CF0800, "dialog style");
// The text box: multi-line, scrolling down as lines are added, keeping Enter; a client edge.
constexpr uint32_t REPORT_STYLE = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
constexpr uint32_t REPORT_EX_STYLE = WS_EX_CLIENTEDGE;
static_assert(REPORT_STYLE == 0x1044, "text box style");
static_assert(REPORT_EX_STYLE == 0x200, "text box extended style");

void push_literal(ProcedureFrame* frame, const void* literal) {
  temp_push_literal(frame, literal_at(literal));
}

// The controls' geometry and the size report for a client area of w by h pixels.
void resize_layout(ProcedureFrame* frame, HWND window, uint32_t w, uint32_t h) {
  const AppConstants* c = app_constants();
  UnitPair units = pixels_to_units(window, static_cast<int32_t>(w), static_cast<int32_t>(h));
  int32_t left = layout_scale(units.x, c->factor_left);
  int32_t width = layout_scale(units.x, c->factor_width);
  control_set_position(window, ID_REPORT, left, layout_scale(units.y, c->factor_report_top));
  control_set_size(window, ID_REPORT, width, layout_scale(units.y, c->factor_report_height));
  // "Width = " w " pixels " CR LF "Height = " h " pixels", joined left to right.
  push_literal(frame, &c->width_label);
  number_to_text(frame, static_cast<long double>(static_cast<int32_t>(w)));
  string_join(frame);
  push_literal(frame, &c->pixels_middle);
  string_join(frame);
  push_literal(frame, &c->line_break);
  string_join(frame);
  push_literal(frame, &c->height_label);
  string_join(frame);
  number_to_text(frame, static_cast<long double>(static_cast<int32_t>(h)));
  string_join(frame);
  push_literal(frame, &c->pixels_end);
  string_join(frame);
  control_set_text(frame, window, ID_REPORT);
  control_set_position(window, ID_BUTTON, left, layout_scale(units.y, c->factor_button_top));
  control_set_size(window, ID_BUTTON, width, layout_scale(units.y, c->factor_button_height));
}

}  // namespace

INT_PTR CALLBACK resize_callback(HWND window, UINT message, WPARAM, LPARAM lparam) {
  ProcedureFrame frame = {};
  AppGlobals* globals = app_globals();
  switch (message) {
    case WM_INITDIALOG: {
      LOGBRUSH brush = {BS_SOLID, BACKGROUND_COLOUR, 0};
      globals->background_brush = reinterpret_cast<uintptr_t>(CreateBrushIndirect(&brush));
      frame.result = 1;
      break;
    }
    case WM_DESTROY:
      DeleteObject(reinterpret_cast<HGDIOBJ>(globals->background_brush));
      break;
    case WM_CTLCOLORDLG:
      // The system paints the dialog's background with the brush handed back.
      return static_cast<INT_PTR>(globals->background_brush);
    case WM_SIZE:
      resize_layout(&frame, window, LOWORD(lparam), HIWORD(lparam));
      break;
  }
  return frame.result;
}

HWND resizing_dialog_create() {
  ProcedureFrame frame = {};
  const AppConstants* c = app_constants();
  push_literal(&frame, &c->caption);
  HWND dialog = dialog_create(&frame, nullptr, 0, 0, 105, 90, RESIZING_STYLE, 0);
  // The text box, with empty text.
  push_literal(&frame, &c->empty_text);
  temp_push_empty(&frame);
  control_add(&frame, CONTROL_TEXT_BOX, dialog, ID_REPORT, nullptr, 0, 0, 0, 0, REPORT_STYLE,
              REPORT_EX_STYLE, nullptr);
  // The push button, with the kind's default style.
  push_literal(&frame, &c->button_text);
  temp_push_empty(&frame);
  control_add(&frame, CONTROL_PUSH_BUTTON, dialog, ID_BUTTON, nullptr, 0, 0, 0, 0, 0, 0, nullptr);
  return dialog;
}

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) {
  // A dialog that could not be created is handed on as it is: the show operation returns at
  // once for it.
  HWND dialog = resizing_dialog_create();
  dialog_show_modal(dialog, resize_callback, nullptr);
  return 0;
}
