// Numbers read from controls: the control's text pushed and then read by text to number, which
// consumes it. A unit of its own, so that only programs that read numbers link the parser.
#include "dialogkit/runtime/numread.hpp"
#include "dialogkit/toolkit/controls.hpp"

long double control_get_number(ProcedureFrame* frame, HWND dialog, int32_t id, NumberScan* scan) {
  control_get_text(frame, dialog, id);
  return text_to_number(frame, scan);
}

double control_get_double(ProcedureFrame* frame, HWND dialog, int32_t id, NumberScan* scan) {
  control_get_text(frame, dialog, id);
  return text_to_double(frame, scan);
}

int32_t control_get_int32(ProcedureFrame* frame, HWND dialog, int32_t id, NumberScan* scan) {
  control_get_text(frame, dialog, id);
  return text_to_int32(frame, scan);
}
