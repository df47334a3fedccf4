// Dialog units and control geometry: converting between pixels and a dialog's own font-relative
// units, and moving, sizing and measuring controls and dialogs in those units.
//
// The rounding rule is pure and also built on the host; everything below the _WIN32 line needs
// the Windows API.
#pragma once
#include <stdint.h>

// A horizontal and a vertical value, always travelling together.
struct UnitPair {
  int32_t x, y;
};

// n / d rounded with exact halves away from zero; d == 0 gives n unscaled, a negative d gives the
// truncated quotient.
int32_t rounded_quotient(int32_t n, int32_t d);
// Pixels to units, given the pixel count of 1000 units. The product pixels x 1000 is taken in
// signed 32-bit arithmetic, exact for pixel values within +-2,147,483.
int32_t pixels_scaled_to_units(int32_t pixels, int32_t pixels_per_1000_units);

#ifdef _WIN32
#include <windows.h>

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
#endif
