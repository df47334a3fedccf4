// Range checks that record an error in the frame and go on.
#include "dialogkit/runtime/range_checks.hpp"

static void record_in_frame(ProcedureFrame* frame, ErrorCode code) {
  frame->error_word = ERROR_PENDING | code;
}

void check_fail_subscript(ProcedureFrame* frame) { record_in_frame(frame, ERR_SUBSCRIPT_OUT_OF_RANGE); }
void check_fail_overflow(ProcedureFrame* frame) { record_in_frame(frame, ERR_OVERFLOW); }

int32_t check_index(ProcedureFrame* frame, int32_t index, int32_t lower, int32_t upper) {
  int32_t position = static_cast<int32_t>(static_cast<uint32_t>(index) - static_cast<uint32_t>(lower));
  if (index > upper || position < 0) record_in_frame(frame, ERR_SUBSCRIPT_OUT_OF_RANGE);
  return position;
}

void check_array_present(ProcedureFrame* frame, const void* array) {
  if (!array) record_in_frame(frame, ERR_SUBSCRIPT_OUT_OF_RANGE);
}

void check_byte(ProcedureFrame* frame, uint32_t value) {
  if (value & 0xFFFFFF00u) record_in_frame(frame, ERR_OVERFLOW);
}
void check_byte16(ProcedureFrame* frame, uint16_t value) {
  if (value & 0xFF00u) record_in_frame(frame, ERR_OVERFLOW);
}
void check_not_negative(ProcedureFrame* frame, int32_t value) {
  if (value < 0) record_in_frame(frame, ERR_OVERFLOW);
}
void check_int16(ProcedureFrame* frame, int32_t value) {
  if (value != static_cast<int16_t>(value)) record_in_frame(frame, ERR_OVERFLOW);
}
void check_int16_positive(ProcedureFrame* frame, int32_t value) {
  if (static_cast<uint32_t>(value) & 0xFFFF8000u) record_in_frame(frame, ERR_OVERFLOW);
}
void check_word(ProcedureFrame* frame, int32_t value) {
  if (static_cast<uint32_t>(value) & 0xFFFF0000u) record_in_frame(frame, ERR_OVERFLOW);
}
