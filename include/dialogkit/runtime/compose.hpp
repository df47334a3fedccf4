// Texts composed in one call: a line made of literals, C strings, strings and numbers in the
// display formats, pushed as one new string temporary with one allocation; and a join of the top
// n temporaries at once. For example "10 km = 6.21371 miles":
//
//   const TextPart line[] = {text_part_significant(km, 6), text_part_cstring(" km = "),
//                            text_part_significant(miles, 6), text_part_cstring(" miles")};
//   temp_push_parts(&frame, line, 4);
#pragma once
#include "dialogkit/runtime/frame.hpp"
#include "dialogkit/runtime/strings.hpp"

enum : uint32_t {
  PART_LITERAL = 0,      // a StringLiteral
  PART_CSTRING = 1,      // bytes up to the first zero byte
  PART_STRING = 2,       // a DynString, read and left to its owner
  PART_FIXED = 3,        // a number with `count` decimals (number_to_fixed)
  PART_SIGNIFICANT = 4,  // a number with `count` significant digits (number_to_significant)
};

struct TextPart {
  uint32_t kind;
  int32_t count;         // decimals or significant digits
  uint32_t options;      // NUMBER_THOUSANDS
  const void* text;      // the literal, the C string, or the DynString's bytes' reference
  long double value;
};

inline TextPart text_part_literal(const StringLiteral* literal) {
  return TextPart{PART_LITERAL, 0, 0, literal, 0};
}
inline TextPart text_part_cstring(const char* text) { return TextPart{PART_CSTRING, 0, 0, text, 0}; }
inline TextPart text_part_string(DynString reference) {
  return TextPart{PART_STRING, 0, 0, reinterpret_cast<const void*>(reference), 0};
}
inline TextPart text_part_fixed(long double value, int32_t decimals, uint32_t options = 0) {
  return TextPart{PART_FIXED, decimals, options, nullptr, value};
}
inline TextPart text_part_significant(long double value, int32_t digits, uint32_t options = 0) {
  return TextPart{PART_SIGNIFICANT, digits, options, nullptr, value};
}

// At most TEXT_PARTS_MAX parts (more are left out). On failure to allocate: the empty string is
// pushed and ERR_OUT_OF_MEMORY recorded, as for every pushed text.
constexpr int32_t TEXT_PARTS_MAX = 16;
void temp_push_parts(ProcedureFrame* frame, const TextPart* parts, int32_t count);

// The top n temporaries (2 <= n <= live ones) replaced by one holding their bytes in order, the
// lowest first; one allocation. Failure as for string_join: one empty temporary in their place.
void string_join_count(ProcedureFrame* frame, int32_t n);
