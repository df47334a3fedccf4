// The system cursor table.
#include "toolkit/cursors.hpp"

namespace {

// Cursor numbers 1 and 4 both give the arrow.
const uint16_t cursors[14] = {
    0,      // none
    32512,  // IDC_ARROW
    32515,  // IDC_CROSS
    32513,  // IDC_IBEAM
    32512,  // IDC_ARROW
    32646,  // IDC_SIZEALL
    32643,  // IDC_SIZENESW
    32645,  // IDC_SIZENS
    32642,  // IDC_SIZENWSE
    32644,  // IDC_SIZEWE
    32516,  // IDC_UPARROW
    32514,  // IDC_WAIT
    32648,  // IDC_NO
    32650,  // IDC_APPSTARTING
};

}  // namespace

uint16_t cursor_identifier(int32_t number) {
  if (number < 0 || number > 13) number = 0;
  return cursors[number];
}
