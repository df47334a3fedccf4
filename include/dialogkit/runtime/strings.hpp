// Counted byte strings from the system string allocator, and the stack of string temporaries in
// a procedure's frame on which string expressions are evaluated.
//
// Convention for operations that take strings: the caller pushes the string arguments in order,
// the last one on top, then calls; the operation reads them from the top slots (temp_view) and
// pops and releases each one (temp_pop_free) before it returns. An operation that returns a
// string pushes it.
#pragma once
#include "dialogkit/runtime/frame.hpp"

// Bit set: the reference names a string that belongs to somebody else; it is read with the bit
// cleared and never released.
constexpr DynString DYN_BORROWED = static_cast<DynString>(1) << (sizeof(DynString) * 8 - 1);

// A constant string: a 16-bit length followed by that many bytes, no terminator.
struct StringLiteral {
  uint16_t length;
};
inline const char* literal_bytes(const StringLiteral* literal) {
  return reinterpret_cast<const char*>(literal) + sizeof(uint16_t);
}

// A StringLiteral of N bytes as a field of a program's constants area, built at compile time from
// a string constant: the compiler stores the length, and a text that is not N bytes long does
// not compile. The terminator is not stored.
template <int N>
struct __attribute__((packed)) LiteralOf {
  uint16_t length;
  char bytes[N];
  constexpr LiteralOf(const char (&text)[N + 1]) : length(N), bytes{} {
    for (int i = 0; i < N; ++i) bytes[i] = text[i];
  }
};
// The StringLiteral stored at `address`, which may be odd: x86 reads the length there all the
// same. And the one a LiteralOf field holds, for temp_push_literal.
inline const StringLiteral* literal_at(const void* address) {
  return static_cast<const StringLiteral*>(address);
}
template <int N>
inline const StringLiteral* literal_of(const LiteralOf<N>& literal) {
  return literal_at(&literal);
}

// The bytes of a string: always a valid zero-terminated address.
struct StringView {
  const char* data;
  uint32_t length;
};

// n = 0 gives the null reference and shared_empty without allocating. On failure (n negative or
// no memory): the null reference, shared_empty and ERR_OUT_OF_MEMORY.
ErrorCode string_alloc(int32_t n, DynString* reference, char** bytes);
void string_free(DynString reference);
StringView string_view(DynString reference);
DynString string_resize(DynString reference, int32_t n);
const char* shared_empty();

// A new temporary holding a copy of n bytes. When it cannot be had, the empty string is pushed in
// its place (the stack stays balanced); temp_push_copy_raising also records ERR_OUT_OF_MEMORY
// (error_raise), temp_push_copy and temp_push_cstring record nothing. Literals, the line break
// and the texts of numbers are pushed the raising way.
void temp_push_copy_raising(ProcedureFrame* frame, const void* bytes, int32_t n);
void temp_push_copy(ProcedureFrame* frame, const void* bytes, int32_t n);
void temp_push_cstring(ProcedureFrame* frame, const char* text);
void temp_push_literal(ProcedureFrame* frame, const StringLiteral* literal);
void temp_push_empty(ProcedureFrame* frame);
void temp_push(ProcedureFrame* frame, DynString reference);
void temp_push_crlf(ProcedureFrame* frame);
void temp_pop_free(ProcedureFrame* frame);
void string_join(ProcedureFrame* frame);

// The live temporary `depth` places below the top (0 is the top).
DynString temp_peek(const ProcedureFrame* frame, int depth);
inline StringView temp_view(const ProcedureFrame* frame, int depth) {
  return string_view(temp_peek(frame, depth));
}
inline int temp_count(const ProcedureFrame* frame) { return -frame->temp_index / 4; }
