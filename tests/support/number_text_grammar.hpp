// The grammar of number to text's texts (runtime/numtext.hpp), read back into the decimal they
// write: a sign (" " or "-"); digits with at most one point, at most D digits in all; optionally
// "E", a sign and one to four digits, the first not "0"; at most D + 8 characters. The shape is
// the shortest one: no "0" before the digits unless the text is the sign and "0", and after a
// point neither a point nor a "0" at the end of the digits.
#pragma once
#include "tests/support/exact_decimal.hpp"

struct TextReading {
  const char* fault;   // 0 for a text of the grammar, else the rule it breaks
  Decimal value;       // what the text writes (when there is no fault)
  bool exponent_form;  // the text has an exponent part
};
TextReading number_text_read(const char* text, int length, int D);
