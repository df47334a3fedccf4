// The record every application procedure holds for one call: function result, string
// temporaries, error word and handler, and conversion scratch. Runtime operations have no frame of
// their own; they work on the frame of the application procedure that called them.
#pragma once
#include <stddef.h>
#include <stdint.h>

// A counted string reference: 0 is the empty string, otherwise the address of the first byte of
// a block from the system string allocator. It is pointer-sized so that no build truncates it.
typedef uintptr_t DynString;

// An 8-bit run-time error number.
typedef uint8_t ErrorCode;
enum : ErrorCode {
  ERR_NONE = 0,
  ERR_ILLEGAL_FUNCTION_CALL = 5,
  ERR_OVERFLOW = 6,
  ERR_OUT_OF_MEMORY = 7,
  ERR_SUBSCRIPT_OUT_OF_RANGE = 9,
  ERR_INTERNAL = 51,
  ERR_RELEASE_FAILED = 241,
};

// Flags in the high byte of an error word.
enum : uint16_t { ERROR_PENDING = 0x8000, ERROR_IN_HANDLER = 0x4000 };

constexpr int TEMP_SLOT_COUNT = 5;

struct ProcedureFrame {
  int32_t result;
  int32_t temp_index;        // -4 x (live temporaries)
  uint32_t error_word;       // 16-bit error word; the upper half stays 0
  void* error_handler;       // label address of the procedure's handler, 0 for none
  DynString temp_slots[TEMP_SLOT_COUNT];
  unsigned char convert_scratch[2][8];
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(ProcedureFrame, result) == 0, "frame layout");
static_assert(offsetof(ProcedureFrame, temp_index) == 4, "frame layout");
static_assert(offsetof(ProcedureFrame, error_word) == 8, "frame layout");
static_assert(offsetof(ProcedureFrame, error_handler) == 12, "frame layout");
static_assert(offsetof(ProcedureFrame, temp_slots) == 16, "frame layout");
static_assert(offsetof(ProcedureFrame, convert_scratch) == 36, "frame layout");
static_assert(sizeof(ProcedureFrame) == 52, "frame layout");
#endif
