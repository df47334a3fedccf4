// Fuzz target for the command-line tail: arbitrary bytes up to the first zero byte as the line,
// in a heap block of exactly its length and one terminating zero, so that any read past the
// terminator leaves the block. The tail must point into the line, from its first byte up to
// its terminator; it never starts with a blank, and a quoted name that is never closed leaves
// the empty tail.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "runtime/startup_steps.hpp"

namespace {

void fail(const char* what, const char* line, size_t length) {
  fprintf(stderr, "command_line_fuzz: %s: '%.*s'\n", what, static_cast<int>(length), line);
  abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const void* zero = memchr(data, 0, size);
  const size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - data) : size;
  char* line = static_cast<char*>(malloc(length + 1));
  memcpy(line, data, length);
  line[length] = 0;

  const char* tail = command_line_tail(line);
  if (tail < line || tail > line + length) fail("tail outside the line", line, length);
  if (*tail == ' ') fail("tail starts with a blank", line, length);
  if (line[0] == '"' && !memchr(line + 1, '"', length - 1) && tail != line + length)
    fail("unclosed quote with a tail", line, length);
  free(line);
  return 0;
}
