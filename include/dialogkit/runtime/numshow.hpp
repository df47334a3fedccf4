// Numbers for people to read: display formats beside number_to_text (which keeps its own report
// format). No blank before a number, a zero before the point, and the digits of the value
// itself correctly rounded (to nearest, ties to even: 0.125 with 2 decimals is "0.12", 0.375 is
// "0.38"). What is rounded is the exact binary value: the double nearest 2.675 lies a little
// below it and gives "2.67".
//
// - Fixed: a count of decimals, 0 to 18 (others are clamped). "3.14", "0.50", "1,234.50".
//   A value whose text shows only zeros has no minus sign: -0.004 with 2 decimals is "0.00".
//   Magnitudes of 10^21 and more do not fit the form; they are written as with 17 significant
//   digits.
// - Significant: a count of significant digits, 1 to 21 (others are clamped), trailing zeros
//   dropped. Plain form from 10^-6 up to below 10^16 ("6.21371", "0.0621371", "1234570"),
//   exponent form outside it ("1.5E+20", "1E-7"). Zero is "0".
// - Infinities are "inf" and "-inf", not-a-number patterns "nan".
// - NUMBER_THOUSANDS puts a "," between groups of three digits before the point.
//
// The text is pushed as a new string temporary; the *_format forms write it into a buffer of
// NUMBER_FORMAT_BUFFER bytes and give its length (or 0 when working memory for an extreme value
// could not be had).
#pragma once
#include "dialogkit/runtime/frame.hpp"

enum : uint32_t { NUMBER_THOUSANDS = 1 };
constexpr int NUMBER_FORMAT_BUFFER = 64;

int number_format_fixed(long double value, int32_t decimals, uint32_t options, char* buffer);
int number_format_significant(long double value, int32_t digits, uint32_t options, char* buffer);

void number_to_fixed(ProcedureFrame* frame, long double value, int32_t decimals, uint32_t options);
void number_to_significant(ProcedureFrame* frame, long double value, int32_t digits, uint32_t options);
