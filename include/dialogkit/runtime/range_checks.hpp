// Range checks: each records ERROR_PENDING with its number in the frame's error word when a value
// does not fit (9 for indexes and arrays, 6 for the rest), leaves the thread's record alone and
// never stops; the procedure sees the error when it dispatches.
#pragma once
#include "dialogkit/runtime/frame.hpp"

int32_t check_index(ProcedureFrame* frame, int32_t index, int32_t lower, int32_t upper);
void check_array_present(ProcedureFrame* frame, const void* array);
void check_byte(ProcedureFrame* frame, uint32_t value);
void check_byte16(ProcedureFrame* frame, uint16_t value);
void check_not_negative(ProcedureFrame* frame, int32_t value);
void check_int16(ProcedureFrame* frame, int32_t value);
void check_int16_positive(ProcedureFrame* frame, int32_t value);
void check_word(ProcedureFrame* frame, int32_t value);

// A failed range check recorded unconditionally, in the frame only (error_raise_overflow of
// errors.hpp records 6 in the thread's record as well).
void check_fail_subscript(ProcedureFrame* frame);  // 9
void check_fail_overflow(ProcedureFrame* frame);   // 6
