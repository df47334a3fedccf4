// The data image: moving the stored constants to their working place at start-up.
#include "dialogkit/runtime/data_image.hpp"

#include "runtime/process.hpp"

static_assert(sizeof(ProcessState) <= DATA_HEADER_COPY_OFFSET,
              "ProcessState lives below the header copy");

DataImageHeader* data_header_copy(unsigned char* base) {
  return reinterpret_cast<DataImageHeader*>(base + DATA_HEADER_COPY_OFFSET);
}

void data_image_prepare(unsigned char* base) {
  const DataImageHeader* header = reinterpret_cast<const DataImageHeader*>(base + DATA_HEADER_OFFSET);
  uint32_t n = header->stored_size + header->constants_size;
  // The destination lies above the source and the ranges may overlap: copy from the top down.
  const unsigned char* from = base + DATA_IMAGE_OFFSET;
  unsigned char* to = base + header->stored_offset;
  for (uint32_t i = n; i-- > 0;) to[i] = from[i];
  DataImageHeader* copy = data_header_copy(base);
  const unsigned char* src = base + DATA_HEADER_OFFSET;
  unsigned char* dst = reinterpret_cast<unsigned char*>(copy);
  for (uint32_t i = 0; i < sizeof(DataImageHeader); ++i) dst[i] = src[i];
  ProcessState* state = reinterpret_cast<ProcessState*>(base);
  state->library_result = 0;
  state->version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  // The offsets become absolute addresses. They are 32-bit words, so every build places its data
  // section below 4 GiB.
  uint32_t b = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(base));
  copy->globals_offset += b;
  copy->stored_offset += b;
  copy->constants_offset += b;
}
