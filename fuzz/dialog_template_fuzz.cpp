// Fuzz target for the dialog template builder: an arbitrary style word, position, size and
// caption of any length (zero bytes included), built into a buffer of exactly the largest
// template size so that any write beyond it is caught, then parsed back the way the system reads
// a DLGTEMPLATE and compared field by field.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "toolkit/dialog_template.hpp"

namespace {

uint32_t read32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void check(bool ok) {
  if (!ok) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 20) return 0;
  uint32_t style = read32(data), ex_style = read32(data + 4);
  int32_t x = static_cast<int32_t>(read32(data + 8)), y = static_cast<int32_t>(read32(data + 12));
  uint16_t width = read16(data + 16), height = read16(data + 18);
  const char* caption = reinterpret_cast<const char*>(data + 20);
  uint32_t length = static_cast<uint32_t>(size - 20);

  unsigned char* buffer = static_cast<unsigned char*>(malloc(DIALOG_TEMPLATE_MAX));
  int built = dialog_template_build(buffer, caption, length, x, y, width, height, style, ex_style);

  // The title as the system reads it: units up to the first 0.
  uint32_t expected_n = 0;
  while (expected_n < length && expected_n < 256 && caption[expected_n] != 0) ++expected_n;
  bool blank = expected_n == 0;
  uint32_t n = blank ? 1 : expected_n;
  check(built == static_cast<int>(54 + 2 * n) && built <= DIALOG_TEMPLATE_MAX);
  check(read32(buffer) == dialog_effective_style(style, x, y));
  check((read32(buffer) & 0x54) == 0x54 && (read32(buffer) & 0x10000002) == 0);
  check(read32(buffer + 4) == ex_style);
  check(read16(buffer + 8) == 0 && read16(buffer + 18) == 0 && read16(buffer + 20) == 0);
  check(read16(buffer + 10) == static_cast<uint16_t>(x) &&
        read16(buffer + 12) == static_cast<uint16_t>(y));
  check(read16(buffer + 14) == width && read16(buffer + 16) == height);
  const unsigned char* p = buffer + 22;
  for (uint32_t i = 0; i < n; ++i, p += 2)
    check(read16(p) == (blank ? 0x20 : static_cast<unsigned char>(caption[i])));
  check(read16(p) == 0);
  check(read16(p + 2) == 8);
  const char face[] = "MS Sans Serif";
  for (int i = 0; i < 14; ++i) check(read16(p + 4 + 2 * i) == static_cast<unsigned char>(face[i]));
  check(p + 4 + 28 == buffer + built);
  free(buffer);
  return 0;
}
