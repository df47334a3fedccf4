// Text to number: decimal text read into the working value (80-bit extended), into a double, or
// into a 32-bit or 64-bit integer, with a record that says what the text held.
//
// The text: optional blanks (space or tab), an optional sign, digits with an optional point
// (digits on at least one side of it), an optional exponent (E or e, an optional sign, digits),
// optional blanks. Any count of digits anywhere. The value is the text's exact decimal value
// correctly rounded: to nearest, ties to even, straight to the target's precision (the double
// form is never rounded twice). The integer forms take no point and no exponent and check their
// range exactly.
//
// A program that reads no numbers links none of this: it lives in its own units.
#pragma once
#include "dialogkit/runtime/frame.hpp"

// What a text held.
enum NumberStatus : int32_t {
  NUMBER_OK = 0,         // a number, in range (zero included)
  NUMBER_EMPTY = 1,      // nothing but blanks: the value is 0
  NUMBER_INVALID = 2,    // not a number: `stop` is the offset of the first byte that does not fit
  NUMBER_OVERFLOW = 3,   // too large: an infinity of the text's sign (integers: the nearest limit)
  NUMBER_UNDERFLOW = 4,  // not zero, but too small for any non-zero value: 0 of the text's sign
  NUMBER_SUBNORMAL = 5,  // not zero, below the smallest normal value: the subnormal nearest it
  NUMBER_NO_MEMORY = 6,  // a very long text needed working memory that could not be had: 0
};

struct NumberScan {
  int32_t status;  // a NumberStatus
  int32_t stop;    // NUMBER_INVALID: offset of the first byte that does not fit; else the length
};
static_assert(sizeof(NumberScan) == 8, "two 32-bit fields");

// On bytes. Every result other than NUMBER_OK, NUMBER_SUBNORMAL, NUMBER_UNDERFLOW and
// NUMBER_OVERFLOW gives 0.
long double number_parse(const char* text, uint32_t length, NumberScan* scan);
double number_parse_double(const char* text, uint32_t length, NumberScan* scan);
int32_t integer_parse32(const char* text, uint32_t length, NumberScan* scan);
int64_t integer_parse64(const char* text, uint32_t length, NumberScan* scan);

// On the frame's top string temporary, which is consumed; scan may be 0 when the caller does not
// want the record. NUMBER_NO_MEMORY also records ERR_OUT_OF_MEMORY (error_raise).
long double text_to_number(ProcedureFrame* frame, NumberScan* scan);
double text_to_double(ProcedureFrame* frame, NumberScan* scan);
int32_t text_to_int32(ProcedureFrame* frame, NumberScan* scan);
int64_t text_to_int64(ProcedureFrame* frame, NumberScan* scan);
