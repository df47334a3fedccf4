// Composed texts (see compose.hpp): the numbers are formatted first into a work area on the
// stack, then every part's length is known, the result is allocated once and the parts copied.
#include "dialogkit/runtime/compose.hpp"

#include "dialogkit/runtime/errors.hpp"
#include "dialogkit/runtime/numshow.hpp"

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-loop-distribute-patterns")
#endif

// A misuse of the temporaries stack is a fault in the calling code, as in strings.cpp: debug
// builds stop at once, release builds leave the frame as it was.
#ifdef NDEBUG
#define TEMP_FAULT() ((void)0)
#else
#define TEMP_FAULT() __builtin_trap()
#endif

namespace {

void copy_bytes(char* to, const char* from, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) to[i] = from[i];
}

// The bytes of one part (a number's text is written into `scratch`).
StringView part_view(const TextPart& part, char* scratch) {
  switch (part.kind) {
    case PART_LITERAL: {
      const StringLiteral* literal = static_cast<const StringLiteral*>(part.text);
      return StringView{literal_bytes(literal), literal->length};
    }
    case PART_CSTRING: {
      const char* text = static_cast<const char*>(part.text);
      uint32_t n = 0;
      if (text)
        while (text[n]) ++n;
      return StringView{text, n};
    }
    case PART_STRING: return string_view(reinterpret_cast<DynString>(part.text));
    case PART_FIXED:
      return StringView{scratch, static_cast<uint32_t>(number_format_fixed(part.value, part.count, part.options, scratch))};
    case PART_SIGNIFICANT:
      return StringView{scratch, static_cast<uint32_t>(
                                     number_format_significant(part.value, part.count, part.options, scratch))};
    default: return StringView{scratch, 0};
  }
}

// The views' bytes as one new string pushed; false when it could not be had (the empty string
// is pushed then).
bool push_joined(ProcedureFrame* frame, const StringView* views, int32_t n) {
  uint32_t total = 0;
  bool fits = true;
  for (int32_t i = 0; i < n; ++i) {
    fits &= views[i].length <= 0x7FFFFFFFu - total;
    if (fits) total += views[i].length;
  }
  DynString result = 0;
  char* bytes;
  if (!fits || string_alloc(static_cast<int32_t>(total), &result, &bytes) != ERR_NONE) {
    temp_push(frame, 0);
    return false;
  }
  for (int32_t i = 0; i < n; ++i) {
    copy_bytes(bytes, views[i].data, views[i].length);
    bytes += views[i].length;
  }
  temp_push(frame, result);
  return true;
}

}  // namespace

void temp_push_parts(ProcedureFrame* frame, const TextPart* parts, int32_t count) {
  if (count < 0) count = 0;
  if (count > TEXT_PARTS_MAX) count = TEXT_PARTS_MAX;
  char scratch[TEXT_PARTS_MAX][NUMBER_FORMAT_BUFFER];
  StringView views[TEXT_PARTS_MAX];
  for (int32_t i = 0; i < count; ++i) views[i] = part_view(parts[i], scratch[i]);
  if (!push_joined(frame, views, count)) error_raise(frame, ERR_OUT_OF_MEMORY);
}

void string_join_count(ProcedureFrame* frame, int32_t n) {
  const int live = temp_count(frame);
  if (n == 1 && live >= 1) return;  // one temporary is its own join
  if (n < 2 || n > live || n > TEMP_SLOT_COUNT) {
    TEMP_FAULT();
    return;
  }
  StringView views[TEMP_SLOT_COUNT];
  DynString taken[TEMP_SLOT_COUNT];
  for (int32_t i = 0; i < n; ++i) {
    taken[i] = temp_peek(frame, n - 1 - i);
    views[i] = string_view(taken[i]);
  }
  frame->temp_index += 4 * n;  // the operands leave the stack, their strings still held here
  if (!push_joined(frame, views, n)) error_raise(frame, ERR_OUT_OF_MEMORY);
  for (int32_t i = 0; i < n; ++i) string_free(taken[i]);
}
