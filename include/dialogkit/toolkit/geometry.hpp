// Control geometry on the Windows API: converting between pixels and a dialog's own
// font-relative units, and moving, sizing and measuring controls and dialogs in those units.
#pragma once
#include <windows.h>

#include <stdint.h>

#include "dialogkit/toolkit/dialog_units.hpp"

// The identifier that stands for the dialog itself in the geometry operations and control_enable.
constexpr int32_t CONTROL_ID_DIALOG = -1;

UnitPair pixels_to_units(HWND dialog, int32_t x, int32_t y);
UnitPair units_to_pixels(HWND dialog, int32_t x, int32_t y);
HWND control_window(HWND dialog, int32_t id);
BOOL control_set_position(HWND dialog, int32_t id, int32_t x, int32_t y);
BOOL control_set_size(HWND dialog, int32_t id, int32_t width, int32_t height);
UnitPair control_get_position(HWND dialog, int32_t id);
UnitPair control_get_size(HWND dialog, int32_t id);
UnitPair dialog_get_client_size(HWND dialog);
