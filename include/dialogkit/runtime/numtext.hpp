// Number to text: an 80-bit extended value as its decimal text for a count of significant digits,
// pushed as a new string temporary of the calling procedure.
#pragma once
#include <limits>

#include "dialogkit/runtime/frame.hpp"

static_assert(std::numeric_limits<long double>::digits == 64, "x87 80-bit extended format");

void number_to_text(ProcedureFrame* frame, long double value);         // 15 digits
void number_to_text_single(ProcedureFrame* frame, long double value);  // 7 digits
void number_to_text_digits(ProcedureFrame* frame, long double value, int32_t n);  // 1..17, else 18

// The digit record: the magnitude is 0.d1 d2 ... dD x 10^point.
struct DecimalDigits {
  bool negative;
  char digits[18];
  int32_t point;
};
DecimalDigits decimal_digits(long double value, int digit_count);
long double scale_by_power_of_ten(long double value, int16_t p);

// The text of a value in a 32-byte work buffer; returns its length (at most D + 8).
int number_text_format(long double value, int digit_count, char buffer[32]);
