// The system cursor table.
#include "toolkit/cursors.hpp"

#include "toolkit/win32_values.hpp"

namespace {

// Number 0 names no cursor; numbers 1 and 4 both give the arrow.
const uint16_t cursors[14] = {
    0,
    WIN_IDC_ARROW,
    WIN_IDC_CROSS,
    WIN_IDC_IBEAM,
    WIN_IDC_ARROW,
    WIN_IDC_SIZEALL,
    WIN_IDC_SIZENESW,
    WIN_IDC_SIZENS,
    WIN_IDC_SIZENWSE,
    WIN_IDC_SIZEWE,
    WIN_IDC_UPARROW,
    WIN_IDC_WAIT,
    WIN_IDC_NO,
    WIN_IDC_APPSTARTING,
};

}  // namespace

uint16_t cursor_identifier(int32_t number) {
  if (number < 0 || number > 13) number = 0;
  return cursors[number];
}
