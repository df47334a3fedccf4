// Cutting UTF-8 text at a character's edge (utf8.hpp).
#include "toolkit/utf8.hpp"

namespace {

bool is_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

uint32_t utf8_cut(const char* text, uint32_t length, uint32_t limit) {
  if (length <= limit) return length;
  uint32_t cut = limit;
  for (int back = 0; back < 3 && cut > 0 && is_continuation(text[cut]); ++back) --cut;
  return cut;
}

uint32_t utf8_whole_length(const char* text, uint32_t length) {
  // The last byte that is not a continuation byte, among the last four.
  uint32_t lead = length;
  for (uint32_t i = 0; i < 4 && i < length; ++i) {
    if (!is_continuation(text[length - 1 - i])) {
      lead = length - 1 - i;
      break;
    }
  }
  if (lead == length) return length;
  unsigned char c = static_cast<unsigned char>(text[lead]);
  uint32_t size = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  return lead + size > length ? lead : length;
}
