// The run-time error model: error numbers recorded, with a pending flag, in the frame of the
// application procedure on whose behalf the runtime works and in the thread's record; optional
// handlers that a procedure's dispatch continues at. Errors never stop the program.
#pragma once
#include "dialogkit/runtime/frame.hpp"

// Recording errors on behalf of the application procedure that owns the frame, in the frame and
// in the thread's record (the range checks of range_checks.hpp record in the frame only).
int32_t error_raise(ProcedureFrame* frame, ErrorCode code);  // returns 0
void error_raise_number(ProcedureFrame* frame, int32_t n);
// The error table's fixed raise entries, one per number it reserves them for; each is
// error_raise with its number. Nothing in the runtime or the toolkit calls them; 52 and 244
// have no name of their own.
void error_raise_52(ProcedureFrame* frame);
void error_raise_illegal_call(ProcedureFrame* frame);  // 5
void error_raise_244(ProcedureFrame* frame);
void error_raise_overflow(ProcedureFrame* frame);      // 6

// Dispatch: clears the pending flag and returns the handler to continue at, or 0 to go on.
// A procedure traps errors with ERROR_DISPATCH, which continues at the handler label itself.
void* error_dispatch(ProcedureFrame* frame);
#define ERROR_DISPATCH(frame)                          \
  do {                                                 \
    if (void* error_target_ = error_dispatch(&(frame))) \
      goto* error_target_;                             \
  } while (0)

ErrorCode error_last();
ErrorCode error_take(ProcedureFrame* frame);
// The thread record's error_extra field, which the record's layout keeps: every error_raise
// writes 0 to it.
uint16_t error_extra();
