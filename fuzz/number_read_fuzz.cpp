// Fuzz target for text to number over arbitrary bytes: the reader's grammar against the C
// library's (a text it reads whole is one strtold reads whole, and the other way round for texts
// of the grammar's own bytes), its value against strtold and strtod for texts of up to 300 bytes
// (the longer ones the oracle checks, with an exact judge where the library rounds wrongly), the
// fast paths against the exact path alone, the integer forms against strtoll, and the display
// formats' texts of the value read back to the same value.
#include <errno.h>
#include <math.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "dialogkit/runtime/numread.hpp"
#include "runtime/numread_internal.hpp"
#include "dialogkit/runtime/numshow.hpp"

namespace {

void fail(const char* what, const std::string& text) {
  fprintf(stderr, "number_read_fuzz: %s: \"%s\"\n", what, text.c_str());
  abort();
}

bool same(long double a, long double b) { return memcmp(&a, &b, 10) == 0; }
bool same(double a, double b) { return memcmp(&a, &b, 8) == 0; }

// Whether the bytes are only those a decimal text may hold (so that strtold, which also reads
// hexadecimal, infinities and not-a-numbers, reads the same grammar).
bool plain_bytes(const std::string& s) {
  for (char c : s)
    if (!strchr("0123456789.eE+- \t", c) || c == 0) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  const uint32_t n = static_cast<uint32_t>(size);
  NumberScan scan, exact_scan, dscan;
  const long double v = number_parse(s.data(), n, &scan);
  const long double e = number_parse_exact(s.data(), n, &exact_scan);
  if (!same(v, e) || scan.status != exact_scan.status || scan.stop != exact_scan.stop)
    fail("fast and exact paths differ", s);
  const double d = number_parse_double(s.data(), n, &dscan);
  if (scan.stop < 0 || scan.stop > static_cast<int32_t>(n)) fail("stop out of the text", s);
  const bool read = scan.status != NUMBER_INVALID && scan.status != NUMBER_EMPTY &&
                    scan.status != NUMBER_NO_MEMORY;
  if (!read && (v != 0 || d != 0)) fail("a value for no number", s);
  if (plain_bytes(s) && memchr(s.data(), 0, size) == nullptr) {
    char* end;
    const long double want = strtold(s.c_str(), &end);
    // strtold skips the blanks after a number only when the reader does: compare what is left.
    const char* rest = end;
    while (*rest == ' ' || *rest == '\t') ++rest;
    const bool library_whole = end != s.c_str() && *rest == 0;
    if (read != library_whole) fail("grammar differs from strtold", s);
    if (read && size <= 300) {
      if (!same(v, want)) fail("extended value differs from strtold", s);
      if (!same(d, strtod(s.c_str(), nullptr))) fail("double differs from strtod", s);
    }
  }
  // The integer forms: digits only, against strtoll with its range.
  NumberScan iscan;
  const int64_t i = integer_parse64(s.data(), n, &iscan);
  if (iscan.status == NUMBER_OK) {
    errno = 0;
    if (strtoll(s.c_str(), nullptr, 10) != i || errno != 0) fail("integer differs from strtoll", s);
  }
  // A finite double shown with 17 significant digits reads back as itself.
  if (read && isfinite(d)) {
    char text[NUMBER_FORMAT_BUFFER];
    const int len = number_format_significant(d, 17, 0, text);
    NumberScan back;
    if (!same(number_parse_double(text, static_cast<uint32_t>(len), &back), d == 0 ? 0.0 : d))
      fail("17 significant digits do not read back", s);
  }
  return 0;
}
