// The data image: how a program stores its constants and where its globals go. The data section
// starts with 16 zero bytes, a six-word header at 0x10 and the stored image from 0x28; start-up
// moves the image up to its working place, keeps a copy of the header below the globals area
// with absolute addresses in it, and leaves the bottom of the section to ProcessState.
#pragma once
#include <stdint.h>

#include "dialogkit/runtime/data_section.hpp"

// Three (size, offset) pairs; offsets count from the start of the data section.
struct DataImageHeader {
  uint32_t globals_size, globals_offset;
  uint32_t stored_size, stored_offset;
  uint32_t constants_size, constants_offset;
};
static_assert(sizeof(DataImageHeader) == 24, "six 32-bit words");

// 4096 bytes at run time, of which the first 512 are stored in the module.
enum : uint32_t {
  DATA_SECTION_SIZE = 4096,
  DATA_STORED_SIZE = 512,
  DATA_HEADER_OFFSET = 0x10,
  DATA_IMAGE_OFFSET = 0x28,
  DATA_GLOBALS_SIZE = 12,
  DATA_GLOBALS_OFFSET = 0x2A4,
  DATA_STORED_AREA_OFFSET = 0x2B0,
  DATA_CONSTANTS_SIZE = 236,
  DATA_CONSTANTS_OFFSET = 0x2B0,
  DATA_HEADER_COPY_OFFSET = DATA_GLOBALS_OFFSET - sizeof(DataImageHeader),  // 0x28C
};

// The stored part of a program's data section, with the program's constants area in it.
template <class Constants>
struct DataImage {
  unsigned char zeros[16];
  DataImageHeader header;
  Constants constants;
  unsigned char padding[DATA_STORED_SIZE - DATA_IMAGE_OFFSET - sizeof(Constants)];
};

// Every program (the application, each test program) defines its data section with this macro;
// the initialiser is the program's constants area. The section holds nothing else. The object is
// typed by the program but carries the one symbol name the runtime knows it by.
#define RUNTIME_STRINGIFY2(x) #x
#define RUNTIME_STRINGIFY(x) RUNTIME_STRINGIFY2(x)
#define RUNTIME_DATA_SECTION(ConstantsType, ...)                                      \
  static_assert(sizeof(ConstantsType) == DATA_CONSTANTS_SIZE, "constants area size"); \
  __attribute__((section(".rtdata"), aligned(16), used)) DataImage<ConstantsType>    \
  program_data_image __asm__(RUNTIME_STRINGIFY(__USER_LABEL_PREFIX__) "runtime_data_section") = { \
      {},                                                                             \
      {DATA_GLOBALS_SIZE, DATA_GLOBALS_OFFSET, 0, DATA_STORED_AREA_OFFSET,            \
       DATA_CONSTANTS_SIZE, DATA_CONSTANTS_OFFSET},                                   \
      __VA_ARGS__,                                                                    \
      {}}

// Moves the stored image to its working place, copies the header below the globals area with
// absolute addresses, and presets the two fields of ProcessState that the move leaves to it.
void data_image_prepare(unsigned char* base);
// After data_image_prepare: the header copy and the areas it gives absolute addresses for.
DataImageHeader* data_header_copy(unsigned char* base);
inline DataImageHeader* data_header_copy() { return data_header_copy(data_section_base()); }
inline unsigned char* data_globals() {
  return reinterpret_cast<unsigned char*>(static_cast<uintptr_t>(data_header_copy()->globals_offset));
}
inline const unsigned char* data_constants() {
  return reinterpret_cast<const unsigned char*>(
      static_cast<uintptr_t>(data_header_copy()->constants_offset));
}
