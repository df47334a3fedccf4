// The dialog template in memory: the effective style of a new dialog and the DLGTEMPLATE bytes
// (fixed header without items, the caption widened to UTF-16, the DS_SETFONT font block) that
// dialog_create hands to the system. Pure logic, built on the host as well.
#pragma once
#include <stdint.h>

#include "toolkit/win32_values.hpp"

// The style rules of a new dialog.
enum : uint32_t {
  // The style taken when the caller passes 0: a popup with caption and modal frame.
  DIALOG_STYLE_DEFAULT = WIN_WS_POPUP | WIN_WS_CAPTION | WIN_DS_MODALFRAME | WIN_DS_SETFONT |
                         WIN_DS_NOFAILCREATE | WIN_DS_3DLOOK,
  // Always added: the three-dimensional look, creation even when part of the dialog fails, and
  // the font block that every template carries.
  DIALOG_STYLE_ADDED = WIN_DS_3DLOOK | WIN_DS_NOFAILCREATE | WIN_DS_SETFONT,
  // Always removed: a dialog is created hidden and is never system-modal.
  DIALOG_STYLE_REMOVED = WIN_WS_VISIBLE | WIN_DS_SYSMODAL,
  // Added for a position of -1.
  DIALOG_STYLE_CENTER = WIN_DS_CENTER,
};
static_assert(DIALOG_STYLE_DEFAULT == 0x80C000D4, "default dialog style");
static_assert(DIALOG_STYLE_ADDED == 0x54, "dialog style always added");
static_assert(DIALOG_STYLE_REMOVED == 0x10000002, "dialog style always removed");
static_assert(DIALOG_STYLE_CENTER == 0x800, "centred dialog style");

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

// The template's title widens each caption byte on its own, as if the caption were Latin-1: a
// caption with a byte above 0x7F shows right only when it is set again through the process's
// code page once the dialog exists. The length of what to set: the caption's bytes as the title
// takes them (up to a zero byte, at most DIALOG_CAPTION_MAX), cut at a character's edge when the
// code page is UTF-8 (`utf8`); 0 when every byte is 0x7F or below and the title is right as it is.
uint32_t dialog_caption_reset_length(const char* caption, uint32_t caption_length, bool utf8);

// The part of a C-string caption that dialog_create needs, copied into `title` with a zero byte
// after it (a copy that may be cut where the caller's caption may not): what the template takes
// and one byte more, by which dialog_caption_reset_length tells whether the 256th byte ends a
// character. Returns the copy's length, at most DIALOG_CAPTION_MAX + 1. A null caption is the
// empty one.
constexpr int DIALOG_CAPTION_COPY = DIALOG_CAPTION_MAX + 2;
uint32_t dialog_caption_copy(char (&title)[DIALOG_CAPTION_COPY], const char* caption);
