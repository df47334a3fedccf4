// Cutting UTF-8 text at a character's edge. The toolkit's texts are bytes; under UTF-8 as the
// process's code page (the default manifest's), a length limit that counts bytes must not end a
// text in the middle of a character. Pure logic, built on the host as well.
#pragma once
#include <stdint.h>

// The length of `text` (`length` bytes) cut to at most `limit` bytes without splitting a UTF-8
// character: where the byte after the cut continues a character, the cut moves back to that
// character's first byte (at most three bytes back, the longest a sequence continues; text that is
// no UTF-8 there is cut three bytes back).
uint32_t utf8_cut(const char* text, uint32_t length, uint32_t limit);
// The length of `text` without a last character that is cut short: a lead byte at the end
// followed by fewer continuation bytes than it announces. Other bytes are left as they are.
uint32_t utf8_whole_length(const char* text, uint32_t length);
