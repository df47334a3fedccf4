// The dialog template in memory: the effective style of a new dialog and the DLGTEMPLATE bytes
// (fixed header without items, the caption widened to UTF-16, the DS_SETFONT font block) that
// dialog_create hands to the system. Pure logic, built on the host as well.
#pragma once
#include <stdint.h>

// Style bits the template rules work with (the platform's values; the host has no windows.h).
enum : uint32_t {
  DIALOG_STYLE_DEFAULT = 0x80C000D4,  // WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT |
                                      // DS_NOFAILCREATE | DS_3DLOOK
  DIALOG_STYLE_ADDED = 0x54,          // DS_3DLOOK | DS_NOFAILCREATE | DS_SETFONT
  DIALOG_STYLE_REMOVED = 0x10000002,  // WS_VISIBLE | DS_SYSMODAL
  DIALOG_STYLE_CENTER = 0x800,        // DS_CENTER
};

// The template: fixed header, the caption widened to UTF-16 (at most 256 units), 8-point
// "MS Sans Serif". 54 + 2n bytes, at most 566.
constexpr int DIALOG_TEMPLATE_MAX = 566;
constexpr int DIALOG_CAPTION_MAX = 256;
constexpr uint16_t DIALOG_FONT_POINTS = 8;
uint32_t dialog_effective_style(uint32_t style, int32_t x, int32_t y);
// Writes the template into `buffer` (room for DIALOG_TEMPLATE_MAX bytes); returns its size.
int dialog_template_build(unsigned char* buffer, const char* caption, uint32_t caption_length,
                          int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style,
                          uint32_t ex_style);
