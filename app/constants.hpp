// The application's constants area and globals area in the data image: its string literals and
// single-precision layout factors, and its one global, the background brush.
#pragma once
#include <stddef.h>

#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/strings.hpp"

struct __attribute__((packed)) AppConstants {
  // Layout factors, stored and used in single precision.
  float factor_left;
  float factor_report_top;
  float factor_width;
  float factor_report_height;
  float factor_button_top;
  float factor_button_height;
  LiteralOf<8> caption;
  LiteralOf<16> button_text;
  uint16_t empty_text;  // the empty literal: length 0
  LiteralOf<8> width_label;
  LiteralOf<8> pixels_middle;
  LiteralOf<2> line_break;
  LiteralOf<9> height_label;
  LiteralOf<7> pixels_end;
  unsigned char padding[236 - 24 - 10 - 18 - 2 - 10 - 10 - 4 - 11 - 9];
};
static_assert(offsetof(AppConstants, caption) == 24, "six 4-byte factors before the texts");
static_assert(sizeof(AppConstants) == DATA_CONSTANTS_SIZE, "the constants area is 236 bytes");

struct __attribute__((packed)) AppGlobals {
  uintptr_t background_brush;
  unsigned char padding[DATA_GLOBALS_SIZE - sizeof(uintptr_t)];
};
static_assert(sizeof(AppGlobals) <= DATA_GLOBALS_SIZE, "the globals area is 12 bytes");

// The constants and globals at their working place (after start-up has prepared the image).
inline const AppConstants* app_constants() {
  return reinterpret_cast<const AppConstants*>(data_constants());
}
inline AppGlobals* app_globals() { return reinterpret_cast<AppGlobals*>(data_globals()); }
