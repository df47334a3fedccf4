// The dialog template in memory: the fixed DLGTEMPLATE header without items, the caption widened
// to UTF-16, and the DS_SETFONT font block. Pure: no platform calls, built on the host as well.
#include "toolkit/dialog_template.hpp"

#include "toolkit/utf8.hpp"

namespace {

// The typeface of every dialog, written unit by unit after the point size.
const char DIALOG_TYPEFACE[] = "MS Sans Serif";

// Little-endian fields at 16-bit-aligned offsets, written byte by byte so that the builder needs
// neither the host's byte order nor aligned stores.
unsigned char* put16(unsigned char* p, uint32_t value) {
  p[0] = static_cast<unsigned char>(value);
  p[1] = static_cast<unsigned char>(value >> 8);
  return p + 2;
}

unsigned char* put32(unsigned char* p, uint32_t value) {
  return put16(put16(p, value), value >> 16);
}

// Each byte becomes the UTF-16 unit of the same value, so no code page is consulted; then the
// terminating 0 unit.
unsigned char* put_widened(unsigned char* p, const char* text, uint32_t length) {
  for (uint32_t i = 0; i < length; ++i) p = put16(p, static_cast<unsigned char>(text[i]));
  return put16(p, 0);
}

}  // namespace

uint32_t dialog_effective_style(uint32_t style, int32_t x, int32_t y) {
  uint32_t s = style != 0 ? style : DIALOG_STYLE_DEFAULT;
  s |= DIALOG_STYLE_ADDED;
  s &= ~DIALOG_STYLE_REMOVED;
  if (x == -1 || y == -1) s |= DIALOG_STYLE_CENTER;
  return s;
}

int dialog_template_build(unsigned char* buffer, const char* caption, uint32_t caption_length,
                          int32_t x, int32_t y, int32_t width, int32_t height, uint32_t style,
                          uint32_t ex_style) {
  uint32_t n = caption_length < DIALOG_CAPTION_MAX ? caption_length : DIALOG_CAPTION_MAX;
  if (caption == nullptr) n = 0;
  // The system reads the title up to its first 0 unit and the point size right after it, so a
  // zero byte inside the caption ends the title there; copying it would shift the font block.
  for (uint32_t i = 0; i < n; ++i) {
    if (caption[i] == 0) n = i;
  }
  // An empty or absent caption is written as one blank.
  if (n == 0) {
    caption = " ";
    n = 1;
  }
  unsigned char* p = buffer;
  p = put32(p, dialog_effective_style(style, x, y));
  p = put32(p, ex_style);
  p = put16(p, 0);  // no items: controls are added as child windows afterwards
  p = put16(p, static_cast<uint32_t>(x));
  p = put16(p, static_cast<uint32_t>(y));
  p = put16(p, static_cast<uint32_t>(width));
  p = put16(p, static_cast<uint32_t>(height));
  p = put16(p, 0);  // no menu
  p = put16(p, 0);  // the system's dialog class
  p = put_widened(p, caption, n);
  p = put16(p, DIALOG_FONT_POINTS);
  p = put_widened(p, DIALOG_TYPEFACE, sizeof(DIALOG_TYPEFACE) - 1);
  return static_cast<int>(p - buffer);
}

uint32_t dialog_caption_reset_length(const char* caption, uint32_t caption_length, bool utf8) {
  if (caption == nullptr) return 0;
  uint32_t n = 0;
  unsigned above_ascii = 0;
  while (n < caption_length && caption[n] != 0) above_ascii |= static_cast<unsigned char>(caption[n++]);
  if (!(above_ascii & 0x80)) return 0;
  return utf8 ? utf8_cut(caption, n, DIALOG_CAPTION_MAX)
              : (n < DIALOG_CAPTION_MAX ? n : static_cast<uint32_t>(DIALOG_CAPTION_MAX));
}

uint32_t dialog_caption_copy(char (&title)[DIALOG_CAPTION_COPY], const char* caption) {
  uint32_t n = 0;
  for (; caption && n < DIALOG_CAPTION_COPY - 1 && caption[n]; ++n) title[n] = caption[n];
  title[n] = 0;
  return n;
}
