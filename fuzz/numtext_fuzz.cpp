// Fuzz target for number to text: an arbitrary 80-bit pattern (10 bytes) and a digit count (one
// signed byte, or four bytes when given), formatted in a guarded work buffer. The text must keep
// to its grammar (tests/support/number_text_grammar.hpp: sign, at most D digits with at most one
// point, optional E with a sign and one to four digits, at most D + 8 characters), write a
// normal value as exact arithmetic allows (tests/support/exact_decimal.hpp), touch no byte
// outside the 32-byte work buffer, and come out the same as a string temporary without leaking
// its block.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "dialogkit/runtime/numtext.hpp"
#include "runtime/os.hpp"
#include "dialogkit/runtime/strings.hpp"
#include "tests/support/exact_decimal.hpp"
#include "tests/support/number_text_grammar.hpp"

namespace {

void fail(const char* what, const char* text, int n) {
  fprintf(stderr, "numtext_fuzz: %s: '%.*s'\n", what, n, text);
  abort();
}

// The text against its grammar and, for a normal value, against the exact value: one of the
// texts the value may have at D digits, in the form that D asks for.
void check_text(long double value, const char* t, int n, int D) {
  const TextReading reading = number_text_read(t, n, D);
  if (reading.fault) fail(reading.fault, t, n);
  NormalValue exact;
  if (!normal_value_of(value, &exact)) return;
  const std::vector<Decimal> ok = admissible_texts(exact.negative, exact.scaled, D);
  if (std::find(ok.begin(), ok.end(), reading.value) == ok.end()) fail("not the value", t, n);
  if (reading.exponent_form != exponent_form_expected(reading.value, D)) fail("form", t, n);
}

}  // namespace

// The arithmetic runs under the control word that start-up loads (64-bit precision, nearest).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const uint16_t control_word = 0x133F;
  __asm__ volatile("fldcw %0" : : "m"(control_word));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 11) return 0;
  long double value = 0;
  memcpy(&value, data, 10);
  int32_t count = static_cast<int8_t>(data[10]);
  if (size >= 14) memcpy(&count, data + 10, 4);
  const int D = count >= 1 && count <= 17 ? count : 18;

  char guarded[64];
  memset(guarded, 0x5A, sizeof guarded);
  int n = number_text_format(value, count, guarded + 16);
  if (n < 0 || n > 32) fail("length out of the buffer", guarded + 16, 0);
  for (int i = 0; i < 16; ++i)
    if (guarded[i] != 0x5A) fail("wrote before the buffer", guarded + 16, n);
  for (int i = 48; i < 64; ++i)  // past the text but inside the buffer is work space
    if (guarded[i] != 0x5A) fail("wrote past the buffer", guarded + 16, n);
  check_text(value, guarded + 16, n, D);

  int live = host_os.string_blocks_live;
  ProcedureFrame frame{};
  number_to_text_digits(&frame, value, count);
  if (temp_count(&frame) != 1) fail("temporaries", guarded + 16, n);
  StringView view = temp_view(&frame, 0);
  if (view.length != static_cast<uint32_t>(n) || memcmp(view.data, guarded + 16, n) != 0)
    fail("temporary differs", guarded + 16, n);
  temp_pop_free(&frame);
  if (host_os.string_blocks_live != live) fail("leak", guarded + 16, n);
  return 0;
}
