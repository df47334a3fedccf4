// Counted strings from the system string allocator and the frame's stack of string temporaries.
//
// A reference is the address of a block's first byte; the allocator keeps the 32-bit byte count
// just before it and a zero byte after the last. The null reference is the empty string and reads
// as shared_empty, so every view is a valid zero-terminated address.
#include "dialogkit/runtime/strings.hpp"

#include "dialogkit/runtime/errors.hpp"
#include "runtime/os.hpp"
#include "runtime/process.hpp"

// A misuse of the temporaries stack (a sixth live temporary, a pop or join without operands) is a
// fault in the calling code. Debug builds stop at once; release builds keep the frame intact.
#ifdef NDEBUG
#define TEMP_FAULT() ((void)0)
#else
#define TEMP_FAULT() __builtin_trap()
#endif

const char* shared_empty() { return process_state()->shared.shared_empty; }

static void copy_bytes(char* to, const char* from, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) to[i] = from[i];
}

ErrorCode string_alloc(int32_t n, DynString* reference, char** bytes) {
  if (n > 0) {
    BSTR block = SysAllocStringByteLen(nullptr, static_cast<UINT>(n));
    if (block) {
      *reference = reinterpret_cast<DynString>(block);
      *bytes = reinterpret_cast<char*>(block);
      return ERR_NONE;
    }
  }
  *reference = 0;
  *bytes = const_cast<char*>(shared_empty());
  return n == 0 ? ERR_NONE : ERR_OUT_OF_MEMORY;
}

void string_free(DynString reference) {
  // Null and borrowed references (the top bit set) both read as not positive.
  if (static_cast<intptr_t>(reference) > 0) SysFreeString(reinterpret_cast<BSTR>(reference));
}

StringView string_view(DynString reference) {
  if (reference == 0) return StringView{shared_empty(), 0};
  const char* bytes = reinterpret_cast<const char*>(reference & ~DYN_BORROWED);
  return StringView{bytes, *reinterpret_cast<const uint32_t*>(bytes - sizeof(uint32_t))};
}

DynString string_resize(DynString reference, int32_t n) {
  DynString result;
  char* bytes;
  if (string_alloc(n, &result, &bytes) == ERR_NONE && result) {
    StringView old = string_view(reference);
    uint32_t kept = old.length < static_cast<uint32_t>(n) ? old.length : static_cast<uint32_t>(n);
    copy_bytes(bytes, old.data, kept);
    for (uint32_t i = kept; i < static_cast<uint32_t>(n); ++i) bytes[i] = 0;
  }
  string_free(reference);
  return result;
}

// --- The temporaries stack ---------------------------------------------------------------------

void temp_push(ProcedureFrame* frame, DynString reference) {
  int k = temp_count(frame);
  if (k >= TEMP_SLOT_COUNT) {
    TEMP_FAULT();
    string_free(reference);  // no slot to hold it: dropping it is the only safe course
    return;
  }
  frame->temp_slots[k] = reference;
  frame->temp_index -= 4;
}

DynString temp_peek(const ProcedureFrame* frame, int depth) {
  int slot = temp_count(frame) - 1 - depth;
  if (depth < 0 || slot < 0 || slot >= TEMP_SLOT_COUNT) {
    TEMP_FAULT();
    return 0;
  }
  return frame->temp_slots[slot];
}

void temp_pop_free(ProcedureFrame* frame) {
  int k = temp_count(frame);
  if (k <= 0 || k > TEMP_SLOT_COUNT) {
    TEMP_FAULT();
    return;
  }
  frame->temp_index += 4;
  string_free(frame->temp_slots[k - 1]);
}

void temp_push_empty(ProcedureFrame* frame) { temp_push(frame, 0); }

// Pushes a copy of n bytes; returns false when the string could not be had (the null reference
// is pushed in its place so that the stack stays balanced).
static bool push_bytes(ProcedureFrame* frame, const void* from, int32_t n) {
  DynString reference;
  char* bytes;
  bool ok = string_alloc(n, &reference, &bytes) == ERR_NONE;
  if (ok) copy_bytes(bytes, static_cast<const char*>(from), static_cast<uint32_t>(n));
  temp_push(frame, reference);
  return ok;
}

void temp_push_copy_raising(ProcedureFrame* frame, const void* bytes, int32_t n) {
  if (!push_bytes(frame, bytes, n)) error_raise(frame, ERR_OUT_OF_MEMORY);
}

void temp_push_literal(ProcedureFrame* frame, const StringLiteral* literal) {
  temp_push_copy_raising(frame, literal_bytes(literal), literal->length);
}

void temp_push_crlf(ProcedureFrame* frame) {
  static const char crlf[2] = {13, 10};
  temp_push_copy_raising(frame, crlf, 2);
}

void temp_push_copy(ProcedureFrame* frame, const void* bytes, int32_t n) {
  push_bytes(frame, bytes, n);
}

// The counting loop must not be turned into a call of a C runtime routine (strlen).
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-loop-distribute-patterns")))
#endif
void temp_push_cstring(ProcedureFrame* frame, const char* text) {
  uint32_t n = 0;
  if (text)
    while (text[n]) ++n;
  // A count beyond the signed range fails the allocation and leaves the empty string.
  push_bytes(frame, text, static_cast<int32_t>(n));
}

void string_join(ProcedureFrame* frame) {
  int k = temp_count(frame);
  if (k < 2 || k > TEMP_SLOT_COUNT) {
    TEMP_FAULT();
    return;
  }
  DynString left = frame->temp_slots[k - 2];
  DynString right = frame->temp_slots[k - 1];
  StringView l = string_view(left);
  StringView r = string_view(right);
  DynString result = 0;
  char* bytes;
  // The sum must fit a signed 32-bit count; one that does not is as unobtainable as no memory.
  bool fits = l.length <= 0x7FFFFFFFu && r.length <= 0x7FFFFFFFu - l.length;
  if (!fits || string_alloc(static_cast<int32_t>(l.length + r.length), &result, &bytes) != ERR_NONE) {
    // One temporary, the empty string, stands where the two operands stood, and both operands
    // are released as after success, so the statement goes on balanced and leaks nothing.
    result = 0;
    error_raise(frame, ERR_OUT_OF_MEMORY);
  } else {
    copy_bytes(bytes, l.data, l.length);
    copy_bytes(bytes + l.length, r.data, r.length);
  }
  frame->temp_slots[k - 2] = result;
  frame->temp_index += 4;
  string_free(left);
  string_free(right);
}
